// The main window's macro substitutions: the expander and the two pick lists on the editor,
// the macro list of the current syntax mode in the settings store (section "Macros", one value
// per mode), and the macro dialog.
#include "app/ScriptEditor.h"

#include "app/Highlighters.h"
#include "macros/MacroExpander.h"
#include "macros/MacroText.h"
#include "macros/Macros.h"
#include "macros/PickList.h"

#include <QAction>

#include <utility>

namespace lumivar {
namespace {

const QString kMacrosSection = QStringLiteral("Macros");

// The value under which each mode keeps its list; every other code uses "Other".
constexpr std::pair<SyntaxCode, const char*> kMacroKeys[] = {
    {kSyntaxPas, "Pas"}, {kSyntaxBas, "Bas"},   {kSyntaxBat, "Bat"},
    {kSyntaxPrg, "Prg"}, {kSyntaxHtml, "Html"}, {kSyntaxPhp, "Php"},
};

} // namespace

void TfScriptEditor::CreateMacroParts() {
    AC = new TMacroExpander(Memo);
    Cp_Ac = new TPickList(Memo, MacroPickListStyle());
    CP = new TPickList(Memo, UserFunctionListStyle());
    connect(Cp_Ac, &TPickList::CodeCompletion, this,
            [this] { RunGuarded([this] { Cp_AcCodeCompletion(); }); });
    fMacros = new TfMacros(this);
    ConnectCommand(actEditMacros, &TfScriptEditor::actEditMacrosExecute);
}

QString TfScriptEditor::SyntaxKey(int mode) {
    for (const auto& [code, key] : kMacroKeys)
        if (code == mode) return QString::fromLatin1(key);
    return QStringLiteral("Other");
}

void TfScriptEditor::StoreMacros(bool save) {
    const QString key = SyntaxKey(SyntaxMode);
    if (save) {
        Reg.writeString(kMacrosSection, key, JoinMacroLines(AC->List()));
        return;
    }
    AC->SetList(SplitMacroLines(Reg.readString(kMacrosSection, key, QString())));
    BuildCompletionList();
}

void TfScriptEditor::BuildCompletionList() {
    const TCompletionItems items = CompletionItems(AC->List());
    Cp_Ac->SetItems(items.Display, items.Insert);
}

// A picked key has just replaced the word being typed: it is expanded at once.
void TfScriptEditor::Cp_AcCodeCompletion() { AC->Execute(); }

void TfScriptEditor::actEditMacrosExecute() {
    const std::optional<QStringList> saved =
        fMacros->EditMacros(SyntaxCommandOf(SyntaxMode)->text(), AC->List());
    if (!saved) return;
    AC->SetList(*saved);
    BuildCompletionList();
    StoreMacros(true);
}

} // namespace lumivar
