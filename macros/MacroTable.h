// The in-memory table of the macro dialog: a vector of macros kept ordered by name, with a
// current record and the browse / edit / insert states of a dataset. A record being edited or
// inserted lives in a buffer until it is posted, so cancelling leaves the table as it was.
#pragma once

#include "macros/MacroText.h"

#include <QAbstractTableModel>

#include <vector>

namespace lumivar {

class TMacroTable : public QAbstractTableModel {
    Q_OBJECT
public:
    // Field sizes of the name and the key, in characters.
    static constexpr int kNameSize = 200;
    static constexpr int kKeySize = 20;

    enum Column { NameColumn, KeyColumn, ColumnCount };
    enum class State { Browse, Edit, Insert };

    explicit TMacroTable(QObject* parent = nullptr);

    // Replaces every record; the current record becomes the first one.
    void Reset(std::vector<TMacro> macros);
    const std::vector<TMacro>& Records() const { return records_; }
    bool IsEmpty() const { return records_.empty(); }

    // The current row, -1 for an empty table.
    int Current() const { return current_; }
    void SetCurrent(int row);
    const TMacro* CurrentRecord() const;

    State state() const { return state_; }
    // Starts a new, empty record.
    void Append();
    // Starts editing the current record; false for an empty table.
    bool Edit();
    // The record being edited or inserted.
    TMacro& Buffer() { return buffer_; }
    // Stores the buffer in name order (the current record follows it); nothing in browse state.
    void Post();
    // Drops the buffer.
    void Cancel();
    // Removes the current record; the next one (or the new last one) becomes current.
    void Delete();
    // Text of the current record, as the dialog's memo edits it.
    void SetCurrentText(const QString& text);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void CurrentChanged(int row);

private:
    // Row at which a record of this name goes: after every record whose name is not greater,
    // which keeps records of equal names in the order they came.
    int insertRow(const QString& name) const;
    void setCurrentRow(int row);

    std::vector<TMacro> records_;
    int current_ = -1;
    State state_ = State::Browse;
    TMacro buffer_;
};

} // namespace lumivar
