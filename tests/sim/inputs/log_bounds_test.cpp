// The log of a flood, bounded on its way to the people who read it: the lines waiting for the
// window keep their newest 32 Ki characters, and the window keeps its newest 256 Ki.
#include "inputs/display_service.h"
#include "window/sim_window.h"

#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

namespace kd::sim {
namespace {

// One arrival of 64 cursor-home commands: a full budget of log entries.
const QByteArray kFloodArrival(64, '\x0B');

qint64 characters(const QStringList &lines) {
    qint64 count = 0;
    for (const QString &line : lines)
        count += line.size();
    return count;
}

TEST(LogBounds, TheLinesWaitingForTheWindowKeepTheNewest32KiCharacters) {
    DisplayService display;
    for (int arrival = 0; arrival < 200; ++arrival)
        display.receive(QStringLiteral("USB"), kFloodArrival);
    display.receive(QStringLiteral("USB"), QByteArray("Z"));
    const LogBatch batch = display.takeLog();
    EXPECT_LE(characters(batch.lines), 32 * 1024);
    EXPECT_GE(characters(batch.lines), 30 * 1024);
    EXPECT_GT(batch.droppedBytes, 500 * 1024);
    ASSERT_FALSE(batch.lines.isEmpty());
    EXPECT_TRUE(batch.lines.last().endsWith(QStringLiteral("text \"Z\"")))
        << batch.lines.last().toStdString();
    // What was taken is gone: the next batch starts empty.
    EXPECT_TRUE(display.takeLog().lines.isEmpty());
}

TEST(LogBounds, TheWindowKeepsTheNewest256KiCharacters) {
    QStandardPaths::setTestModeEnabled(true);
    DisplayService display;
    SimWindow window(display);
    window.show();
    for (int round = 0; round < 14; ++round) {
        for (int arrival = 0; arrival < 12; ++arrival)
            display.receive(QStringLiteral("USB"), kFloodArrival);
        QTest::qWait(40);
    }
    display.receive(QStringLiteral("USB"), QByteArray("Z"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window.log()->toPlainText().endsWith(QStringLiteral("text \"Z\"")); }));
    const int kept = window.log()->document()->characterCount();
    EXPECT_LE(kept, 256 * 1024 + 1);
    EXPECT_GE(kept, 200 * 1024);
}

} // namespace
} // namespace kd::sim
