#pragma once

#include "inputs/display_service.h"

#include <QMainWindow>

class QComboBox;
class QLineEdit;
class QLabel;
class QPlainTextEdit;
class QTimer;

namespace kd::sim {

class DisplayService;
class VfdLine;

// The virtual display's window: the two display lines on dark glass, the choice of command set,
// a state line, where to connect, and a log of everything that arrived. It redraws what changed
// at most about 60 times a second, however fast bytes arrive.
class SimWindow : public QMainWindow {
    Q_OBJECT

  public:
    // The window touches nothing of the inputs but the service: its snapshots, its log and the
    // choice of command set.
    explicit SimWindow(DisplayService &service, QWidget *parent = nullptr);

    VfdLine *line(int row) const { return m_lines[row]; }
    QPlainTextEdit *log() const { return m_log; }
    QComboBox *emulationChoice() const { return m_emulation; }
    QLineEdit *lineChoice() const { return m_line; }
    QLabel *stateLine() const { return m_state; }

    // Shows the display's current content and the log that arrived since.
    void refresh();
    // How often the window has drawn the display, for checking that a flood does not make it
    // draw more than about 60 times a second.
    qint64 refreshCount() const { return m_refreshCount; }
    // Shows the set chosen, without changing the display (which is already in it).
    void showEmulation(Emulation emulation);

    // Writes the picture of the display as it shows it now to a PNG file; an empty text, or why
    // it could not be written.
    QString savePicture(const QString &path) const;

    // The set chosen last in the window, remembered between runs.
    static std::optional<Emulation> rememberedEmulation();

  private:
    void scheduleRefresh();
    void askAndSavePicture();
    void appendLog();
    void chooseEmulation(int index);
    void chooseLine();
    // Shows where the inputs are, or why they are not.
    void showInputs(const InputPlaces &places);

    DisplayService &m_service;
    VfdLine *m_lines[2] = {nullptr, nullptr};
    QComboBox *m_emulation = nullptr;
    // The display's own line, as one would set its switches: "9600,N,8,1".
    QLineEdit *m_line = nullptr;
    QLabel *m_state = nullptr;
    QLabel *m_inputs = nullptr;
    QPlainTextEdit *m_log = nullptr;
    QLabel *m_logLabel = nullptr;
    qint64 m_droppedLogBytes = 0;
    QTimer *m_refreshTimer = nullptr;
    QTimer *m_blinkTimer = nullptr;
    bool m_blinkPhase = true;
    qint64 m_refreshCount = 0;
};

} // namespace kd::sim
