// The settings store over QSettings: every value passes through its text form, so that the INI
// file holds exactly the texts the forms define.
#include "settings/SettingsStore.h"

#include <algorithm>

namespace lumivar {
namespace {

QString Key(const QString& section, const QString& name) { return section + u'/' + name; }

// The area of the part of a that lies inside b.
qint64 OverlapArea(const QRect& a, const QRect& b) {
    const QRect i = a.intersected(b);
    return i.isEmpty() ? 0 : qint64(i.width()) * i.height();
}

} // namespace

SettingsStore::SettingsStore()
    : settings_(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Lumivar"),
                QStringLiteral("Lumivar")) {}

QString SettingsStore::fileName() const { return settings_.fileName(); }

std::optional<QString> SettingsStore::readText(const QString& section, const QString& name) const {
    const QVariant value = settings_.value(Key(section, name));
    if (!value.isValid()) return std::nullopt;
    // A hand-edited INI value with unquoted commas comes back as a list: its text is the
    // items joined again.
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(u',');
    return value.toString();
}

void SettingsStore::writeText(const QString& section, const QString& name, const QString& text) {
    settings_.setValue(Key(section, name), text);
    settings_.sync();
}

int SettingsStore::readInteger(const QString& section, const QString& name, int def) const {
    const std::optional<QString> text = readText(section, name);
    return text ? TextToInteger(*text).value_or(def) : def;
}

void SettingsStore::writeInteger(const QString& section, const QString& name, int value) {
    writeText(section, name, IntegerToText(value));
}

QString SettingsStore::readString(const QString& section, const QString& name,
                                  const QString& def) const {
    return readText(section, name).value_or(def);
}

void SettingsStore::writeString(const QString& section, const QString& name, const QString& value) {
    writeText(section, name, value);
}

TColor SettingsStore::readColor(const QString& section, const QString& name, TColor def) const {
    const std::optional<QString> text = readText(section, name);
    return text ? TextToColor(*text).value_or(def) : def;
}

void SettingsStore::writeColor(const QString& section, const QString& name, TColor value) {
    writeText(section, name, ColorToText(value));
}

QRect SettingsStore::readRect(const QString& section, const QString& name, const QRect& def) const {
    const std::optional<QString> text = readText(section, name);
    return text ? TextToRect(*text).value_or(def) : def;
}

void SettingsStore::writeRect(const QString& section, const QString& name, const QRect& value) {
    writeText(section, name, RectToText(value));
}

StoredFont SettingsStore::readFont(const QString& section, const QString& name,
                                   const StoredFont& def) const {
    const std::optional<QString> text = readText(section, name);
    return text ? TextToFont(*text).value_or(def) : def;
}

void SettingsStore::writeFont(const QString& section, const QString& name, const StoredFont& value) {
    writeText(section, name, FontToText(value));
}

QStringList SettingsStore::readStringList(const QString& section) const {
    QStringList list;
    for (int i = 0; i < kMaxListEntries; ++i) {
        const QString entry = readText(section, QString::number(i)).value_or(QString());
        if (entry.isEmpty()) break;
        list.append(entry);
    }
    return list;
}

void SettingsStore::writeStringList(const QString& section, const QStringList& list) {
    settings_.remove(section);
    const int count = std::min<int>(list.size(), kMaxListEntries);
    for (int i = 0; i < count; ++i) settings_.setValue(Key(section, QString::number(i)), list[i]);
    settings_.sync();
}

void SettingsStore::remove(const QString& section, const QString& name) {
    settings_.remove(Key(section, name));
    settings_.sync();
}

QRect KeepOnScreens(const QRect& window, const QList<QRect>& screens) {
    if (screens.isEmpty()) return window;
    const int needWidth = std::min(window.width(), kMinVisible);
    const int needHeight = std::min(window.height(), kMinVisible);
    const QRect* best = &screens.front();
    qint64 bestArea = 0;
    for (const QRect& screen : screens) {
        const QRect shown = window.intersected(screen);
        if (shown.width() >= needWidth && shown.height() >= needHeight) return window;
        const qint64 area = OverlapArea(window, screen);
        if (area > bestArea) {
            bestArea = area;
            best = &screen;
        }
    }
    // Shrink to the screen, then move the least distance that brings it fully inside.
    QRect moved(window.topLeft(), window.size().boundedTo(best->size()));
    moved.moveLeft(std::clamp(moved.left(), best->left(), best->right() - moved.width() + 1));
    moved.moveTop(std::clamp(moved.top(), best->top(), best->bottom() - moved.height() + 1));
    return moved;
}

} // namespace lumivar
