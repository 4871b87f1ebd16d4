// The colour picker of the settings dialog.
#include "settings/ColorPicker.h"

#include "app/util/Msg.h"
#include "settings/TextForms.h"

#include <QPainter>
#include <QPixmap>

namespace lumivar {
namespace {

// The named colours of the colour text form; the picker offers the standard ones (not the
// system ones, which name roles of the palette rather than colours).
constexpr TColor kNamedColors[] = {
#define COLOR_NAME(name, value) value,
#include "settings/ColorNames.def"
#undef COLOR_NAME
};

bool IsStandard(TColor value) { return (value >> 24) == 0; }

QColor ToQColor(TColor value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QIcon Swatch(const QColor& color) {
    QPixmap pixmap(16, 12);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}

constexpr int kColorRole = Qt::UserRole;
constexpr int kShownNameLength = 8;

} // namespace

TColorPicker::TColorPicker(QWidget* parent) : QComboBox(parent) {
    for (const TColor value : kNamedColors) {
        if (!IsStandard(value)) continue;
        const QColor color = ToQColor(value);
        // "clSilver" is shown as "Silver".
        addItem(Swatch(color), ColorToText(value).mid(2), color);
    }
    addItem(QStringLiteral("Другой..."));
    // Wide enough for the common names; longer ones show in the open list.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(kShownNameLength);
    connect(this, &QComboBox::activated, this, &TColorPicker::activatedRow);
    SetSelected(Qt::black);
}

int TColorPicker::rowOf(const QColor& color) const {
    for (int row = 0; row < count(); ++row) {
        const QVariant value = itemData(row, kColorRole);
        if (value.isValid() && value.value<QColor>().rgb() == color.rgb()) return row;
    }
    return -1;
}

void TColorPicker::SetSelected(const QColor& color) {
    int row = rowOf(color);
    if (row < 0) {
        // One entry stands for the unnamed colour shown, just before "Другой...".
        if (customRow_ < 0) {
            customRow_ = count() - 1;
            insertItem(customRow_, QString());
        }
        setItemIcon(customRow_, Swatch(color));
        setItemText(customRow_, color.name(QColor::HexRgb).toUpper());
        setItemData(customRow_, color, kColorRole);
        row = customRow_;
    }
    setCurrentIndex(row);
    selected_ = color;
    emit ColorChanged(color);
}

void TColorPicker::activatedRow(int row) {
    if (row == count() - 1) {
        const std::optional<QColor> chosen =
            CurrentPrompter().chooseColor(selected_, QStringLiteral("Цвет"));
        SetSelected(chosen ? *chosen : selected_);
        return;
    }
    SetSelected(itemData(row, kColorRole).value<QColor>());
}

} // namespace lumivar
