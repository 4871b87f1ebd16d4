// Test entry for the editor's tests: Qt's offscreen platform, and HOME and the XDG folders
// pointed at a fresh temporary directory, so that no test touches the user's own settings,
// files or associations. The directory is removed when the run ends. The offscreen platform's
// own warnings are kept out of the test output.
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// The offscreen platform warns each time a window asks for what it cannot do (raising a
// dialog or the editor component's list window, passing on size hints), and the page set-up
// dialog each time it is shown without a system printer; neither says anything about the code
// under test.
constexpr const char* kPlatformNoise[] = {
    "This plugin does not support ",
    "QPageSetupDialog: Cannot be used on non-native printers",
};

QtMessageHandler gPreviousHandler = nullptr;

void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    for (const char* noise : kPlatformNoise)
        if (message.startsWith(QLatin1String(noise))) return;
    if (gPreviousHandler) gPreviousHandler(type, context, message);
}

} // namespace

int main(int argc, char* argv[]) {
    QTemporaryDir home(QDir::tempPath() + "/lumivar-test-XXXXXX");
    if (!home.isValid()) return 2;
    const QByteArray root = home.path().toLocal8Bit();
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("HOME", root.constData(), 1);
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"}) {
        const QByteArray dir = root + "/" + QByteArray(name).toLower();
        QDir().mkpath(QString::fromLocal8Bit(dir));
        setenv(name, dir.constData(), 1);
    }
    const QByteArray runtime = root + "/runtime";
    QDir().mkpath(QString::fromLocal8Bit(runtime));
    QFile::setPermissions(QString::fromLocal8Bit(runtime), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setenv("XDG_RUNTIME_DIR", runtime.constData(), 1);

    gPreviousHandler = qInstallMessageHandler(QuietHandler);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
