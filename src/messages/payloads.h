#pragma once

#include "display/display_output.h"

#include <string>

namespace kd::payload {

// Every fixed text the test commands put on the 2 x 20 display. A full line is 20 characters.

// Greeting over USB: sent as a running text inside the text frame.
inline const std::u16string kGreetingText = u"  Willkommen bei Raumausstatter Zimbelwerk  ";
// Greeting over serial: one line each.
inline const std::u16string kGreetingLine1 = u"Hallo Zeile 1       ";
inline const std::u16string kGreetingLine2 = u"Hallo Zeile 2       ";

// STX ENQ 'L' '1' <greeting> ETX: the greeting as the running text of line 1.
inline const std::u16string kGreetingFrame = u"\x02\x05L1" + kGreetingText + u"\x03";
// STX ENQ 'D' 0x08 ETX: the second greeting frame.
inline const std::u16string kGreetingSecondFrame = u"\x02\x05\x44\x08\x03";

inline const std::u16string kItemLine = u"100 Rollringe  11,50";

// The total: "Gesamt:" on line 1, the amount right-aligned to column 20 of line 2.
inline const std::u16string kTotalLabel = u"Gesamt:";
inline const std::u16string kTotalAmount = u"11,50";
inline constexpr std::size_t kLineWidth = kDisplayColumns;

inline const std::u16string kTenderedLine = u"Gegeben        20,00";
inline const std::u16string kChangeLine = u"Zurueck         8,50";

} // namespace kd::payload
