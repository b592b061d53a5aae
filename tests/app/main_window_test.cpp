#include "app/main_window.h"
#include "app/qt_translation.h"
#include "support/window_rig.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

#include <memory>

namespace kd {
namespace {

using test::PseudoTerminal;
using Texts = std::vector<std::string>;

// The pseudo-terminal is port 2.
class MainWindowTest : public ::testing::Test, protected test::WindowRig {
  protected:
    MainWindowTest() : WindowRig(2) {}

    void SetUp() override {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void click(QAbstractButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
};

TEST_F(MainWindowTest, EveryControlInPlace) {
    EXPECT_EQ(window.windowTitle(), "Testprogramm f. Kundendisplay");
    EXPECT_EQ(window.size(), QSize(396, 280));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);

    const struct {
        QWidget *control;
        QWidget *container;
        QString caption;
        QRect geometry;
    } controls[] = {
        {window.Frame, window.centralWidget(), "Anschluss wählen", {18, 5, 198, 52}},
        {window.Option[0], window.Frame, "USB", {8, 25, 61, 14}},
        {window.Option[1], window.Frame, "Com", {91, 25, 96, 17}},
        {window.cmdClear, window.centralWidget(), "Clear", {18, 65, 171, 29}},
        {window.cmdHello, window.centralWidget(), "Begrüßungstext", {18, 97, 171, 29}},
        {window.cmdText, window.centralWidget(), "Text", {18, 131, 171, 29}},
        {window.cmdSumme, window.centralWidget(), "Summe", {18, 165, 171, 29}},
        {window.cmdGivenandback, window.centralWidget(), "GivenAndBack", {18, 198, 171, 29}},
        {window.cmdEnd, window.centralWidget(), "Ende", {18, 241, 171, 29}},
        {window.lbl1, window.centralWidget(), "Com-Port", {231, 20, 46, 23}},
        {window.CommPort, window.centralWidget(), "0", {282, 12, 100, 29}},
        {window.lbl2, window.centralWidget(), "Settings", {231, 65, 46, 23}},
        {window.Settings, window.centralWidget(), "9600,N,8,1", {284, 63, 97, 24}},
    };
    for (const auto &c : controls) {
        const QString name = c.control->objectName();
        EXPECT_EQ(c.control->parentWidget(), c.container) << name.toStdString();
        EXPECT_EQ(c.control->geometry(), c.geometry) << name.toStdString();
        EXPECT_TRUE(c.control->isVisible()) << name.toStdString();
        QString caption;
        if (auto *button = qobject_cast<QAbstractButton *>(c.control))
            caption = button->text();
        else if (auto *label = qobject_cast<QLabel *>(c.control))
            caption = label->text();
        else if (auto *edit = qobject_cast<QLineEdit *>(c.control))
            caption = edit->text();
        else if (auto *frame = qobject_cast<QGroupBox *>(c.control))
            caption = frame->title();
        EXPECT_EQ(caption, c.caption) << name.toStdString();
        // The caption fits: nothing of it is cut off.
        if (!qobject_cast<QLineEdit *>(c.control) && !qobject_cast<QGroupBox *>(c.control)) {
            EXPECT_LE(c.control->fontMetrics().horizontalAdvance(caption), c.geometry.width())
                << name.toStdString();
        }
    }
}

// The window carries the tool's icon for window managers: drawn, not an empty picture.
TEST_F(MainWindowTest, WindowHasTheToolsIcon) {
    const QIcon icon = window.windowIcon();
    ASSERT_FALSE(icon.isNull());
    const QImage image = icon.pixmap(32, 32).toImage();
    ASSERT_FALSE(image.isNull());
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            drawn += qAlpha(image.pixel(x, y)) > 0;
    EXPECT_GT(drawn, 32 * 32 / 4);
}

// Qt's own texts, such as the text boxes' context menu, are German like the rest of the window,
// whatever the locale.
TEST(GermanQtTexts, TextBoxContextMenuIsGerman) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QTranslator *translator = installGermanQtTexts(*QCoreApplication::instance());
    ASSERT_NE(translator, nullptr) << "qtbase_de.qm missing (qt6-translations-l10n)";
    QLineEdit edit;
    edit.setText(QStringLiteral("Text"));
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (const QAction *action : menu->actions())
        if (!action->isSeparator())
            texts << action->text().section(QLatin1Char('\t'), 0, 0); // without the shortcut
    QCoreApplication::removeTranslator(translator);
    delete translator;
    QLocale::setDefault(previous);
    for (const char *german : {"&Rückgängig", "Wieder&herstellen", "&Ausschneiden", "&Kopieren",
                               "Einf&ügen", "Löschen", "Alles auswählen"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(german)))
            << german << " not in " << texts.join(", ").toStdString();
}

TEST_F(MainWindowTest, StartState) {
    EXPECT_FALSE(window.Option[0]->isChecked());
    EXPECT_FALSE(window.Option[1]->isChecked());
    EXPECT_EQ(QApplication::focusWidget(), window.cmdClear);
    for (QPushButton *button : window.findChildren<QPushButton *>()) {
        EXPECT_FALSE(button->isDefault()) << button->objectName().toStdString();
        EXPECT_FALSE(button->autoDefault()) << button->objectName().toStdString();
    }
    const FormState &state = window.form().state();
    EXPECT_EQ(state.strConnection, "usb");
    EXPECT_TRUE(state.blnClearFirst);
    EXPECT_EQ(state.intPos, 0);
    EXPECT_TRUE(state.strLine.empty());
    EXPECT_EQ(recorder.calls(), Texts{"close"});
    EXPECT_FALSE(serial.portOpen());
}

TEST_F(MainWindowTest, TabOrderFollowsTheTabIndices) {
    const QList<QWidget *> expected = {window.cmdClear,        window.cmdText,  window.cmdSumme,
                                       window.cmdGivenandback, window.cmdEnd,   window.CommPort,
                                       window.Settings,        window.cmdHello, window.Option[0]};
    QWidget *current = window.cmdClear;
    for (qsizetype i = 1; i < expected.size(); ++i) {
        current = current->nextInFocusChain();
        while (!(current->focusPolicy() & Qt::TabFocus))
            current = current->nextInFocusChain();
        EXPECT_EQ(current, expected[i]) << i;
    }
}

TEST_F(MainWindowTest, ControlsAreNamedForAccessibility) {
    const struct {
        QWidget *control;
        QString name;
    } cases[] = {{window.CommPort, "Com-Port"},       {window.Settings, "Settings"},
                 {window.cmdHello, "Begrüßungstext"}, {window.cmdEnd, "Ende"},
                 {window.Option[1], "Com"},           {window.lbl1, "Com-Port"}};
    for (const auto &c : cases) {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(c.control);
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->text(QAccessible::Name), c.name);
    }
}

TEST_F(MainWindowTest, CommPortTooltipNamesTheDevice) {
    EXPECT_EQ(window.CommPort->toolTip(), "Kein Gerät für diese Portnummer");
    window.CommPort->setText("2");
    EXPECT_EQ(window.CommPort->toolTip().toStdString(), pty.path());
    window.CommPort->setText("x");
    EXPECT_TRUE(window.CommPort->toolTip().contains("Typen unverträglich"));
}

// After a failed scan the box's tooltip, which screen readers read as its description, tells what
// each attempt met, until the next scan.
TEST_F(MainWindowTest, FailedScanIsExplainedInTheCommPortTooltip) {
    recorder.setOpenStatus(0);
    click(window.Option[0]);
    ASSERT_EQ(messages.messages, Texts{"Kein USB-Anschluss gefunden"});
    QAccessibleInterface *box = QAccessible::queryAccessibleInterface(window.CommPort);
    const QString description = box->text(QAccessible::Description);
    EXPECT_EQ(description, window.CommPort->toolTip());
    EXPECT_TRUE(description.contains(QString::fromStdString(
        "Letzte Suche (USB):\nPort 1–20 (" + test::RecordingUsbLibrary::recordingDir() +
        "/libcd722dusb.so): kein Display angeschlossen")))
        << description.toStdString();

    window.CommPort->setText("2"); // hovering later still shows the summary
    EXPECT_TRUE(window.CommPort->toolTip().startsWith(QString::fromStdString(pty.path())));
    EXPECT_TRUE(window.CommPort->toolTip().contains("Letzte Suche (USB)"));

    click(window.Option[1]);
    EXPECT_TRUE(window.CommPort->toolTip().contains(
        QString::fromStdString("Letzte Suche (COM):\nPort 1 (" + test::missingDevice(1) +
                               "): Gerät nicht vorhanden\n"
                               "Port 2 (" +
                               pty.path() + "): geöffnet, Display gelöscht")))
        << window.CommPort->toolTip().toStdString();
}

TEST_F(MainWindowTest, ClicksRunTheScanAndTheCommands) {
    click(window.Option[1]);
    EXPECT_TRUE(window.Option[1]->isChecked());
    EXPECT_EQ(window.CommPort->text(), "2");
    EXPECT_TRUE(window.CommPort->toolTip().startsWith(QString::fromStdString(pty.path() + "\n\n")));
    EXPECT_EQ(test::hex(pty.read()), "0C");

    click(window.cmdSumme);
    EXPECT_EQ(pty.read(), "\f\fGesamt:\r\n               11,50");

    click(window.Option[0]);
    EXPECT_EQ(window.CommPort->text(), "1");
    recorder.clear();
    click(window.cmdText);
    EXPECT_EQ(recorder.writes().front(), "write 0C"); // the total set the clear-first flag
    EXPECT_EQ(recorder.writes().size(), 1u + 20u + 1u);
    EXPECT_EQ(messages.messages, Texts{});
    EXPECT_EQ(messages.errors.size(), 0u);
}

TEST_F(MainWindowTest, AccessibilityToolsChooseTheConnectionByTogglingAndClickOnce) {
    QAccessibleInterface *com = QAccessible::queryAccessibleInterface(window.Option[1]);
    ASSERT_NE(com->actionInterface(), nullptr);
    ASSERT_TRUE(
        com->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    com->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.CommPort->text() == "2"; }));
    EXPECT_EQ(test::hex(pty.read()), "0C");

    // A mouse click scans once, not once for the toggle and once for the click.
    recorder.clear();
    click(window.Option[0]);
    QTest::qWait(20);
    EXPECT_EQ(recorder.calls(), (Texts{"open", "write 0C"}));
    EXPECT_EQ(messages.messages, Texts{});
}

