// The main window's search and replace: the find and replace dialogs and their commands.
#include "app/ScriptEditor.h"

#include "app/EditorSearch.h"
#include "app/FindReplaceDialogs.h"

#include <QAction>

namespace lumivar {
namespace {

void ReportNotFound(const QString& find) {
    ShowMsg(find + QStringLiteral("\rНе найдено!"), QStringLiteral("Поиск"), mkPlain);
}

} // namespace

void TfScriptEditor::CreateSearchDialogs() {
    FindDialog = new TFindDialog(this);
    ReplaceDialog = new TReplaceDialog(this);
    const auto guarded = [this](auto handler) { return [this, handler] { RunGuarded(handler); }; };
    connect(FindDialog, &TSearchDialog::FindNext, this,
            guarded([this] { FindDialogFind(FindDialog); }));
    connect(ReplaceDialog, &TSearchDialog::FindNext, this,
            guarded([this] { FindDialogFind(ReplaceDialog); }));
    connect(ReplaceDialog, &TReplaceDialog::Replace, this,
            guarded([this] { ReplaceDialogReplace(false); }));
    connect(ReplaceDialog, &TReplaceDialog::ReplaceAll, this,
            guarded([this] { ReplaceDialogReplace(true); }));
    ConnectCommand(actFind, &TfScriptEditor::actFindExecute);
    ConnectCommand(actFindNext, &TfScriptEditor::actFindNextExecute);
    ConnectCommand(actFindReplace, &TfScriptEditor::actFindReplaceExecute);
}

void TfScriptEditor::actFindExecute() {
    ReplaceDialog->close();
    FindDialog->Execute();
}

void TfScriptEditor::actFindReplaceExecute() {
    FindDialog->close();
    ReplaceDialog->Execute();
}

// Only the find dialog's text serves F3, whether or not the dialog is open.
void TfScriptEditor::actFindNextExecute() {
    if (FindDialog->FindText().isEmpty())
        actFindExecute();
    else
        FindDialogFind(FindDialog);
}

void TfScriptEditor::FindDialogFind(TSearchDialog* sender) {
    if (SearchReplace(*Memo, sender->FindText(), QString(), sender->Options()) == 0)
        ReportNotFound(sender->FindText());
}

void TfScriptEditor::ReplaceDialogReplace(bool all) {
    TSearchOptions options = ReplaceDialog->Options();
    options |= all ? TSearchOption::ReplaceAll : TSearchOption::Replace;
    if (SearchReplace(*Memo, ReplaceDialog->FindText(), ReplaceDialog->ReplaceText(), options) == 0)
        ReportNotFound(ReplaceDialog->FindText());
}

} // namespace lumivar
