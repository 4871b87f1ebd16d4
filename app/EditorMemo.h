// The editor component of the main window: QScintilla set up as the editor's text area, with
// the editor key table, ten bookmarks, three selection modes, scrolling past the end of a line,
// and one status notification that reports caret, modified-mark and insert-mode changes.
// Caret columns count characters from 0 and include the blank space past the end of a line.
#pragma once

#include <Qsci/qsciscintilla.h>

#include <QFlags>

#include <array>
#include <functional>
#include <optional>

namespace lumivar {

enum class StatusChange : unsigned {
    CaretX = 0x1,
    CaretY = 0x2,
    Modified = 0x4,
    InsertMode = 0x8,
    All = 0x10, // the whole text was replaced
};
Q_DECLARE_FLAGS(StatusChanges, StatusChange)
Q_DECLARE_OPERATORS_FOR_FLAGS(StatusChanges)

enum class SelectionMode { Normal, Column, Line };

struct CaretPlace {
    int line = 0;   // from 0
    int column = 0; // characters from 0, past the end of the line included
    bool operator==(const CaretPlace&) const = default;
};

class TEditorMemo : public QsciScintilla {
    Q_OBJECT
public:
    static constexpr int kBookmarkCount = 10;

    explicit TEditorMemo(QWidget* parent = nullptr);

    CaretPlace Caret() const;
    // Start of the selection; the caret when nothing is selected.
    CaretPlace SelectionStart() const;
    void SetCaret(CaretPlace place);
    // Characters of a line without its line break.
    int LineLength(int line) const;
    // Characters of the text before the start of a line, line breaks included.
    qint64 CharactersBeforeLine(int line) const;
    bool InsertMode() const { return !overwriteMode(); }
    // Whether text is selected now (hasSelectedText learns of a selection only when painting).
    bool HasSelection() const { return !Send(SCI_GETSELECTIONEMPTY); }

    // The font of the text without a highlighter. The component's own setFont and setLexer
    // restyle the line-number gutter as text; these keep its font, and without a highlighter
    // the whole text is shown in the default style.
    void SetTextFont(const QFont& font);
    void setLexer(QsciLexer* lexer = nullptr) override;

    // Replaces the whole text; the modified mark and the undo history are cleared.
    void LoadText(const QString& text);

    void SetBookmark(int number, CaretPlace place);
    void ClearBookmark(int number);
    std::optional<CaretPlace> Bookmark(int number) const;
    // Moves the caret to a bookmark; false when it is not set.
    bool GotoBookmark(int number);

    SelectionMode selectionMode() const { return selectionMode_; }
    void SetSelectionMode(SelectionMode mode);

    // Runs a caret movement so that it extends the selection in the current selection mode;
    // in column mode the component's rectangular command is used when there is one (not 0).
    void ExtendSelection(const std::function<void()>& move, int rectangularCommand = 0);

    // Actions of the key table that the component has no command for.
    void MoveToPageEdge(bool bottom);
    void InsertLineAfterCaret();
    void IndentBlock(bool indent);
    void JumpToMatchingBracket();
    // Tab goes to the column of the next word of the previous non-blank line when there is
    // one to the right of the caret, otherwise it inserts a tab's worth of blanks.
    void SmartTab();
    QString WordAtCaret() const;

    // Reports what changed since the last report; called after every key and whenever the
    // component updates its view.
    void ReportStatus();

signals:
    void StatusChanged(lumivar::StatusChanges changes);
    // Ctrl+F1 with the word at the caret.
    void ContextHelpRequested(const QString& word);
    void FilesDropped(const QStringList& paths);
    // A key is about to be matched against the window's shortcuts.
    void ShortcutCheck();

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    long Send(unsigned msg, unsigned long w = 0, long l = 0) const { return SendScintilla(msg, w, l); }
    int PositionOf(CaretPlace place, int* virtualSpace) const;
    CaretPlace PlaceOf(int position, int virtualSpace) const;
    void UpdateGutterWidth();

    SelectionMode selectionMode_ = SelectionMode::Normal;
    std::array<int, kBookmarkCount> bookmarkHandles_{};
    std::array<int, kBookmarkCount> bookmarkColumns_{};
    CaretPlace lastCaret_{-1, -1};
    bool lastInsertMode_ = true;
    bool lastModified_ = false;
    bool loading_ = false;
};

} // namespace lumivar