TEST_F(MainWindowTest, FailedScanShowsTheMessageAndTheWindowStaysUsable) {
    recorder.setOpenStatus(0);
    click(window.Option[0]);
    EXPECT_EQ(messages.messages, Texts{"Kein USB-Anschluss gefunden"});
    EXPECT_EQ(window.CommPort->text(), "20");

    // After the dismissed message, a command still reaches the library, and a new scan works.
    recorder.clear();
    click(window.cmdClear);
    EXPECT_EQ(recorder.calls(), Texts{"write 0C"});
    click(window.Option[1]);
    click(window.cmdClear);
    EXPECT_EQ(pty.read(), "\f\f"); // the scan's clear on port 2, then the command's
    EXPECT_EQ(messages.errors.size(), 0u);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(MainWindowTest, CloseButtonEndsTheProgramWithoutClosingEitherTransport) {
    click(window.Option[1]);
    ASSERT_TRUE(serial.portOpen());
    recorder.clear();
    // The application's event loop ends when the window is closed as by the title bar's close
    // button; without that, the guard ends it with 1.
    QTimer::singleShot(0, &window, [this] { window.close(); });
    QTimer guard;
    guard.callOnTimeout([] { QCoreApplication::exit(1); });
    guard.start(5000);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(recorder.calls(), Texts{});
    EXPECT_TRUE(serial.portOpen());
}

TEST_F(MainWindowTest, EndClosesBothTransportsAndTheWindow) {
    click(window.Option[1]);
    ASSERT_TRUE(serial.portOpen());
    recorder.clear();
    click(window.cmdEnd);
    EXPECT_EQ(recorder.calls(), Texts{"close"});
    EXPECT_FALSE(serial.portOpen());
    EXPECT_FALSE(window.isVisible());
}

// What the real message box showed, read while it is open and then answered with OK.
struct ShownBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> buttons;
};

