// The editor component: set-up of QScintilla, caret places with virtual space, bookmarks,
// selection modes, the editor's own key actions and the status notification.
#include "app/EditorMemo.h"

#include "app/KeyTable.h"

#include <Qsci/qscicommandset.h>

#include <QDragEnterEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QToolTip>

namespace lumivar {
namespace {

using Base = QsciScintillaBase;

constexpr int kLineNumberMargin = 0;
constexpr int kBookmarkMargin = 1;
constexpr int kGutterLeftOffset = 2;
constexpr int kBookmarkMarginWidth = 14;
constexpr int kRightEdgeColumn = 100;
constexpr int kTabWidth = 2;

// "Small Fonts" 9 pixels high at 96 dots per inch; QScintilla takes sizes in points.
QFont GutterFont() {
    QFont font(QStringLiteral("Small Fonts"));
    font.setPointSizeF(6.75);
    return font;
}

QStringList LocalFiles(const QMimeData* data) {
    QStringList files;
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) files << url.toLocalFile();
    return files;
}

} // namespace

TEditorMemo::TEditorMemo(QWidget* parent) : QsciScintilla(parent) {
    setUtf8(true);
    Send(Base::SCI_SETEOLMODE, Base::SC_EOL_LF);
    Send(Base::SCI_SETPASTECONVERTENDINGS, 1);
    Send(Base::SCI_ALLOCATELINECHARACTERINDEX, Base::SC_LINECHARACTERINDEX_UTF32);

    QFont font(QStringLiteral("Courier New"), 9);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    SetTextFont(font);

    setMarginType(kLineNumberMargin, NumberMargin);
    setMarginLineNumbers(kLineNumberMargin, true);
    setMarginType(kBookmarkMargin, SymbolMargin);
    setMarginWidth(kBookmarkMargin, kBookmarkMarginWidth);
    setMarginSensitivity(kBookmarkMargin, false);
    for (int n = 0; n < kBookmarkCount; ++n) {
        markerDefine(char('0' + n), n);
        setMarkerForegroundColor(QColor(0x00, 0x00, 0x80), n);
    }
    UpdateGutterWidth();
    connect(this, &QsciScintilla::linesChanged, this, &TEditorMemo::UpdateGutterWidth);

    setEdgeMode(EdgeLine);
    setEdgeColumn(kRightEdgeColumn);
    setEdgeColor(QColor(0xC0, 0xC0, 0xC0));
    setTabWidth(kTabWidth);
    setIndentationsUseTabs(false);
    setAutoIndent(true);
    Send(Base::SCI_SETVIRTUALSPACEOPTIONS, Base::SCVS_RECTANGULARSELECTION | Base::SCVS_USERACCESSIBLE);
    // The horizontal scroll bar appears only when a line is wider than the view.
    Send(Base::SCI_SETSCROLLWIDTH, 1);
    Send(Base::SCI_SETSCROLLWIDTHTRACKING, 1);
    setAcceptDrops(true);

    // The hint while scrolling: the line that will be at the top.
    connect(verticalScrollBar(), &QScrollBar::sliderMoved, this, [this](int value) {
        const int line = int(Send(Base::SCI_DOCLINEFROMVISIBLE, value)) + 1;
        QToolTip::showText(QCursor::pos(), QStringLiteral("Строка: %1").arg(line), this);
    });

    bookmarkHandles_.fill(-1);
    ApplyEditorKeyTable(*this);

    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int) { ReportStatus(); });
    connect(this, &QsciScintilla::modificationChanged, this, [this](bool) {
        if (!loading_) ReportStatus();
    });
    lastCaret_ = Caret();
}

void TEditorMemo::SetTextFont(const QFont& font) {
    setFont(font);
    setMarginsFont(GutterFont());
}

void TEditorMemo::setLexer(QsciLexer* lexer) {
    QsciScintilla::setLexer(lexer);
    // Without a highlighter the text keeps the styles the last one gave it, and those styles
    // no longer carry the editor's font: the whole text takes the default style.
    if (!lexer) Send(Base::SCI_CLEARDOCUMENTSTYLE);
    setMarginsFont(GutterFont());
}

void TEditorMemo::UpdateGutterWidth() {
    const QString digits(QString::number(std::max(lines(), 1)).size(), QLatin1Char('9'));
    const QFontMetrics metrics(GutterFont());
    setMarginWidth(kLineNumberMargin, kGutterLeftOffset + metrics.horizontalAdvance(digits) + 6);
}

