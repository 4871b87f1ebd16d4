// Pick lists over the editor component's user lists, with their look applied to the list
// window the component shows.
#include "macros/PickList.h"

#include "macros/CaretText.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QPalette>

#include <Qsci/qsciscintilla.h>

namespace lumivar {
namespace {

const QString kListFontFamily = QStringLiteral("MS Sans Serif");
constexpr int kListFontPoints = 8;
const char* const kTitleName = "pickListTitle";

// The component splits its list at a control character and reads an image number after
// the type separator; item texts therefore carry no control character but the tab.
constexpr char kTypeSeparator = '\x1e';

QString ShownText(QString item) {
    for (QChar& c : item)
        if (c.unicode() < 32 && c != '\t') c = ' ';
    return item;
}

QFont ListFont(bool bold) {
    QFont font(kListFontFamily, kListFontPoints);
    font.setBold(bold);
    return font;
}

} // namespace

TPickListStyle MacroPickListStyle() {
    return {1,   QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_J),
            {},  400,
            8,   QApplication::palette().color(QPalette::ToolTipBase),
            Qt::yellow, 500};
}

TPickListStyle UserFunctionListStyle() {
    return {2,   QKeyCombination(Qt::ControlModifier, Qt::Key_Space),
            QStringLiteral("User Function"),
            450, 8,
            QColor(0xF0, 0xFF, 0xFF), QApplication::palette().color(QPalette::Button),
            1000};
}

TPickList::TPickList(QsciScintilla* editor, TPickListStyle style)
    : QObject(editor), editor_(editor), style_(std::move(style)) {
    autoOpen_.setSingleShot(true);
    autoOpen_.setInterval(style_.autoOpenDelay);
    connect(&autoOpen_, &QTimer::timeout, this, [this] {
        // One list at a time: a list another pick list opened meanwhile stays.
        if (!editor_->isListActive()) open(true);
    });
    connect(editor_, &QsciScintillaBase::SCN_CHARADDED, this, &TPickList::charAdded);
    connect(editor_, &QsciScintilla::userListActivated, this, &TPickList::userListActivated);
    editor_->installEventFilter(this);
}

void TPickList::SetItems(const QStringList& display, const QStringList& insert) {
    display_ = display;
    insert_ = insert;
}

bool TPickList::eventFilter(QObject* watched, QEvent* event) {
    if (watched != editor_ || !IsKeyEvent(event, style_.shortcut)) return false;
    event->accept();
    if (event->type() == QEvent::KeyPress) Execute();
    return true;
}

void TPickList::charAdded(int character) {
    if (character == '.')
        autoOpen_.start();
    else
        autoOpen_.stop();
}

bool TPickList::Execute() { return open(false); }

bool TPickList::open(bool onlyWithItems) {
    autoOpen_.stop();
    const QString word = WordAtEnd(TextBeforeCaret(*editor_), kWordDelimiters);
    if (word == QStringLiteral(".")) return false;
    shownDisplay_.clear();
    shownInsert_.clear();
    for (qsizetype i = 0; i < insert_.size() && i < display_.size(); ++i) {
        if (!insert_[i].startsWith(word, Qt::CaseInsensitive)) continue;
        shownDisplay_ << ShownText(display_[i]);
        shownInsert_ << insert_[i];
    }
    if (onlyWithItems && shownDisplay_.isEmpty()) return false;
    // Items stay in their own order; the component keeps a sorted index for typing ahead
    // (which it cannot build for an empty list).
    editor_->SendScintilla(QsciScintillaBase::SCI_AUTOCSETORDER,
                           static_cast<long>(shownDisplay_.isEmpty()
                                                 ? QsciScintillaBase::SC_ORDER_PRESORTED
                                                 : QsciScintillaBase::SC_ORDER_CUSTOM));
    editor_->SendScintilla(QsciScintillaBase::SCI_AUTOCSETTYPESEPARATOR,
                           static_cast<long>(kTypeSeparator));
    editor_->SendScintilla(QsciScintillaBase::SCI_AUTOCSETIGNORECASE, 1L);
    editor_->SendScintilla(QsciScintillaBase::SCI_AUTOCSETMAXHEIGHT,
                           static_cast<long>(style_.rows));
    editor_->showUserList(style_.listId, shownDisplay_);
    styleShownList();
    return true;
}

// The component draws the list in a window of its own, a child of the editor: give it the
// style's colours, font, width and title strip.
void TPickList::styleShownList() {
    for (QListWidget* list : editor_->findChildren<QListWidget*>()) {
        if (!list->isVisible()) continue;
        QPalette palette = list->palette();
        palette.setColor(QPalette::Base, style_.background);
        list->setPalette(palette);
        list->setFont(ListFont(false));
        int height = list->height();
        auto* title = list->findChild<QLabel*>(kTitleName);
        if (!style_.title.isEmpty()) {
            if (!title) {
                title = new QLabel(list);
                title->setObjectName(kTitleName);
                title->setAlignment(Qt::AlignCenter);
                title->setAutoFillBackground(true);
                title->setFont(ListFont(true));
            }
            QPalette titlePalette = title->palette();
            titlePalette.setColor(QPalette::Window, style_.titleBackground);
            title->setPalette(titlePalette);
            title->setText(style_.title);
            const int titleHeight = title->sizeHint().height();
            list->setStyleSheet(QStringLiteral("QListWidget { padding-top: %1px; }").arg(titleHeight));
            title->setGeometry(1, 1, style_.width - 2, titleHeight);
            title->show();
            height += titleHeight;
        } else {
            if (title) title->hide();
            list->setStyleSheet({});
        }
        // Shown above the caret line, the list grows upwards so that it leaves the line free.
        const int caretY = static_cast<int>(editor_->SendScintilla(
            QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, CaretPosition(*editor_)));
        const int caretTop = editor_->viewport()->mapToGlobal(QPoint(0, caretY)).y();
        if (list->mapToGlobal(QPoint(0, 0)).y() < caretTop)
            list->move(list->x(), list->y() - (height - list->height()));
        list->resize(style_.width, height);
    }
}

void TPickList::userListActivated(int id, const QString& text) {
    if (id == style_.listId) Pick(text);
}

void TPickList::Pick(const QString& displayItem) {
    const qsizetype index = shownDisplay_.indexOf(displayItem);
    if (index < 0) return;
    const QString inserted = shownInsert_[index];
    editor_->cancelList();
    ReplaceBeforeCaret(*editor_, WordAtEnd(TextBeforeCaret(*editor_), kWordDelimiters), inserted);
    emit CodeCompletion(inserted);
}

} // namespace lumivar
