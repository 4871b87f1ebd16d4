// The settings dialog: its two pages, applying the settings, the extension list.
#include "settings/Setings.h"

#include "app/util/Msg.h"
#include "app/util/NumTools.h"
#include "settings/ColorPicker.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QValidator>
#include <QVBoxLayout>

#include <climits>

namespace lumivar {
namespace {

constexpr int kSampleWidth = 333;
constexpr int kSampleHeight = 47;
constexpr int kFormFontPoints = 8;
constexpr int kExtensionFieldWidth = 60;
constexpr int kSpinWidth = 80;
constexpr int kFontButtonWidth = 90;
constexpr int kPageMargin = 6;

// Typed letters become upper case; only what an extension can be registered with is taken.
class ExtensionValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        input = QLocale().toUpper(input);
        const QString trimmed = input.trimmed();
        return trimmed.isEmpty() || IsRegistrableExtension(trimmed) ? Acceptable : Invalid;
    }
};

QPushButton* Button(QWidget* parent, const QString& caption, const char* name) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

} // namespace

TfSetings::TfSetings(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      lastDialogFont_(QStringLiteral("MS Sans Serif"), 8), pages_(new QTabWidget(this)),
      seRight_(new QSpinBox(this)), seTabs_(new QSpinBox(this)),
      cmbRightColor_(new TColorPicker(this)), cmbFon_(new TColorPicker(this)),
      lbFont_(new QLabel(this)), lbExtFile_(new QListWidget(this)),
      editExt_(new QLineEdit(this)) {
    setObjectName("fSetings");
    setWindowTitle(QStringLiteral("Параметры..."));
    setFixedSize(kClientWidth, kClientHeight);
    // The dialog's pixel layout rests on an 8-point form font.
    QFont formFont = font();
    formFont.setPointSize(kFormFontPoints);
    setFont(formFont);

    pages_->setObjectName("PageControl");
    pages_->addTab(createGeneralPage(), QStringLiteral("Общие"));
    pages_->addTab(createExtensionPage(), QStringLiteral("Расширения файлов"));
    // The first opening shows the extensions; later openings the page last shown.
    pages_->setCurrentIndex(1);

    QPushButton* apply = Button(this, QStringLiteral("Применить"), "BtnApply");
    QPushButton* ok = Button(this, QStringLiteral("OK"), "BtnOk");
    QPushButton* cancel = Button(this, QStringLiteral("Отмена"), "BtnCancel");
    apply->setAutoDefault(false);
    cancel->setAutoDefault(false);
    ok->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &TfSetings::BitBtn1Click);
    connect(ok, &QPushButton::clicked, this, [this] {
        // OK closes even when registering an extension failed; the failure has been reported.
        BitBtn1Click();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &TfSetings::reject);

    auto* strip = new QHBoxLayout;
    strip->addWidget(apply);
    strip->addStretch();
    strip->addWidget(ok);
    strip->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(pages_, 1);
    layout->addLayout(strip);
}

QWidget* TfSetings::createGeneralPage() {
    auto* page = new QWidget(this);
    seRight_->setObjectName("seRight");
    // A margin column below 0 means nothing, and the settings store refuses to read one back.
    seRight_->setRange(0, INT_MAX);
    seTabs_->setObjectName("seTabs");
    seTabs_->setRange(kMinTabWidth, kMaxTabWidth);
    cmbRightColor_->setObjectName("cmbRightColor");
    cmbFon_->setObjectName("cmbFon");

    lbFont_->setObjectName("lbFont");
    lbFont_->setFixedSize(kSampleWidth, kSampleHeight);
    lbFont_->setAlignment(Qt::AlignCenter);
    lbFont_->setAutoFillBackground(true);
    QPalette sample = lbFont_->palette();
    sample.setColor(QPalette::Window, Qt::white);
    lbFont_->setPalette(sample);
    connect(cmbFon_, &TColorPicker::ColorChanged, this, [this](const QColor& color) {
        QPalette palette = lbFont_->palette();
        palette.setColor(QPalette::Window, color);
        lbFont_->setPalette(palette);
    });

    QPushButton* fontButton = Button(page, QStringLiteral("Шрифт"), "Button1");
    fontButton->setAutoDefault(false);
    connect(fontButton, &QPushButton::clicked, this, &TfSetings::Button1Click);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Правая граница"), page), 0, 0);
    grid->addWidget(seRight_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Цвет правой границы"), page), 0, 2);
    grid->addWidget(cmbRightColor_, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Ширина табуляции"), page), 1, 0);
    grid->addWidget(seTabs_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Цвет фона"), page), 1, 2);
    grid->addWidget(cmbFon_, 1, 3);
    seRight_->setFixedWidth(kSpinWidth);
    seTabs_->setFixedWidth(kSpinWidth);
    grid->setColumnStretch(3, 1);
    fontButton->setFixedWidth(kFontButtonWidth);
    auto* sampleRow = new QHBoxLayout;
    sampleRow->addWidget(lbFont_);
    sampleRow->addWidget(fontButton, 0, Qt::AlignVCenter);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(kPageMargin, kPageMargin, kPageMargin, kPageMargin);
    layout->addLayout(grid);
    layout->addLayout(sampleRow);
    layout->addStretch();
    return page;
}

QWidget* TfSetings::createExtensionPage() {
    auto* page = new QWidget(this);
    lbExtFile_->setObjectName("lb_ExtFile");
    lbExtFile_->setSortingEnabled(true);
    QFont listFont(QStringLiteral("Courier New"), 10);
    listFont.setBold(true);
    lbExtFile_->setFont(listFont);

    editExt_->setObjectName("Edit_Ext");
    editExt_->setMaxLength(kMaxExtensionLength);
    editExt_->setValidator(new ExtensionValidator(editExt_));
    QPushButton* add = Button(page, QStringLiteral("Добавить в список"), "RxSpeedButton1");
    add->setAutoDefault(false);
    // A speed button: clicking it leaves the focus in the field, where the next extension is
    // typed.
    add->setFocusPolicy(Qt::NoFocus);
    connect(add, &QPushButton::clicked, this, &TfSetings::RxSpeedButton1Click);

    editExt_->setFixedWidth(kExtensionFieldWidth);
    auto* side = new QVBoxLayout;
    side->addWidget(editExt_);
    side->addWidget(add, 0, Qt::AlignLeft);
    side->addStretch();
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(lbExtFile_, 1);
    layout->addLayout(side, 1);
    return page;
}

void TfSetings::SetAssociationTarget(const QString& executable,
                                     const TAssociationFolders& folders) {
    executable_ = executable;
    folders_ = folders;
}

QStringList TfSetings::ExtList() const {
    QStringList extensions;
    for (int row = 0; row < lbExtFile_->count(); ++row) extensions << lbExtFile_->item(row)->text();
    return extensions;
}

void TfSetings::SetExtList(const QStringList& extensions) {
    lbExtFile_->clear();
    lbExtFile_->addItems(extensions);
}

int TfSetings::Execute() {
    FormShow();
    return CurrentPrompter().execDialog(*this);
}

void TfSetings::FormShow() {
    if (!hooks_.ReadLook) return;
    const TEditorLook look = hooks_.ReadLook();
    cmbFon_->SetSelected(look.Color);
    ShowFontSample(look.Font);
    seRight_->setValue(look.RightEdge);
    cmbRightColor_->SetSelected(look.RightEdgeColor);
    seTabs_->setValue(look.TabWidth);
}

void TfSetings::ShowFontSample(const QFont& font) {
    lbFont_->setFont(font);
    const int points = font.pointSize() > 0 ? font.pointSize() : QFontInfo(font).pointSize();
    lbFont_->setText(font.family() + QStringLiteral("   ") + QString::number(points));
}

void TfSetings::Button1Click() {
    const std::optional<QFont> chosen =
        CurrentPrompter().chooseFont(lastDialogFont_, QStringLiteral("Шрифт"));
    if (!chosen) return;
    lastDialogFont_ = *chosen;
    ShowFontSample(*chosen);
}

void TfSetings::BitBtn1Click() { ApplySettings(); }

void TfSetings::ApplySettings() {
    if (hooks_.ApplyLook)
        hooks_.ApplyLook({lbFont_->font(), seRight_->value(), cmbRightColor_->Selected(),
                          cmbFon_->Selected(), seTabs_->value()});
    if (hooks_.StoreSettings) hooks_.StoreSettings();
    RegisterAllExtensions();
}

bool TfSetings::RegisterAllExtensions() {
    const QStringList extensions = ExtList();
    if (extensions.isEmpty()) return true;
    const QString executable =
        executable_.isEmpty() ? QCoreApplication::applicationFilePath() : executable_;
    const TAssociationFolders folders = folders_ ? *folders_ : UserAssociationFolders();
    std::optional<QString> failure;
    for (const QString& ext : extensions) {
        failure = RegisterExtension(ext, executable, folders);
        if (failure) break;
    }
    // The packages written so far take effect even when a later extension failed.
    const std::optional<QString> updateFailure = UpdateMimeDatabase(folders);
    if (!failure) failure = updateFailure;
    if (failure) ReportError(*failure);
    return !failure;
}

void TfSetings::RxSpeedButton1Click() {
    const QString ext = editExt_->text().trimmed();
    if (ext.isEmpty()) return;
    editExt_->clear();
    for (const QString& listed : ExtList())
        if (SameTextNoCase(listed, ext)) return;
    lbExtFile_->addItem(ext);
}

} // namespace lumivar
