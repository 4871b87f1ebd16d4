// DOS/Windows recoding of the main window: converting the whole text from code page 866 to
// 1251 (asking first when it already looks like Windows text), undoing the conversion, and
// saving a converted text back in the DOS code page.
#include "app/ScriptEditor.h"

#include "app/Recoding.h"

#include <QAction>

namespace lumivar {
namespace {

// The bookmark ConvertWholeText keeps the caret in across the replacement of the text.
constexpr int kRecodeBookmark = 1;

} // namespace

void TfScriptEditor::actRecodeDosToWinExecute() { SetRecoded(true); }

void TfScriptEditor::actUndoRecodeTextExecute() {
    SetRecoded(false);
    Memo->setText(TextBeforeRecode);
    SetTextModified(true);
    MarkMemoModified();
}

void TfScriptEditor::SetRecoded(bool value) {
    if (value) {
        const QByteArray bytes = EncodeEditorText(Memo->text()).lines.join(QByteArrayLiteral("\r\n"));
        if (GuessCodePage(bytes) == CodePageGuess::Windows &&
            !AskYesNo(QStringLiteral("Текст в WIN кодировке!\rВсе равно перекодировать ?"),
                      QStringLiteral("Перекодировака DOS --> WIN")))
            return;
    }
    Recoded = value;
    actRecodeDosToWin->setEnabled(!value);
    actUndoRecodeText->setEnabled(value);
    if (!value) return;
    TextBeforeRecode = Memo->text();
    ConvertWholeText();
    SetTextModified(true);
    MarkMemoModified();
}

void TfScriptEditor::ConvertWholeText() {
    // The conversion maps character for character, so the caret's line and column stay valid
    // (a blank text becomes empty and the caret goes to its start).
    Memo->SetBookmark(kRecodeBookmark, Memo->Caret());
    const CaretPlace caret = *Memo->Bookmark(kRecodeBookmark);
    Memo->setText(ConvertDosToWindows(Memo->text()));
    Memo->SetCaret(Memo->text().isEmpty() ? CaretPlace{} : caret);
    Memo->ClearBookmark(kRecodeBookmark);
}

TextFileResult TfScriptEditor::SaveAsDos(const QString& name) {
    QList<QByteArray> lines;
    const TextFileResult encoded = EncodeForSaving(Memo->text(), lines);
    if (!encoded.ok) return encoded;
    return WriteFileSafely(name, DosFileBytes(lines.join(QByteArrayLiteral("\r\n"))));
}

void TfScriptEditor::MarkMemoModified() {
    // The component only sets its mark through an edit: when the text came out unchanged (an
    // empty text), an insertion undone in the same step sets it.
    if (!Memo->isModified()) {
        Memo->beginUndoAction();
        Memo->SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, 0ul, " ");
        Memo->SendScintilla(QsciScintillaBase::SCI_DELETERANGE, 0ul, 1l);
        Memo->endUndoAction();
    }
    Memo->ReportStatus();
}

} // namespace lumivar
