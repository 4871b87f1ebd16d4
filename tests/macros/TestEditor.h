// A bare editor for the macro tests: text with "@" marking the caret goes in and comes out,
// and key presses are delivered as the window system would (shortcut check, press, release).
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QString>

#include <Qsci/qsciscintilla.h>

#include <memory>

namespace lumivar::test {

// Set up like the main window's editor: UTF-8, blanks for tabs, tab width 2, auto-indent,
// the caret allowed past the end of a line.
inline std::unique_ptr<QsciScintilla> MakeEditor() {
    auto editor = std::make_unique<QsciScintilla>();
    editor->setUtf8(true);
    editor->setEolMode(QsciScintilla::EolUnix);
    editor->setIndentationsUseTabs(false);
    editor->setTabWidth(2);
    editor->setAutoIndent(true);
    editor->SendScintilla(QsciScintillaBase::SCI_SETVIRTUALSPACEOPTIONS,
                          static_cast<long>(QsciScintillaBase::SCVS_USERACCESSIBLE));
    editor->resize(600, 400);
    return editor;
}

// Text with "@" at the caret; a second "@" (if any) marks the selection anchor.
inline void SetMarkedText(QsciScintilla& editor, const QString& marked) {
    const qsizetype caret = marked.indexOf('@');
    QString text = marked;
    text.remove('@');
    editor.setText(text);
    editor.SendScintilla(QsciScintillaBase::SCI_GOTOPOS,
                         static_cast<long>(marked.left(caret).toUtf8().size()));
}

inline QString MarkedText(const QsciScintilla& editor) {
    const QByteArray bytes = editor.text().toUtf8();
    const long caret = editor.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    return QString::fromUtf8(bytes.left(caret)) + '@' + QString::fromUtf8(bytes.mid(caret));
}

inline void PressKey(QWidget& widget, Qt::Key key, Qt::KeyboardModifiers modifiers,
                     const QString& text = {}) {
    QKeyEvent shortcut(QEvent::ShortcutOverride, key, modifiers, text);
    QApplication::sendEvent(&widget, &shortcut);
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(&widget, &release);
}

inline void PressExpansionKey(QWidget& widget) {
    PressKey(widget, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
}

} // namespace lumivar::test
