// The per-user settings store: one thin class over QSettings in INI format, user scope,
// organisation and application "Lumivar" (on Linux ~/.config/Lumivar/Lumivar.ini). Sections are
// groups and values are keys ("Memo/Font"); every value is a string in its text form
// (settings/TextForms.h), and reading a missing or malformed value gives the caller's default
// without reporting anything.
#pragma once

#include "settings/TextForms.h"

#include <QList>
#include <QRect>
#include <QSettings>
#include <QString>
#include <QStringList>

namespace lumivar {

class SettingsStore {
public:
    SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Where the values live, for the README and for tests that write a file by hand.
    QString fileName() const;

    int readInteger(const QString& section, const QString& name, int def) const;
    void writeInteger(const QString& section, const QString& name, int value);

    // A string may hold line breaks (CR LF); it is stored whole in one value.
    QString readString(const QString& section, const QString& name, const QString& def) const;
    void writeString(const QString& section, const QString& name, const QString& value);

    TColor readColor(const QString& section, const QString& name, TColor def) const;
    void writeColor(const QString& section, const QString& name, TColor value);

    QRect readRect(const QString& section, const QString& name, const QRect& def) const;
    void writeRect(const QString& section, const QString& name, const QRect& value);

    StoredFont readFont(const QString& section, const QString& name, const StoredFont& def) const;
    void writeFont(const QString& section, const QString& name, const StoredFont& value);

    // A string list keeps entry i in the value named i ("0", "1", ...), at most
    // kMaxListEntries of them. Writing erases the whole section first; reading stops at the
    // first value that is missing or empty.
    static constexpr int kMaxListEntries = 16;
    QStringList readStringList(const QString& section) const;
    void writeStringList(const QString& section, const QStringList& list);

    // Deletes one value; a missing value is no error.
    void remove(const QString& section, const QString& name);

private:
    // The stored text of a value, or nothing when it is absent.
    std::optional<QString> readText(const QString& section, const QString& name) const;
    void writeText(const QString& section, const QString& name, const QString& text);

    QSettings settings_;
};

// A stored window rectangle moved and shrunk as little as needed so that the window can be
// reached on one of the screens' available areas: it is kept as it is when a part of at least
// kMinVisible by kMinVisible pixels (or the whole window, when smaller) shows on some screen;
// otherwise it goes to the screen it overlaps most (the first screen when it overlaps none).
inline constexpr int kMinVisible = 64;
QRect KeepOnScreens(const QRect& window, const QList<QRect>& screens);

} // namespace lumivar
