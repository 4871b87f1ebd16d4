// The find and replace dialogs.
#include "app/FindReplaceDialogs.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace lumivar {
namespace {

QPushButton* AddButton(QWidget* parent, QVBoxLayout* column, const QString& caption,
                       const char* name) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    column->addWidget(button);
    return button;
}

} // namespace

TSearchDialog::TSearchDialog(QWidget* parent, const QString& caption, bool withReplacement)
    : QDialog(parent), buttons_(new QVBoxLayout), findEdit_(new QLineEdit(this)),
      wholeWord_(new QCheckBox(QStringLiteral("Только слово целиком"), this)),
      matchCase_(new QCheckBox(QStringLiteral("С учетом регистра"), this)),
      up_(new QRadioButton(QStringLiteral("Вверх"), this)),
      down_(new QRadioButton(QStringLiteral("Вниз"), this)) {
    setWindowTitle(caption);
    setModal(false);
    findEdit_->setObjectName("EditFind");
    wholeWord_->setObjectName("WholeWord");
    matchCase_->setObjectName("MatchCase");
    down_->setChecked(true);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Что:"), findEdit_);
    if (withReplacement) {
        replaceEdit_ = new QLineEdit(this);
        replaceEdit_->setObjectName("EditReplace");
        fields->addRow(QStringLiteral("Чем:"), replaceEdit_);
    }

    auto* direction = new QGroupBox(QStringLiteral("Направление"), this);
    auto* directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(up_);
    directionLayout->addWidget(down_);
    auto* options = new QHBoxLayout;
    auto* checks = new QVBoxLayout;
    checks->addWidget(wholeWord_);
    checks->addWidget(matchCase_);
    checks->addStretch();
    options->addLayout(checks);
    options->addWidget(direction);

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(options);
    left->addStretch();

    findNext_ = AddButton(this, buttons_, QStringLiteral("Найти далее"), "BtnFindNext");
    findNext_->setDefault(true);
    connect(findNext_, &QPushButton::clicked, this, &TSearchDialog::FindNext);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons_);

    // Like the platform's own dialogs: nothing to find, no button to find it.
    const auto updateButtons = [this] { findNext_->setEnabled(!findEdit_->text().isEmpty()); };
    connect(findEdit_, &QLineEdit::textChanged, this, updateButtons);
    updateButtons();
}

QString TSearchDialog::FindText() const { return findEdit_->text(); }
void TSearchDialog::SetFindText(const QString& text) { findEdit_->setText(text); }

TSearchOptions TSearchDialog::Options() const {
    TSearchOptions options;
    options.setFlag(TSearchOption::MatchCase, matchCase_->isChecked());
    options.setFlag(TSearchOption::WholeWord, wholeWord_->isChecked());
    options.setFlag(TSearchOption::Backwards, !down_->isChecked());
    return options;
}

void TSearchDialog::Execute() {
    show();
    raise();
    activateWindow();
    findEdit_->setFocus();
    findEdit_->selectAll();
}

TFindDialog::TFindDialog(QWidget* parent) : TSearchDialog(parent, QStringLiteral("Найти"), false) {
    setObjectName("FindDialog");
    auto* cancel = AddButton(this, buttons_, QStringLiteral("Отмена"), "BtnCancel");
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons_->addStretch();
    setFixedSize(sizeHint());
}

TReplaceDialog::TReplaceDialog(QWidget* parent)
    : TSearchDialog(parent, QStringLiteral("Заменить"), true) {
    setObjectName("ReplaceDialog");
    replace_ = AddButton(this, buttons_, QStringLiteral("Заменить"), "BtnReplace");
    replaceAll_ = AddButton(this, buttons_, QStringLiteral("Заменить все"), "BtnReplaceAll");
    auto* cancel = AddButton(this, buttons_, QStringLiteral("Отмена"), "BtnCancel");
    buttons_->addStretch();
    connect(replace_, &QPushButton::clicked, this, &TReplaceDialog::Replace);
    connect(replaceAll_, &QPushButton::clicked, this, &TReplaceDialog::ReplaceAll);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    const auto updateButtons = [this] {
        replace_->setEnabled(!FindText().isEmpty());
        replaceAll_->setEnabled(!FindText().isEmpty());
    };
    connect(FindEdit(), &QLineEdit::textChanged, this, updateButtons);
    updateButtons();
    setFixedSize(sizeHint());
}

QString TReplaceDialog::ReplaceText() const { return replaceEdit_->text(); }
void TReplaceDialog::SetReplaceText(const QString& text) { replaceEdit_->setText(text); }

} // namespace lumivar