CaretPlace TEditorMemo::PlaceOf(int position, int virtualSpace) const {
    const int line = int(Send(Base::SCI_LINEFROMPOSITION, position));
    const long start = Send(Base::SCI_POSITIONFROMLINE, line);
    return {line, int(Send(Base::SCI_COUNTCHARACTERS, start, position)) + virtualSpace};
}

int TEditorMemo::PositionOf(CaretPlace place, int* virtualSpace) const {
    const int line = std::clamp(place.line, 0, std::max(lines() - 1, 0));
    const long start = Send(Base::SCI_POSITIONFROMLINE, line);
    const int length = LineLength(line);
    const int column = std::max(place.column, 0);
    *virtualSpace = std::max(column - length, 0);
    if (column >= length) return int(Send(Base::SCI_GETLINEENDPOSITION, line));
    return int(Send(Base::SCI_POSITIONRELATIVE, start, column));
}

CaretPlace TEditorMemo::Caret() const {
    const long main = Send(Base::SCI_GETMAINSELECTION);
    return PlaceOf(int(Send(Base::SCI_GETSELECTIONNCARET, main)),
                   int(Send(Base::SCI_GETSELECTIONNCARETVIRTUALSPACE, main)));
}

CaretPlace TEditorMemo::SelectionStart() const {
    const long main = Send(Base::SCI_GETMAINSELECTION);
    const CaretPlace caret = Caret();
    const CaretPlace anchor = PlaceOf(int(Send(Base::SCI_GETSELECTIONNANCHOR, main)),
                                      int(Send(Base::SCI_GETSELECTIONNANCHORVIRTUALSPACE, main)));
    if (anchor.line != caret.line) return anchor.line < caret.line ? anchor : caret;
    return anchor.column < caret.column ? anchor : caret;
}

void TEditorMemo::SetCaret(CaretPlace place) {
    int virtualSpace = 0;
    const int position = PositionOf(place, &virtualSpace);
    Send(Base::SCI_SETEMPTYSELECTION, position);
    Send(Base::SCI_SETSELECTIONNCARETVIRTUALSPACE, 0, virtualSpace);
    Send(Base::SCI_SETSELECTIONNANCHORVIRTUALSPACE, 0, virtualSpace);
    Send(Base::SCI_CHOOSECARETX);
    Send(Base::SCI_SCROLLCARET);
    ReportStatus();
}

int TEditorMemo::LineLength(int line) const {
    if (line < 0 || line >= lines()) return 0;
    return int(Send(Base::SCI_COUNTCHARACTERS, Send(Base::SCI_POSITIONFROMLINE, line),
                    Send(Base::SCI_GETLINEENDPOSITION, line)));
}

qint64 TEditorMemo::CharactersBeforeLine(int line) const {
    const long indexed = Send(Base::SCI_INDEXPOSITIONFROMLINE, line, Base::SC_LINECHARACTERINDEX_UTF32);
    if (indexed >= 0) return indexed;
    return Send(Base::SCI_COUNTCHARACTERS, 0, Send(Base::SCI_POSITIONFROMLINE, line));
}

void TEditorMemo::LoadText(const QString& text) {
    const bool wasModified = isModified();
    loading_ = true;
    setText(text);
    setModified(false);
    Send(Base::SCI_EMPTYUNDOBUFFER);
    loading_ = false;
    StatusChanges changes = StatusChange::All;
    if (wasModified) changes |= StatusChange::Modified;
    lastModified_ = false;
    emit StatusChanged(changes);
    ReportStatus();
}

void TEditorMemo::SetBookmark(int number, CaretPlace place) {
    if (number < 0 || number >= kBookmarkCount) return;
    ClearBookmark(number);
    bookmarkHandles_[number] = markerAdd(std::clamp(place.line, 0, std::max(lines() - 1, 0)), number);
    bookmarkColumns_[number] = place.column;
}

void TEditorMemo::ClearBookmark(int number) {
    if (number < 0 || number >= kBookmarkCount || bookmarkHandles_[number] < 0) return;
    markerDeleteHandle(bookmarkHandles_[number]);
    bookmarkHandles_[number] = -1;
}

std::optional<CaretPlace> TEditorMemo::Bookmark(int number) const {
    if (number < 0 || number >= kBookmarkCount || bookmarkHandles_[number] < 0) return std::nullopt;
    const int line = markerLine(bookmarkHandles_[number]);
    if (line < 0) return std::nullopt;
    return CaretPlace{line, bookmarkColumns_[number]};
}

bool TEditorMemo::GotoBookmark(int number) {
    const std::optional<CaretPlace> place = Bookmark(number);
    if (!place) return false;
    SetCaret(*place);
    return true;
}

