// The editor key table as data: keys bound to the component's own commands, caret movements
// with their selecting variants, and keys of the editor's own actions (bookmarks, selection
// modes, page top and bottom, block indent, ...). Keys not in the table are left unbound in
// the component, so that the window's shortcuts and the completion keys reach their owners.
#pragma once

class QKeyEvent;

namespace lumivar {

class TEditorMemo;

// Replaces the component's key bindings by the table's.
void ApplyEditorKeyTable(TEditorMemo& memo);
// Runs the editor action of a key press that the component's own bindings cannot do; false
// when the key is not one of them.
bool RunEditorKeyAction(TEditorMemo& memo, const QKeyEvent& event);
bool IsEditorActionKey(const TEditorMemo& memo, const QKeyEvent& event);

} // namespace lumivar
