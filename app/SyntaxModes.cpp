// Syntax modes of the main window: the mode table (code, command, highlighter), choosing a
// mode, the check mark of its command, and the file filters built from the highlighters.
#include "app/ScriptEditor.h"

#include "app/Highlighters.h"

#include <QAction>
#include <QLabel>

namespace lumivar {
namespace {

constexpr int kSyntaxPanel = 7;

struct SyntaxModeRow {
    SyntaxCode code;
    QAction* TfScriptEditor::* command;
    QsciLexer* TfScriptEditor::* highlighter; // nullptr: plain text
};

// In the order of the commands in the menus.
constexpr SyntaxModeRow kSyntaxModes[] = {
    {kSyntaxNone, &TfScriptEditor::actNoSintax, nullptr},
    {kSyntaxPas, &TfScriptEditor::actPasSintax, &TfScriptEditor::Pas},
    {kSyntaxBas, &TfScriptEditor::actBasSintax, &TfScriptEditor::Bas},
    {kSyntaxBat, &TfScriptEditor::actBatSintax, &TfScriptEditor::Bat},
    {kSyntaxPrg, &TfScriptEditor::actPrgSintax, &TfScriptEditor::Prg},
    {kSyntaxHtml, &TfScriptEditor::actHtmlSintax, &TfScriptEditor::HTML},
    {kSyntaxPhp, &TfScriptEditor::actPhpSintax, &TfScriptEditor::PHP},
};

const SyntaxModeRow* FindMode(int code) {
    for (const SyntaxModeRow& row : kSyntaxModes)
        if (row.code == code) return &row;
    return nullptr;
}

} // namespace

void TfScriptEditor::CreateHighlighters() {
    for (const SyntaxModeRow& row : kSyntaxModes) {
        if (!row.highlighter) continue;
        QsciLexer* lexer = CreateHighlighter(row.code, this);
        ApplyHighlighterFont(*lexer, memoFont_);
        ApplyHighlighterPaper(*lexer, memoColor_);
        this->*row.highlighter = lexer;
    }
}

QsciLexer* TfScriptEditor::HighlighterOf(int mode) const {
    const SyntaxModeRow* row = FindMode(mode);
    return row && row->highlighter ? this->*row->highlighter : nullptr;
}

QAction* TfScriptEditor::SyntaxCommandOf(int mode) const {
    const SyntaxModeRow* row = FindMode(mode);
    return row ? this->*row->command : actNoSintax;
}

std::array<QAction*, 7> TfScriptEditor::SyntaxCommands() const {
    std::array<QAction*, 7> commands{};
    static_assert(std::size(kSyntaxModes) == 7);
    for (std::size_t i = 0; i < commands.size(); ++i) commands[i] = this->*kSyntaxModes[i].command;
    return commands;
}

void TfScriptEditor::SelectSyntax(int mode, QAction* command) {
    SetSyntaxMode(mode);
    for (QAction* c : SyntaxCommands()) c->setChecked(false);
    command->setChecked(true);
    SB[kSyntaxPanel]->setText(command->text());
}

void TfScriptEditor::SetSyntaxMode(int mode) {
    SyntaxMode = mode;
    QsciLexer* lexer = HighlighterOf(mode);
    Memo->setLexer(lexer);
    if (!lexer) {
        // Without a highlighter the editor's own font and background apply.
        Memo->SetTextFont(memoFont_);
        Memo->setPaper(memoColor_);
    }
    StoreMacros(false);
}

int TfScriptEditor::SyntaxOfExtension(const QString& ext) { return lumivar::SyntaxOfExtension(ext); }

void TfScriptEditor::BuildFileFilters() {
    OpenDialog.filter = BuildFileFilter();
    SaveDialog.filter = BuildFileFilter();
    OpenDialog.filterIndex = 1;
    SaveDialog.filterIndex = 1;
}

void TfScriptEditor::actNoSintaxExecute() { SelectSyntax(kSyntaxNone, actNoSintax); }
void TfScriptEditor::actPasSintaxExecute() { SelectSyntax(kSyntaxPas, actPasSintax); }
void TfScriptEditor::actBasSintaxExecute() { SelectSyntax(kSyntaxBas, actBasSintax); }
void TfScriptEditor::actBatSintaxExecute() { SelectSyntax(kSyntaxBat, actBatSintax); }
void TfScriptEditor::actPrgSintaxExecute() { SelectSyntax(kSyntaxPrg, actPrgSintax); }
void TfScriptEditor::actHtmlSintaxExecute() { SelectSyntax(kSyntaxHtml, actHtmlSintax); }
void TfScriptEditor::actPhpSintaxExecute() { SelectSyntax(kSyntaxPhp, actPhpSintax); }

} // namespace lumivar