void TEditorMemo::SetSelectionMode(SelectionMode mode) {
    selectionMode_ = mode;
    // Setting the component's mode twice leaves its caret moves non-extending.
    const long scintillaMode = mode == SelectionMode::Line     ? Base::SC_SEL_LINES
                               : mode == SelectionMode::Column ? Base::SC_SEL_RECTANGLE
                                                               : Base::SC_SEL_STREAM;
    const long caret = Send(Base::SCI_GETCURRENTPOS);
    Send(Base::SCI_SETEMPTYSELECTION, caret);
    Send(Base::SCI_SETSELECTIONMODE, scintillaMode);
    Send(Base::SCI_SETSELECTIONMODE, scintillaMode);
    Send(Base::SCI_SETEMPTYSELECTION, caret);
}

void TEditorMemo::ExtendSelection(const std::function<void()>& move, int rectangularCommand) {
    switch (selectionMode_) {
    case SelectionMode::Column:
        if (rectangularCommand) {
            Send(rectangularCommand);
        } else {
            // Keep the rectangle's anchor, move the caret plainly, then span the rectangle.
            const bool rectangular = Send(Base::SCI_SELECTIONISRECTANGLE);
            const long main = Send(Base::SCI_GETMAINSELECTION);
            const long anchor = rectangular ? Send(Base::SCI_GETRECTANGULARSELECTIONANCHOR)
                                            : Send(Base::SCI_GETSELECTIONNANCHOR, main);
            const long anchorSpace = rectangular ? Send(Base::SCI_GETRECTANGULARSELECTIONANCHORVIRTUALSPACE)
                                                 : Send(Base::SCI_GETSELECTIONNANCHORVIRTUALSPACE, main);
            Send(Base::SCI_SETEMPTYSELECTION, Send(Base::SCI_GETCURRENTPOS));
            move();
            const long caret = Send(Base::SCI_GETCURRENTPOS);
            const long caretSpace = Send(Base::SCI_GETSELECTIONNCARETVIRTUALSPACE, 0);
            Send(Base::SCI_SETRECTANGULARSELECTIONANCHOR, anchor);
            Send(Base::SCI_SETRECTANGULARSELECTIONANCHORVIRTUALSPACE, anchorSpace);
            Send(Base::SCI_SETRECTANGULARSELECTIONCARET, caret);
            Send(Base::SCI_SETRECTANGULARSELECTIONCARETVIRTUALSPACE, caretSpace);
        }
        break;
    case SelectionMode::Line:
        // The first call makes caret moves extend whole lines, the second ends that.
        Send(Base::SCI_SETSELECTIONMODE, Base::SC_SEL_LINES);
        move();
        Send(Base::SCI_SETSELECTIONMODE, Base::SC_SEL_LINES);
        break;
    case SelectionMode::Normal: {
        const long main = Send(Base::SCI_GETMAINSELECTION);
        const long anchor = Send(Base::SCI_GETSELECTIONNANCHOR, main);
        const long anchorSpace = Send(Base::SCI_GETSELECTIONNANCHORVIRTUALSPACE, main);
        move();
        const long caret = Send(Base::SCI_GETCURRENTPOS);
        const long caretSpace = Send(Base::SCI_GETSELECTIONNCARETVIRTUALSPACE, 0);
        // Anchor and caret one by one: unlike SCI_SETSELECTION this lets QScintilla know
        // that text is selected.
        Send(Base::SCI_SETANCHOR, anchor);
        Send(Base::SCI_SETCURRENTPOS, caret);
        Send(Base::SCI_SETSELECTIONNANCHORVIRTUALSPACE, 0, anchorSpace);
        Send(Base::SCI_SETSELECTIONNCARETVIRTUALSPACE, 0, caretSpace);
        break;
    }
    }
}

void TEditorMemo::MoveToPageEdge(bool bottom) {
    const long top = Send(Base::SCI_GETFIRSTVISIBLELINE);
    const long display = bottom ? top + std::max(Send(Base::SCI_LINESONSCREEN), 1L) - 1 : top;
    const int line = std::min(int(Send(Base::SCI_DOCLINEFROMVISIBLE, display)), lines() - 1);
    SetCaret({line, Caret().column});
}

void TEditorMemo::InsertLineAfterCaret() {
    const CaretPlace caret = Caret();
    int virtualSpace = 0;
    SendScintilla(Base::SCI_INSERTTEXT, uintptr_t(PositionOf(caret, &virtualSpace)), "\n");
    SetCaret(caret);
}

