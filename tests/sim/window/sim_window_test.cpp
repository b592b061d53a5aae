#include "inputs/display_service.h"
#include "window/sim_window.h"
#include "window/vfd_line.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

namespace kd::sim {
namespace {

QString accessibleName(QWidget *widget) {
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

TEST(SimWindow, LinesAndStateAreReadableThroughAccessibilityAndCommandsAreLogged) {
    DisplayService display;
    SimWindow window(display);
    window.show();
    display.receive(QStringLiteral("Serial"), QByteArray("\fGesamt:\r\n               11,50"));

    const QString expected[] = {QStringLiteral("Gesamt:             "),
                                QStringLiteral("               11,50")};
    ASSERT_TRUE(QTest::qWaitFor([&] { return accessibleName(window.line(1)) == expected[1]; }));
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(accessibleName(window.line(row)), expected[row]);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(window.line(row))->role(),
                  QAccessible::StaticText);
    }
    EXPECT_TRUE(accessibleName(window.stateLine()).startsWith("Command set Standard · "))
        << accessibleName(window.stateLine()).toStdString();

    const QString log = window.log()->toPlainText();
    EXPECT_TRUE(log.contains(QStringLiteral("Serial   0C  CLR: clear the display")))
        << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("47 65 73 61 6D 74 3A  text \"Gesamt:\"")));

    display.receive(QStringLiteral("USB"), QByteArray("\x02\x05Q\x03", 4));
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return window.log()->toPlainText().contains(
            QStringLiteral("USB      02 05 51 03  refused: unknown frame 51"));
    }));
}

// The choice of command set puts the display into that set's power-on state, shows it in the
// state line and is remembered for the next start.
TEST(SimWindow, ChoosingACommandSetIsItsPowerOnAndRemembered) {
    QStandardPaths::setTestModeEnabled(true);
    DisplayService display;
    SimWindow window(display);
    window.show();
    display.receive(QStringLiteral("Serial"), QByteArray("Hallo"));

    QComboBox *choice = window.emulationChoice();
    const int logic = choice->findData(QStringLiteral("logic-controls"));
    ASSERT_GE(logic, 0);
    choice->setCurrentIndex(logic);
    emit choice->activated(logic);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window.stateLine()->text().startsWith("Command set Logic Controls"); }));
    EXPECT_EQ(accessibleName(window.line(0)), QString(20, u' '));
    EXPECT_TRUE(window.stateLine()->text().contains("vertical scroll"));
    EXPECT_EQ(SimWindow::rememberedEmulation(), Emulation::LogicControls);
}

// Every command set is in the choice, named in the reader's language; choosing one shows its
// title in the state line, and what a set answers the host is logged like a command.
TEST(SimWindow, EveryCommandSetIsChosenByItsTitleAndAnswersAreLogged) {
    QStandardPaths::setTestModeEnabled(true);
    DisplayService display;
    SimWindow window(display);
    window.show();
    QComboBox *choice = window.emulationChoice();
    ASSERT_EQ(choice->count(), static_cast<int>(allEmulations().size()));
    for (Emulation emulation : allEmulations()) {
        const QString name = QString::fromStdString(emulationName(emulation));
        const int index = choice->findData(name);
        ASSERT_GE(index, 0) << name.toStdString();
        choice->setCurrentIndex(index);
        emit choice->activated(index);
        const QString title = QStringLiteral("Command set ") + choice->itemText(index);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return window.stateLine()->text().startsWith(title); }, 2000))
            << window.stateLine()->text().toStdString() << " for " << name.toStdString();
    }
    const int dsp800 = choice->findData(QStringLiteral("dsp800"));
    choice->setCurrentIndex(dsp800);
    emit choice->activated(dsp800);
    display.receive(QStringLiteral("Serial"), QByteArray("\x04\x01P1\x17Total", 10));
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return window.log()->toPlainText().contains(QStringLiteral("06  answer: 06"));
    })) << window.log()->toPlainText().toStdString();

    DisplayService german;
    german.setLanguage(Language::German);
    SimWindow deutsch(german);
    QComboBox *auswahl = deutsch.emulationChoice();
    EXPECT_EQ(auswahl->itemText(auswahl->findData(QStringLiteral("auto"))),
              QStringLiteral("automatisch"));
    EXPECT_EQ(auswahl->itemText(auswahl->findData(QStringLiteral("utc-enhanced"))),
              QStringLiteral("UTC erweitert"));
}

// A second start of the display hands over to this one: its window comes to the front.
TEST(SimWindow, ComesToTheFrontWhenASecondStartAsks) {
    DisplayService display;
    SimWindow window(display);
    window.showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.isMinimized(); }));
    display.requestRaise();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isVisible() && !window.isMinimized(); }));
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return window.log()->toPlainText().contains(QStringLiteral("window brought to the front"));
    }));
}

} // namespace
} // namespace kd::sim

namespace kd::sim {
namespace {

// The Line box is the display's switches: a line that is no line is refused where it was typed,
// naming the field, and the display keeps its line; a valid one becomes the display's.
TEST(SimWindow, LineBoxSetsTheDisplaysLineOrSaysWhyNot) {
    DisplayService display;
    SimWindow window(display);
    QLineEdit *line = window.lineChoice();
    ASSERT_NE(line, nullptr);
    line->setText(QStringLiteral("9600,X,8,1"));
    emit line->editingFinished();
    EXPECT_TRUE(line->toolTip().contains(QStringLiteral("parity \"X\"")))
        << line->toolTip().toStdString();
    EXPECT_EQ(formatLineSettings(display.snapshot().line.display), "9600,N,8,1");
    line->setText(QStringLiteral("19200,E,7,2"));
    emit line->editingFinished();
    EXPECT_EQ(formatLineSettings(display.snapshot().line.display), "19200,E,7,2");
    EXPECT_FALSE(line->toolTip().contains(QStringLiteral("parity \"X\"")));
}

} // namespace
} // namespace kd::sim
