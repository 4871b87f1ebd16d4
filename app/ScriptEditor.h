// The main window of the editor, TfScriptEditor: the editor Memo with its highlighters, every
// command as a QAction owned by the window (the menus, the tool bar and the context menu show
// the same actions), the eight status panels, and the state of the text. The member
// definitions are split by concern: ScriptEditor.cpp (creation, commands, status bar, caption,
// about box, start-up), SyntaxModes.cpp (syntax modes), and one file per further command group.
#pragma once

#include "app/EditorMemo.h"
#include "app/RecentFiles.h"
#include "app/TextFile.h"
#include "app/util/Msg.h"
#include "settings/SettingsStore.h"

#include <QHash>
#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>

class QCloseEvent;
class QLabel;
class QListWidget;
class QMenu;
class QSplitter;
class QToolBar;
class QToolButton;
class QsciLexer;

namespace lumivar {

namespace script {
class TScriptHost;
}

class TfMacros;
class TfSetings;
class TFindDialog;
class TMacroExpander;
class TPickList;
class TReplaceDialog;
class TSearchDialog;

class TfScriptEditor : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kPanelCount = 8;

    explicit TfScriptEditor(QWidget* parent = nullptr);
    TfScriptEditor(const TfScriptEditor&) = delete;
    TfScriptEditor& operator=(const TfScriptEditor&) = delete;

    // ---- Commands (app/Commands.def), owned by the window.
#define LUMIVAR_COMMAND(name, caption, hint, keys, state) QAction* name = nullptr;
#include "app/Commands.def"
#undef LUMIVAR_COMMAND
    // All commands in the order of the command table.
    QList<QAction*> Commands() const;
    // Shows or hides a command in the menus and on the tool bar. A hidden command's shortcut
    // still works while the command is enabled. (Qt disables a QAction whose own visible
    // property is false, so commands are hidden with these two and never with setVisible.)
    void SetCommandVisible(QAction* command, bool visible);
    bool IsCommandVisible(const QAction* command) const;

    // ---- Components.
    TEditorMemo* Memo = nullptr;
    std::array<QLabel*, kPanelCount> SB{}; // status panels, left to right
    QMenu* MenuFile = nullptr;
    QMenu* MenuEdit = nullptr;
    QMenu* MenuSyntax = nullptr;
    QMenu* MenuSettings = nullptr;
    QAction* MenuAbout = nullptr;  // "О программе": a menu bar item without entries
    QAction* MRUEnd = nullptr;     // File menu: recent-files entries go before this separator
    QToolBar* ToolBar = nullptr;
    QToolButton* OpenButton = nullptr;
    QMenu* OpenButtonMenu = nullptr; // drop-down of the Open button: the recent files
    QMenu* PopupMenu = nullptr;      // context menu of Memo
    QSplitter* Splitter = nullptr;   // between Memo and PanelErr
    QWidget* PanelErr = nullptr;     // hidden at start
    QListWidget* MessageList = nullptr;
    QMenu* PMMessageList = nullptr;
    QsciLexer* Pas = nullptr;
    QsciLexer* Bas = nullptr;
    QsciLexer* Bat = nullptr;
    QsciLexer* Prg = nullptr;
    QsciLexer* HTML = nullptr;
    QsciLexer* PHP = nullptr;

    // ---- File dialogs: their state; the prompter shows them.
    FileDialogRequest OpenDialog;
    FileDialogRequest SaveDialog;

    // ---- State of the text.
    QString FileName;
    bool TextModified = false;
    int SyntaxMode = 0;
    bool Recoded = false;
    QString TextBeforeRecode;
    int CloseResult = 0;
    script::TScriptHost* ScriptHost = nullptr; // attached by an embedding application, not owned
    QString PrintText;
    LineBreak TextLineBreak = LineBreak::CrLf; // the kind of line break the text was loaded with

    // ---- Text and file name.
    // Loads a file unchanged into the editor and keeps its kind of line break; the file name
    // and the flags are not touched. On failure nothing changes.
    TextFileResult LoadFileIntoMemo(const QString& path);
    void SetFileName(const QString& name);
    void SetTextModified(bool value);
    void SetScriptHost(script::TScriptHost* host);
    void SetCloseResult(int value);

    // ---- Status bar.
    void MemoStatusChange(StatusChanges changes);
    void UpdateCaretPanels();
    // The position of a place in the text as the status bar counts it: every line break counts
    // as two characters, and a column past the end of its line counts as just past the end.
    // charactersAbove: characters of the lines above without their breaks; column from 1.
    static qint64 StatusPosition(qint64 charactersAbove, int linesAbove, int lineLength, int column);

    // ---- Syntax modes (SyntaxModes.cpp).
    void SelectSyntax(int mode, QAction* command);
    void SetSyntaxMode(int mode);
    static int SyntaxOfExtension(const QString& ext);
    void BuildFileFilters();
    // Loads (false) or saves (true) the macro list of the current mode.
    void StoreMacros(bool save);
    QsciLexer* HighlighterOf(int mode) const;
    // The command of a mode; actNoSintax for codes without a mode of their own.
    QAction* SyntaxCommandOf(int mode) const;
    std::array<QAction*, 7> SyntaxCommands() const;

