// The virtual display speaks English, or German to users who prefer it: the command line, the
// window's texts and Qt's own.
#include "app/translations.h"
#include "inputs/display_service.h"
#include "model/recording.h"
#include "support/sim_program.h"
#include "window/sim_window.h"

#include <QLabel>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

namespace kd::sim {
namespace {

TEST(Language, GermanWhenPreferredBeforeEnglishElseEnglish) {
    const struct {
        QStringList uiLanguages;
        const char *chosen;
    } cases[] = {
        {{"de-DE"}, "de"},
        {{"de_AT.UTF-8"}, "de"},
        {{"fr-FR", "de-CH", "en"}, "de"}, // no French: the next preference
        {{"en-US", "de-DE"}, "en"},
        {{"en_GB"}, "en"},
        {{"C"}, "en"},
        {{"fr-FR", "es"}, "en"},
        {{}, "en"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(chooseLanguage(c.uiLanguages), QString::fromLatin1(c.chosen))
            << c.uiLanguages.join(QLatin1Char(':')).toStdString();
}

// The program follows LANG, and LANGUAGE before it, from --help to its refusals.
TEST(Language, TheProgramFollowsTheUsersLocale) {
    const struct {
        std::vector<std::string> locale;
        const char *helpStarts;
        const char *refusalStarts;
    } cases[] = {
        {{"LANG=en_US.UTF-8"}, "Usage: kundendisplay-sim", "Invalid port"},
        {{"LANG=de_DE.UTF-8"}, "Aufruf: kundendisplay-sim", "Ungültige Port"},
        {{"LANG=en_US.UTF-8", "LANGUAGE=de"}, "Aufruf: kundendisplay-sim", "Ungültige Port"},
        {{"LANG=de_DE.UTF-8", "LANGUAGE=en_GB:de"}, "Usage: kundendisplay-sim", "Invalid port"},
        {{}, "Usage: kundendisplay-sim", "Invalid port"},
    };
    for (const auto &c : cases) {
        const std::string where = c.locale.empty() ? "no locale" : c.locale.back();
        const test::ProgramRun help = test::runSimProgram({"--help"}, 1, c.locale);
        EXPECT_EQ(help.exitStatus, 0) << where;
        EXPECT_EQ(help.output.rfind(c.helpStarts, 0), 0u) << where << "\n" << help.output;
        const test::ProgramRun refusal = test::runSimProgram({"--com", "21"}, 2, c.locale);
        EXPECT_EQ(refusal.exitStatus, 2) << where;
        EXPECT_EQ(refusal.output.rfind(c.refusalStarts, 0), 0u) << where << "\n" << refusal.output;
    }
}

// Without a window the program speaks the user's language too: the refusals of its inputs, the
// model's words for a malformed recording inside them, and the state line of --print.
TEST(Language, InputsAndPrintFollowTheUsersLocale) {
    const std::string folder = ::testing::TempDir() + "kd-language-" + std::to_string(::getpid());
    std::filesystem::create_directories(folder);
    const std::string broken = folder + "/broken.rec";
    std::ofstream(broken) << kRecordingHeader << "\n0 USB ZZ\n";
    const std::vector<std::string> headless{"--headless", "--com", "0", "--no-usb"};
    const struct {
        std::vector<std::string> arguments;
        int status;
        int collect;
        const char *english;
        const char *german;
    } cases[] = {
        {{"--record", "/dev/full"},
         1,
         2,
         "kundendisplay-sim: --record: recording /dev/full cannot be written: ",
         "kundendisplay-sim: --record: Aufzeichnung /dev/full lässt sich nicht schreiben: "},
        {{"--replay", "/dev/zero"},
         1,
         2,
         "cannot be played: it is not a regular file but a device",
         "lässt sich nicht abspielen: ist keine gewöhnliche Datei, sondern ein Gerät"},
        {{"--replay", broken},
         1,
         2,
         "cannot be played: line 2 of the recording is malformed",
         "lässt sich nicht abspielen: Zeile 2 der Aufzeichnung ist fehlerhaft"},
        {{"--print", "/dev/null"}, 0, 1, "Command set Standard · ", "Befehlssatz Standard · "},
    };
    for (const auto &c : cases) {
        std::vector<std::string> arguments = c.arguments;
        if (c.arguments.front() != "--print")
            arguments.insert(arguments.begin(), headless.begin(), headless.end());
        for (const bool german : {false, true}) {
            const std::vector<std::string> locale{german ? "LANG=de_DE.UTF-8" : "LANG=C.UTF-8"};
            const test::ProgramRun run = test::runSimProgram(arguments, c.collect, locale);
            const std::string where = c.arguments.back() + " under " + locale.front();
            EXPECT_EQ(run.exitStatus, c.status) << where;
            EXPECT_NE(run.output.find(german ? c.german : c.english), std::string::npos)
                << where << ":\n"
                << run.output;
        }
    }
    std::filesystem::remove_all(folder);
}

// The window's own texts in each language; English needs no translation.
TEST(Language, WindowTextsInEachLanguage) {
    const struct {
        const char *language;
        const char *title;
        const char *commandSet;
        const char *inputs;
    } cases[] = {
        {"en", "Virtual Customer Display", "&Command set:", "USB (socket): "},
        // The German title is the name the German application menu shows.
        {"de", KD_SIM_DISPLAY_NAME, "&Befehlssatz:", "USB (Socket): "},
    };
    for (const auto &c : cases) {
        const Translations translations(QString::fromLatin1(c.language));
        EXPECT_EQ(translations.hasOwn(), QByteArray(c.language) == "de") << c.language;
        DisplayService display;
        SimWindow window(display);
        window.refresh();
        EXPECT_EQ(window.windowTitle(), QString::fromUtf8(c.title));
        const auto *label = window.findChild<QLabel *>(QStringLiteral("emulationLabel"));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), QString::fromUtf8(c.commandSet));
        const auto *inputs = window.findChild<QLabel *>(QStringLiteral("inputs"));
        ASSERT_NE(inputs, nullptr);
        EXPECT_TRUE(inputs->text().startsWith(QString::fromUtf8(c.inputs)))
            << inputs->text().toStdString();
    }
}

// The window carries the display's icon, drawn from the program's own resources.
TEST(SimWindow, HasTheDisplaysIcon) {
    DisplayService display;
    SimWindow window(display);
    const QImage icon = window.windowIcon().pixmap(64, 64).toImage();
    ASSERT_FALSE(icon.isNull()) << "the icon does not draw; is Qt's SVG plugin installed?";
    // The dark glass right of the first line's characters, and the bezel around it.
    EXPECT_EQ(icon.pixelColor(icon.width() * 48 / 64, icon.height() * 26 / 64).name(),
              QStringLiteral("#060d0c"));
    EXPECT_EQ(icon.pixelColor(icon.width() * 6 / 64, icon.height() * 32 / 64).name(),
              QStringLiteral("#2b2e31"));
}

} // namespace
} // namespace kd::sim
