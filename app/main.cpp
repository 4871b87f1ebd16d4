// Program entry of the Lumivar editor: start-up, then the message loop until the window closes.
#include "app/ScriptEditor.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumivar"));
    // The arguments left after Qt has taken its own options; the program name excluded.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const std::unique_ptr<lumivar::TfScriptEditor> window = lumivar::StartUp(arguments);
    window->show();
    return app.exec();
}
