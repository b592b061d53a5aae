#pragma once

#include "model/emulation/interpreter.h"

namespace kd::sim {

// The frames of the tool's own USB library: STX ENQ <command> ... ETX. 'L' + line digit + text
// runs the text across that line; 'D' + one byte sets the running text's interval to that byte
// times 25 ms (0: 200 ms). A new STX or a clear inside a frame means its end byte was lost: the
// frame is dropped and the byte is read afresh.
class ToolFrames {
  public:
    explicit ToolFrames(Context &context) : m_context(context) {}
    Parse parse(std::string_view pending);
    // The pending bytes were dropped: what was searched of them no longer counts.
    void forget() { m_searched = 0; }

  private:
    Context &m_context;
    // The interval of the running texts, which the 'D' frame sets.
    int m_intervalMs = 200;
    // How much of a frame still waiting for its end has been searched for it, so that each new
    // byte is looked at once.
    std::size_t m_searched = 0;
};

} // namespace kd::sim
