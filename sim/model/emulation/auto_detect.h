#pragma once

#include "model/emulation/interpreter.h"

#include <memory>
#include <optional>

namespace kd::sim {

// "auto": shows the bytes with their `standard` meaning until the first command that only one
// set has, then locks on that set for good and says which and why. The command that decided is
// the first one the chosen set reads; the display keeps what it shows and takes the chosen set's
// power-on settings (code table, mode, cursor).
//
// Text is never held back for a command it might start: an AEDEX line command ("!#1 … CR") is
// shown as text while it arrives; when its CR shows it was one, the display returns to what it
// showed before the "!" and the AEDEX set carries the command out.
class AutoInterpreter : public Interpreter {
  public:
    AutoInterpreter(Context &context, InterpreterFactory factory);
    void powerOn() override;
    PowerOn powerOnState() const override;
    Emulation emulation() const override { return Emulation::Auto; }
    void discardPending() override;
    std::string stateNote() const override;
    // "detected: Logic Controls, at 1F 11 at byte 0", or empty before the decision.
    std::string detection() const override { return m_reason; }
    Emulation detected() const override {
        return m_locked ? m_locked->emulation() : Emulation::Auto;
    }

  protected:
    Parse parse(std::string_view pending) override;

  private:
    struct Decision {
        enum Kind { Undecided, NeedMore, Decided } kind = Undecided;
        Emulation emulation = Emulation::Standard;
        std::size_t signature = 0; // how many bytes show the decision
    };
    static Decision decide(std::string_view pending);
    void lock(Emulation emulation, std::string_view signature, std::uint64_t at);
    // Follows a possible AEDEX line command; true when it just became one and was handed on.
    bool followAedexCandidate(std::uint8_t byte);

    InterpreterFactory m_factory;
    std::unique_ptr<Interpreter> m_standard;
    std::unique_ptr<Interpreter> m_locked;
    std::string m_reason;
    std::uint64_t m_offset = 0;
    // A possible AEDEX line command shown as text so far, and the screen before it.
    std::string m_candidate;
    std::uint64_t m_candidateOffset = 0;
    std::optional<Screen> m_beforeCandidate;
};

} // namespace kd::sim
