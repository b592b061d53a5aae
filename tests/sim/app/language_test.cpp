// The virtual display speaks English, or German to users who prefer it: the command line, the
// window's texts and Qt's own.
#include "app/translations.h"
#include "inputs/display_service.h"
#include "support/sim_program.h"
#include "window/sim_window.h"

#include <QLabel>

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
