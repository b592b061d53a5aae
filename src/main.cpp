#include "app/main_window.h"
#include "app/qt_controls.h"
#include "display/serial_link.h"
#include "display/usb_display_library.h"
#include "runtime/port_map.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kundendisplay-test"));

    kd::SerialPortLink serial(kd::defaultPortTable(), [] { return kd::portMapFolder(false); });
    kd::UsbDisplayLibrary usb(kd::usbLibrarySearchDirs(std::getenv("LD_LIBRARY_PATH"),
                                                       kd::systemLibraryDirs(),
                                                       kd::toolLibraryDir(kd::executableDir())));
    kd::QtMessageBox messageBox;
    kd::MainWindow window(serial, usb, messageBox);
    messageBox.setParent(&window);
    window.show();
    return app.exec();
}
