// Reads and edits of a QsciScintilla editor around its caret, for the macro expander and the
// pick lists. Positions are the editor's own byte positions; texts are converted with the
// editor's encoding (UTF-8 or Latin-1) in one place.
#pragma once

#include <QKeyCombination>
#include <QString>

class QEvent;
class QsciScintilla;

namespace lumivar {

// The editor's bytes for a text and the text of a byte range.
QByteArray EditorBytes(const QsciScintilla& editor, const QString& text);
QString EditorText(const QsciScintilla& editor, long start, long end);

long CaretPosition(const QsciScintilla& editor);

// True when the caret stands in virtual space, past the end of its line.
bool CaretBeyondLineEnd(const QsciScintilla& editor);

// The caret's line from its start up to the caret.
QString TextBeforeCaret(const QsciScintilla& editor);

// The run at the end of Text of characters above code 32 that are not in Delimiters.
QString WordAtEnd(const QString& text, const QString& delimiters);

// Replaces Word, the text just before the caret, by Replacement and leaves the caret after it;
// any selection is dropped first.
void ReplaceBeforeCaret(QsciScintilla& editor, const QString& word, const QString& replacement);

// Inserts Text at the caret and moves the caret after it (insertion whatever the overwrite
// mode, so that nothing after the caret is lost).
void InsertAtCaret(QsciScintilla& editor, const QString& text);

// True for the key press (and the shortcut check before it) of exactly this combination.
bool IsKeyEvent(const QEvent* event, QKeyCombination key);

} // namespace lumivar
