// Expansion of a macro key into its text at the caret.
#include "macros/MacroExpander.h"

#include "macros/CaretText.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>

#include <Qsci/qsciscintilla.h>

namespace lumivar {
namespace {

// Makes the expansion one undo step with automatic indentation switched off, restoring the
// editor's setting afterwards.
class ExpansionScope {
public:
    explicit ExpansionScope(QsciScintilla& editor)
        : editor_(editor), autoIndent_(editor.autoIndent()) {
        editor_.beginUndoAction();
        editor_.setAutoIndent(false);
    }
    ~ExpansionScope() {
        editor_.setAutoIndent(autoIndent_);
        editor_.endUndoAction();
    }
    ExpansionScope(const ExpansionScope&) = delete;
    ExpansionScope& operator=(const ExpansionScope&) = delete;

private:
    QsciScintilla& editor_;
    bool autoIndent_;
};

// A tab is typed as the Tab key, so that the editor's own tab rule (blanks, smart tabs) applies.
void PressTabKey(QsciScintilla& editor) {
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    QCoreApplication::sendEvent(&editor, &tab);
}

bool IsTextLine(const QStringList& lines, qsizetype i) {
    return i < lines.size() && lines[i].startsWith('=');
}

} // namespace

TMacroExpander::TMacroExpander(QsciScintilla* editor) : QObject(editor), editor_(editor) {
    editor_->installEventFilter(this);
}

bool TMacroExpander::eventFilter(QObject* watched, QEvent* event) {
    if (watched != editor_ || !IsKeyEvent(event, kShortcut)) return false;
    event->accept();
    if (event->type() == QEvent::KeyPress) Execute();
    return true;
}

bool TMacroExpander::Execute() {
    if (editor_->isReadOnly() || CaretBeyondLineEnd(*editor_)) return false;
    const QString word = WordAtEnd(TextBeforeCaret(*editor_), kWordDelimiters);
    // An empty word is no key: it would otherwise match the first empty line of the list.
    if (word.isEmpty()) return false;
    // Text lines belong to the key above them and are never keys themselves.
    qsizetype keyLine = 0;
    while (keyLine < lines_.size() && (IsTextLine(lines_, keyLine) ||
                                       lines_[keyLine].compare(word, Qt::CaseInsensitive) != 0))
        ++keyLine;
    if (keyLine == lines_.size()) return false;

    // An open pick list would take the typed line breaks as its pick.
    editor_->cancelList();
    const ExpansionScope scope(*editor_);
    ReplaceBeforeCaret(*editor_, word, QString());
    const long column =
        editor_->SendScintilla(QsciScintillaBase::SCI_GETCOLUMN, CaretPosition(*editor_));
    const QString indent(column, ' ');
    long lastBar = -1;
    for (qsizetype i = keyLine + 1; IsTextLine(lines_, i); ++i) {
        typeText(lines_[i].mid(1), lastBar);
        if (IsTextLine(lines_, i + 1)) {
            editor_->SendScintilla(QsciScintillaBase::SCI_NEWLINE);
            InsertAtCaret(*editor_, indent);
        }
    }
    // Only the last "|" marks the caret; earlier ones stay in the text.
    if (lastBar >= 0) {
        editor_->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, lastBar);
        editor_->SendScintilla(QsciScintillaBase::SCI_DELETERANGE, lastBar - 1, 1L);
    }
    return true;
}

// Types one text line: tabs as the tab key, everything else as characters; LastBar becomes
// the position just after each "|" typed.
void TMacroExpander::typeText(const QString& text, long& lastBar) {
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\t') {
            InsertAtCaret(*editor_, text.mid(start, i - start));
            PressTabKey(*editor_);
            start = i + 1;
        } else if (text[i] == '|') {
            InsertAtCaret(*editor_, text.mid(start, i + 1 - start));
            lastBar = CaretPosition(*editor_);
            start = i + 1;
        }
    }
    InsertAtCaret(*editor_, text.mid(start));
}

} // namespace lumivar
