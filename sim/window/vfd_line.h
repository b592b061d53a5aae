#pragma once

#include "picture/display_picture.h"

#include <QLabel>

namespace kd::sim {

// One line of the vacuum-fluorescent display: 20 glowing character cells on dark glass, drawn as
// the real display would show them: brightness as the glow, a display switched off as dark glass,
// the cursor, blinking and reverse characters and user-defined 5 × 7 characters. It is a label,
// so screen readers and UI automation read its text like any other label's.
class VfdLine : public QLabel {
  public:
    explicit VfdLine(QWidget *parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    void show(const LineView &view);
    // The phase of everything that blinks: true shows it.
    void setBlinkPhase(bool on);
    bool blinks() const;

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    LineView m_view;
    bool m_phase = true;
};

} // namespace kd::sim
