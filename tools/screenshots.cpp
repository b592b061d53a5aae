// Writes pictures of both windows, as they look, into the folder given on the command line.
// Run headless: QT_QPA_PLATFORM=offscreen kundendisplay-screenshots docs
#include "app/main_window.h"
#include "display/serial_link.h"
#include "display/usb_display_library.h"
#include "inputs/display_service.h"
#include "window/sim_window.h"

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

    bool saved = save(window, folder, QStringLiteral("kundendisplay-test.png"));

    // The virtual display after the tool's total, and once per command set after a till's
    // session in it.
    const struct {
        kd::sim::Emulation emulation;
        QByteArray bytes;
        const char *file;
    } sessions[] = {
        {kd::sim::Emulation::Standard, QByteArrayLiteral("\fGesamt:\r\n               11,50\r"),
         "kundendisplay-sim.png"},
        {kd::sim::Emulation::Epson,
         QByteArrayLiteral("\x1B@\x1Bt\x13\x1F\x43\x01Gr\x81\xE1"
                           "e Rolle  3,20 \xD5\x1F$\x01\x02"
                           "\x1Fr\x01"
                           "Summe\x1Fr\x00      11,50 \xD5"),
         "kundendisplay-sim-epson.png"},
        {kd::sim::Emulation::Cd5220,
         QByteArrayLiteral("\x1B@\x1B*\x03\x1BQAArtikel 1    2,50\r\x1BQBGesamt       2,50\r"),
         "kundendisplay-sim-cd5220.png"},
        {kd::sim::Emulation::LogicControls,
         QByteArrayLiteral("\x1F\x11\x04\x60Gegeben    20,00\x10\x14Zur\x81"
                           "ck      8,50"),
         "kundendisplay-sim-logic-controls.png"},
        {kd::sim::Emulation::Aedex,
         QByteArrayLiteral("Beleg 4711\r!#1Vielen Dank\r!#2und auf Wiedersehen\r"),
         "kundendisplay-sim-aedex.png"},
        {kd::sim::Emulation::Ba63,
         QByteArrayLiteral("\x1B[2J\x1B[1;1HBr\x94tchen        0,45\x1B[2;1HSumme          11,50"),
         "kundendisplay-sim-ba63.png"},
        {kd::sim::Emulation::Dsp800,
         QByteArrayLiteral("\x04\x01\x43\x31\x58\x17\x04\x01P1\x17Kaffee          2,80"
                           "\x04\x01PE\x17Summe          11,50"),
         "kundendisplay-sim-dsp800.png"},
        {kd::sim::Emulation::UtcEnhanced,
         QByteArrayLiteral("\x1BuAArtikel 3      1,99\r\x1BuBSumme          11,50\r"),
         "kundendisplay-sim-utc-enhanced.png"},
        {kd::sim::Emulation::Iee, QByteArrayLiteral("\x15Milch           1,19Summe           7,45"),
         "kundendisplay-sim-iee.png"},
        {kd::sim::Emulation::Icd2002,
         QByteArrayLiteral("\x1B@\x1B\x45X4\x1B\x43U\x01"
                           "Brot            2,49"
                           "\x1B\x43\x44\x01Summe           9,99"),
         "kundendisplay-sim-icd2002.png"},
        {kd::sim::Emulation::Adm787,
         QByteArrayLiteral("\x0CZucker          1,29\x0FSumme           5,17"),
         "kundendisplay-sim-adm787.png"},
    };
    for (const auto &session : sessions) {
        kd::sim::DisplayService display(session.emulation);
        kd::sim::SimWindow simWindow(display);
        simWindow.resize(560, 460);
        simWindow.show();
        display.receive(QStringLiteral("Serial"), session.bytes);
        simWindow.refresh();
        saved = save(simWindow, folder, QString::fromLatin1(session.file)) && saved;
    }
    return saved ? 0 : 1;
}
