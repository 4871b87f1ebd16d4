// The about box: the application's name, its version and what the editor is for.
#pragma once

#include <QDialog>

namespace lumivar {

// The three lines describing the editor.
QString AboutDescription();

class TAboutBox final : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

} // namespace lumivar
