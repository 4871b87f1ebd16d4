// A warning that a test provokes on purpose (Qt reports a device it cannot paint on, for
// instance): while the guard lives, messages starting with its text are kept back instead of
// printed, so that the test output shows only what is unexpected.
#pragma once

#include <QString>
#include <QtGlobal>

namespace lumivar::test {

class ExpectedWarning {
public:
    explicit ExpectedWarning(QString prefix) : prefix_(std::move(prefix)) {
        previousGuard_ = current_;
        current_ = this;
        previousHandler_ = qInstallMessageHandler(&ExpectedWarning::handle);
    }
    ~ExpectedWarning() {
        qInstallMessageHandler(previousHandler_);
        current_ = previousGuard_;
    }
    ExpectedWarning(const ExpectedWarning&) = delete;
    ExpectedWarning& operator=(const ExpectedWarning&) = delete;

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        ExpectedWarning* guard = current_;
        if (message.startsWith(guard->prefix_)) return;
        if (guard->previousHandler_) guard->previousHandler_(type, context, message);
    }

    static inline ExpectedWarning* current_ = nullptr;
    QString prefix_;
    ExpectedWarning* previousGuard_ = nullptr;
    QtMessageHandler previousHandler_ = nullptr;
};

} // namespace lumivar::test
