// The virtual display's command line: options, --print as a headless display, recordings and
// the serial link.
#include "app/sim_options.h"
#include "display/usb_display_library.h"
#include "inputs/serial_link_path.h"
#include "inputs/sim_display.h"
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
    for (const char *option : {"emulation", "serial-link", "print", "record", "replay", "com"}) {
        EXPECT_TRUE(help.message.contains(QStringLiteral("--") + option)) << option;
        std::string escaped;
        for (const char c : std::string(option))
            escaped += c == '-' ? std::string("\\-") : std::string(1, c);
        EXPECT_NE(manual.find("\\-\\-" + escaped), std::string::npos) << option;
    }
}

std::string readFile(const fs::path &path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

const fs::path kData = fs::path(KD_TEST_SOURCE_DIR) / "sim" / "data";

// A till's session against an Epson display, recorded with its commands cut across reads: --print
// shows what the real display would.
TEST(PrintMode, ReproducesARecordedSession) {
    std::istringstream none;
    std::ostringstream out, err;
    EXPECT_EQ(printScreen(Emulation::Epson, (kData / "epson_session.rec").string(), none, out, err),
              0)
        << err.str();
    EXPECT_EQ(out.str(), readFile(kData / "epson_session.expected"));
    EXPECT_EQ(out.str().substr(0, out.str().find('\n')), "Grüße Rolle  ÄXÜ    ");
}

TEST(PrintMode, ReadsPlainBytesFromStandardInputAndRefusesAnUnreadableFile) {
    std::istringstream input("!#1HELLO\r");
    std::ostringstream out, err;
    EXPECT_EQ(printScreen(Emulation::Aedex, "", input, out, err), 0);
    EXPECT_EQ(out.str().substr(0, 42), "HELLO               \n                    \n");

    std::ostringstream out2, err2;
    EXPECT_EQ(printScreen(Emulation::Standard, "/nonexistent/bytes", input, out2, err2), 1);
    EXPECT_EQ(out2.str(), "");
    EXPECT_NE(err2.str().find("/nonexistent/bytes"), std::string::npos) << err2.str();
}

// The installed program needs no X server for --print.
TEST(PrintMode, TheProgramPrintsWithoutAWindowSystem) {
    const test::ProgramRun run = test::runSimProgram(
        {"--print", "--emulation", "epson", (kData / "epson_session.rec").string()}, 1);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.output, readFile(kData / "epson_session.expected"));
}

TEST(Recording, WhatIsRecordedReadsBackAsItArrived) {
    const fs::path file = fs::temp_directory_path() / ("kd-record-" + std::to_string(::getpid()));
    {
        SimDisplay display(0);
        ASSERT_EQ(display.recordTo(QString::fromStdString(file.string())), QString());
        display.receive(QStringLiteral("USB"), QByteArray("\x0c\x00\xff", 3));
        display.receive(QStringLiteral("Seriell"), QByteArray("Hallo"));
    }
    const ReadRecording read = readRecording(readFile(file));
    fs::remove(file);
    ASSERT_EQ(read.error, "");
    ASSERT_EQ(read.value.size(), 2u);
    EXPECT_EQ(read.value[0].source, "USB");
    EXPECT_EQ(read.value[0].bytes, std::string("\x0c\x00\xff", 3));
    EXPECT_EQ(read.value[1].bytes, "Hallo");
    EXPECT_LE(read.value[0].atMs, read.value[1].atMs);

    const std::string malformed = std::string(kRecordingHeader) + "\n12 USB 0C ZZ\n";
    EXPECT_EQ(readRecording(malformed).error, "line 2 of the recording is malformed");
    EXPECT_EQ(readRecording(malformed, Language::German).error,
              "Zeile 2 der Aufzeichnung ist fehlerhaft");
}

TEST(SerialLink, ReplacesOnlyAStaleLinkOfItsOwnKind) {
    const fs::path dir = fs::temp_directory_path() / ("kd-link-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    test::PseudoTerminal terminal;
    const std::string link = (dir / "pos-display").string();

    EXPECT_EQ(makeSerialLink(link, terminal.path()), "");
    EXPECT_EQ(fs::read_symlink(link), terminal.path());
    // A link to a terminal that is there is someone's: refused.
    EXPECT_NE(makeSerialLink(link, "/dev/pts/other").find("wird nicht ersetzt"), std::string::npos);
    removeSerialLink(link, "/dev/pts/other"); // not its own: stays
    EXPECT_TRUE(fs::is_symlink(link));
    removeSerialLink(link, terminal.path());
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));

    fs::create_symlink("/dev/pts/999999", link); // left behind: its terminal is gone
    EXPECT_EQ(makeSerialLink(link, terminal.path()), "");
    EXPECT_EQ(fs::read_symlink(link), terminal.path());
    fs::remove(link);

    std::ofstream(dir / "file") << "x";
    EXPECT_NE(makeSerialLink((dir / "file").string(), terminal.path()).find("kein Link"),
              std::string::npos);
    fs::remove_all(dir);
}

} // namespace
} // namespace kd::sim
