// The main window: creation of its components and commands, the status bar, the caption, the
// standard editing commands, the about box, guarded command execution and start-up.
#include "app/ScriptEditor.h"

#include "app/AboutBox.h"
#include "app/CommandIcons.h"
#include "app/Highlighters.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <exception>

namespace lumivar {
namespace {

enum class CommandState { Enabled, Disabled, Hidden, DisabledHidden, Checkable, Standard };

struct CommandRow {
    QAction* TfScriptEditor::* member;
    const char* name;
    const char* caption;
    const char* hint;
    const char* keys;
    CommandState state;
};

constexpr CommandRow kCommandRows[] = {
#define LUMIVAR_COMMAND(name, caption, hint, keys, state) \
    {&TfScriptEditor::name, #name, caption, hint, keys, CommandState::state},
#include "app/Commands.def"
#undef LUMIVAR_COMMAND
};

struct PanelRow {
    int width;
    Qt::Alignment alignment;
    const char* text; // fixed label, or nullptr
};
constexpr std::array<PanelRow, TfScriptEditor::kPanelCount> kPanels = {{
    {60, Qt::AlignCenter, "Колонка"},
    {50, Qt::AlignCenter, nullptr},
    {60, Qt::AlignCenter, "Позиция"},
    {50, Qt::AlignCenter, nullptr},
    {100, Qt::AlignCenter, nullptr},
    {50, Qt::AlignCenter, nullptr},
    {70, Qt::AlignCenter, "Синтаксис"},
    {150, Qt::AlignLeft | Qt::AlignVCenter, nullptr},
}};
constexpr int kCaretColumnPanel = 1;
constexpr int kPositionPanel = 3;
constexpr int kModifiedPanel = 4;
constexpr int kInsertModePanel = 5;

constexpr int kErrorPanelHeight = 41;
constexpr int kSplitterWidth = 5;
constexpr int kToolBarGap = 12;

QList<QKeySequence> KeysOf(const char* keys) {
    QList<QKeySequence> list;
    for (const QString& k : QString::fromUtf8(keys).split(QLatin1Char('|'), Qt::SkipEmptyParts))
        list << QKeySequence::fromString(k, QKeySequence::PortableText);
    return list;
}

QWidget* ToolBarGap(QWidget* parent) {
    auto* gap = new QWidget(parent);
    gap->setFixedWidth(kToolBarGap);
    return gap;
}

} // namespace

TfScriptEditor::TfScriptEditor(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(ApplicationTitle());
    resize(780, 525);
    CreateEditor();
    CreateCommands();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    CreateHighlighters();
    FormCreate();
}

void TfScriptEditor::CreateEditor() {
    Splitter = new QSplitter(Qt::Vertical, this);
    Splitter->setHandleWidth(kSplitterWidth);
    Splitter->setChildrenCollapsible(false);

    Memo = new TEditorMemo(Splitter);
    Memo->setContextMenuPolicy(Qt::CustomContextMenu);
    memoFont_ = Memo->font();
    memoColor_ = Memo->paper();

    PanelErr = new QWidget(Splitter);
    auto* panelLayout = new QVBoxLayout(PanelErr);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    MessageList = new QListWidget(PanelErr);
    MessageList->setSortingEnabled(true);
    MessageList->setContextMenuPolicy(Qt::CustomContextMenu);
    panelLayout->addWidget(MessageList);
    PanelErr->hide();

    Splitter->addWidget(Memo);
    Splitter->addWidget(PanelErr);
    Splitter->setStretchFactor(0, 1);
    Splitter->setSizes({height() - kErrorPanelHeight, kErrorPanelHeight});
    setCentralWidget(Splitter);
    Memo->setFocus();

    connect(Memo, &TEditorMemo::StatusChanged, this,
            [this](StatusChanges changes) { RunGuarded([&] { MemoStatusChange(changes); }); });
    connect(Memo, &TEditorMemo::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu->popup(Memo->mapToGlobal(at)); });
    connect(MessageList, &QListWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (!PMMessageList->isEmpty()) PMMessageList->popup(MessageList->mapToGlobal(at));
    });
}

