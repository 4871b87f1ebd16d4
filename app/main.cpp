// Program entry of the Lumivar editor: start-up, then the message loop until the window closes.
#include "app/ScriptEditor.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumivar"));
    // Qt's own dialogs (files, fonts, colours, print preview) speak the editor's language when
    // the system has Qt's Russian translation; without it they stay as they are.
    QTranslator qtRussian;
    if (qtRussian.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtRussian);
    // The arguments left after Qt has taken its own options; the program name excluded.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const std::unique_ptr<lumivar::TfScriptEditor> window = lumivar::StartUp(arguments);
    window->show();
    return app.exec();
}
