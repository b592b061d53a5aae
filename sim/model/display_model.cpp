#include "model/display_model.h"

#include "model/emulation/command_sets.h"

namespace kd::sim {

DisplayModel::DisplayModel(Emulation emulation, LogLimits limits)
    : m_emulation(emulation),
      m_context(
          m_screen, [this](const LogEntry &entry) { m_log.push_back(entry); }, limits) {
    setEmulation(emulation);
}

void DisplayModel::setEmulation(Emulation emulation) {
    m_context.flushText();
    m_emulation = emulation;
    m_interpreter = makeInterpreter(emulation, m_context);
    m_interpreter->powerOn();
}

void DisplayModel::feed(std::string_view bytes) {
    m_context.startBudget(m_context.limits().entriesPerArrival);
    m_interpreter->feed(bytes);
    m_context.flushText();
    if (const std::size_t skipped = m_context.startBudget(0); skipped > 0)
        m_log.push_back({{}, m_context.say(Msg::EntriesNotLogged, {std::to_string(skipped)})});
    m_context.startBudget(SIZE_MAX);
}

void DisplayModel::discardPartial() {
    m_interpreter->discardPending();
    m_context.flushText();
}

std::vector<LogEntry> DisplayModel::takeLog() {
    std::vector<LogEntry> log;
    log.swap(m_log);
    return log;
}

std::string DisplayModel::detection() const {
    return m_interpreter->detection();
}

Emulation DisplayModel::detected() const {
    return m_interpreter->detected();
}

std::string DisplayModel::stateLine() const {
    const Language language = m_context.language;
    const auto say = [language](Msg id, Args args = {}) {
        return kd::sim::say(language, id, args);
    };
    std::string set = emulationTitle(m_emulation, language);
    if (const std::string note = m_interpreter->stateNote(); !note.empty())
        set += " (" + note + ")";
    std::string state =
        say(Msg::StateSet, {set}) + " · " +
        say(Msg::StateCodeTable, {codeTableName(m_screen.codeTable())}) + " · " +
        say(Msg::StateNationalSet, {nationalSetName(m_screen.nationalSet(), language)}) + " · " +
        writeModeName(m_screen.mode(), language) + " · " +
        say(Msg::StateBrightness, {std::to_string(m_screen.brightness())});
    if (!m_screen.displayOn())
        state += " " + say(Msg::StateOff);
    if (m_screen.blinkMs() != 0)
        state += " · " + say(Msg::StateBlinks, {std::to_string(m_screen.blinkMs())});
    state += " · " + say(Msg::StateCursor, {say(m_screen.cursorVisible() ? Msg::On : Msg::Off)}) +
             " · " + say(Msg::StateDevice, {peripheralName(m_screen.peripheral(), language)});
    return state;
}

} // namespace kd::sim
