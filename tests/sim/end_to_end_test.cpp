// The tool's real window, the stand-in USB library from the tool's own library folder and the
// virtual display behind its real socket and pseudo-terminal.
#include "app/main_window.h"
#include "support/rig.h"
#include "support/sim_thread.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace kd {
namespace {

using Texts = std::vector<std::string>;

const std::u16string kBlank(20, u' ');
const std::u16string kItem = u"100 Rollringe  11,50";
const std::u16string kGreeting = u"  Willkommen bei Raumausstatter Zimbelwerk  ";

struct Screen {
    const char *button;
    std::u16string line1;
    std::u16string line2;
};

class EndToEnd : public ::testing::Test {
  protected:
    test::PrivateRuntimeDir runtimeDir;
    test::SimThread sim;
    // No device in the table: "Com" reaches the display through the entry it made in the user's
    // port map, as on a technician's machine with no setup.
    SerialPortLink serial{PortTable(20, test::missingDevice(0)),
                          [] { return portMapFolder(false); }};
    UsbDisplayLibrary usb{usbLibrarySearchDirs(nullptr, {}, toolLibraryDir(executableDir()))};
    test::RecordingMessageBox messages;
    MainWindow window{serial, usb, messages};

    QAbstractButton *button(const char *name) {
        return window.findChild<QAbstractButton *>(QString::fromLatin1(name));
    }

    // Clicks each button in turn and checks both lines after each click.
    void walk(const std::vector<Screen> &screens) {
        for (const Screen &screen : screens) {
            QTest::mouseClick(button(screen.button), Qt::LeftButton);
            const bool shown = sim.waitForLines(screen.line1, screen.line2);
            const sim::Snapshot snapshot = sim.display().snapshot();
            EXPECT_TRUE(shown) << screen.button << ": \""
                               << QString::fromStdU16String(snapshot.lines[0]).toStdString()
                               << "\" / \""
                               << QString::fromStdU16String(snapshot.lines[1]).toStdString()
                               << "\"";
        }
        EXPECT_EQ(messages.errors.size(), 0u);
    }
};

TEST_F(EndToEnd, UsbThroughTheStandInLibrary) {
    ASSERT_TRUE(sim.problems().isEmpty()) << sim.problems().toStdString();
    QTest::mouseClick(window.Option[0], Qt::LeftButton);
    ASSERT_EQ(messages.messages, Texts{});
    ASSERT_EQ(usb.loadedPath(), executableDir() + "/libcd722dusb.so");
    EXPECT_EQ(window.CommPort->text(), "1");

    walk({{"cmdSumme", u"Gesamt:             ", u"               11,50"},
          {"cmdClear", kBlank, kBlank}});

    QTest::mouseClick(window.cmdHello, Qt::LeftButton);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return sim.display().snapshot().runningText[0] == kGreeting; }));
    const sim::Snapshot greeting = sim.display().snapshot();
    EXPECT_EQ(greeting.stepMs, 8 * 25); // the D frame: 8 units of 25 ms
    EXPECT_NE(kGreeting.find(greeting.lines[0].substr(0, 10)), std::u16string::npos);
    EXPECT_EQ(greeting.lines[1], kBlank);

    walk({{"cmdText", kItem, kBlank}, // the greeting set the clear-first flag
          {"cmdText", kItem, kItem},  // no clear: the second line gets it
          {"cmdSumme", u"Gesamt:             ", u"               11,50"},
          {"cmdGivenandback", u"Gegeben        20,00", u"Zurueck         8,50"},
          {"cmdText", kItem, kBlank}});
}

TEST_F(EndToEnd, SerialThroughTheDisplaysPseudoTerminal) {
    ASSERT_TRUE(sim.problems().isEmpty()) << sim.problems().toStdString();
    QTest::mouseClick(window.Option[1], Qt::LeftButton);
    ASSERT_EQ(messages.messages, Texts{});
    EXPECT_EQ(window.CommPort->text(), "1");
    EXPECT_TRUE(window.CommPort->toolTip().startsWith(
        sim.display().serialPath() + QStringLiteral(" (virtuelles Kundendisplay)")));

    walk({{"cmdSumme", u"Gesamt:             ", u"               11,50"},
          {"cmdClear", kBlank, kBlank},
          {"cmdHello", u"Hallo Zeile 1       ", u"Hallo Zeile 2       "},
          {"cmdText", kItem, kBlank},
          {"cmdText", kItem, kBlank}, // over serial every text starts with a clear
          {"cmdGivenandback", u"Gegeben        20,00", u"Zurueck         8,50"},
          {"cmdText", kItem, kBlank}});
}

TEST_F(EndToEnd, DisplayServesOneClientAtATime) {
    // Another program holds the virtual display.
    const int other = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = sim.display().socketPath().toStdString();
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::connect(other, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    pollfd welcome{other, POLLIN, 0};
    char byte = 0;
    ASSERT_EQ(::poll(&welcome, 1, 2000), 1);
    ASSERT_EQ(::recv(other, &byte, 1, 0), 1);
    EXPECT_EQ(byte, 'K');

    QTest::mouseClick(window.Option[0], Qt::LeftButton);
    EXPECT_EQ(messages.messages, Texts{"Kein USB-Anschluss gefunden"});

    ::close(other);
    EXPECT_TRUE(QTest::qWaitFor([&] { return usb.opencd722usb() == 1; }));
    QTest::mouseClick(window.Option[0], Qt::LeftButton);
    EXPECT_EQ(messages.messages.size(), 1u);
    walk({{"cmdSumme", u"Gesamt:             ", u"               11,50"}});
}

TEST(EndToEndWithoutDisplay, UsbFindsNoConnection) {
    test::PrivateRuntimeDir runtimeDir;
    SerialPortLink serial{PortTable{}};
    UsbDisplayLibrary usb{usbLibrarySearchDirs(nullptr, {}, toolLibraryDir(executableDir()))};
    test::RecordingMessageBox messages;
    MainWindow window{serial, usb, messages};
    QTest::mouseClick(window.Option[0], Qt::LeftButton);
    EXPECT_EQ(messages.messages, Texts{"Kein USB-Anschluss gefunden"});
    EXPECT_EQ(window.CommPort->text(), "20");
}

} // namespace
} // namespace kd
