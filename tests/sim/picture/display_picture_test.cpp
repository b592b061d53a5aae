// The picture of the display (--png, the window's "save picture"): drawn as the window draws it,
// with no window system, and written where it was asked for.
#include "model/display_model.h"
#include "picture/display_picture.h"
#include "support/headless_sim.h"
#include "support/sim_program.h"
#include "support/sim_thread.h"
#include "window/sim_window.h"

#include <QImage>

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <filesystem>

namespace kd::sim {
namespace {

namespace fs = std::filesystem;

QImage pictureOf(Emulation emulation, const std::string &bytes) {
    DisplayModel model(emulation);
    model.feed(bytes);
    return displayPicture(model.screen());
}

// How many pixels differ between two pictures of the same size.
int differentPixels(const QImage &a, const QImage &b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    return count;
}

struct TempPath {
    explicit TempPath(const std::string &name)
        : path(fs::temp_directory_path() / (name + std::to_string(::getpid()) + ".png")) {}
    ~TempPath() { fs::remove(path); }
    fs::path path;
};

TEST(DisplayPicture, ShowsWhatTheGlassShows) {
    const QImage blank = pictureOf(Emulation::Epson, "");
    const QImage text = pictureOf(Emulation::Epson, "Summe 11,50");
    ASSERT_FALSE(blank.isNull());
    ASSERT_EQ(blank.size(), text.size());
    // Text lights pixels; another text lights others; the same text the same ones.
    EXPECT_GT(differentPixels(blank, text), 200);
    EXPECT_GT(differentPixels(text, pictureOf(Emulation::Epson, "Gesamt 99,00")), 200);
    EXPECT_EQ(differentPixels(text, pictureOf(Emulation::Epson, "Summe 11,50")), 0);
    // Brightness changes the glow; a display switched off is dark glass, as blank as no text;
    // the cursor, reverse characters and a user-defined character each show.
    EXPECT_GT(differentPixels(text, pictureOf(Emulation::Epson, "\x1f\x58\x01Summe 11,50")), 200);
    EXPECT_EQ(differentPixels(blank, pictureOf(Emulation::Epson, "Summe 11,50\x1f\x45\xff")), 0);
    EXPECT_GT(differentPixels(blank, pictureOf(Emulation::Epson, "\x1f\x43\x01")), 20);
    EXPECT_GT(differentPixels(pictureOf(Emulation::Epson, "\x1f\x72\x01 "), blank), 300);
    EXPECT_GT(differentPixels(
                  pictureOf(Emulation::LogicControls, "\x14\x41"),
                  pictureOf(Emulation::LogicControls, "\x14\x03\x41\x1f\x11\x04\x11\x1f\x41")),
              20);
}

// The window saves the picture the headless display writes.
TEST(DisplayPicture, TheWindowSavesTheSamePicture) {
    test::PrivateRuntimeDir runtime;
    test::SimThread sim;
    SimWindow window(sim.service());
    sim.service().receive(QStringLiteral("Test"), QByteArray("\x0c"
                                                             "Fenster"));
    TempPath file("kd-window-picture-");
    ASSERT_EQ(window.savePicture(QString::fromStdString(file.path.string())), QString());
    const QImage saved(QString::fromStdString(file.path.string()));
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(differentPixels(saved.convertToFormat(QImage::Format_RGB32),
                              pictureOf(Emulation::Standard, "\x0c"
                                                             "Fenster")),
              0);
    EXPECT_NE(window.savePicture(QStringLiteral("/nonexistent/bild.png")), QString());
}

// --print --png and --headless --png write the last screen's picture with no window system.
TEST(DisplayPicture, PrintAndHeadlessWriteThePictureOfTheLastScreen) {
    TempPath printed("kd-print-picture-");
    const fs::path input = fs::path(KD_TEST_SOURCE_DIR) / "sim" / "data" / "epson_session.rec";
    const test::ProgramRun run = test::runSimProgram(
        {"--print", "--emulation", "epson", "--png", printed.path.string(), input.string()}, 2);
    ASSERT_EQ(run.exitStatus, 0) << run.output;
    const QImage printedPicture(QString::fromStdString(printed.path.string()));
    ASSERT_FALSE(printedPicture.isNull());
    EXPECT_GT(differentPixels(printedPicture.convertToFormat(QImage::Format_RGB32),
                              pictureOf(Emulation::Epson, "")),
              200);

    test::PrivateRuntimeDir runtime;
    TempPath written("kd-headless-picture-");
    test::HeadlessSim sim({"--com", "0", "--no-usb", "--tcp", "0", "--png", written.path.string()});
    const QJsonObject ready = sim.ready();
    ASSERT_EQ(ready["event"], "ready");
    const int client = test::connectTcp(test::portOf(ready));
    ASSERT_TRUE(test::sendAll(client, "\x0c"
                                      "Bild"));
    ASSERT_FALSE(sim.waitForLines("Bild", "").isEmpty());
    ::close(client);
    EXPECT_EQ(sim.end(SIGTERM), 0);
    const QImage headlessPicture(QString::fromStdString(written.path.string()));
    ASSERT_FALSE(headlessPicture.isNull());
    EXPECT_EQ(differentPixels(headlessPicture.convertToFormat(QImage::Format_RGB32),
                              pictureOf(Emulation::Standard, "\x0c"
                                                             "Bild")),
              0);

    // A picture that cannot be written ends the program with status 1 and the reason.
    const test::ProgramRun refused =
        test::runSimProgram({"--print", "--png", "/nonexistent/bild.png", input.string()}, 2);
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_NE(refused.output.find("--png: Picture /nonexistent/bild.png cannot be written"),
              std::string::npos)
        << refused.output;
}

} // namespace
} // namespace kd::sim
