// The editor key table and the dispatch of the keys the component has no command for.
#include "app/KeyTable.h"

#include "app/EditorMemo.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QKeyEvent>

#include <functional>
#include <optional>

namespace lumivar {
namespace {

using Cmd = QsciCommand::Command;
using Base = QsciScintillaBase;

constexpr QKeyCombination kNoKey{};

constexpr QKeyCombination K(Qt::KeyboardModifiers modifiers, Qt::Key key) { return QKeyCombination(modifiers, key); }

// Caret movements: the plain key moves, the same key with Shift extends the selection; in
// column mode the rectangular variant (0: none) extends.
struct MovementKeys {
    QKeyCombination key;
    Cmd move;
    Cmd extend;
    int rectangular;
};
constexpr MovementKeys kMovements[] = {
    {Qt::Key_Up, Cmd::LineUp, Cmd::LineUpExtend, Base::SCI_LINEUPRECTEXTEND},
    {Qt::Key_Down, Cmd::LineDown, Cmd::LineDownExtend, Base::SCI_LINEDOWNRECTEXTEND},
    {Qt::Key_Left, Cmd::CharLeft, Cmd::CharLeftExtend, Base::SCI_CHARLEFTRECTEXTEND},
    {Qt::Key_Right, Cmd::CharRight, Cmd::CharRightExtend, Base::SCI_CHARRIGHTRECTEXTEND},
    {Qt::Key_Home, Cmd::Home, Cmd::HomeExtend, Base::SCI_HOMERECTEXTEND},
    {Qt::Key_End, Cmd::LineEnd, Cmd::LineEndExtend, Base::SCI_LINEENDRECTEXTEND},
    {Qt::Key_PageUp, Cmd::PageUp, Cmd::PageUpExtend, Base::SCI_PAGEUPRECTEXTEND},
    {Qt::Key_PageDown, Cmd::PageDown, Cmd::PageDownExtend, Base::SCI_PAGEDOWNRECTEXTEND},
    {K(Qt::ControlModifier, Qt::Key_Left), Cmd::WordLeft, Cmd::WordLeftExtend, 0},
    {K(Qt::ControlModifier, Qt::Key_Right), Cmd::WordRight, Cmd::WordRightExtend, 0},
    {K(Qt::ControlModifier, Qt::Key_Home), Cmd::DocumentStart, Cmd::DocumentStartExtend, 0},
    {K(Qt::ControlModifier, Qt::Key_End), Cmd::DocumentEnd, Cmd::DocumentEndExtend, 0},
};

// Other commands of the component, with up to two keys each.
struct CommandKeys {
    Cmd command;
    QKeyCombination key;
    QKeyCombination alternate;
};
constexpr CommandKeys kCommands[] = {
    {Cmd::LineScrollUp, K(Qt::ControlModifier, Qt::Key_Up), kNoKey},
    {Cmd::LineScrollDown, K(Qt::ControlModifier, Qt::Key_Down), kNoKey},
    {Cmd::EditToggleOvertype, Qt::Key_Insert, kNoKey},
    {Cmd::SelectionCopy, K(Qt::ControlModifier, Qt::Key_Insert), kNoKey},
    {Cmd::Paste, K(Qt::ShiftModifier, Qt::Key_Insert), kNoKey},
    {Cmd::SelectionCut, K(Qt::ShiftModifier, Qt::Key_Delete), kNoKey},
    {Cmd::Delete, Qt::Key_Delete, kNoKey},
    {Cmd::DeleteBack, Qt::Key_Backspace, kNoKey},
    {Cmd::DeleteWordLeft, K(Qt::ControlModifier, Qt::Key_Backspace), kNoKey},
    {Cmd::Undo, K(Qt::AltModifier, Qt::Key_Backspace), kNoKey},
    {Cmd::Redo, K(Qt::AltModifier | Qt::ShiftModifier, Qt::Key_Backspace), kNoKey},
    {Cmd::Newline, Qt::Key_Return, K(Qt::ControlModifier, Qt::Key_M)},
    {Cmd::DeleteWordRight, K(Qt::ControlModifier, Qt::Key_T), kNoKey},
    {Cmd::LineDelete, K(Qt::ControlModifier, Qt::Key_Y), kNoKey},
    {Cmd::DeleteLineRight, K(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Y), kNoKey},
    {Cmd::Backtab, K(Qt::ShiftModifier, Qt::Key_Tab), kNoKey},
    // Not in the table, but the completion lists need it to close.
    {Cmd::Cancel, Qt::Key_Escape, kNoKey},
};
// Ctrl+C, Ctrl+V, Ctrl+X, Ctrl+Z and Ctrl+A are the window's commands and act on the editor.

using Action = void (*)(TEditorMemo&);

struct ActionKeys {
    QKeyCombination key;
    Action run;
};
const ActionKeys kActions[] = {
    {K(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_N), [](TEditorMemo& m) { m.SetSelectionMode(SelectionMode::Normal); }},
    {K(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_C), [](TEditorMemo& m) { m.SetSelectionMode(SelectionMode::Column); }},
    {K(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_L), [](TEditorMemo& m) { m.SetSelectionMode(SelectionMode::Line); }},
    {K(Qt::ControlModifier, Qt::Key_N), [](TEditorMemo& m) { m.InsertLineAfterCaret(); }},
    {K(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_I), [](TEditorMemo& m) { m.IndentBlock(true); }},
    {K(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_U), [](TEditorMemo& m) { m.IndentBlock(false); }},
    {K(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_B), [](TEditorMemo& m) { m.JumpToMatchingBracket(); }},
    {K(Qt::ControlModifier, Qt::Key_F1), [](TEditorMemo& m) { emit m.ContextHelpRequested(m.WordAtCaret()); }},
    {Qt::Key_Tab, [](TEditorMemo& m) { m.SmartTab(); }},
};

// Movements of the editor's own; with Shift they extend the selection.
const ActionKeys kOwnMovements[] = {
    {K(Qt::ControlModifier, Qt::Key_PageUp), [](TEditorMemo& m) { m.MoveToPageEdge(false); }},
    {K(Qt::ControlModifier, Qt::Key_PageDown), [](TEditorMemo& m) { m.MoveToPageEdge(true); }},
};

QKeyCombination KeyOf(const QKeyEvent& e) {
    return QKeyCombination(e.modifiers() & ~Qt::KeypadModifier, Qt::Key(e.key()));
}

// The digit of a digit key, also when Shift has turned it into the symbol above the digit.
std::optional<int> DigitOf(const QKeyEvent& e) {
    if (e.key() >= Qt::Key_0 && e.key() <= Qt::Key_9) return e.key() - Qt::Key_0;
    // X keycodes of the digit row: 10..18 for 1..9, 19 for 0.
    const quint32 scan = e.nativeScanCode();
    if (scan >= 10 && scan <= 19) return int(scan - 9) % 10;
    static const QString shifted = QStringLiteral(")!@#$%^&*(");
    const qsizetype at = e.text().isEmpty() ? -1 : shifted.indexOf(e.text()[0]);
    if (at >= 0) return int(at);
    return std::nullopt;
}

using Runner = std::function<void(TEditorMemo&)>;

std::optional<Runner> FindAction(const TEditorMemo& memo, const QKeyEvent& e) {
    const QKeyCombination key = KeyOf(e);
    const Qt::KeyboardModifiers mods = key.keyboardModifiers();

    if (mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier)) {
        if (const std::optional<int> digit = DigitOf(e)) {
            const int n = *digit;
            if (mods & Qt::ShiftModifier) return Runner([n](TEditorMemo& m) { m.SetBookmark(n, m.Caret()); });
            return Runner([n](TEditorMemo& m) { m.GotoBookmark(n); });
        }
    }
    for (const ActionKeys& row : kOwnMovements) {
        if (key == row.key) return Runner(row.run);
        if (key == QKeyCombination(row.key.keyboardModifiers() | Qt::ShiftModifier, row.key.key())) {
            const Action run = row.run;
            return Runner([run](TEditorMemo& m) { m.ExtendSelection([&m, run] { run(m); }); });
        }
    }
    if (memo.selectionMode() != SelectionMode::Normal && (mods & Qt::ShiftModifier)) {
        const QKeyCombination plain(mods & ~Qt::ShiftModifier, key.key());
        for (const MovementKeys& row : kMovements) {
            if (plain != row.key) continue;
            const Cmd move = row.move;
            const int rectangular = row.rectangular;
            return Runner([move, rectangular](TEditorMemo& m) {
                m.ExtendSelection([&m, move] { m.SendScintilla(move); }, rectangular);
            });
        }
    }
    for (const ActionKeys& row : kActions)
        if (key == row.key) return Runner(row.run);
    return std::nullopt;
}

} // namespace

void ApplyEditorKeyTable(TEditorMemo& memo) {
    QsciCommandSet* set = memo.standardCommands();
    for (QsciCommand* command : set->commands()) {
        command->setKey(0);
        command->setAlternateKey(0);
    }
    auto bind = [set](Cmd command, QKeyCombination key, QKeyCombination alternate) {
        QsciCommand* c = set->find(command);
        if (!c) return;
        c->setKey(key.toCombined());
        c->setAlternateKey(alternate.toCombined());
    };
    for (const MovementKeys& row : kMovements) {
        bind(row.move, row.key, kNoKey);
        bind(row.extend, QKeyCombination(row.key.keyboardModifiers() | Qt::ShiftModifier, row.key.key()), kNoKey);
    }
    for (const CommandKeys& row : kCommands) bind(row.command, row.key, row.alternate);
}

bool RunEditorKeyAction(TEditorMemo& memo, const QKeyEvent& event) {
    const std::optional<Runner> action = FindAction(memo, event);
    if (!action) return false;
    (*action)(memo);
    return true;
}

bool IsEditorActionKey(const TEditorMemo& memo, const QKeyEvent& event) {
    return FindAction(memo, event).has_value();
}

} // namespace lumivar
