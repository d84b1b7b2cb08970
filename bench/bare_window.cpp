// The yardstick for the start-up benchmark: a bare Qt Widgets program with
// one empty window of the main window's size, ended the same way.
#include "shell/startup_probe.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(791, 446);
    ExitAfterFirstPaintIfAsked(&window);
    window.show();
    return QApplication::exec();
}