void TfScriptEditor::CreateCommands() {
    for (const CommandRow& row : kCommandRows) {
        auto* action = new QAction(QString::fromUtf8(row.caption), this);
        action->setObjectName(QString::fromLatin1(row.name));
        const QString hint = *row.hint ? QString::fromUtf8(row.hint) : QString::fromUtf8(row.caption).remove('&');
        action->setToolTip(hint);
        action->setStatusTip(hint);
        action->setShortcuts(KeysOf(row.keys));
        action->setIcon(CommandIcon(QString::fromLatin1(row.name)));
        action->setCheckable(row.state == CommandState::Checkable);
        action->setEnabled(row.state != CommandState::Disabled && row.state != CommandState::DisabledHidden);
        addAction(action); // shortcuts work wherever the window has focus
        this->*row.member = action;
    }
    connect(actUndo, &QAction::triggered, Memo, &QsciScintilla::undo);
    connect(actCut, &QAction::triggered, Memo, &QsciScintilla::cut);
    connect(actCopy, &QAction::triggered, Memo, &QsciScintilla::copy);
    connect(actPaste, &QAction::triggered, Memo, &QsciScintilla::paste);
    connect(actSelectAll, &QAction::triggered, Memo, [this] { Memo->selectAll(); });
    ConnectCommand(actNoSintax, &TfScriptEditor::actNoSintaxExecute);
    ConnectCommand(actPasSintax, &TfScriptEditor::actPasSintaxExecute);
    ConnectCommand(actBasSintax, &TfScriptEditor::actBasSintaxExecute);
    ConnectCommand(actBatSintax, &TfScriptEditor::actBatSintaxExecute);
    ConnectCommand(actPrgSintax, &TfScriptEditor::actPrgSintaxExecute);
    ConnectCommand(actHtmlSintax, &TfScriptEditor::actHtmlSintaxExecute);
    ConnectCommand(actPhpSintax, &TfScriptEditor::actPhpSintaxExecute);
    ConnectCommand(actSaveTextAndClose, &TfScriptEditor::actSaveTextAndCloseExecute);
    ConnectCommand(actClearMessageList, &TfScriptEditor::actClearMessageListExecute);

    connect(Memo, &QsciScintilla::textChanged, this, &TfScriptEditor::UpdateStandardCommands);
    connect(Memo, &QsciScintilla::selectionChanged, this, &TfScriptEditor::UpdateStandardCommands);
    connect(Memo, &TEditorMemo::StatusChanged, this, &TfScriptEditor::UpdateStandardCommands);
    connect(Memo, &TEditorMemo::ShortcutCheck, this, &TfScriptEditor::UpdateStandardCommands);
    // The clipboard is asked only when it changes: asking for its data can take a round trip
    // to another program, too slow for every key press.
    auto clipboardChanged = [this] {
        const QMimeData* clip = QApplication::clipboard()->mimeData();
        clipboardHasText_ = clip && clip->hasText();
        UpdateStandardCommands();
    };
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, clipboardChanged);
    clipboardChanged();
}

QAction* TfScriptEditor::ToolBarButton(QAction* command) {
    auto* button = new QAction(ToolBar);
    button->setObjectName(command->objectName());
    auto follow = [command, button] {
        button->setText(command->text());
        button->setToolTip(command->toolTip());
        button->setStatusTip(command->statusTip());
        button->setIcon(command->icon());
        button->setEnabled(command->isEnabled());
    };
    connect(command, &QAction::changed, button, follow);
    connect(button, &QAction::triggered, command, &QAction::trigger);
    follow();
    toolBarButtons_.insert(command, button);
    return button;
}

