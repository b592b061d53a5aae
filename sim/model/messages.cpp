#include "model/messages.h"

#include <array>
#include <cstddef>

namespace kd::sim {
namespace {

struct MessageText {
    Msg id;
    const char *english;
    const char *german;
};

// English first, as the source; German as its translation.
constexpr MessageText kMessages[] = {
    {Msg::Refused, "refused: {1}", "verworfen: {1}"},
    {Msg::Unknown, "unknown", "unbekannt"},
    {Msg::NeverEnds, "a command without end, dropped after {1} bytes",
     "Befehl ohne Ende nach {1} Bytes verworfen"},
    {Msg::SenderGone, "dropped: incomplete, the sender is gone",
     "verworfen: unvollständig, der Sender ist fort"},
    {Msg::UnknownCommand, "{1} unknown", "{1} unbekannt"},
    {Msg::UnknownCommandInSet, "unknown command in the command set {1}",
     "unbekannter Befehl im Befehlssatz {1}"},
    {Msg::MeaninglessControlInSet, "control byte without meaning in the command set {1}",
     "Steuerbyte ohne Bedeutung im Befehlssatz {1}"},
    {Msg::WithoutClosingCr, "{1} without closing CR", "{1} ohne abschließendes CR"},
    {Msg::EntriesNotLogged, "… {1} more entries of this arrival not logged",
     "… {1} weitere Einträge dieser Ankunft nicht protokolliert"},
    {Msg::TextRun, "text \"{1}\"", "Text \"{1}\""},
    {Msg::TextRunCut, "text \"{1}\" … ({2} bytes)", "Text \"{1}\" … ({2} Bytes)"},
    {Msg::PassedOnRun, "passed on \"{1}\"", "durchgereicht \"{1}\""},
    {Msg::PassedOnRunCut, "passed on \"{1}\" … ({2} bytes)", "durchgereicht \"{1}\" … ({2} Bytes)"},
    {Msg::On, "on", "an"},
    {Msg::Off, "off", "aus"},
    {Msg::TitleStandard, "Standard", "Standard"},
    {Msg::TitleAuto, "automatic", "automatisch"},
    {Msg::ModeOverwrite, "overwrite", "Überschreiben"},
    {Msg::ModeVerticalScroll, "vertical scroll", "vertikal rollen"},
    {Msg::ModeHorizontalScroll, "horizontal scroll", "horizontal rollen"},
    {Msg::PeripheralDisplay, "display", "Display"},
    {Msg::PeripheralPrinter, "printer", "Drucker"},
    {Msg::PeripheralBoth, "printer and display", "Drucker und Display"},
    {Msg::SetUsa, "USA", "USA"},
    {Msg::SetFrance, "France", "Frankreich"},
    {Msg::SetGermany, "Germany", "Deutschland"},
    {Msg::SetUk, "UK", "Großbritannien"},
    {Msg::SetDenmarkI, "Denmark I", "Dänemark I"},
    {Msg::SetSweden, "Sweden", "Schweden"},
    {Msg::SetItaly, "Italy", "Italien"},
    {Msg::SetSpainI, "Spain I", "Spanien I"},
    {Msg::SetJapan, "Japan", "Japan"},
    {Msg::SetNorway, "Norway", "Norwegen"},
    {Msg::SetDenmarkII, "Denmark II", "Dänemark II"},
    {Msg::SetSpainII, "Spain II", "Spanien II"},
    {Msg::SetLatinAmerica, "Latin America", "Lateinamerika"},
    {Msg::StateSet, "Command set {1}", "Befehlssatz {1}"},
    {Msg::StateCodeTable, "Code table {1}", "Codetabelle {1}"},
    {Msg::StateNationalSet, "Character set {1}", "Zeichensatz {1}"},
    {Msg::StateBrightness, "Brightness {1} %", "Helligkeit {1} %"},
    {Msg::StateOff, "(off)", "(aus)"},
    {Msg::StateBlinks, "blinks every {1} ms", "blinkt alle {1} ms"},
    {Msg::StateCursor, "Cursor {1}", "Cursor {1}"},
    {Msg::StateDevice, "Device {1}", "Gerät {1}"},
    {Msg::CursorLeft, "cursor left", "Cursor links"},
    {Msg::CursorRight, "cursor right", "Cursor rechts"},
    {Msg::CursorDown, "cursor down a line", "Cursor eine Zeile tiefer"},
    {Msg::CursorUp, "cursor up a line", "Cursor eine Zeile höher"},
    {Msg::CursorHome, "cursor to the upper left", "Cursor oben links"},
    {Msg::CursorBottomLeft, "cursor to the lower left", "Cursor unten links"},
    {Msg::ClearDisplay, "clear the display", "Display löschen"},
    {Msg::LineStart, "cursor to the start of the line", "Cursor an den Zeilenanfang"},
    {Msg::LineEnd, "cursor to the end of the line", "Cursor ans Zeilenende"},
    {Msg::ClearCursorLine, "clear the cursor's line", "Zeile des Cursors löschen"},
    {Msg::Initialise, "initialise", "Initialisieren"},
    {Msg::PeripheralIs, "device {1}", "Gerät {1}"},
    {Msg::NoPeripheral, "{1} is no device (1 printer, 2 display, 3 both)",
     "{1} ist kein Gerät (1 Drucker, 2 Display, 3 beide)"},
    {Msg::UserCharacters, "user-defined characters {1}", "eigene Zeichen {1}"},
    {Msg::UserCharacterDeleted, "user-defined character {1} deleted",
     "eigenes Zeichen {1} gelöscht"},
    {Msg::UserCharactersBadParameters, "ESC & with invalid parameters",
     "ESC & mit ungültigen Parametern"},
    {Msg::UserCharacterTooWide, "ESC &: more than 5 columns", "ESC &: mehr als 5 Spalten"},
    {Msg::UserCharactersDefined, "ESC &: user-defined characters {1} to {2} defined",
     "ESC &: eigene Zeichen {1} bis {2} definiert"},
    {Msg::WindowSet, "ESC W: window {1} set (not drawn)",
     "ESC W: Fenster {1} gesetzt (nicht dargestellt)"},
    {Msg::WindowCancelled, "ESC W: window {1} cancelled (not drawn)",
     "ESC W: Fenster {1} aufgehoben (nicht dargestellt)"},
    {Msg::WriteModeIs, "{1}", "{1}"},
    {Msg::BrightnessIs, "brightness {1} %", "Helligkeit {1} %"},
    {Msg::BrightnessLevels, "{1} is no brightness (1 to 4)", "{1} ist keine Helligkeit (1 bis 4)"},
    {Msg::CursorAt, "cursor column {1}, row {2}", "Cursor Spalte {1}, Zeile {2}"},
    {Msg::OutsideDisplay, "column {1}, row {2} is outside the display",
     "Spalte {1}, Zeile {2} liegt außerhalb des Displays"},
    {Msg::SelfTest, "self-test, then power-on state", "Selbsttest, dann Grundzustand"},
    {Msg::Blink, "{1}", "{1}"},
    {Msg::DisplayOff, "display off", "Display aus"},
    {Msg::BlinkOff, "no blinking, display on", "Blinken aus, Display an"},
    {Msg::BlinkEvery, "the display blinks every {1} ms", "Display blinkt alle {1} ms"},
    {Msg::CursorShown, "cursor {1}", "Cursor {1}"},
    {Msg::ReverseCharacters, "reverse characters {1}", "inverse Zeichen {1}"},
    {Msg::TimeCounterSet, "time counter set to {1}", "Zeitzähler auf {1} gestellt"},
    {Msg::TimeCounterShown, "time counter {1} shown", "Zeitzähler {1} angezeigt"},
    {Msg::NoTimeOfDay, "{1}:{2} is no time of day", "{1}:{2} ist keine Uhrzeit"},
    {Msg::IgnoredNotShown, "not shown, ignored", "ohne Anzeige, ignoriert"},
    {Msg::SettingIgnored, "US ( {1}: setting, ignored", "US ( {1}: Einstellung, ignoriert"},
    {Msg::CodeTableIs, "code table {1}", "Codetabelle {1}"},
    {Msg::NoCodeTable, "no code table {1}, {2} stays", "keine Codetabelle {1}, bleibt {2}"},
    {Msg::NationalSetIs, "character set {1}", "Zeichensatz {1}"},
    {Msg::NoNationalSet, "no character set {1}", "kein Zeichensatz {1}"},
    {Msg::RealTimeIgnored, "real-time command, ignored (no answer)",
     "Echtzeitbefehl, ignoriert (keine Antwort)"},
    {Msg::FontIgnored, "font or EEPROM, ignored", "Schrift oder EEPROM, ignoriert"},
    {Msg::CharactersIgnored, " ({1} characters past {2} ignored)",
     " ({1} Zeichen über {2} ignoriert)"},
    {Msg::MarqueeOnLine1, "{1}: running text on line 1{2}", "{1}: Lauftext in Zeile 1{2}"},
    {Msg::TextOnLine, "{1}: text on line {2}{3}", "{1}: Text in Zeile {2}{3}"},
    {Msg::FrameWithoutEnq, "frame without ENQ", "Rahmen ohne ENQ"},
    {Msg::UnknownFrame, "unknown frame {1}", "unbekannter Rahmen {1}"},
    {Msg::FrameWithoutEtx, "frame {1} without ETX", "Rahmen {1} ohne ETX"},
    {Msg::FrameTooLong, "frame longer than {1} bytes", "Rahmen länger als {1} Bytes"},
    {Msg::FrameWithoutLine, "frame L without line 1 or 2", "Rahmen L ohne Zeile 1 oder 2"},
    {Msg::FrameInterval, "frame D: running text every {1} ms", "Rahmen D: Lauftext alle {1} ms"},
    {Msg::FrameRunningText, "frame L: running text on line {1}", "Rahmen L: Lauftext in Zeile {1}"},
    {Msg::Backspace, "cursor left, erasing the character", "Cursor links, Zeichen löschen"},
    {Msg::LineFeed, "line feed", "Zeilenvorschub"},
    {Msg::FlashingText, "flashing text {1}", "blinkender Text {1}"},
    {Msg::Reset, "reset", "Reset"},
    {Msg::LogicControlsBrightness, "{1} is no brightness (20, 40, 60 or FF)",
     "{1} ist keine Helligkeit (20, 40, 60 oder FF)"},
    {Msg::PositionPast27, "position {1} past 27 ignored", "Position {1} über 27 ignoriert"},
    {Msg::UserCharacterDefined, "user-defined character {1} defined",
     "eigenes Zeichen {1} definiert"},
    {Msg::ModeIs, "{1}", "{1}"},
    {Msg::NoMode, "{1} is no mode", "{1} ist kein Modus"},
    {Msg::IbmMode, "IBM mode", "IBM-Modus"},
    {Msg::LogicControlsMode, "Logic Controls mode", "Logic-Controls-Modus"},
    {Msg::OnlyInIbmMode, "only in IBM mode (00 01)", "gilt nur im IBM-Modus (00 01)"},
    {Msg::EscBracketWithoutLetter, "ESC [ without a command letter",
     "ESC [ ohne Befehlsbuchstaben"},
    {Msg::IbmClear, "ESC [ 2 J: clear the display", "ESC [ 2 J: Display löschen"},
    {Msg::IbmClearToLineEnd, "ESC [ 0 K: clear to the end of the line",
     "ESC [ 0 K: bis Zeilenende löschen"},
    {Msg::IbmCursorAt, "ESC [ H: cursor column {1}, row {2}",
     "ESC [ H: Cursor Spalte {1}, Zeile {2}"},
    {Msg::AttentionCode, "attention code {1}", "Attention-Code {1}"},
    {Msg::AedexWithoutCr, "AEDEX command without CR after {1} characters",
     "AEDEX-Befehl ohne CR nach {1} Zeichen"},
    {Msg::AttentionWithoutCommand, "attention code without a command",
     "Attention-Code ohne Befehl"},
    {Msg::AedexLine, "AEDEX {1}: text on line {2}", "AEDEX {1}: Text in Zeile {2}"},
    {Msg::AedexBothLines, "AEDEX 9: text on both lines", "AEDEX 9: Text in beiden Zeilen"},
    {Msg::AedexScrollContinuous, "AEDEX 4: running text on line 1, continuously",
     "AEDEX 4: Lauftext in Zeile 1, fortlaufend"},
    {Msg::AedexScrollOnce, "AEDEX 6: running text on line 1, once",
     "AEDEX 6: Lauftext in Zeile 1, einmal"},
    {Msg::AedexTime, "AEDEX 5: the time on line 2", "AEDEX 5: Uhrzeit in Zeile 2"},
    {Msg::AedexAttentionLength, "AEDEX 8 needs exactly two characters",
     "AEDEX 8 braucht genau zwei Zeichen"},
    {Msg::AedexNewAttention, "AEDEX 8: attention code {1} → {2}",
     "AEDEX 8: Attention-Code {1} → {2}"},
    {Msg::AedexReset, "AEDEX A: reset", "AEDEX A: Reset"},
    {Msg::AedexFilterIgnored, "AEDEX 7: character filter, ignored",
     "AEDEX 7: Zeichenfilter, ignoriert"},
    {Msg::Detected, "detected: {1}, at {2} at byte {3}", "erkannt: {1}, an {2} bei Byte {3}"},
    {Msg::NotYetDetected, "not yet detected", "noch nicht erkannt"},
    {Msg::FileUnreadable, "file {1} cannot be read: {2}", "Datei {1} lässt sich nicht lesen: {2}"},
    {Msg::ReadFailed, "read error", "Lesefehler"},
    {Msg::StandardInput, "standard input", "Standardeingabe"},
    {Msg::SourceFile, "file", "Datei"},
    {Msg::RecordingLineMalformed, "line {1} of the recording is malformed",
     "Zeile {1} der Aufzeichnung ist fehlerhaft"},
    {Msg::RecordingTimeOutOfRange, "line {1} of the recording has a time outside 0 to {2} ms: {3}",
     "Zeile {1} der Aufzeichnung hat eine Zeit außerhalb von 0 bis {2} ms: {3}"},
    {Msg::RecordingLineTooLong, "line {1} of the recording is too long",
     "Zeile {1} der Aufzeichnung ist zu lang"},
    {Msg::RecordingUnreadable, "the recording cannot be read: {1}",
     "Aufzeichnung lässt sich nicht lesen: {1}"},
    {Msg::StandardInputUnreadable, "standard input cannot be read: {1}",
     "Standardeingabe lässt sich nicht lesen: {1}"},
    {Msg::TitleUtcEnhanced, "UTC enhanced", "UTC erweitert"},
    {Msg::Answer, "answer: {1}", "Antwort: {1}"},
    // BA63/BA66, IEE, ICD-2002

    // DSP-800, UTC enhanced, ADM-787/788

};

// The table is in the order of the ids, so that an id is its index.
constexpr bool inIdOrder() {
    for (std::size_t i = 0; i < std::size(kMessages); ++i) {
        if (static_cast<std::size_t>(kMessages[i].id) != i)
            return false;
    }
    return true;
}
static_assert(inIdOrder(), "kMessages must list every id once, in the order of Msg");
static_assert(std::size(kMessages) == static_cast<std::size_t>(Msg::Count),
              "every id needs its texts");

} // namespace

std::string say(Language language, Msg id, std::initializer_list<std::string> values) {
    const MessageText &entry = kMessages[static_cast<std::size_t>(id)];
    std::string text = language == Language::German ? entry.german : entry.english;
    std::size_t index = 1;
    for (const std::string &value : values) {
        const std::string mark = "{" + std::to_string(index++) + "}";
        if (const std::size_t at = text.find(mark); at != std::string::npos)
            text.replace(at, mark.size(), value);
    }
    return text;
}

} // namespace kd::sim
