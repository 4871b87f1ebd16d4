// A pick list of an editor, shown with the editor component's user list: a shortcut (and,
// optionally, a delay after "." is typed) opens it with the items whose insert entry starts
// with the word before the caret; picking one puts the entry in place of the word. The two
// lists of the editor differ only in their look and keys, given by a style.
#pragma once

#include <QColor>
#include <QKeyCombination>
#include <QObject>
#include <QStringList>
#include <QTimer>

class QListWidget;
class QsciScintilla;

namespace lumivar {

struct TPickListStyle {
    int listId;                // the editor's user-list number, above 0 and unique per editor
    QKeyCombination shortcut;
    QString title;             // empty: no title strip
    int width;                 // pixels
    int rows;                  // visible items
    QColor background;
    QColor titleBackground;
    int autoOpenDelay;         // milliseconds after a typed "."
};

// The macro pick list (Ctrl+Shift+J) and the "User Function" list (Ctrl+Space).
TPickListStyle MacroPickListStyle();
TPickListStyle UserFunctionListStyle();

class TPickList : public QObject {
    Q_OBJECT
public:
    // Characters that end the word being completed besides every code up to 32.
    static inline const QString kWordDelimiters = QStringLiteral("()[] ");

    // Attaches to the editor, which owns the list.
    TPickList(QsciScintilla* editor, TPickListStyle style);

    // The two parallel lists: what is shown, and what a pick inserts.
    void SetItems(const QStringList& display, const QStringList& insert);
    const QStringList& ItemList() const { return display_; }
    const QStringList& InsertList() const { return insert_; }

    // Opens the list for the word before the caret, also when no item matches it; false when
    // it refuses, which it does when the word is exactly ".".
    bool Execute();

    // The shown items of the last opening, as displayed.
    const QStringList& ShownItems() const { return shownDisplay_; }

    // Puts the insert entry of a shown display item in place of the word being typed, then
    // reports it through CodeCompletion. Called when the user picks an item.
    void Pick(const QString& displayItem);

    // The timer that opens the list after a typed "."; exposed so that tests need not wait.
    // Opened by the timer, the list shows only when an item matches: an empty list would take
    // the next Enter, Tab or arrow key the user types on.
    QTimer& AutoOpenTimer() { return autoOpen_; }

signals:
    void CodeCompletion(const QString& inserted);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Opens the list for the word before the caret; false when it refuses, or when it has
    // nothing to show and onlyWithItems is set.
    bool open(bool onlyWithItems);
    void charAdded(int character);
    void userListActivated(int id, const QString& text);
    void styleShownList();

    QsciScintilla* editor_;
    TPickListStyle style_;
    QStringList display_;
    QStringList insert_;
    QStringList shownDisplay_;
    QStringList shownInsert_;
    QTimer autoOpen_;
};

} // namespace lumivar
