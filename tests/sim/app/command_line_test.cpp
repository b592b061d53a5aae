// The virtual display's command line: options, --print as a headless display, recordings and
// the serial link.
#include "app/sim_options.h"
#include "app/translations.h"
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
    EXPECT_TRUE(print.options.setOptions.pendingWrap);
    EXPECT_EQ(print.options.setOptions.identification, std::nullopt);
    const ParsedOptions choices = parse({"--wrap", "clamp", "--identification", "42 41 360D"});
    EXPECT_FALSE(choices.options.setOptions.pendingWrap);
    EXPECT_EQ(choices.options.setOptions.identification, std::string("BA6\r"));
    EXPECT_EQ(parse({"--identification", "none"}).options.setOptions.identification, std::string());

    // Unknown options and missing values are refused by Qt, in its words.
    const struct {
        QStringList arguments;
        const char *says;
    } refusals[] = {
        {{"--emulation", "escpos"},
         "Unknown command set \"escpos\"; the valid ones are: standard, epson, cd5220, "
         "logic-controls, aedex, ba63, dsp800, utc-enhanced, iee, icd2002, adm787, auto"},
        {{"--wrap", "eager"}, "Invalid value for --wrap: \"eager\" (expected pending or clamp)"},
        {{"--identification", "4G"}, "Invalid value for --identification: \"4G\""},
        {{"--identification", "+1"}, "Invalid value for --identification: \"+1\""},
        {{"--identification", "123"}, "Invalid value for --identification: \"123\""},
        {{"--com", "21"}, "Invalid port number for --com: \"21\" (0 to 20 are allowed)"},
        {{"--com", "x"}, "Invalid port number for --com: \"x\""},
        {{"--bogus"}, "Unknown option 'bogus'."},
        {{"--record"}, "Missing value after '--record'."},
        {{"--print", "a", "b"}, "--print reads at most one file"},
        {{"file"}, "Unexpected argument \"file\""},
        {{"--print", "--replay", "x"}, "--print and --replay exclude each other"},
    };
    for (const auto &c : refusals) {
        const ParsedOptions parsed = parse(c.arguments);
        EXPECT_TRUE(parsed.exitNow) << c.says;
        EXPECT_EQ(parsed.exitStatus, 2) << c.says;
        EXPECT_TRUE(parsed.message.startsWith(QString::fromUtf8(c.says)))
            << parsed.message.toStdString();
    }

    const ParsedOptions version = parse({"--com", "3", "--version"});
    EXPECT_TRUE(version.exitNow);
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.message, QStringLiteral("kundendisplay-sim " KD_VERSION));
}

