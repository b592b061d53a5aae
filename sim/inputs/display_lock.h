#pragma once

#include <string>

namespace kd::sim {

// One virtual display serves the user at a time: the one that holds the lock on
// kundendisplay-sim.lock in the user's private folder. The lock goes with the process, however it
// ends. Qt only for the translation of its refusals; used on the inputs thread.
class DisplayLock {
  public:
    DisplayLock() = default;
    ~DisplayLock();
    DisplayLock(const DisplayLock &) = delete;
    DisplayLock &operator=(const DisplayLock &) = delete;

    enum class Result { Held, HeldByAnother, Refused };
    // Takes the lock in the folder. On Refused, error() says which file and why; on
    // HeldByAnother, which lock another display holds.
    Result take(const std::string &folder);
    const std::string &error() const { return m_error; }

  private:
    int m_fd = -1;
    std::string m_error;
};

} // namespace kd::sim
