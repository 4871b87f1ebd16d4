// The settings dialog "Параметры...": the editor's font, right margin and its colour,
// background colour and tab width on one page, and on the other the list of file extensions
// that Lumivar registers as its own. The dialog knows nothing of the main window: it reads
// and applies the editor's look and stores the settings through hooks the window gives it,
// and it holds the extension list that the settings store reads and writes.
#pragma once

#include "settings/FileAssociations.h"

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QStringList>

#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace lumivar {

class TColorPicker;

// The editor's look as the dialog shows and applies it.
struct TEditorLook {
    QFont Font;
    int RightEdge = 100;
    QColor RightEdgeColor;
    QColor Color;
    int TabWidth = 2;
    bool operator==(const TEditorLook&) const = default;
};

struct TSetingsHooks {
    std::function<TEditorLook()> ReadLook;
    std::function<void(const TEditorLook&)> ApplyLook;
    // Stores the editor settings and the extension list (the window's StoreEditorSettings).
    std::function<void()> StoreSettings;
};

class TfSetings : public QDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 482;
    static constexpr int kClientHeight = 226;
    static constexpr int kMinTabWidth = 1;
    static constexpr int kMaxTabWidth = 16;
    static constexpr int kMaxExtensionLength = 3;

    explicit TfSetings(QWidget* parent = nullptr);

    void SetHooks(TSetingsHooks hooks) { hooks_ = std::move(hooks); }
    // Where the extensions are registered; the user's XDG folders and this program unless set.
    void SetAssociationTarget(const QString& executable, const TAssociationFolders& folders);

    // The extensions in list order (sorted); the settings store reads and writes them.
    QStringList ExtList() const;
    void SetExtList(const QStringList& extensions);

    // Shows the dialog modally with the editor's current values.
    int Execute();

    void FormShow();
    void ShowFontSample(const QFont& font);
    void Button1Click();
    void BitBtn1Click();
    void RxSpeedButton1Click();
    void ApplySettings();
    // Registers every listed extension in list order, stopping at the first failure, which
    // goes to the standard error report; true when all were registered.
    bool RegisterAllExtensions();

    QTabWidget* PageControl() const { return pages_; }
    QSpinBox* SeRight() const { return seRight_; }
    QSpinBox* SeTabs() const { return seTabs_; }
    TColorPicker* CmbRightColor() const { return cmbRightColor_; }
    TColorPicker* CmbFon() const { return cmbFon_; }
    QLabel* LbFont() const { return lbFont_; }
    QListWidget* LbExtFile() const { return lbExtFile_; }
    QLineEdit* EditExt() const { return editExt_; }

private:
    QWidget* createGeneralPage();
    QWidget* createExtensionPage();

    TSetingsHooks hooks_;
    QString executable_;
    std::optional<TAssociationFolders> folders_;
    QFont lastDialogFont_;
    QTabWidget* pages_;
    QSpinBox* seRight_;
    QSpinBox* seTabs_;
    TColorPicker* cmbRightColor_;
    TColorPicker* cmbFon_;
    QLabel* lbFont_;
    QListWidget* lbExtFile_;
    QLineEdit* editExt_;
};

} // namespace lumivar
