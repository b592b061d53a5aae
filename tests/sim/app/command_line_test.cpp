// The virtual display's command line: options, --print as a headless display, recordings and
// the serial link.
#include "app/sim_options.h"
#include "display/usb_display_library.h"
#include "inputs/display_service.h"
#include "inputs/inputs.h"
#include "inputs/terminal_link.h"
#include "model/print_mode.h"
#include "model/recording.h"
#include "support/pseudo_terminal.h"
#include "support/sim_program.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kd::sim {
namespace {

namespace fs = std::filesystem;

TEST(SimOptions, AcceptsEachOptionAndRefusesWithTheReason) {
    const auto parse = [](QStringList arguments) {
        arguments.prepend(QStringLiteral("kundendisplay-sim"));
        return parseSimOptions(arguments);
    };
    const ParsedOptions all = parse({"--emulation", "logic-controls", "--com", "3", "--serial-link",
                                     "/tmp/kd-pos", "--record", "/tmp/kd.rec"});
    EXPECT_FALSE(all.exitNow);
    EXPECT_EQ(all.options.emulation, Emulation::LogicControls);
    EXPECT_EQ(all.options.comPort, 3);
    EXPECT_EQ(all.options.serialLink, "/tmp/kd-pos");
    EXPECT_EQ(all.options.recordFile, "/tmp/kd.rec");
    const ParsedOptions print = parse({"--print", "bytes.bin"});
    EXPECT_TRUE(print.options.print);
    EXPECT_EQ(print.options.printFile, "bytes.bin");
    EXPECT_EQ(print.options.emulation, std::nullopt);

    const struct {
        QStringList arguments;
        const char *says;
    } refusals[] = {
        {{"--emulation", "escpos"},
         "Unbekannter Befehlssatz \"escpos\"; gültig sind: standard, epson, cd5220, "
         "logic-controls, aedex, auto"},
        {{"--com", "21"}, "Ungültige Portnummer für --com: \"21\""},
        {{"--bogus"}, "Unbekannte Option: 'bogus'"},
        {{"--record"}, "Wert fehlt nach --record"},
        {{"--print", "a", "b"}, "--print liest höchstens eine Datei"},
        {{"datei"}, "Unerwartetes Argument \"datei\""},
        {{"--print", "--replay", "x"}, "--print und --replay schließen einander aus"},
    };
    for (const auto &c : refusals) {
        const ParsedOptions parsed = parse(c.arguments);
        EXPECT_TRUE(parsed.exitNow) << c.says;
        EXPECT_EQ(parsed.exitStatus, 2) << c.says;
        EXPECT_TRUE(parsed.message.startsWith(QString::fromUtf8(c.says)))
            << parsed.message.toStdString();
    }
    // Every option is in the help and in the manual page.
    const ParsedOptions help = parse({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    std::ifstream page(std::string(KD_TEST_SOURCE_DIR) + "/../data/man/kundendisplay-sim.1");
    const std::string manual{std::istreambuf_iterator<char>(page), {}};
    for (const char *option : {"emulation", "serial-link", "print", "record", "replay", "com",
                               "headless", "log", "png", "tcp", "no-usb"}) {
        EXPECT_TRUE(help.message.contains(QStringLiteral("--") + option)) << option;
        std::string escaped;
        for (const char c : std::string(option))
            escaped += c == '-' ? std::string("\\-") : std::string(1, c);
        EXPECT_NE(manual.find("\\-\\-" + escaped), std::string::npos) << option;
    }
}

// --tcp [HOST:]PORT: the loopback address unless the user names another; --headless, --log,
// --png and --no-usb reach the options.
TEST(SimOptions, ReadsTheTcpPlaceAndTheHeadlessOptions) {
    struct Case {
        const char *value;
        const char *host;
        quint16 port;
    };
    for (const Case &c : {Case{"5000", "127.0.0.1", 5000}, Case{"0", "127.0.0.1", 0},
                          Case{"0.0.0.0:65535", "0.0.0.0", 65535}, Case{"[::1]:0", "::1", 0},
                          Case{"localhost:23", "localhost", 23}}) {
        const ParsedOptions parsed =
            parseSimOptions({QStringLiteral("kundendisplay-sim"), QStringLiteral("--tcp"),
                             QString::fromLatin1(c.value)});
        EXPECT_FALSE(parsed.exitNow) << c.value << ": " << parsed.message.toStdString();
        EXPECT_EQ(parsed.options.tcpHost, QLatin1String(c.host)) << c.value;
        EXPECT_EQ(parsed.options.tcpPort, c.port) << c.value;
    }
    const ParsedOptions headless = parseSimOptions(
        {QStringLiteral("kundendisplay-sim"), QStringLiteral("--headless"), QStringLiteral("--log"),
         QStringLiteral("--png"), QStringLiteral("bild.png"), QStringLiteral("--no-usb")});
    EXPECT_FALSE(headless.exitNow) << headless.message.toStdString();
    EXPECT_TRUE(headless.options.headless);
    EXPECT_TRUE(headless.options.logCommands);
    EXPECT_EQ(headless.options.pngFile, QStringLiteral("bild.png"));
    EXPECT_FALSE(headless.options.usbSocket);
    EXPECT_TRUE(headless.options.tcpHost.isEmpty());
}

std::string readFile(const fs::path &path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

TEST(Recording, WhatIsRecordedReadsBackAsItArrived) {
    const fs::path file = fs::temp_directory_path() / ("kd-record-" + std::to_string(::getpid()));
    {
        DisplayService service;
        Inputs inputs(service, {});
        ASSERT_EQ(inputs.recordTo(QString::fromStdString(file.string())), QString());
        inputs.receive(QStringLiteral("USB"), QByteArray("\x0c\x00\xff", 3));
        inputs.receive(QStringLiteral("Seriell"), QByteArray("Hallo"));
    }
    const ReadRecording read = readRecording(readFile(file));
    fs::remove(file);
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.arrivals.size(), 2u);
    EXPECT_EQ(read.arrivals[0].source, "USB");
    EXPECT_EQ(read.arrivals[0].bytes, std::string("\x0c\x00\xff", 3));
    EXPECT_EQ(read.arrivals[1].bytes, "Hallo");
    EXPECT_LE(read.arrivals[0].atMs, read.arrivals[1].atMs);

    EXPECT_EQ(readRecording(std::string(kRecordingHeader) + "\n12 USB 0C ZZ\n").error,
              "Zeile 2 der Aufzeichnung ist fehlerhaft");
}

TEST(TerminalLink, ReplacesOnlyAStaleLinkOfItsOwnKind) {
    const fs::path dir = fs::temp_directory_path() / ("kd-link-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    test::PseudoTerminal terminal;
    const std::string link = (dir / "pos-display").string();

    EXPECT_EQ(makeTerminalLink(link, terminal.path()), "");
    EXPECT_EQ(fs::read_symlink(link), terminal.path());
    // A link to a terminal that is there is someone's: refused.
    EXPECT_NE(makeTerminalLink(link, "/dev/pts/other").find("wird nicht ersetzt"),
              std::string::npos);
    removeTerminalLink(link, "/dev/pts/other"); // not its own: stays
    EXPECT_TRUE(fs::is_symlink(link));
    removeTerminalLink(link, terminal.path());
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));

    fs::create_symlink("/dev/pts/999999", link); // left behind: its terminal is gone
    EXPECT_EQ(makeTerminalLink(link, terminal.path()), "");
    EXPECT_EQ(fs::read_symlink(link), terminal.path());
    fs::remove(link);

    std::ofstream(dir / "file") << "x";
    EXPECT_NE(makeTerminalLink((dir / "file").string(), terminal.path()).find("kein Link"),
              std::string::npos);
    fs::remove_all(dir);
}

} // namespace
} // namespace kd::sim
