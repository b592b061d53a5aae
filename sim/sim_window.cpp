#include "sim_window.h"

#include "sim_display.h"
#include "vfd_line.h"

#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace kd::sim {

SimWindow::SimWindow(SimDisplay &display, QWidget *parent)
    : QMainWindow(parent), m_display(display) {
    setObjectName(QStringLiteral("SimWindow"));
    setWindowTitle(QStringLiteral(KD_SIM_DISPLAY_NAME));

    auto *client = new QWidget(this);
    setCentralWidget(client);

    auto *bezel = new QFrame(client);
    bezel->setObjectName(QStringLiteral("bezel"));
    bezel->setAccessibleName(QStringLiteral("Display"));
    bezel->setStyleSheet(QStringLiteral(
        "#bezel { background: #1b1d1f; border: 6px solid #2b2e31; border-radius: 8px; }"));
    auto *bezelLayout = new QVBoxLayout(bezel);
    bezelLayout->setContentsMargins(14, 14, 14, 14);
    bezelLayout->setSpacing(4);
    for (int row = 0; row < 2; ++row) {
        m_lines[row] = new VfdLine(bezel);
        m_lines[row]->setObjectName(QStringLiteral("line%1").arg(row + 1));
        m_lines[row]->setAccessibleDescription(
            QStringLiteral("Zeile %1 des Displays").arg(row + 1));
        bezelLayout->addWidget(m_lines[row]);
    }

    m_inputs = new QLabel(client);
    m_inputs->setObjectName(QStringLiteral("inputs"));
    m_inputs->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *logLabel = new QLabel(QStringLiteral("Empfangen:"), client);
    m_log = new QPlainTextEdit(client);
    m_log->setObjectName(QStringLiteral("log"));
    m_log->setReadOnly(true);
    m_log->setMaximumBlockCount(2000);
    m_log->setWordWrapMode(QTextOption::WrapAnywhere);
    m_log->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_log->setMinimumHeight(160);
    logLabel->setBuddy(m_log);

    auto *layout = new QVBoxLayout(client);
    layout->addWidget(bezel);
    layout->addWidget(m_inputs);
    layout->addWidget(logLabel);
    layout->addWidget(m_log, 1);

    connect(&m_display, &SimDisplay::changed, this, &SimWindow::refresh);
    connect(&m_display, &SimDisplay::logged, m_log, &QPlainTextEdit::appendPlainText);
    refresh();
}

void SimWindow::refresh() {
    const Snapshot snapshot = m_display.snapshot();
    for (int row = 0; row < 2; ++row) {
        const QString text =
            QString::fromStdU16String(snapshot.lines[static_cast<std::size_t>(row)]);
        if (m_lines[row]->text() != text)
            m_lines[row]->setText(text);
    }
}

void SimWindow::showInputs(const QString &problems) {
    QString serial =
        m_display.serialPath().isEmpty() ? QStringLiteral("–") : m_display.serialPath();
    if (m_display.enteredPort() != 0)
        serial += QStringLiteral(", als COM%1 eingetragen").arg(m_display.enteredPort());
    QString text =
        QStringLiteral("USB (Socket): %1\nSeriell (Pseudo-Terminal): %2")
            .arg(m_display.socketPath().isEmpty() ? QStringLiteral("–") : m_display.socketPath(),
                 serial);
    if (!problems.isEmpty())
        text += QStringLiteral("\n") + problems;
    m_inputs->setText(text);
}

} // namespace kd::sim
