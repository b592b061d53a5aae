#pragma once

#include "model/emulation/interpreter.h"

#include <array>
#include <functional>

namespace kd::sim {

// The DSP-800 set: frames 04 01 <command> <parameters> 17, each answered with ACK (06) when
// carried out or NAK (15) when refused: cursor (50), clear a range (43), international set (49),
// save the view as an advert (53), demo of the adverts (44), read back (54), firmware (56),
// advert at power-on (4F) and the display's serial line (42). Plain bytes 20..FF are text at the
// cursor; ESC G / ESC S turn printer pass-through on and off.
class Dsp800Interpreter : public Interpreter {
  public:
    explicit Dsp800Interpreter(Context &context);
    void powerOn() override;
    PowerOn powerOnState() const override;
    Emulation emulation() const override { return Emulation::Dsp800; }
    std::string stateNote() const override;

    static constexpr int kPositions = Screen::kRows * Screen::kColumns;

  protected:
    Parse parse(std::string_view pending) override;

  private:
    // One frame command: its byte, how many parameter bytes it takes, its name and meaning, and
    // the action, which returns the values of the meaning or why it refuses.
    struct FrameCommand {
        char command;
        std::size_t parameters;
        std::string name;
        Msg meaning;
        std::function<Expected<FixedCommand::Values>(std::string_view parameters)> action;
    };
    std::vector<FrameCommand> frameCommands();
    Parse frame(std::string_view pending);
    Parse carryOut(const FrameCommand &command, std::string_view bytes);
    Parse nak(std::string_view bytes, Msg why, Args args = {});
    Parse nak(std::string_view bytes, const std::string &why);
    Parse escape(std::string_view pending);
    void text(std::uint8_t byte);
    void stopDemo();
    std::string readBack() const;

    std::vector<FrameCommand> m_commands;
    // The code each cell received, for the read-back; a blank cell holds 20.
    std::array<std::uint8_t, kPositions> m_codes{};
    // The three advert layers, as saved: what each line showed.
    std::array<std::array<std::u16string, Screen::kRows>, 3> m_adverts{};
    // While the demo runs: what the host had on the screen, shown again when the demo stops.
    bool m_demo = false;
    std::array<std::u16string, Screen::kRows> m_beforeDemo{};
    bool m_advertRunsAtPowerOn = false;
    bool m_printer = false;
    // What the command being carried out sends back instead of the ACK (read-back, firmware).
    std::string m_reply;
    // The line a 42 frame asked for, set once its answer has gone out.
    std::optional<LineSettings> m_lineAfterAnswer;
};

} // namespace kd::sim
