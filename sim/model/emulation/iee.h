#pragma once

#include "model/emulation/interpreter.h"

#include <array>

namespace kd::sim {

// The IEE set of single control bytes (the SLB324/SLB325 sheets, with the clone's 0C clear):
// entry modes 10 bottom line, 11 normal, 12 overwrite the last column, 13 horizontal scroll on the
// bottom line, 1A wrap-around; 15 clear, 16 home, 14 reset, 17/18 backlight, 0E/0F cursor,
// 06/07 blinking characters, 19 xx the next byte with bit 7 set, 0B nn … 0D a stored message,
// ESC 05 I the identification, ESC & and ESC ? user characters, ESC @ the end of the self-test.
class IeeInterpreter : public Interpreter {
  public:
    explicit IeeInterpreter(Context &context);
    void powerOn() override;
    PowerOn powerOnState() const override;
    Emulation emulation() const override { return Emulation::Iee; }
    std::string stateNote() const override;

  protected:
    Parse parse(std::string_view pending) override;

  private:
    enum class Entry : std::uint8_t {
        BottomLine = 0x10,
        Normal = 0x11,
        OverwriteLast = 0x12,
        Horizontal = 0x13,
        WrapAround = 0x1A,
    };

    CommandTable commands();
    FixedCommand entryCommand(Entry entry, Msg meaning);
    void write(std::uint8_t byte);
    void cancelWrap() { m_wrapPending = false; }
    Parse storedMessage(std::string_view pending);
    Parse userCharacters(std::string_view pending);

    CommandTable m_commands;
    Entry m_entry = Entry::Normal;
    bool m_backlight = false;
    // A character went to column 20 and the next printable one goes on by the entry mode.
    bool m_wrapPending = false;
    // 0B nn … 0D: kept, as the display keeps them; shown by nothing in this reading of 19.
    std::array<std::string, 4> m_messages;
};

} // namespace kd::sim
