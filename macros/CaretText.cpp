// Caret-relative reads and edits of a QsciScintilla editor.
#include "macros/CaretText.h"

#include <QEvent>
#include <QKeyEvent>

#include <Qsci/qsciscintilla.h>

namespace lumivar {

QByteArray EditorBytes(const QsciScintilla& editor, const QString& text) {
    return editor.isUtf8() ? text.toUtf8() : text.toLatin1();
}

QString EditorText(const QsciScintilla& editor, long start, long end) {
    if (end <= start) return {};
    QByteArray bytes(end - start + 1, '\0');
    editor.SendScintilla(QsciScintillaBase::SCI_GETTEXTRANGE, start, end, bytes.data());
    bytes.truncate(end - start);
    return editor.isUtf8() ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

long CaretPosition(const QsciScintilla& editor) {
    return editor.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
}

bool CaretBeyondLineEnd(const QsciScintilla& editor) {
    const long selection = editor.SendScintilla(QsciScintillaBase::SCI_GETMAINSELECTION);
    return editor.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONNCARETVIRTUALSPACE,
                                selection) > 0;
}

QString TextBeforeCaret(const QsciScintilla& editor) {
    const long caret = CaretPosition(editor);
    const long line = editor.SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, caret);
    const long lineStart = editor.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line);
    return EditorText(editor, lineStart, caret);
}

QString WordAtEnd(const QString& text, const QString& delimiters) {
    qsizetype start = text.size();
    while (start > 0) {
        const QChar c = text[start - 1];
        if (c.unicode() <= 32 || delimiters.contains(c)) break;
        --start;
    }
    return text.mid(start);
}

void ReplaceBeforeCaret(QsciScintilla& editor, const QString& word, const QString& replacement) {
    const long caret = CaretPosition(editor);
    const long start = caret - EditorBytes(editor, word).size();
    editor.SendScintilla(QsciScintillaBase::SCI_SETSEL, start, caret);
    const QByteArray bytes = EditorBytes(editor, replacement);
    editor.SendScintilla(QsciScintillaBase::SCI_REPLACESEL, 0UL, bytes.constData());
}

void InsertAtCaret(QsciScintilla& editor, const QString& text) {
    if (text.isEmpty()) return;
    editor.SendScintilla(QsciScintillaBase::SCI_SETEMPTYSELECTION, CaretPosition(editor));
    const QByteArray bytes = EditorBytes(editor, text);
    editor.SendScintilla(QsciScintillaBase::SCI_REPLACESEL, 0UL, bytes.constData());
}

bool IsKeyEvent(const QEvent* event, QKeyCombination key) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    const auto* keyEvent = static_cast<const QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = keyEvent->modifiers() & ~Qt::KeypadModifier;
    return keyEvent->key() == key.key() && modifiers == key.keyboardModifiers();
}

} // namespace lumivar
