// Message boxes and yes/no questions of the editor's windows, and the replaceable prompter
// behind every modal interaction (message boxes, file, font and colour dialogs, modal windows),
// so that tests answer them and check their texts, captions and flags.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <memory>
#include <optional>

class QDialog;

namespace lumivar {

enum TMsgKind : int { mkPlain = 0, mkInfo = 1, mkQuestion = 2, mkWarning = 3, mkError = 4 };

// Message-box flags and results as the platform's message boxes define them.
inline constexpr int MB_OK = 0x0;
inline constexpr int MB_YESNO = 0x4;
inline constexpr int MB_ICONERROR = 0x10;
inline constexpr int MB_ICONQUESTION = 0x20;
inline constexpr int MB_ICONWARNING = 0x30;
inline constexpr int MB_ICONINFORMATION = 0x40;
inline constexpr int MB_SYSTEMMODAL = 0x1000;
inline constexpr int IDOK = 1;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// The icon flags of a kind; 0 for a value outside the table.
int MsgFlags(int kind);

// The caption ShowMsg uses when the caller gives none: the application title for mkPlain, the
// kind's own caption otherwise, empty for a value outside the table.
QString DefaultCaption(int kind);

// The application title, caption of untitled plain boxes and of the error report. It is
// "Lumivar" until start-up sets it.
QString ApplicationTitle();
void SetApplicationTitle(const QString& title);

// Shows a modal box with the single button OK; an empty caption is replaced by the kind's
// default caption. Returns the code of the button that closed the box.
int ShowMsg(const QString& text, const QString& caption, int kind);

// Yes/No box with the question icon (flags MB_YESNO | MB_ICONQUESTION); true for Yes.
bool AskYesNo(const QString& text, const QString& caption);

// The application's standard error report: a message box with the error's text.
void ReportError(const QString& text);

struct FileDialogRequest {
    QString title;
    QString filter;   // "Description|*.a;*.b|..." as the editor keeps its filters
    QString fileName; // the name the dialog starts with
    int filterIndex = 1;
};

// Every modal interaction of the editor goes through the current prompter. Texts use "\r"
// as the line break exactly as the system writes them; the interactive prompter turns it into
// a visible line break only for display.
class Prompter {
public:
    virtual ~Prompter() = default;
    // Returns the button code (IDOK, IDYES, IDNO) for a box with these flags.
    virtual int messageBox(const QString& text, const QString& caption, int flags) = 0;
    virtual void errorReport(const QString& text) = 0;
    // The chosen path, or nothing when the dialog was cancelled.
    virtual std::optional<QString> openFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<QFont> chooseFont(const QFont& initial, const QString& title) = 0;
    virtual std::optional<QColor> chooseColor(const QColor& initial, const QString& title) = 0;
    // Runs a modal window (secondary windows, preview, about box) and returns its result code.
    virtual int execDialog(QDialog& dialog) = 0;
};

// The prompter in force: the interactive one unless a test has installed its own.
Prompter& CurrentPrompter();

// Installs a prompter for the lifetime of this object, restoring the previous one after.
class ScopedPrompter {
public:
    explicit ScopedPrompter(Prompter& prompter);
    ~ScopedPrompter();
    ScopedPrompter(const ScopedPrompter&) = delete;
    ScopedPrompter& operator=(const ScopedPrompter&) = delete;

private:
    Prompter* previous_;
};

} // namespace lumivar
