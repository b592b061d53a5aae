#pragma once

#include "model/screen.h"

#include <QFont>
#include <QImage>
#include <QString>

#include <array>

class QPainter;
class QRect;

namespace kd::sim {

// What one line of the display shows, with what the glass does around it.
struct LineView {
    std::array<Cell, Screen::kColumns> cells{};
    // The cursor's column on this line, or -1.
    int cursorColumn = -1;
    CursorStyle cursorStyle = CursorStyle::Underline;
    int brightness = 100;
    bool displayOn = true;
    bool screenBlinks = false;

    bool operator==(const LineView &) const = default;
};

// The line of the screen as the glass shows it.
LineView lineView(const Screen &screen, int row);

// The font the display's characters are drawn in.
QFont displayFont();

// The size of one line of 20 cells, in pixels.
QSize lineSize();

// Paints one line of the vacuum-fluorescent display into the rectangle: 20 glowing character
// cells on dark glass, brightness as the glow, a display switched off as dark glass, the cursor,
// blinking and reverse characters and user-defined 5 × 7 characters. phase is the phase of
// everything that blinks: true shows it. Text needs a QGuiApplication (fonts); the window and the
// picture share this one painting.
void paintLine(QPainter &painter, const QRect &rect, const LineView &view, bool phase);

// The whole display, both lines in their bezel, as the window shows it with everything that blinks
// in its visible phase.
QImage displayPicture(const Screen &screen);

// Writes displayPicture() as a PNG file; an empty text, or which file could not be written and why.
QString saveDisplayPicture(const Screen &screen, const QString &path);

} // namespace kd::sim