void TfScriptEditor::SetCommandVisible(QAction* command, bool visible) {
    if (visible == IsCommandVisible(command)) return;
    if (QAction* button = toolBarButtons_.value(command)) button->setVisible(visible);
    if (visible) {
        for (const HiddenEntry& entry : hiddenEntries_.take(command)) entry.menu->insertAction(entry.before, command);
        return;
    }
    QList<HiddenEntry>& entries = hiddenEntries_[command];
    for (QMenu* menu : findChildren<QMenu*>()) {
        const QList<QAction*> shown = menu->actions();
        const qsizetype at = shown.indexOf(command);
        if (at < 0) continue;
        entries.append({menu, at + 1 < shown.size() ? shown[at + 1] : nullptr});
        menu->removeAction(command);
    }
}

bool TfScriptEditor::IsCommandVisible(const QAction* command) const { return !hiddenEntries_.contains(command); }

QList<QAction*> TfScriptEditor::Commands() const {
    QList<QAction*> list;
    for (const CommandRow& row : kCommandRows) list << this->*row.member;
    return list;
}

void TfScriptEditor::CreateMenus() {
    MenuFile = menuBar()->addMenu(QStringLiteral("Файл"));
    MenuFile->addActions({actLoadScriptOnFile, actSaveScriptToFile, actSaveScriptAsToFile});
    MenuFile->addSeparator();
    MenuFile->addAction(actPrint);
    MenuFile->addSeparator();
    MRUEnd = MenuFile->addSeparator();
    MenuFile->addAction(actExit);

    MenuEdit = menuBar()->addMenu(QStringLiteral("Правка"));
    MenuEdit->addAction(actUndo);
    MenuEdit->addSeparator();
    MenuEdit->addActions({actCut, actCopy, actPaste});
    MenuEdit->addSeparator();
    MenuEdit->addActions({actFind, actFindNext, actFindReplace});
    MenuEdit->addSeparator();
    MenuEdit->addActions({actRecodeDosToWin, actUndoRecodeText});

    MenuSyntax = menuBar()->addMenu(QStringLiteral("Синтаксис"));
    for (QAction* command : SyntaxCommands()) MenuSyntax->addAction(command);

    MenuSettings = menuBar()->addMenu(QStringLiteral("Настойки"));
    MenuSettings->addAction(actEditMacros);
    MenuSettings->addSeparator();
    MenuSettings->addAction(actSetings);

    MenuAbout = menuBar()->addAction(QStringLiteral("О программе"));
    connect(MenuAbout, &QAction::triggered, this, [this] { RunGuarded([this] { AboutClick(); }); });

    PopupMenu = new QMenu(this);
    PopupMenu->addAction(actUndo);
    PopupMenu->addSeparator();
    PopupMenu->addActions({actCut, actCopy, actPaste, actSelectAll});
    PopupMenu->addSeparator();
    for (QAction* command : SyntaxCommands()) PopupMenu->addAction(command);
    PopupMenu->addSeparator();
    PopupMenu->addActions({actRecodeDosToWin, actUndoRecodeText});

    PMMessageList = new QMenu(this);
    for (QMenu* menu : {MenuEdit, PopupMenu})
        connect(menu, &QMenu::aboutToShow, this, &TfScriptEditor::UpdateStandardCommands);
}

