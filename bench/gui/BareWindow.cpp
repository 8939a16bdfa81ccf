// The baseline of the start-up benchmark: a Qt program that shows an empty window and
// quits as soon as the event loop is idle.

#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.resize(825, 622);
    window.show();
    QTimer::singleShot(0, &application, [] { QCoreApplication::exit(0); });
    return QApplication::exec();
}
