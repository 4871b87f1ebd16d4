// The offscreen platform warns each time a window is raised (a dialog brought to the front,
// the editor component's list window); that warning says nothing about the code under test,
// so tests that raise windows include this header to silence it (each including file adds
// one filter in front of the handler before it).
#pragma once

#include <QString>
#include <QtGlobal>

namespace lumivar::test {

[[maybe_unused]] static const bool kQuietRaise = [] {
    static const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (!message.contains(QStringLiteral("does not support raise()")))
                previous(type, context, message);
        });
    return true;
}();

} // namespace lumivar::test
