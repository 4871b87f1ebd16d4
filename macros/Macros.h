// The macro editor dialog: the macro list of the current syntax mode as a table ordered by
// name, with the text of the current macro in a memo, the edit panel for name and key, loading
// from a macro file, and saving. The dialog knows nothing of the main window: it is opened
// with the mode's caption and list and hands back the new list when it is saved.
#pragma once

#include "macros/MacroTable.h"

#include <QDialog>
#include <QStringList>

#include <optional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace lumivar {

class TfEditMac;

class TfMacros : public QDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 413;
    static constexpr int kClientHeight = 363;
    // Macro files larger than this are refused: a macro list is a few kilobytes of text.
    static constexpr qint64 kMaxFileSize = 1 << 20;

    explicit TfMacros(QWidget* parent = nullptr);

    // Opens the dialog modally for a syntax mode (its caption as status panel 7 shows it) and
    // the mode's macro list in force; the new list when the dialog is saved, else nothing.
    std::optional<QStringList> EditMacros(const QString& syntaxCaption, const QStringList& macros);

    // The steps of a session, for the window and for tests.
    void FormShow(const QString& syntaxCaption, const QStringList& macros);
    void ParseMacros();
    void EditMacro(bool existing);
    void BitBtn4Click() { EditMacro(false); }
    void BitBtn5Click() { EditMacro(true); }
    void BitBtn6Click();
    void BitBtn1Click();
    void BitBtn2Click();

    const QStringList& MacroText() const { return macroText_; }
    TMacroTable& CdsMac() { return table_; }
    QTableView* Grid() const { return grid_; }
    QPlainTextEdit* Memo() const { return memo_; }
    QLabel* LbSintax() const { return lbSintax_; }
    TfEditMac* EditPanel() const { return editPanel_; }

private:
    void currentChanged(int row);
    void memoChanged();
    QPushButton* addButton(const QString& name, const QString& caption);

    QStringList macroText_;
    TMacroTable table_;
    QLabel* lbSintax_;
    QTableView* grid_;
    QPlainTextEdit* memo_;
    TfEditMac* editPanel_;
    bool showingRecord_ = false;
};

} // namespace lumivar