    // ---- The editor's font and background, shared by the editor and all highlighters.
    QFont MemoFont() const { return memoFont_; }
    void SetMemoFont(const QFont& font);
    QColor MemoColor() const { return memoColor_; }
    void SetMemoColor(const QColor& color);

    // ---- Running commands.
    // Runs a handler; an exception escaping it goes to the standard error report and the
    // window stays as it is.
    void RunGuarded(const std::function<void()>& handler);
    // Connects a command to a handler of the window, run guarded.
    void ConnectCommand(QAction* command, void (TfScriptEditor::*handler)());

    // ---- Handlers of this unit.
    void actNoSintaxExecute();
    void actPasSintaxExecute();
    void actBasSintaxExecute();
    void actBatSintaxExecute();
    void actPrgSintaxExecute();
    void actHtmlSintaxExecute();
    void actPhpSintaxExecute();
    void actSaveTextAndCloseExecute();
    void actClearMessageListExecute();
    void AboutClick();

    // ==== Macro substitutions, search and replace, settings dialog (MacroHooks.cpp,
    // Search.cpp, SetingsHooks.cpp).
    TMacroExpander* AC = nullptr; // Ctrl+Shift+Z in Memo
    TPickList* Cp_Ac = nullptr;   // the macro pick list, Ctrl+Shift+J
    TPickList* CP = nullptr;      // the "User Function" list, Ctrl+Space
    TfMacros* fMacros = nullptr;
    TfSetings* fSetings = nullptr;
    TFindDialog* FindDialog = nullptr;
    TReplaceDialog* ReplaceDialog = nullptr;

    // The settings value ("Macros" section) of a mode's macro list.
    static QString SyntaxKey(int mode);
    void BuildCompletionList();
    void Cp_AcCodeCompletion();
    void FindDialogFind(TSearchDialog* sender);
    void ReplaceDialogReplace(bool all);
    void actEditMacrosExecute();
    void actFindExecute();
    void actFindNextExecute();
    void actFindReplaceExecute();
    void actSetingsExecute();

private:
    // Part of creation step 2, before step 3 loads the first macro list.
    void CreateMacroParts();
    void CreateSearchDialogs();
    void CreateSetingsDialog();

public:
    // ==== End of macro substitutions, search and replace, settings dialog.

    // ==== Files, recent files, recoding, stored settings and printing (FileCommands.cpp,
    // Recode.cpp, EditorSettings.cpp).
    // Creation loads the recent files, the placement and the editor settings; destruction
    // stores the recent files and the placement.
    ~TfScriptEditor() override;
    SettingsStore Reg;
    RecentFiles MRUList;
    QList<QAction*> MRUItems; // the list's entries, in the File menu and the Open drop-down
    QStringList ExtList;      // the settings dialog's extension list, section "ExtList"
    // Colours as the settings keep them; a system colour keeps its name while it still
    // paints the colour in use.
    TColor MemoFontColor = clWindowText;
    TColor MemoColorValue = clWindow;
    TColor RightEdgeColorValue = clSilver;

    void OpenFile(const QString& name);
    void SaveFile(const QString& name);
    void AskSaveChanges(QAction* command);
    void RemoveRecentFile(int index);
    void StoreRecentFiles(bool save);
    void MRUListClick(const QString& fileName);
    // Rebuilds the recent-files entries of the File menu and the Open button's drop-down.
    void UpdateRecentFilesMenus();
    void SetRecoded(bool value);
    void ConvertWholeText();
    TextFileResult SaveAsDos(const QString& name);
    void StorePlacement(bool save);
    void StoreEditorSettings(bool save);

    void actLoadScriptOnFileExecute();
    void actSaveScriptToFileExecute();
    void actSaveScriptAsToFileExecute();
    void actExitExecute();
    void actPrintExecute();
    void actRecodeDosToWinExecute();
    void actUndoRecodeTextExecute();

protected:
    // Closing asks the save question; the window closes whatever the answer.
    void closeEvent(QCloseEvent* event) override;

private:
    // Connects the commands of these units and loads their stored state (creation steps 5-7).
    void FileCommandsCreate();
    // Sets the editor's modified mark even when an edit left the text as it was.
    void MarkMemoModified();
    // ==== End of files, recent files, recoding, stored settings and printing.

private:
    void CreateEditor();
    void CreateCommands();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void CreateHighlighters();
    void FormCreate();
    // Enables the standard editing commands exactly when the editor can perform them.
    void UpdateStandardCommands();
    // Tool-bar buttons show a stand-in of their command that follows its caption, hint, icon
    // and state and triggers it, so that a button can be hidden while the command keeps working.
    QAction* ToolBarButton(QAction* command);
    // A menu entry of a hidden command: the menu and the entry it stood before (or nullptr).
    struct HiddenEntry {
        QMenu* menu;
        QAction* before;
    };

    QFont memoFont_;
    QColor memoColor_;
    bool clipboardHasText_ = false;
    QHash<const QAction*, QAction*> toolBarButtons_;
    QHash<const QAction*, QList<HiddenEntry>> hiddenEntries_;
};

// Program start-up: sets the application title, creates the main window and, when the
// command line (without the program name) holds exactly one non-empty argument, loads that
// file; a failed load goes to the standard error report and leaves the text empty.
std::unique_ptr<TfScriptEditor> StartUp(const QStringList& arguments);

} // namespace lumivar
