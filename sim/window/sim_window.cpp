#include "window/sim_window.h"

#include "picture/display_picture.h"
#include "window/vfd_line.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

namespace kd::sim {
namespace {

// About 60 pictures a second at most.
constexpr int kRefreshMs = 16;
constexpr int kCursorBlinkMs = 500;
const QString kEmulationKey = QStringLiteral("emulation");

QSettings settings() {
    return QSettings(QStringLiteral("kundendisplay-test"), QStringLiteral("kundendisplay-sim"));
}

} // namespace

SimWindow::SimWindow(DisplayService &service, QWidget *parent)
    : QMainWindow(parent), m_service(service) {
    setObjectName(QStringLiteral("SimWindow"));
    setWindowTitle(tr("Virtual Customer Display"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/kundendisplay-sim.svg")));

    auto *client = new QWidget(this);
    setCentralWidget(client);

    auto *bezel = new QFrame(client);
    bezel->setObjectName(QStringLiteral("bezel"));
    bezel->setAccessibleName(tr("Display"));
    bezel->setStyleSheet(QStringLiteral(
        "#bezel { background: #1b1d1f; border: 6px solid #2b2e31; border-radius: 8px; }"));
    auto *bezelLayout = new QVBoxLayout(bezel);
    bezelLayout->setContentsMargins(14, 14, 14, 14);
    bezelLayout->setSpacing(4);
    for (int row = 0; row < 2; ++row) {
        m_lines[row] = new VfdLine(bezel);
        m_lines[row]->setObjectName(QStringLiteral("line%1").arg(row + 1));
        m_lines[row]->setAccessibleDescription(tr("Line %1 of the display").arg(row + 1));
        bezelLayout->addWidget(m_lines[row]);
    }

    auto *emulationLabel = new QLabel(tr("&Command set:"), client);
    emulationLabel->setObjectName(QStringLiteral("emulationLabel"));
    m_emulation = new QComboBox(client);
    m_emulation->setObjectName(QStringLiteral("emulation"));
    for (Emulation emulation : allEmulations())
        m_emulation->addItem(
            QString::fromStdString(emulationTitle(emulation, m_service.language())),
            QString::fromStdString(emulationName(emulation)));
    emulationLabel->setBuddy(m_emulation);
    auto *lineLabel = new QLabel(tr("&Line:"), client);
    lineLabel->setObjectName(QStringLiteral("lineLabel"));
    m_line = new QLineEdit(client);
    m_line->setObjectName(QStringLiteral("line"));
    m_line->setToolTip(tr("The display's own line, as its switches set it: baud,parity,data,stop"));
    m_line->setMaximumWidth(
        m_line->fontMetrics().horizontalAdvance(QStringLiteral("230400,N,8,1.5")) + 16);
    lineLabel->setBuddy(m_line);
    connect(m_line, &QLineEdit::editingFinished, this, &SimWindow::chooseLine);
    auto *emulationRow = new QHBoxLayout;
    emulationRow->addWidget(emulationLabel);
    emulationRow->addWidget(m_emulation);
    emulationRow->addSpacing(12);
    emulationRow->addWidget(lineLabel);
    emulationRow->addWidget(m_line);
    emulationRow->addStretch(1);

    m_state = new QLabel(client);
    m_state->setObjectName(QStringLiteral("state"));
    m_state->setAccessibleDescription(tr("State of the display"));
    m_state->setWordWrap(true);
    m_state->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_inputs = new QLabel(client);
    m_inputs->setObjectName(QStringLiteral("inputs"));
    m_inputs->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *logLabel = m_logLabel = new QLabel(tr("Received:"), client);
    m_log = new QPlainTextEdit(client);
    m_log->setObjectName(QStringLiteral("log"));
    m_log->setReadOnly(true);
    // The log is trimmed from the top as it grows; an undo history would keep every trimmed line.
    m_log->setUndoRedoEnabled(false);

    m_log->setWordWrapMode(QTextOption::WrapAnywhere);
    m_log->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_log->setMinimumHeight(160);
    logLabel->setBuddy(m_log);

    auto *layout = new QVBoxLayout(client);
    layout->addWidget(bezel);
    layout->addLayout(emulationRow);
    layout->addWidget(m_state);
    layout->addWidget(m_inputs);
    layout->addWidget(logLabel);
    layout->addWidget(m_log, 1);

    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setSingleShot(true);
    m_refreshTimer->setInterval(kRefreshMs);
    connect(m_refreshTimer, &QTimer::timeout, this, &SimWindow::refresh);
    m_blinkTimer = new QTimer(this);
    connect(m_blinkTimer, &QTimer::timeout, this, [this] {
        m_blinkPhase = !m_blinkPhase;
        for (VfdLine *line : m_lines)
            line->setBlinkPhase(m_blinkPhase);
    });

    // The picture of the display, for bug reports and documentation: from the display's context
    // menu or with Ctrl+S anywhere in the window.
    auto *savePicture = new QAction(tr("&Save picture of the display …"), this);
    savePicture->setObjectName(QStringLiteral("savePicture"));
    savePicture->setShortcut(QKeySequence::Save);
    savePicture->setShortcutContext(Qt::WindowShortcut);
    connect(savePicture, &QAction::triggered, this, &SimWindow::askAndSavePicture);
    addAction(savePicture);
    bezel->addAction(savePicture);
    bezel->setContextMenuPolicy(Qt::ActionsContextMenu);

    connect(&m_service, &DisplayService::changed, this, &SimWindow::scheduleRefresh);
    connect(m_emulation, &QComboBox::activated, this, &SimWindow::chooseEmulation);
    // A second start of the display hands over to this one: the window comes to the front.
    connect(&m_service, &DisplayService::raiseRequested, this, [this] {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        show();
        raise();
        activateWindow();
    });
    refresh();
    showEmulation(m_service.snapshot().emulation);
}

std::optional<Emulation> SimWindow::rememberedEmulation() {
    return emulationNamed(settings().value(kEmulationKey).toString().toStdString());
}

void SimWindow::showEmulation(Emulation emulation) {
    m_emulation->setCurrentIndex(
        m_emulation->findData(QString::fromStdString(emulationName(emulation))));
}

void SimWindow::chooseEmulation(int index) {
    const auto emulation = emulationNamed(m_emulation->itemData(index).toString().toStdString());
    if (!emulation)
        return;
    settings().setValue(kEmulationKey, QString::fromStdString(emulationName(*emulation)));
    m_service.setEmulation(*emulation);
}

void SimWindow::scheduleRefresh() {
    if (!m_refreshTimer->isActive())
        m_refreshTimer->start();
}

// The log keeps its last 256 Ki characters, whatever arrives; the label says how much went.
void SimWindow::appendLog() {
    constexpr int kLogLimit = 256 * 1024;
    LogBatch batch = m_service.takeLog();
    if (batch.lines.isEmpty() && batch.droppedBytes == 0)
        return;
    m_droppedLogBytes += batch.droppedBytes;
    QString text = batch.lines.join(QLatin1Char('\n'));
    if (text.size() > kLogLimit) {
        m_droppedLogBytes += text.size() - kLogLimit;
        text = text.right(kLogLimit);
    }
    m_log->appendPlainText(text);
    QTextDocument *document = m_log->document();
    const int excess = document->characterCount() - kLogLimit;
    if (excess > 0) {
        QTextCursor cursor(document);
        cursor.setPosition(excess, QTextCursor::KeepAnchor);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        m_droppedLogBytes += cursor.selectedText().size();
        cursor.removeSelectedText();
        cursor.deleteChar();
    }
    if (m_droppedLogBytes > 0)
        m_logLabel->setText(
            tr("Received (older entries dropped: %1 KiB):").arg(m_droppedLogBytes / 1024));
}

void SimWindow::refresh() {
    ++m_refreshCount;
    appendLog();
    const Snapshot snapshot = m_service.snapshot();
    const Screen &screen = snapshot.screen;
    for (int row = 0; row < Screen::kRows; ++row) {
        m_lines[row]->show(lineView(screen, row));
    }
    showInputs(snapshot.inputs);
    const QString state = QString::fromStdString(snapshot.state) + QLatin1Char('\n') +
                          tr("Line: %1").arg(DisplayService::describeLine(snapshot.line));
    if (m_state->text() != state)
        m_state->setText(state);
    const QString line = QString::fromStdString(formatLineSettings(snapshot.line.display));
    if (!m_line->hasFocus() && m_line->text() != line)
        m_line->setText(line);
    const bool blinking = m_lines[0]->blinks() || m_lines[1]->blinks();
    const int blinkMs = screen.blinkMs() > 0 ? screen.blinkMs() : kCursorBlinkMs;
    if (!blinking) {
        m_blinkTimer->stop();
        m_blinkPhase = true;
        for (VfdLine *line : m_lines)
            line->setBlinkPhase(true);
    } else if (!m_blinkTimer->isActive() || m_blinkTimer->interval() != blinkMs) {
        m_blinkTimer->start(blinkMs);
    }
}

QString SimWindow::savePicture(const QString &path) const {
    return saveDisplayPicture(m_service.snapshot().screen, path);
}

void SimWindow::askAndSavePicture() {
    const QString path = QFileDialog::getSaveFileName(this, tr("Save picture of the display"),
                                                      QStringLiteral("kundendisplay.png"),
                                                      tr("PNG pictures (*.png)"));
    if (path.isEmpty())
        return;
    if (const QString refusal = savePicture(path); !refusal.isEmpty())
        QMessageBox::warning(this, windowTitle(), refusal);
}

// A line that is no line is refused where it was typed, saying which field is wrong; the display
// keeps the line it had.
void SimWindow::chooseLine() {
    const ParsedLineSettings parsed = parseLineSettings(m_line->text().trimmed().toStdString());
    if (!parsed.settings) {
        const QString why = DisplayService::describeLineFault(parsed.fault);
        m_line->setStyleSheet(QStringLiteral("QLineEdit { color: #b00020; }"));
        m_line->setToolTip(why);
        m_line->setAccessibleDescription(why);
        return;
    }
    m_line->setStyleSheet(QString());
    m_line->setToolTip(tr("The display's own line, as its switches set it: baud,parity,data,stop"));
    m_line->setAccessibleDescription(QString());
    m_service.setDisplayLine(*parsed.settings);
    scheduleRefresh();
}

void SimWindow::showInputs(const InputPlaces &places) {
    QString serial = places.terminalPath.isEmpty() ? QStringLiteral("–") : places.terminalPath;
    if (places.enteredPort != 0)
        serial += tr(", entered as COM%1").arg(places.enteredPort);
    QString text =
        tr("USB (socket): %1\nSerial (pseudo-terminal): %2")
            .arg(places.socketPath.isEmpty() ? QStringLiteral("–") : places.socketPath, serial);
    if (!places.tcpAddress.isEmpty())
        text += QStringLiteral("\nTCP: %1").arg(places.tcpAddress);
    if (!places.rfc2217Address.isEmpty())
        text += QStringLiteral("\nRFC 2217: %1").arg(places.rfc2217Address);
    for (const QString &problem : places.problems)
        text += QStringLiteral("\n") + problem;
    if (m_inputs->text() != text)
        m_inputs->setText(text);
}

} // namespace kd::sim
