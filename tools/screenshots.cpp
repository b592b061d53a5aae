// Writes pictures of both windows, as they look, into the folder given on the command line.
// Run headless: QT_QPA_PLATFORM=offscreen kundendisplay-screenshots docs
#include "app/main_window.h"
#include "display/serial_link.h"
#include "display/usb_display_library.h"
#include "sim_display.h"
#include "sim_window.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

#include <cstdio>

namespace {

// Shows nothing: the pictures are taken without any dialog.
class SilentMessageBox : public kd::MessageBox {
  public:
    void showMessage(const std::string &) override {}
    void showError(const kd::Error &) override {}
};

bool save(QWidget &widget, const QDir &folder, const QString &name) {
    const QString path = folder.filePath(name);
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));

    kd::SerialPortLink serial{kd::PortTable{}};
    kd::UsbDisplayLibrary usb{{}};
    SilentMessageBox messageBox;
    kd::MainWindow window(serial, usb, messageBox);
    window.show();

    kd::sim::SimDisplay display;
    kd::sim::SimWindow simWindow(display);
    simWindow.showInputs({});
    simWindow.resize(560, 420);
    simWindow.show();
    display.receive(QStringLiteral("USB"), QByteArray("\f"));
    display.receive(QStringLiteral("USB"), QByteArray("\fGesamt:\r\n               11,50\r"));

    return save(window, folder, QStringLiteral("kundendisplay-test.png")) &&
                   save(simWindow, folder, QStringLiteral("kundendisplay-sim.png"))
               ? 0
               : 1;
}
