// Helpers for tests that drive a window with keys: show it on the offscreen platform, make it
// the active window (window shortcuts need that), and let pending events and paints run.
// Tests using this link Qt6::Test.
#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

namespace lumivar::test {

inline void Settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

inline bool ShowAndActivate(QWidget& window) {
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    const bool active = QTest::qWaitForWindowActive(&window);
    Settle();
    return active;
}

} // namespace lumivar::test
