#include "app/command_line.h"
#include "app/main_window.h"
#include "app/qt_controls.h"
#include "app/qt_translation.h"
#include "display/serial_link.h"
#include "display/usb_display_library.h"
#include "runtime/port_map.h"
#include "runtime/window_system.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[]) {
    // --help and --version need no window system, so they are answered before Qt starts.
    if (const auto answer = kd::answerCommandLine({argv + 1, argv + argc})) {
        std::fputs(answer->c_str(), stdout);
        return 0;
    }
    // Without a display Qt would abort; the operator is told why instead.
    if (const std::string missing = kd::missingWindowSystem(); !missing.empty()) {
        std::fprintf(stderr, "kundendisplay-test: %s\n", missing.c_str());
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kundendisplay-test"));
    kd::installGermanQtTexts(app);

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
