// The recent-files list and its settings values.
#include "app/RecentFiles.h"

#include "settings/SettingsStore.h"

#include <QDir>
#include <QFileInfo>

namespace lumivar {
namespace {

QString ValueName(int number) { return QStringLiteral("MRU%1").arg(number); }

QString FullPath(const QString& path) {
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

} // namespace

int RecentFiles::indexOf(const QString& path) const {
    const QString full = FullPath(path);
    for (int i = 0; i < count(); ++i)
        if (items_[i].compare(full, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

void RecentFiles::add(const QString& path) {
    const QString full = FullPath(path);
    const int found = indexOf(full);
    if (found >= 0) items_.removeAt(found);
    items_.prepend(full);
    while (count() > kMaxEntries) items_.removeLast();
}

void RecentFiles::moveToTop(int index) {
    if (index > 0 && index < count()) items_.move(index, 0);
}

void RecentFiles::remove(int index) {
    if (index >= 0 && index < count()) items_.removeAt(index);
}

QString RecentFiles::caption(int index) const {
    if (index < 0 || index >= count()) return {};
    const QChar accelerator = index < 9 ? QChar(u'1' + index) : QChar(u'A' + index - 9);
    return QStringLiteral("&") + accelerator + u' ' + QString(items_[index]).replace(u'&', QStringLiteral("&&"));
}

void RecentFiles::load(const SettingsStore& store) {
    items_.clear();
    for (int n = 1; n <= kMaxEntries; ++n) {
        const QString path = store.readString(kRecentFilesSection, ValueName(n), {});
        if (!path.isEmpty() && indexOf(path) < 0) items_.append(path);
    }
}

void RecentFiles::store(SettingsStore& store) const {
    for (int n = 1; n <= kMaxEntries; ++n) {
        if (n <= count()) store.writeString(kRecentFilesSection, ValueName(n), items_[n - 1]);
        else store.remove(kRecentFilesSection, ValueName(n));
    }
}

} // namespace lumivar
