// File commands of the main window: open, save, save as, exit and print, the save question
// that protects unsaved changes, and the recent-files list shown in the File menu and on the
// Open button's drop-down.
#include "app/ScriptEditor.h"

#include "printing/PrintPreview.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace lumivar {
namespace {

const QString kErrorCaption = QStringLiteral("Ошибка!");

} // namespace

void TfScriptEditor::FileCommandsCreate() {
    ConnectCommand(actLoadScriptOnFile, &TfScriptEditor::actLoadScriptOnFileExecute);
    ConnectCommand(actSaveScriptToFile, &TfScriptEditor::actSaveScriptToFileExecute);
    ConnectCommand(actSaveScriptAsToFile, &TfScriptEditor::actSaveScriptAsToFileExecute);
    ConnectCommand(actExit, &TfScriptEditor::actExitExecute);
    ConnectCommand(actPrint, &TfScriptEditor::actPrintExecute);
    ConnectCommand(actRecodeDosToWin, &TfScriptEditor::actRecodeDosToWinExecute);
    ConnectCommand(actUndoRecodeText, &TfScriptEditor::actUndoRecodeTextExecute);
    StoreRecentFiles(false);
    StorePlacement(false);
    StoreEditorSettings(false);
}

TfScriptEditor::~TfScriptEditor() {
    StoreRecentFiles(true);
    StorePlacement(true);
}

void TfScriptEditor::closeEvent(QCloseEvent* event) {
    RunGuarded([this] { AskSaveChanges(actSaveTextAndClose); });
    event->accept();
}

void TfScriptEditor::actLoadScriptOnFileExecute() { OpenFile(QString()); }

void TfScriptEditor::actSaveScriptToFileExecute() { SaveFile(FileName); }

void TfScriptEditor::actSaveScriptAsToFileExecute() {
    SaveDialog.fileName = FileName;
    SaveFile(QString());
}

void TfScriptEditor::actExitExecute() { close(); }

void TfScriptEditor::actPrintExecute() {
    PrintText = Memo->text().replace(u'\n', QStringLiteral("\r\n"));
    const PrintJob job{PrintText, MemoFont(), ResolveColor(MemoFontColor, palette(), Qt::black),
                       Memo->tabWidth()};
    ShowPrintPreview(job, this);
}

void TfScriptEditor::AskSaveChanges(QAction* command) {
    if (!command || !TextModified || IsCommandVisible(command)) return;
    const QString question = FileName.isEmpty() ? QStringLiteral("Текст был изменен\rСохранить?")
                                                : QStringLiteral("Файл был изменен\rСохранить?");
    if (AskYesNo(question, QStringLiteral("Сообщение"))) SaveFile(FileName);
}

void TfScriptEditor::OpenFile(const QString& name) {
    AskSaveChanges(actSaveTextAndClose);
    OpenDialog.fileName = name;
    if (name.isEmpty()) {
        const std::optional<QString> chosen = CurrentPrompter().openFileName(OpenDialog);
        if (!chosen) return;
        OpenDialog.fileName = *chosen;
    }
    const QString path = OpenDialog.fileName;
    const TextFileResult loaded = LoadFileIntoMemo(path);
    if (loaded.ok) {
        SetFileName(QFileInfo(path).absoluteFilePath());
        SetTextModified(false);
        SetRecoded(false);
        MRUList.add(FileName);
        UpdateRecentFilesMenus();
        return;
    }
    ShowMsg(QStringLiteral("Ошибка загрузки файла\r") + path + u'\r' + loaded.reason, kErrorCaption, mkPlain);
    if (name.isEmpty()) return;
    // The entry just chosen from the list (at its top) is gone; offer the open dialog on its
    // name. A name picked in that dialog is not listed, and no other entry is removed for it.
    const int listed = MRUList.indexOf(path);
    if (listed >= 0) RemoveRecentFile(listed);
    const std::optional<QString> other = CurrentPrompter().openFileName(OpenDialog);
    if (other) OpenFile(*other);
}

void TfScriptEditor::SaveFile(const QString& name) {
    QString target = name;
    if (target.isEmpty()) {
        SaveDialog.title = QStringLiteral("Сохранить как...");
        const std::optional<QString> chosen = CurrentPrompter().saveFileName(SaveDialog);
        if (!chosen) return;
        target = *chosen;
        SaveDialog.fileName = target;
        if (QFileInfo::exists(target) &&
            !AskYesNo(QStringLiteral("Файл существует\r") + target + QStringLiteral("\rПереписать?"),
                      QStringLiteral("Сообщение.")))
            return;
    }
    QList<QByteArray> lines;
    TextFileResult written = EncodeForSaving(Memo->text(), lines);
    if (written.ok) {
        const bool asDos =
            Recoded && AskYesNo(QStringLiteral("Файл <") + target +
                                    QStringLiteral(">\rбыл перекодирован из кодировки DOS в WIN.\r"
                                                   "Сохранить файл в кодировке DOS ?"),
                                QStringLiteral("Сохранение файла."));
        written = asDos ? SaveAsDos(target) : SaveTextFile(target, TextFileContent{lines, TextLineBreak});
    }
    if (!written.ok) {
        ShowMsg(QStringLiteral("Ошибка сохранения файла\r") + target + u'\r' + written.reason, kErrorCaption,
                mkPlain);
        return;
    }
    SetTextModified(false);
    SetFileName(target);
    QDir::setCurrent(QFileInfo(target).absolutePath());
}

void TfScriptEditor::RemoveRecentFile(int index) {
    MRUList.remove(index);
    UpdateRecentFilesMenus();
}

void TfScriptEditor::StoreRecentFiles(bool save) {
    if (save) {
        MRUList.store(Reg);
        return;
    }
    MRUList.load(Reg);
    UpdateRecentFilesMenus();
}

void TfScriptEditor::MRUListClick(const QString& fileName) { OpenFile(fileName); }

void TfScriptEditor::UpdateRecentFilesMenus() {
    for (QAction* item : MRUItems) {
        MenuFile->removeAction(item);
        OpenButtonMenu->removeAction(item);
        item->deleteLater(); // the chosen entry's own signal may still be running
    }
    MRUItems.clear();
    for (int i = 0; i < MRUList.count(); ++i) {
        auto* item = new QAction(MRUList.caption(i), this);
        const QString path = MRUList.items()[i];
        connect(item, &QAction::triggered, this, [this, path] {
            RunGuarded([this, path] {
                const int index = int(MRUList.items().indexOf(path));
                if (index < 0) return;
                MRUList.moveToTop(index);
                UpdateRecentFilesMenus();
                MRUListClick(path);
            });
        });
        MenuFile->insertAction(MRUEnd, item);
        OpenButtonMenu->addAction(item);
        MRUItems.append(item);
    }
}

} // namespace lumivar
