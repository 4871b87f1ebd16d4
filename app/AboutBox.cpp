// Layout of the about box.
#include "app/AboutBox.h"

#include "app/util/Msg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace lumivar {

QString AboutDescription() {
    return QStringLiteral("Редактор предназначен для редактирования текстовых файлов, как WIN так и DOS кодировки.\n"
                          "Реализованы функции подсветки синтаксиса нескольких языков и Bat файлов.\n"
                          "Макроподстановки для каждого выбранного синтаксиса.");
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("О программе"));
    auto* layout = new QVBoxLayout(this);

    auto* name = new QLabel(ApplicationTitle(), this);
    name->setObjectName(QStringLiteral("ProductName"));
    QFont big = name->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    name->setFont(big);
    layout->addWidget(name);

    auto* version = new QLabel(QStringLiteral("Версия " LUMIVAR_VERSION), this);
    version->setObjectName(QStringLiteral("Version"));
    layout->addWidget(version);

    auto* description = new QLabel(AboutDescription(), this);
    description->setObjectName(QStringLiteral("Description"));
    description->setWordWrap(true);
    layout->addWidget(description);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

} // namespace lumivar
