// The main window's settings dialog: it reads and applies the editor's look, stores the
// settings with the extension list, and keeps that list from one opening to the next.
#include "app/ScriptEditor.h"

#include "settings/Setings.h"

#include <QAction>

namespace lumivar {

void TfScriptEditor::CreateSetingsDialog() {
    fSetings = new TfSetings(this);
    fSetings->SetHooks({
        [this] {
            return TEditorLook{MemoFont(), Memo->edgeColumn(), Memo->edgeColor(), MemoColor(),
                               Memo->tabWidth()};
        },
        [this](const TEditorLook& look) {
            SetMemoFont(look.Font);
            Memo->setEdgeColumn(look.RightEdge);
            Memo->setEdgeColor(look.RightEdgeColor);
            Memo->setTabWidth(look.TabWidth);
            SetMemoColor(look.Color);
        },
        [this] {
            ExtList = fSetings->ExtList();
            StoreEditorSettings(true);
        },
    });
    ConnectCommand(actSetings, &TfScriptEditor::actSetingsExecute);
}

// The window's ExtList is what the store reads and writes; the dialog edits it, and what it
// holds after any opening (applied or not) is kept for the next one.
void TfScriptEditor::actSetingsExecute() {
    fSetings->SetExtList(ExtList);
    fSetings->Execute();
    ExtList = fSetings->ExtList();
}

} // namespace lumivar