TEST(QtMessageBox, ScanMessageIsOkOnlyWithoutIconUnderTheApplicationsName) {
    QWidget parent;
    QtMessageBox box;
    box.setParent(&parent);
    ShownBox shown;
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [&] {
        auto *open = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!open)
            return;
        timer->stop();
        shown.title = open->windowTitle();
        shown.text = open->text();
        shown.icon = open->icon();
        for (QAbstractButton *button : open->buttons())
            shown.buttons.push_back(open->standardButton(button));
        open->button(QMessageBox::Ok)->click();
    });
    timer->start(10);
    box.showMessage("Kein COM-Anschluss gefunden");
    delete timer;

    EXPECT_EQ(shown.title, "Kundendisplay-Test");
    EXPECT_EQ(shown.text, "Kein COM-Anschluss gefunden");
    EXPECT_EQ(shown.icon, QMessageBox::NoIcon);
    EXPECT_EQ(shown.buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
}

TEST(MainWindowWithoutLibrary, StartsAndServesTheSerialPort) {
    PseudoTerminal pty;
    SerialPortLink serial{test::tableWith(1, pty)};
    UsbDisplayLibrary usb{{"/nonexistent"}};
    test::RecordingMessageBox messages;
    MainWindow window{serial, usb, messages};
    QTest::mouseClick(window.Option[1], Qt::LeftButton);
    EXPECT_EQ(window.CommPort->text(), "1");
    QTest::mouseClick(window.cmdEnd, Qt::LeftButton);
    EXPECT_EQ(test::hex(pty.read()), "0C");
    EXPECT_EQ(messages.errors.size(), 0u);
}

} // namespace
} // namespace kd
