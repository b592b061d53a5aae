#include "window/vfd_line.h"

#include <QPainter>

namespace kd::sim {

VfdLine::VfdLine(QWidget *parent) : QLabel(parent) {
    setFont(displayFont());
    setAutoFillBackground(false);
}

QSize VfdLine::sizeHint() const {
    return lineSize();
}

void VfdLine::show(const LineView &view) {
    QString text;
    for (const Cell &cell : view.cells)
        text += cell.user ? QChar(0x25A1) : QChar(cell.character);
    if (text != this->text())
        setText(text);
    if (view == m_view)
        return;
    m_view = view;
    update();
}

bool VfdLine::blinks() const {
    if (m_view.screenBlinks)
        return true;
    return std::any_of(m_view.cells.begin(), m_view.cells.end(),
                       [](const Cell &cell) { return cell.blink; });
}

void VfdLine::setBlinkPhase(bool on) {
    if (on == m_phase)
        return;
    m_phase = on;
    if (blinks())
        update();
}

void VfdLine::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    paintLine(painter, rect(), m_view, m_phase);
}

} // namespace kd::sim
