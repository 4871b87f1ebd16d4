// The macro expander of an editor: Ctrl+Shift+Z replaces the key before the caret by its
// macro text, indented to the key's column, as one undo step. The key press is always
// consumed, so the editor's own binding of the same keys (redo) is never reached.
#pragma once

#include <QObject>
#include <QStringList>

class QsciScintilla;

namespace lumivar {

class TMacroExpander : public QObject {
    Q_OBJECT
public:
    // Characters that end the key word besides every code up to 32.
    static inline const QString kWordDelimiters = QStringLiteral("()[]. ");
    static constexpr QKeyCombination kShortcut{Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z};

    // Attaches to the editor (which owns the expander) and takes its Ctrl+Shift+Z.
    explicit TMacroExpander(QsciScintilla* editor);

    // The macro lines in force, as stored (untrimmed; the expander compares them as they are).
    const QStringList& List() const { return lines_; }
    void SetList(const QStringList& lines) { lines_ = lines; }

    // Expands the word before the caret; false when nothing was expanded (no key, a read-only
    // editor, or the caret past the end of its line).
    bool Execute();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void typeText(const QString& text, long& lastBar);

    QsciScintilla* editor_;
    QStringList lines_;
};

} // namespace lumivar
