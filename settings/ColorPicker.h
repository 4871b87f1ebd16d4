// A colour picker: a combo box of the standard named colours with their swatches, the chosen
// colour itself when it has no name, and a last entry that asks for any other colour through
// the prompter's colour dialog.
#pragma once

#include <QColor>
#include <QComboBox>

namespace lumivar {

class TColorPicker : public QComboBox {
    Q_OBJECT
public:
    explicit TColorPicker(QWidget* parent = nullptr);

    QColor Selected() const { return selected_; }
    // Shows the colour, adding an entry for it when it has no name; reports ColorChanged.
    void SetSelected(const QColor& color);

signals:
    void ColorChanged(const QColor& color);

private:
    void activatedRow(int row);
    int rowOf(const QColor& color) const;

    QColor selected_;
    int customRow_ = -1; // the entry of an unnamed colour, -1 when there is none
};

} // namespace lumivar
