// Program entry of the Lumivar editor.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Lumivar");
    QMainWindow window;
    window.setWindowTitle("Lumivar");
    window.resize(780, 525);
    window.show();
    return app.exec();
}
