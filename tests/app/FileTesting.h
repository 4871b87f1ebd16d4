// Shared set-up of the tests of the window's file commands, recoding and stored settings: a
// temporary folder for files, settings that start empty, and a window made as at start-up.
#pragma once

#include "app/ScriptEditor.h"
#include "settings/SettingsStore.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestPrompter.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <memory>

namespace lumivar::test {

inline QString U(const char* utf8) { return QString::fromUtf8(utf8); }

inline QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// While it lives, no file of the process may grow past the given size: a write beyond it fails
// midway as on a full disk (the signal the system sends for it is ignored).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*oldHandler_)(int) = nullptr;
};

class FileTest : public testing::Test {
protected:
    void SetUp() override {
        QFile::remove(SettingsStore().fileName());
        previousDir_ = QDir::currentPath();
    }
    void TearDown() override {
        QDir::setCurrent(previousDir_);
        QFile::remove(SettingsStore().fileName());
    }

    QString Path(const QString& name) const { return dir_.filePath(name); }

    QString WriteFile(const QString& name, const QByteArray& bytes) const {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << name.toStdString();
        file.write(bytes);
        return Path(name);
    }

    // A window as start-up creates it (recent files, placement and settings loaded).
    static std::unique_ptr<TfScriptEditor> NewWindow() { return StartUp({}); }

    TestPrompter prompter_;
    QTemporaryDir dir_;

private:
    QString previousDir_;
};

} // namespace lumivar::test
