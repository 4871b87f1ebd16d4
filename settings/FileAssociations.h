// Registers Lumivar as the program of a file extension for the current user, the freedesktop
// way: a desktop entry for the program (its executable's full path), a MIME type per extension
// with the glob "*.ext" in a user MIME package, and mimeapps.list. Lumivar becomes the default
// opener of the type and is added as an application for it; for "bat", "exe", "com" and "cmd"
// it is only added (it edits them but does not open them). Everything goes under the XDG data
// and config folders of the environment; nothing is ever removed.
#pragma once

#include <QString>

#include <optional>

namespace lumivar {

// The user's XDG folders the registration writes to.
struct TAssociationFolders {
    QString dataHome;   // $XDG_DATA_HOME, by default ~/.local/share
    QString configHome; // $XDG_CONFIG_HOME, by default ~/.config
};
TAssociationFolders UserAssociationFolders();

// File names inside the folders, and the desktop entry's id.
inline constexpr const char* kDesktopId = "lumivar.desktop";
QString DesktopEntryPath(const TAssociationFolders& folders);
QString MimeAppsPath(const TAssociationFolders& folders);
QString MimePackagePath(const TAssociationFolders& folders, const QString& ext);

// The MIME type Lumivar defines for an extension (taken in lower case).
QString MimeTypeOfExtension(const QString& ext);

// Extensions that Lumivar edits but never becomes the default opener of.
bool IsOpenedByTheSystem(const QString& ext);

// True for an extension that can be registered: letters, digits, "_", "-" and "+" only.
bool IsRegistrableExtension(const QString& ext);

// Writes the registration of one extension; the text of the failure (naming the folder or
// file that could not be written), or nothing on success.
std::optional<QString> RegisterExtension(const QString& ext, const QString& executable,
                                         const TAssociationFolders& folders);

// Rebuilds the user's MIME database from its packages so that new globs take effect. A system
// without the update tool is left alone (its next rebuild reads the packages); the text of a
// failed rebuild, or nothing.
std::optional<QString> UpdateMimeDatabase(const TAssociationFolders& folders);

} // namespace lumivar