void TfScriptEditor::CreateToolBar() {
    ToolBar = addToolBar(QStringLiteral("Инструменты"));
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setMovable(false);
    ToolBar->setIconSize(QSize(16, 16));

    OpenButtonMenu = new QMenu(this);
    OpenButton = new QToolButton(ToolBar);
    OpenButton->setDefaultAction(actLoadScriptOnFile);
    OpenButton->setMenu(OpenButtonMenu);
    OpenButton->setPopupMode(QToolButton::MenuButtonPopup);
    OpenButton->setAutoRaise(true);
    ToolBar->addWidget(OpenButton);
    ToolBar->addSeparator();
    ToolBar->addAction(ToolBarButton(actSaveScriptToFile));
    ToolBar->addSeparator();
    ToolBar->addAction(ToolBarButton(actPrint));
    ToolBar->addWidget(ToolBarGap(ToolBar));
    ToolBar->addActions({ToolBarButton(actCut), ToolBarButton(actCopy), ToolBarButton(actPaste)});
    ToolBar->addSeparator();
    ToolBar->addAction(ToolBarButton(actUndo));
    ToolBar->addWidget(ToolBarGap(ToolBar));
    ToolBar->addAction(ToolBarButton(actFind));
    ToolBar->addSeparator();
    ToolBar->addAction(ToolBarButton(actFindNext));
    ToolBar->addSeparator();
    ToolBar->addAction(ToolBarButton(actFindReplace));
    ToolBar->addWidget(ToolBarGap(ToolBar));
    ToolBar->addAction(ToolBarButton(actCompileScript));
    ToolBar->addSeparator();
    ToolBar->addAction(ToolBarButton(actSaveTextAndClose));
    ToolBar->addSeparator();
    ToolBar->addAction(ToolBarButton(actSaveToDb));
    ToolBar->addWidget(ToolBarGap(ToolBar));
    ToolBar->addSeparator();
    ToolBar->addAction(ToolBarButton(actExit));

    for (const CommandRow& row : kCommandRows)
        if (row.state == CommandState::Hidden || row.state == CommandState::DisabledHidden)
            SetCommandVisible(this->*row.member, false);
}

void TfScriptEditor::CreateStatusBar() {
    for (std::size_t i = 0; i < kPanels.size(); ++i) {
        auto* panel = new QLabel(statusBar());
        panel->setObjectName(QStringLiteral("SB%1").arg(i));
        panel->setFixedWidth(kPanels[i].width);
        panel->setAlignment(kPanels[i].alignment);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (kPanels[i].text) panel->setText(QString::fromUtf8(kPanels[i].text));
        statusBar()->addWidget(panel);
        SB[i] = panel;
    }
}

void TfScriptEditor::FormCreate() {
    SetScriptHost(nullptr);
    CreateMacroParts();
    CreateSearchDialogs();
    CreateSetingsDialog();
    SelectSyntax(kSyntaxNone, actNoSintax);
    UpdateCaretPanels();
    FileCommandsCreate();
    OpenDialog.title = QStringLiteral("Загрузить из файла");
    SaveDialog.title = QStringLiteral("Сохранить как...");
    BuildFileFilters();
}

TextFileResult TfScriptEditor::LoadFileIntoMemo(const QString& path) {
    TextFileContent content;
    const TextFileResult result = LoadTextFile(path, content);
    if (!result.ok) return result;
    Memo->LoadText(EditorText(content.lines));
    TextLineBreak = content.lineBreak;
    return result;
}

void TfScriptEditor::SetFileName(const QString& name) {
    FileName = name;
    if (name.isEmpty()) return;
    setWindowTitle(ApplicationTitle() + QStringLiteral(" [") + name + QLatin1Char(']'));
    // The extension with its dot as the file name has it: "" without one, "." for a name
    // that ends in a dot.
    const QString base = QFileInfo(name).fileName();
    const qsizetype dot = base.lastIndexOf(QLatin1Char('.'));
    const int mode = SyntaxOfExtension(dot < 0 ? QString() : base.mid(dot));
    QAction* command = SyntaxCommandOf(mode);
    SelectSyntax(command == actNoSintax ? int(kSyntaxNone) : mode, command);
}

void TfScriptEditor::SetTextModified(bool value) {
    TextModified = value;
    actSaveScriptToFile->setEnabled(value);
    if (!value) Memo->setModified(false);
}

void TfScriptEditor::SetScriptHost(script::TScriptHost* host) { ScriptHost = host; }

