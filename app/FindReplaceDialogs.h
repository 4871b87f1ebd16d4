// The non-modal find and replace dialogs of the main window. Both hold the text to find and
// the options match case, whole word and direction; the replace dialog adds the replacement
// and the Replace and Replace All buttons. The dialogs only report which button was pressed;
// the window runs the search.
#pragma once

#include "app/EditorSearch.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace lumivar {

class TSearchDialog : public QDialog {
    Q_OBJECT
public:
    QString FindText() const;
    void SetFindText(const QString& text);
    // Match case, whole word and, with "Вверх" chosen, backwards.
    TSearchOptions Options() const;

    // Shows the dialog without blocking, in front, with the text to find selected.
    void Execute();

    QLineEdit* FindEdit() const { return findEdit_; }
    QCheckBox* WholeWordBox() const { return wholeWord_; }
    QCheckBox* MatchCaseBox() const { return matchCase_; }
    QRadioButton* UpButton() const { return up_; }
    QRadioButton* DownButton() const { return down_; }
    QPushButton* FindNextButton() const { return findNext_; }

signals:
    void FindNext();

protected:
    // Builds the common part; WithReplacement adds the replacement field.
    TSearchDialog(QWidget* parent, const QString& caption, bool withReplacement);

    QLineEdit* replaceEdit_ = nullptr;
    QVBoxLayout* buttons_;

private:
    QLineEdit* findEdit_;
    QCheckBox* wholeWord_;
    QCheckBox* matchCase_;
    QRadioButton* up_;
    QRadioButton* down_;
    QPushButton* findNext_;
};

class TFindDialog : public TSearchDialog {
    Q_OBJECT
public:
    explicit TFindDialog(QWidget* parent = nullptr);
};

class TReplaceDialog : public TSearchDialog {
    Q_OBJECT
public:
    explicit TReplaceDialog(QWidget* parent = nullptr);

    QString ReplaceText() const;
    void SetReplaceText(const QString& text);

    QLineEdit* ReplaceEdit() const { return replaceEdit_; }
    QPushButton* ReplaceButton() const { return replace_; }
    QPushButton* ReplaceAllButton() const { return replaceAll_; }

signals:
    void Replace();
    void ReplaceAll();

private:
    QPushButton* replace_;
    QPushButton* replaceAll_;
};

} // namespace lumivar
