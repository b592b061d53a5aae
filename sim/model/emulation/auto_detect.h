#pragma once

#include "model/emulation/interpreter.h"

#include <memory>

namespace kd::sim {

// "auto": shows the bytes with their `standard` meaning until the first command that only one
// set has, then locks on that set for good and says which and why. The command that decided is
// the first one the chosen set reads.
class AutoInterpreter : public Interpreter {
  public:
    explicit AutoInterpreter(Context &context);
    void powerOn() override;
    Emulation emulation() const override { return Emulation::Auto; }
    void discardPending() override;
    std::string stateNote() const override;
    // The set it locked on, or Auto while it has not decided.
    Emulation detected() const { return m_detected; }
    // "erkannt: Logic Controls, an 1F 11 bei Byte 0", or empty before the decision.
    const std::string &reason() const { return m_reason; }

  protected:
    Step step(std::string_view pending) override;

  private:
    struct Decision {
        enum Kind { Undecided, NeedMore, Decided } kind = Undecided;
        Emulation emulation = Emulation::Standard;
        std::size_t signature = 0; // how many bytes show the decision
    };
    static Decision decide(std::string_view pending);

    std::unique_ptr<Interpreter> m_standard;
    std::unique_ptr<Interpreter> m_locked;
    Emulation m_detected = Emulation::Auto;
    std::string m_reason;
    std::uint64_t m_offset = 0;
};

} // namespace kd::sim