void TfScriptEditor::SetCloseResult(int value) { CloseResult = value; }

qint64 TfScriptEditor::StatusPosition(qint64 charactersAbove, int linesAbove, int lineLength, int column) {
    return charactersAbove + 2 * qint64(linesAbove) + std::min(column, lineLength + 1);
}

void TfScriptEditor::UpdateCaretPanels() {
    const CaretPlace caret = Memo->Caret();
    const CaretPlace reference = Memo->SelectionStart();
    const qint64 above = Memo->CharactersBeforeLine(reference.line) - reference.line; // breaks are one LF
    SB[kCaretColumnPanel]->setText(QString::number(caret.column + 1));
    SB[kPositionPanel]->setText(QString::number(
        StatusPosition(above, reference.line, Memo->LineLength(reference.line), reference.column + 1)));
}

void TfScriptEditor::MemoStatusChange(StatusChanges changes) {
    if (changes & (StatusChange::CaretX | StatusChange::CaretY)) UpdateCaretPanels();
    if (changes & StatusChange::Modified) {
        if (Memo->isModified()) {
            SB[kModifiedPanel]->setText(QStringLiteral("Текст изменен"));
            SetTextModified(true);
        } else {
            SB[kModifiedPanel]->clear();
        }
    }
    if (changes & StatusChange::InsertMode)
        SB[kInsertModePanel]->setText(Memo->InsertMode() ? QStringLiteral("Вставка") : QStringLiteral("Змена"));
}

void TfScriptEditor::UpdateStandardCommands() {
    const bool writable = !Memo->isReadOnly();
    actUndo->setEnabled(writable && Memo->isUndoAvailable());
    actCut->setEnabled(writable && Memo->HasSelection());
    actCopy->setEnabled(Memo->HasSelection());
    actPaste->setEnabled(writable && clipboardHasText_);
    actSelectAll->setEnabled(Memo->length() > 0);
}

void TfScriptEditor::SetMemoFont(const QFont& font) {
    memoFont_ = font;
    Memo->SetTextFont(font);
    for (QsciLexer* lexer : {Pas, Bas, Bat, Prg, HTML, PHP}) ApplyHighlighterFont(*lexer, font);
}

void TfScriptEditor::SetMemoColor(const QColor& color) {
    memoColor_ = color;
    Memo->setPaper(color);
    for (QsciLexer* lexer : {Pas, Bas, Bat, Prg, HTML, PHP}) ApplyHighlighterPaper(*lexer, color);
}

void TfScriptEditor::RunGuarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        ReportError(QString::fromUtf8(e.what()));
    } catch (...) {
        ReportError(QStringLiteral("Неизвестная ошибка"));
    }
}

void TfScriptEditor::ConnectCommand(QAction* command, void (TfScriptEditor::*handler)()) {
    connect(command, &QAction::triggered, this, [this, handler] { RunGuarded([this, handler] { (this->*handler)(); }); });
}

void TfScriptEditor::actSaveTextAndCloseExecute() {
    SetCloseResult(1);
    close();
}

void TfScriptEditor::actClearMessageListExecute() { MessageList->clear(); }

void TfScriptEditor::AboutClick() {
    TAboutBox box(this);
    CurrentPrompter().execDialog(box);
}

std::unique_ptr<TfScriptEditor> StartUp(const QStringList& arguments) {
    SetApplicationTitle(QStringLiteral("Lumivar"));
    auto window = std::make_unique<TfScriptEditor>();
    if (arguments.size() == 1 && !arguments.first().isEmpty()) {
        const QString path = QFileInfo(arguments.first()).absoluteFilePath();
        const TextFileResult loaded = window->LoadFileIntoMemo(path);
        if (loaded.ok) window->SetFileName(path);
        else ReportError(QStringLiteral("Ошибка загрузки файла\r") + loaded.reason);
    }
    return window;
}

} // namespace lumivar
