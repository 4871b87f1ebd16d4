// The offscreen platform warns each time a window asks for what it cannot do (raising a
// dialog or the editor component's list window, passing on size hints); those warnings say
// nothing about the code under test, so tests that show windows include this header to
// silence them (each including file adds one filter in front of the handler before it).
#pragma once

#include <QString>
#include <QtGlobal>

namespace lumivar::test {

[[maybe_unused]] static const bool kQuietOffscreen = [] {
    static const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (!message.startsWith(QStringLiteral("This plugin does not support ")))
                previous(type, context, message);
        });
    return true;
}();

} // namespace lumivar::test
