// The macro editor dialog and its session: show, edit, delete, load, save.
#include "macros/Macros.h"

#include "app/util/Msg.h"
#include "app/util/strtools.h"
#include "macros/EditMac.h"

#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace lumivar {
namespace {

constexpr int kNameColumnWidth = 264;
constexpr int kKeyColumnWidth = 123;
constexpr int kSyntaxLabelHeight = 26;
constexpr int kFormFontPoints = 8;

// The memo shows line feeds; the table keeps the text's lines separated by CR.
QString MemoTextOf(const QString& text) { return QString(text).replace('\r', '\n'); }
QString RecordTextOf(const QString& memo) { return QString(memo).replace('\n', '\r'); }

// The lines of a macro file, or the reason it cannot be read.
struct MacroFile {
    QStringList lines;
    QString error;
};

MacroFile ReadMacroFile(const QString& path) {
    // Only regular files are read: a pipe would block the dialog at opening.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) return {{}, QStringLiteral("Это не обычный файл")};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {{}, file.errorString()};
    if (file.size() > TfMacros::kMaxFileSize)
        return {{}, QStringLiteral("Файл больше %1 байт").arg(TfMacros::kMaxFileSize)};
    const QByteArray bytes = file.read(TfMacros::kMaxFileSize + 1);
    if (file.error() != QFileDevice::NoError) return {{}, file.errorString()};
    return {SplitMacroLines(Cp1251ToUnicode(bytes)), {}};
}

} // namespace

TfMacros::TfMacros(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      lbSintax_(new QLabel(this)), grid_(new QTableView(this)), memo_(new QPlainTextEdit(this)),
      editPanel_(new TfEditMac(this)) {
    setObjectName("fMacros");
    setWindowTitle(QStringLiteral("Редактор макроподстановок"));
    setFixedSize(kClientWidth, kClientHeight);
    // The dialog's pixel layout rests on an 8-point form font.
    QFont formFont = font();
    formFont.setPointSize(kFormFontPoints);
    setFont(formFont);

    lbSintax_->setObjectName("LbSintax");
    lbSintax_->setAlignment(Qt::AlignCenter);
    lbSintax_->setFixedHeight(kSyntaxLabelHeight);
    lbSintax_->setFrameStyle(QFrame::Box | QFrame::Sunken);
    QFont bold = lbSintax_->font();
    bold.setBold(true);
    lbSintax_->setFont(bold);

    auto* label4 = new QLabel(
        QStringLiteral("Вызов списка макроподстановок в окне редактора (Ctrl+Shift+J)\n"
                       "Вызов  макроподстановки в окне редактора (Ctrl+J) после ключа"),
        this);
    label4->setObjectName("Label4");
    label4->setAlignment(Qt::AlignCenter);
    label4->setStyleSheet(QStringLiteral("color: red;"));

    grid_->setObjectName("Grid");
    grid_->setModel(&table_);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 4);
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid_->horizontalHeader()->setHighlightSections(false);
    grid_->setColumnWidth(TMacroTable::NameColumn, kNameColumnWidth);
    grid_->setColumnWidth(TMacroTable::KeyColumn, kKeyColumnWidth);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* textLabel = new QLabel(QStringLiteral("Текс который будет подставляться"), this);
    memo_->setObjectName("Memo");
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(3);
    const auto connectButton = [&](const char* name, const QString& caption,
                                   QStyle::StandardPixmap icon, auto handler) {
        QPushButton* button = addButton(QString::fromLatin1(name), caption);
        button->setIcon(style()->standardIcon(icon));
        connect(button, &QPushButton::clicked, this, handler);
        buttons->addWidget(button);
    };
    connectButton("BitBtn4", QStringLiteral("Дбавить макрос"), QStyle::SP_FileDialogNewFolder,
                  &TfMacros::BitBtn4Click);
    connectButton("BitBtn5", QStringLiteral("Изменить макрос"),
                  QStyle::SP_FileDialogDetailedView, &TfMacros::BitBtn5Click);
    connectButton("BitBtn6", QStringLiteral("Удалить макрос"), QStyle::SP_TrashIcon,
                  &TfMacros::BitBtn6Click);
    connectButton("BitBtn1", QStringLiteral("Загрузить из файла"), QStyle::SP_DialogOpenButton,
                  &TfMacros::BitBtn1Click);
    connectButton("BitBtn2", QStringLiteral("Сохранить и выйти"), QStyle::SP_DialogSaveButton,
                  &TfMacros::BitBtn2Click);
    connectButton("BitBtn3", QStringLiteral("Выйти без сохранениея"),
                  QStyle::SP_DialogCancelButton, &TfMacros::reject);
    buttons->addStretch();

    auto* bottom = new QGridLayout;
    bottom->addWidget(textLabel, 0, 0);
    bottom->addWidget(memo_, 1, 0);
    bottom->addLayout(buttons, 0, 1, 2, 1);
    bottom->setColumnStretch(0, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(lbSintax_);
    layout->addWidget(label4);
    layout->addWidget(grid_, 1);
    layout->addLayout(bottom, 1);

    connect(&table_, &TMacroTable::CurrentChanged, this, &TfMacros::currentChanged);
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) table_.SetCurrent(current.row());
            });
    connect(memo_, &QPlainTextEdit::textChanged, this, &TfMacros::memoChanged);
    currentChanged(-1);
}

