#include "sim_display.h"
#include "sim_window.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kundendisplay-sim"));

    kd::sim::SimDisplay display;
    kd::sim::SimWindow window(display);
    const QString problems = display.start();
    window.showInputs(problems);
    window.show();
    return app.exec();
}
