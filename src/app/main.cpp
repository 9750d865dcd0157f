#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow w;
    w.setWindowTitle("Untitled - Quillon Radio Programmer - Version 2.7");
    w.show();
    return app.exec();
}
