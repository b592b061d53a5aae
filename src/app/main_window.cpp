#include "app/main_window.h"

#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace kd {
namespace {

// Positions are laid out in twips, 15 to a pixel at 96 dots per inch.
constexpr int kTwipsPerPixel = 15;

QRect twips(int left, int top, int width, int height) {
    return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                 height / kTwipsPerPixel);
}

template <typename Control>
Control *place(QWidget *parent, const char *name, const QString &caption, const QRect &geometry) {
    auto *control = new Control(caption, parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(geometry);
    return control;
}

} // namespace

MainWindow::MainWindow(SerialLink &serial, UsbDisplayLibrary &usb, MessageBox &messageBox,
                       QWidget *parent)
    : QMainWindow(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowCloseButtonHint),
      m_form(serial, usb, m_commPortBox, m_settingsBox, messageBox) {
    // A tool window takes no part in ending the application by itself; this one is the tool's
    // only window, so closing it, by "Ende" or by the title bar, ends the program.
    setAttribute(Qt::WA_QuitOnClose, true);
    buildControls();
    m_commPortBox.bind(CommPort);
    m_settingsBox.bind(Settings);
    showPortDevice();
    routeEvents();
    // The tooltip tells what the scan met before its message, if any, is shown.
    m_form.onScanFinished([this] { showPortDevice(); });
    m_form.Form_Load();
}

void MainWindow::buildControls() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Testprogramm f. Kundendisplay"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/kundendisplay-test.svg")));
    setFixedSize(5940 / kTwipsPerPixel, 4200 / kTwipsPerPixel);
    // The layout is drawn for an 8-point dialog font at 96 dots per inch (11 pixels); with a
    // larger desktop font the labels would not fit their places.
    QFont dialogFont = font();
    dialogFont.setPixelSize(11);
    setFont(dialogFont);

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    Frame = place<QGroupBox>(client, "Frame", QStringLiteral("Anschluss wählen"),
                             twips(270, 75, 2970, 780));
    Option[0] =
        place<QRadioButton>(Frame, "Option_0", QStringLiteral("USB"), twips(120, 375, 915, 210));
    Option[1] =
        place<QRadioButton>(Frame, "Option_1", QStringLiteral("Com"), twips(1365, 375, 1440, 255));

    cmdClear =
        place<QPushButton>(client, "cmdClear", QStringLiteral("Clear"), twips(270, 975, 2565, 435));
    cmdHello = place<QPushButton>(client, "cmdHello", QStringLiteral("Begrüßungstext"),
                                  twips(270, 1455, 2565, 435));
    cmdText =
        place<QPushButton>(client, "cmdText", QStringLiteral("Text"), twips(270, 1965, 2565, 435));
    cmdSumme = place<QPushButton>(client, "cmdSumme", QStringLiteral("Summe"),
                                  twips(270, 2475, 2565, 435));
    cmdGivenandback = place<QPushButton>(client, "cmdGivenandback", QStringLiteral("GivenAndBack"),
                                         twips(270, 2970, 2565, 435));
    cmdEnd =
        place<QPushButton>(client, "cmdEnd", QStringLiteral("Ende"), twips(270, 3615, 2565, 435));

    lbl1 = place<QLabel>(client, "lbl1", QStringLiteral("Com-Port"), twips(3465, 300, 690, 345));
    CommPort =
        place<QLineEdit>(client, "CommPort", QStringLiteral("0"), twips(4230, 180, 1500, 435));
    lbl2 = place<QLabel>(client, "lbl2", QStringLiteral("Settings"), twips(3465, 975, 690, 345));
    Settings = place<QLineEdit>(client, "Settings", QStringLiteral("9600,N,8,1"),
                                twips(4260, 945, 1455, 360));
    // The two labels are narrow; a pixel smaller they keep their whole caption.
    QFont labelFont = font();
    labelFont.setPixelSize(10);
    for (QLabel *label : {lbl1, lbl2})
        label->setFont(labelFont);
    lbl1->setBuddy(CommPort);
    lbl2->setBuddy(Settings);

    for (QPushButton *button : {cmdClear, cmdHello, cmdText, cmdSumme, cmdGivenandback, cmdEnd}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    // Tab order: Clear, Text, Summe, GivenAndBack, Ende, Com-Port, Settings, Begrüßungstext, the
    // connection choice.
    const QList<QWidget *> tabOrder = {cmdClear, cmdText,  cmdSumme, cmdGivenandback, cmdEnd,
                                       CommPort, Settings, cmdHello, Option[0],       Option[1]};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    cmdClear->setFocus();
}

void MainWindow::routeEvents() {
    for (int index = 0; index < 2; ++index) {
        connect(Option[index], &QRadioButton::clicked, this, [this, index] {
            m_pendingOption = -1;
            m_form.Option_Click(index);
        });
        // A mouse or keyboard click checks the button and then clicks it; accessibility tools
        // only toggle it. A toggle that no click follows is taken as the click.
        connect(Option[index], &QRadioButton::toggled, this, [this, index](bool checked) {
            if (!checked)
                return;
            m_pendingOption = index;
            QTimer::singleShot(0, this, [this, index] {
                if (m_pendingOption != index)
                    return;
                m_pendingOption = -1;
                m_form.Option_Click(index);
            });
        });
    }
    connect(cmdClear, &QPushButton::clicked, this, [this] { m_form.cmdClear_Click(); });
    connect(cmdHello, &QPushButton::clicked, this, [this] { m_form.cmdHello_Click(); });
    connect(cmdText, &QPushButton::clicked, this, [this] { m_form.cmdText_Click(); });
    connect(cmdSumme, &QPushButton::clicked, this, [this] { m_form.cmdSumme_Click(); });
    connect(cmdGivenandback, &QPushButton::clicked, this,
            [this] { m_form.cmdGivenandback_Click(); });
    connect(cmdEnd, &QPushButton::clicked, this, [this] {
        m_form.cmdEnd_Click();
        close();
    });
    connect(CommPort, &QLineEdit::textChanged, this, [this] { showPortDevice(); });
}

// The tooltip is also the box's accessible description.
void MainWindow::showPortDevice() {
    CommPort->setToolTip(QString::fromStdString(m_form.commPortTip(m_commPortBox.text())));
}

} // namespace kd
