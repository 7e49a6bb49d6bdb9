// Mevalo: a terminal for setting up and watching servo amplifiers over a serial line.
#include "app/StartUp.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Mevalo");
    // The program ends through its own exit paths, never because its last window closed.
    QApplication::setQuitOnLastWindowClosed(false);
    Main();
    return QApplication::exec();
}