void TEditorMemo::IndentBlock(bool indent) {
    int lineFrom = 0, indexFrom = 0, lineTo = 0, indexTo = 0;
    getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
    if (lineFrom < 0) {
        lineFrom = lineTo = Caret().line;
    } else if (lineTo > lineFrom && indexTo == 0) {
        --lineTo; // a selection ending at the start of a line leaves that line alone
    }
    beginUndoAction();
    for (int line = lineFrom; line <= lineTo; ++line) indent ? this->indent(line) : unindent(line);
    endUndoAction();
}

void TEditorMemo::JumpToMatchingBracket() {
    const long caret = Send(Base::SCI_GETCURRENTPOS);
    long match = Send(Base::SCI_BRACEMATCH, caret);
    if (match < 0 && caret > 0) match = Send(Base::SCI_BRACEMATCH, caret - 1);
    if (match < 0) return;
    Send(Base::SCI_GOTOPOS, match);
    Send(Base::SCI_CHOOSECARETX);
}

void TEditorMemo::SmartTab() {
    int lineFrom = 0, indexFrom = 0, lineTo = 0, indexTo = 0;
    getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
    const CaretPlace caret = Caret();
    int target = -1;
    if (lineFrom < 0) {
        for (int line = caret.line - 1; line >= 0 && target < 0; --line) {
            const QString above = text(line).left(LineLength(line));
            if (above.trimmed().isEmpty()) continue;
            int i = caret.column;
            while (i < above.size() && !above[i].isSpace()) ++i;
            while (i < above.size() && above[i].isSpace()) ++i;
            if (i < above.size()) target = i;
            break;
        }
    }
    if (target <= caret.column) {
        Send(Base::SCI_TAB);
        return;
    }
    int virtualSpace = 0;
    const int position = PositionOf(caret, &virtualSpace);
    const QByteArray blanks(target - (caret.column - virtualSpace), ' ');
    SendScintilla(Base::SCI_INSERTTEXT, uintptr_t(position), blanks.constData());
    SetCaret({caret.line, target});
}

QString TEditorMemo::WordAtCaret() const {
    int line = 0, index = 0;
    getCursorPosition(&line, &index);
    return wordAtLineIndex(line, index);
}

void TEditorMemo::ReportStatus() {
    StatusChanges changes;
    const CaretPlace caret = Caret();
    if (caret.column != lastCaret_.column) changes |= StatusChange::CaretX;
    if (caret.line != lastCaret_.line) changes |= StatusChange::CaretY;
    if (InsertMode() != lastInsertMode_) changes |= StatusChange::InsertMode;
    if (isModified() != lastModified_) changes |= StatusChange::Modified;
    lastCaret_ = caret;
    lastInsertMode_ = InsertMode();
    lastModified_ = isModified();
    if (changes) emit StatusChanged(changes);
}

bool TEditorMemo::event(QEvent* e) {
    if (e->type() == QEvent::ShortcutOverride) {
        emit ShortcutCheck();
        auto* key = static_cast<QKeyEvent*>(e);
        if (IsEditorActionKey(*this, *key)) {
            key->accept();
            return true;
        }
    }
    return QsciScintilla::event(e);
}

void TEditorMemo::keyPressEvent(QKeyEvent* e) {
    if (RunEditorKeyAction(*this, *e)) {
        ReportStatus();
        return;
    }
    // A Ctrl or Alt combination outside the key table types nothing: it belongs to the
    // window's commands and the completion lists.
    const int key = e->key() | int(e->modifiers() & ~Qt::KeypadModifier);
    if ((e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) &&
        !standardCommands()->boundTo(key)) {
        e->ignore();
        return;
    }
    QsciScintilla::keyPressEvent(e);
    ReportStatus();
}

void TEditorMemo::dragEnterEvent(QDragEnterEvent* e) {
    if (!LocalFiles(e->mimeData()).isEmpty()) e->acceptProposedAction();
    else QsciScintilla::dragEnterEvent(e);
}

void TEditorMemo::dragMoveEvent(QDragMoveEvent* e) {
    if (!LocalFiles(e->mimeData()).isEmpty()) e->acceptProposedAction();
    else QsciScintilla::dragMoveEvent(e);
}

void TEditorMemo::dropEvent(QDropEvent* e) {
    const QStringList files = LocalFiles(e->mimeData());
    if (files.isEmpty()) {
        QsciScintilla::dropEvent(e);
        return;
    }
    e->acceptProposedAction();
    emit FilesDropped(files);
}

} // namespace lumivar
