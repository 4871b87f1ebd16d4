// The macro dialog's edit panel for the name and the key.
#include "macros/EditMac.h"

#include "app/util/Msg.h"
#include "macros/MacroTable.h"
#include "macros/MacroText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumivar {

TfEditMac::TfEditMac(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      nameEdit_(new QLineEdit(this)), keyEdit_(new QLineEdit(this)) {
    setObjectName("fEditMac");
    nameEdit_->setObjectName("EditName");
    nameEdit_->setMaxLength(TMacroTable::kNameSize);
    keyEdit_->setObjectName("EditKey");
    keyEdit_->setMaxLength(TMacroTable::kKeySize);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName("BtnOk");
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Отмена"), this);
    cancel->setObjectName("BtnCancel");
    connect(ok, &QPushButton::clicked, this, &TfEditMac::accept);
    connect(cancel, &QPushButton::clicked, this, &TfEditMac::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Наименование"), this));
    layout->addWidget(nameEdit_);
    layout->addWidget(new QLabel(QStringLiteral("Ключевое слово"), this));
    layout->addWidget(keyEdit_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    resize(360, sizeHint().height());
}

void TfEditMac::SetFields(const QString& name, const QString& key) {
    nameEdit_->setText(name);
    keyEdit_->setText(key);
    nameEdit_->setFocus();
}

QString TfEditMac::Name() const { return nameEdit_->text(); }
QString TfEditMac::Key() const { return keyEdit_->text(); }

void TfEditMac::accept() {
    const QString key = TrimBlanks(Key());
    if (key.isEmpty() || key.startsWith('[') || key.startsWith('=')) {
        ShowMsg(QStringLiteral("Ключевое слово не может быть пустым и не может начинаться "
                               "с \"[\" или \"=\"."),
                QString(), mkError);
        keyEdit_->setFocus();
        return;
    }
    QDialog::accept();
}

} // namespace lumivar