// The help in each language names every option, and so does the manual page in that language.
TEST(SimOptions, HelpAndManualPageListEveryOptionInEachLanguage) {
    const struct {
        const char *language;
        const char *page;
        const char *usage;
        const char *helpOption;
    } languages[] = {
        {"en", "man/kundendisplay-sim.1", "Usage: kundendisplay-sim [options] [FILE]",
         "Shows this help and ends."},
        {"de", "man/de/kundendisplay-sim.1", "Aufruf: kundendisplay-sim [Optionen] [DATEI]",
         "Zeigt diese Hilfe und endet."},
    };
    for (const auto &language : languages) {
        const Translations translations(QString::fromLatin1(language.language));
        const ParsedOptions help = parseSimOptions({"kundendisplay-sim", "--help"});
        EXPECT_TRUE(help.exitNow);
        EXPECT_EQ(help.exitStatus, 0);
        EXPECT_TRUE(help.message.startsWith(QString::fromUtf8(language.usage)))
            << help.message.toStdString();
        EXPECT_TRUE(help.message.contains(QString::fromUtf8(language.helpOption)))
            << help.message.toStdString();
        std::ifstream page(std::string(KD_TEST_SOURCE_DIR) + "/../data/" + language.page);
        ASSERT_TRUE(page) << language.page;
        const std::string manual{std::istreambuf_iterator<char>(page), {}};
        for (const char *option : {"emulation", "serial-link", "print", "record", "replay", "com",
                                   "help", "version", "headless", "log", "png", "tcp", "no-usb"}) {
            EXPECT_TRUE(help.message.contains(QStringLiteral("--") + option)) << option;
            std::string escaped;
            for (const char c : std::string(option))
                escaped += c == '-' ? std::string("\\-") : std::string(1, c);
            EXPECT_NE(manual.find("\\-\\-" + escaped), std::string::npos)
                << language.page << ": " << option;
        }
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

    const std::string malformed = std::string(kRecordingHeader) + "\n12 USB 0C ZZ\n";
    EXPECT_EQ(readRecording(malformed).error, "line 2 of the recording is malformed");
    EXPECT_EQ(readRecording(malformed, Language::German).error,
              "Zeile 2 der Aufzeichnung ist fehlerhaft");
}

// A time a timer cannot wait for is refused with its line, as any other malformed line is.
TEST(Recording, RefusesTimesOutOfRangeWithTheLineNumber) {
    const std::string header = std::string(kRecordingHeader) + "\n";
    const std::string outOfRange = "of the recording has a time outside 0 to 2147483647 ms";
    for (const char *time : {"4294967296", "2147483648", "-1", "99999999999999999999"}) {
        const ReadRecording read =
            readRecording(header + "0 USB 41\n" + time + " USB 0C\n5 USB 42\n");
        EXPECT_EQ(read.error, "line 3 " + outOfRange + ": " + time) << time;
        EXPECT_TRUE(read.arrivals.empty()) << time;
    }
    const ReadRecording latest = readRecording(header + "2147483647 USB 0C\n");
    ASSERT_EQ(latest.error, "");
    ASSERT_EQ(latest.arrivals.size(), 1u);
    EXPECT_EQ(latest.arrivals[0].atMs, 2147483647);
}

// Read as it goes, a recording gives the same arrivals in any split of its bytes, and raw bytes
// come out whole.
TEST(Recording, ReaderGivesTheSameArrivalsHoweverTheBytesArrive) {
    const std::string recording =
        std::string(kRecordingHeader) + "\n0 USB 0C 41\n\n# note\n" + "7 Seriell 42 43\n9 USB 44";
    for (std::size_t piece = 1; piece <= recording.size(); ++piece) {
        std::size_t at = 0;
        RecordingReader reader([&](char *buffer, std::size_t size) {
            const std::size_t count = std::min({size, piece, recording.size() - at});
            recording.copy(buffer, count, at);
            at += count;
            return static_cast<std::ptrdiff_t>(count);
        });
        std::vector<std::string> seen;
        while (const std::optional<Arrival> arrival = reader.next())
            seen.push_back(std::to_string(arrival->atMs) + arrival->source + arrival->bytes);
        EXPECT_EQ(reader.error(), "") << piece;
        EXPECT_EQ(seen, (std::vector<std::string>{"0USB\x0c"
                                                  "A",
                                                  "7SeriellBC", "9USBD"}))
            << piece;
    }
    const std::string raw(200 * 1024, '\x1b');
    const ReadRecording read = readRecording(raw);
    std::string joined;
    for (const Arrival &arrival : read.arrivals)
        joined += arrival.bytes;
    EXPECT_EQ(joined, raw);
}

TEST(TerminalLink, ReplacesOnlyAStaleLinkOfItsOwnKind) {
    const fs::path dir = fs::temp_directory_path() / ("kd-link-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    test::PseudoTerminal terminal;
    const std::string link = (dir / "pos-display").string();

    EXPECT_EQ(makeTerminalLink(link, terminal.path()), "");
    EXPECT_EQ(fs::read_symlink(link), terminal.path());
    // A link to a terminal that is there is someone's: refused.
    EXPECT_NE(makeTerminalLink(link, "/dev/pts/other").find("is not replaced"), std::string::npos);
    removeTerminalLink(link, "/dev/pts/other"); // not its own: stays
    EXPECT_TRUE(fs::is_symlink(link));
    removeTerminalLink(link, terminal.path());
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));

    fs::create_symlink("/dev/pts/999999", link); // left behind: its terminal is gone
    EXPECT_EQ(makeTerminalLink(link, terminal.path()), "");
    EXPECT_EQ(fs::read_symlink(link), terminal.path());
    fs::remove(link);

    std::ofstream(dir / "file") << "x";
    EXPECT_NE(makeTerminalLink((dir / "file").string(), terminal.path()).find("is no link"),
              std::string::npos);
    fs::remove_all(dir);
}

} // namespace
} // namespace kd::sim
