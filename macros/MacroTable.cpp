// The macro dialog's table of macros.
#include "macros/MacroTable.h"

#include <QFont>

#include <algorithm>

namespace lumivar {
namespace {

bool NameBefore(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

} // namespace

TMacroTable::TMacroTable(QObject* parent) : QAbstractTableModel(parent) {}

void TMacroTable::Reset(std::vector<TMacro> macros) {
    beginResetModel();
    records_ = std::move(macros);
    std::stable_sort(records_.begin(), records_.end(),
                     [](const TMacro& a, const TMacro& b) { return NameBefore(a.Name, b.Name); });
    state_ = State::Browse;
    endResetModel();
    current_ = -2; // forces the report: the record at row 0 is another one now
    setCurrentRow(records_.empty() ? -1 : 0);
}

void TMacroTable::SetCurrent(int row) {
    if (row < 0 || row >= static_cast<int>(records_.size()) || row == current_) return;
    // Moving to another record posts the one being edited, as a dataset does.
    Post();
    setCurrentRow(row);
}

const TMacro* TMacroTable::CurrentRecord() const {
    return current_ < 0 ? nullptr : &records_[current_];
}

void TMacroTable::Append() {
    Cancel();
    buffer_ = TMacro{};
    state_ = State::Insert;
}

bool TMacroTable::Edit() {
    Cancel();
    if (records_.empty()) return false;
    buffer_ = records_[current_];
    state_ = State::Edit;
    return true;
}

void TMacroTable::Post() {
    if (state_ == State::Browse) return;
    const TMacro record = buffer_;
    beginResetModel();
    if (state_ == State::Edit) records_.erase(records_.begin() + current_);
    state_ = State::Browse;
    const int row = insertRow(record.Name);
    records_.insert(records_.begin() + row, record);
    endResetModel();
    current_ = -1;
    setCurrentRow(row);
}

void TMacroTable::Cancel() { state_ = State::Browse; }

void TMacroTable::Delete() {
    Cancel();
    if (records_.empty()) return;
    const int row = current_;
    beginRemoveRows({}, row, row);
    records_.erase(records_.begin() + row);
    endRemoveRows();
    current_ = -1;
    setCurrentRow(std::min(row, static_cast<int>(records_.size()) - 1));
}

void TMacroTable::SetCurrentText(const QString& text) {
    if (current_ < 0) return;
    records_[current_].Text = text;
    if (state_ == State::Edit) buffer_.Text = text;
}

int TMacroTable::insertRow(const QString& name) const {
    const auto at = std::upper_bound(
        records_.begin(), records_.end(), name,
        [](const QString& value, const TMacro& record) { return NameBefore(value, record.Name); });
    return static_cast<int>(at - records_.begin());
}

void TMacroTable::setCurrentRow(int row) {
    if (row == current_) return;
    current_ = row;
    emit CurrentChanged(row);
}

int TMacroTable::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(records_.size());
}

int TMacroTable::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TMacroTable::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(records_.size())) return {};
    const TMacro& record = records_[index.row()];
    if (role == Qt::DisplayRole) return index.column() == NameColumn ? record.Name : record.Key;
    if (role == Qt::FontRole && index.column() == KeyColumn) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    return {};
}

QVariant TMacroTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return section == NameColumn ? QStringLiteral("Наименование") : QStringLiteral("Ключевое слово");
}

} // namespace lumivar
