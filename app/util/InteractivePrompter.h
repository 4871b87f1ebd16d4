// The prompter used outside tests: real Qt message boxes and standard dialogs. The translation
// of the editor's flags and filter texts into Qt terms is exposed so that tests can check it
// without showing anything.
#pragma once

#include "app/util/Msg.h"

#include <QMessageBox>

namespace lumivar {

// Sets icon, buttons, caption and text of a box from the platform's message-box flags; "\r"
// in the text becomes a visible line break.
void ConfigureMessageBox(QMessageBox& box, const QString& text, const QString& caption, int flags);

// The editor's button code (IDOK, IDYES, IDNO) of the button that closed a box.
int MessageBoxResult(QMessageBox::StandardButton button);

// "Desc|*.a;*.b|Desc2|*.c" as the name filters of a Qt file dialog, one per pair. A trailing
// "(...)" of a description is replaced by the space-separated patterns Qt reads; "*.*" becomes
// "*" so that files without an extension are listed too.
QStringList QtNameFilters(const QString& filter);

class InteractivePrompter final : public Prompter {
public:
    int messageBox(const QString& text, const QString& caption, int flags) override;
    void errorReport(const QString& text) override;
    std::optional<QString> openFileName(const FileDialogRequest& request) override;
    std::optional<QString> saveFileName(const FileDialogRequest& request) override;
    std::optional<QFont> chooseFont(const QFont& initial, const QString& title) override;
    std::optional<QColor> chooseColor(const QColor& initial, const QString& title) override;
    int execDialog(QDialog& dialog) override;
};

} // namespace lumivar
