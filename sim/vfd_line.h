#pragma once

#include <QLabel>

namespace kd::sim {

// One line of the vacuum-fluorescent display: 20 glowing character cells on dark glass. It is a
// label, so screen readers and UI automation read its text like any other label's.
class VfdLine : public QLabel {
  public:
    explicit VfdLine(QWidget *parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace kd::sim
