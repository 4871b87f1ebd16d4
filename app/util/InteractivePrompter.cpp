// Real dialogs behind the prompter: QMessageBox with icon and buttons from the flags, the Qt
// file dialogs fed with the editor's filter texts, and the font and colour dialogs.
#include "app/util/InteractivePrompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>

namespace lumivar {
namespace {

constexpr int kIconMask = 0xF0;
constexpr int kButtonMask = 0x0F;

QMessageBox::Icon IconOfFlags(int flags) {
    switch (flags & kIconMask) {
    case MB_ICONERROR: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONWARNING: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

QWidget* DialogParent() { return QApplication::activeWindow(); }

// Runs a file dialog set up from the request; the chosen path or nothing.
std::optional<QString> RunFileDialog(const FileDialogRequest& request, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(DialogParent(), request.title);
    dialog.setAcceptMode(mode);
    if (mode == QFileDialog::AcceptOpen) {
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        // The editor asks its own overwrite question after the dialog.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    const QStringList filters = QtNameFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    if (!request.fileName.isEmpty()) {
        const QFileInfo info(request.fileName);
        if (info.isAbsolute()) dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.first();
}

} // namespace

void ConfigureMessageBox(QMessageBox& box, const QString& text, const QString& caption, int flags) {
    box.setWindowTitle(caption);
    box.setText(QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(IconOfFlags(flags));
    // The buttons speak the editor's language whatever the translations Qt has loaded.
    if ((flags & kButtonMask) == MB_YESNO) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("&Да"));
        box.button(QMessageBox::No)->setText(QStringLiteral("&Нет"));
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    }
    if (flags & MB_SYSTEMMODAL) {
        box.setWindowModality(Qt::ApplicationModal);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    }
}

int MessageBoxResult(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return IDOK;
    }
}

QStringList QtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        if (description.endsWith(QLatin1Char(')'))) {
            const qsizetype open = description.lastIndexOf(QLatin1Char('('));
            if (open >= 0) description = description.left(open).trimmed();
        }
        QStringList patterns;
        for (const QString& raw : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString pattern = raw.trimmed();
            if (!pattern.isEmpty()) patterns << (pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
        }
        if (patterns.isEmpty()) patterns << QStringLiteral("*");
        result << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return result;
}

int InteractivePrompter::messageBox(const QString& text, const QString& caption, int flags) {
    QMessageBox box(DialogParent());
    ConfigureMessageBox(box, text, caption, flags);
    return MessageBoxResult(QMessageBox::StandardButton(box.exec()));
}

void InteractivePrompter::errorReport(const QString& text) {
    messageBox(text, ApplicationTitle(), MB_ICONERROR);
}

std::optional<QString> InteractivePrompter::openFileName(const FileDialogRequest& request) {
    return RunFileDialog(request, QFileDialog::AcceptOpen);
}

std::optional<QString> InteractivePrompter::saveFileName(const FileDialogRequest& request) {
    return RunFileDialog(request, QFileDialog::AcceptSave);
}

std::optional<QFont> InteractivePrompter::chooseFont(const QFont& initial, const QString& title) {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, DialogParent(), title);
    if (!ok) return std::nullopt;
    return font;
}

std::optional<QColor> InteractivePrompter::chooseColor(const QColor& initial, const QString& title) {
    const QColor color = QColorDialog::getColor(initial, DialogParent(), title);
    if (!color.isValid()) return std::nullopt;
    return color;
}

int InteractivePrompter::execDialog(QDialog& dialog) { return dialog.exec(); }

} // namespace lumivar
