#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Geovanta");
    QMainWindow window;
    window.setWindowTitle("Geovanta");
    window.resize(637, 524);
    window.show();
    return QApplication::exec();
}
