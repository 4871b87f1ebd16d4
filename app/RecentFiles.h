// The recent-files list: at most ten full paths, most recent first, never the same path twice
// (compared without regard to case), with the menu captions "&1 path" .. "&A path" and its
// place in the settings under "MRU/MRUList", values "MRU1".."MRU10".
#pragma once

#include <QString>
#include <QStringList>

namespace lumivar {

class SettingsStore;

class RecentFiles {
public:
    static constexpr int kMaxEntries = 10; // the accelerators 1..9 and A

    const QStringList& items() const { return items_; }
    int count() const { return int(items_.size()); }

    // Makes the path a full path and puts it at the top: an entry equal to it without regard
    // to case moves up and takes the new spelling; the entry pushed past the tenth drops out.
    void add(const QString& path);
    // Moves an entry to the top, as choosing it in a menu does.
    void moveToTop(int index);
    // Rebuilds the list from every entry but the one at index; a bad index changes nothing.
    void remove(int index);
    // The index of the entry equal to the path (made a full path) without regard to case, or -1.
    int indexOf(const QString& path) const;

    // "&" + accelerator + " " + path, the accelerator being the digit 1..9 or the letter A.
    // An "&" inside the path is doubled so that the menu shows it as it is.
    QString caption(int index) const;

    // Reads MRU1..MRU10 in turn, keeping every non-empty value not already listed.
    void load(const SettingsStore& store);
    // Writes entry n into MRUn and deletes the values past the last entry.
    void store(SettingsStore& store) const;

private:
    QStringList items_;
};

// The settings section of the list.
inline constexpr char kRecentFilesSection[] = "MRU/MRUList";

} // namespace lumivar
