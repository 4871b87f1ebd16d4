// Icons of the tool-bar commands, drawn by the program itself so that they look the same with
// or without an icon theme on the system.
#pragma once

#include <QIcon>
#include <QString>

namespace lumivar {

// The icon of a command by its member name ("actPrint"); an empty icon for commands without one.
QIcon CommandIcon(const QString& commandName);

} // namespace lumivar
