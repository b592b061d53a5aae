#pragma once

#include <QMainWindow>

class QLabel;
class QPlainTextEdit;

namespace kd::sim {

class SimDisplay;
class VfdLine;

// The virtual display's window: the two display lines on dark glass, where to connect, and a log
// of everything that arrived.
class SimWindow : public QMainWindow {
  public:
    explicit SimWindow(SimDisplay &display, QWidget *parent = nullptr);

    VfdLine *line(int row) const { return m_lines[row]; }
    QPlainTextEdit *log() const { return m_log; }

    // Shows the display's current content.
    void refresh();
    // Shows where the inputs are, or why they are not.
    void showInputs(const QString &problems);

  private:
    SimDisplay &m_display;
    VfdLine *m_lines[2] = {nullptr, nullptr};
    QLabel *m_inputs = nullptr;
    QPlainTextEdit *m_log = nullptr;
};

} // namespace kd::sim