QPushButton* TfMacros::addButton(const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

std::optional<QStringList> TfMacros::EditMacros(const QString& syntaxCaption,
                                                const QStringList& macros) {
    FormShow(syntaxCaption, macros);
    if (CurrentPrompter().execDialog(*this) != QDialog::Accepted) return std::nullopt;
    return macroText_;
}

void TfMacros::FormShow(const QString& syntaxCaption, const QStringList& macros) {
    lbSintax_->setText(QStringLiteral("Синтаксис  ") + syntaxCaption);
    macroText_ = macros;
    ParseMacros();
}

void TfMacros::ParseMacros() { table_.Reset(ParseMacroText(macroText_)); }

void TfMacros::EditMacro(bool existing) {
    if (existing) {
        if (!table_.Edit()) return;
        editPanel_->setWindowTitle(QStringLiteral("Редактидование"));
    } else {
        table_.Append();
        editPanel_->setWindowTitle(QStringLiteral("Новая макроподстановка"));
    }
    editPanel_->SetFields(table_.Buffer().Name, table_.Buffer().Key);
    if (CurrentPrompter().execDialog(*editPanel_) == QDialog::Accepted) {
        table_.Buffer().Name = editPanel_->Name();
        table_.Buffer().Key = editPanel_->Key();
        table_.Post();
    } else {
        table_.Cancel();
    }
    grid_->setFocus();
}

void TfMacros::BitBtn6Click() {
    if (table_.IsEmpty()) return;
    if (AskYesNo(QStringLiteral("Удалить выбранную макроподстановку."), QStringLiteral("Удаление!")))
        table_.Delete();
}

void TfMacros::BitBtn1Click() {
    FileDialogRequest request;
    request.title = QStringLiteral("закрузка файла макросов");
    request.filter = QStringLiteral("Файлы макросов (*.mcr)|*.mcr");
    const std::optional<QString> path = CurrentPrompter().openFileName(request);
    if (!path) return;
    const MacroFile file = ReadMacroFile(*path);
    if (!file.error.isEmpty()) {
        ShowMsg(QStringLiteral("Ошибка загрузки файла\r") + *path + '\r' + file.error,
                QStringLiteral("Ошибка!"), mkPlain);
        return;
    }
    macroText_ = file.lines;
    ParseMacros();
}

void TfMacros::BitBtn2Click() {
    macroText_.clear();
    table_.Post();
    macroText_ = WriteMacroText(table_.Records());
    accept();
}

void TfMacros::currentChanged(int row) {
    const TMacro* record = table_.CurrentRecord();
    showingRecord_ = true;
    memo_->setPlainText(record ? MemoTextOf(record->Text) : QString());
    showingRecord_ = false;
    // Without a record there is nothing the memo could edit.
    memo_->setReadOnly(record == nullptr);
    if (row >= 0 && grid_->currentIndex().row() != row)
        grid_->setCurrentIndex(table_.index(row, TMacroTable::NameColumn));
}

void TfMacros::memoChanged() {
    if (!showingRecord_) table_.SetCurrentText(RecordTextOf(memo_->toPlainText()));
}

} // namespace lumivar
