#include "sim_display.h"
#include "sim_window.h"
#include "vfd_line.h"

#include <QAccessible>
#include <QPlainTextEdit>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace kd::sim {
namespace {

TEST(SimWindow, LinesAreReadableThroughAccessibilityAndArrivalsAreLogged) {
    SimDisplay display;
    SimWindow window(display);
    window.show();
    display.receive(QStringLiteral("Seriell"), QByteArray("\fGesamt:\r\n               11,50"));

    const QString expected[] = {QStringLiteral("Gesamt:             "),
                                QStringLiteral("               11,50")};
    for (int row = 0; row < 2; ++row) {
        QAccessibleInterface *line = QAccessible::queryAccessibleInterface(window.line(row));
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->text(QAccessible::Name), expected[row]);
        EXPECT_EQ(line->role(), QAccessible::StaticText);
    }

    const QString log = window.log()->toPlainText();
    EXPECT_TRUE(log.contains(QStringLiteral("Seriell  0C 47 65 73 61 6D 74 3A 0D 0A 20")));
    EXPECT_TRUE(log.contains(QStringLiteral("|.Gesamt:..               11,50|")));

    display.receive(QStringLiteral("USB"), QByteArray("\x02\x05Q\x03", 4));
    EXPECT_TRUE(window.log()->toPlainText().contains(
        QStringLiteral("USB      Unbekannter Rahmen verworfen: 05 51")));
}

} // namespace
} // namespace kd::sim
