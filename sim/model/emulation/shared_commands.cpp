#include "model/emulation/shared_commands.h"

namespace kd::sim {
namespace {

using Done = Expected<FixedCommand::Values>;

} // namespace

FixedCommand modeCommand(Context &context, std::string lead, std::string name, WriteMode mode) {
    return {std::move(lead), 0, std::move(name), Msg::WriteModeIs, [&context, mode](auto) {
                context.screen.setMode(mode);
                return Done{{writeModeName(mode, context.language)}};
            }};
}

FixedCommand cursorMove(Context &context, std::string lead, std::string name, Msg meaning,
                        void (Screen::*move)()) {
    return {std::move(lead), 0, std::move(name), meaning, [&context, move](auto) {
                (context.screen.*move)();
                return Done{};
            }};
}

FixedCommand switchCommand(Context &context, std::string lead, std::string name, Msg meaning,
                           void (Screen::*set)(bool)) {
    return {std::move(lead), 1, std::move(name), meaning, [&context, set](std::string_view p) {
                const bool on = (byteAt(p, 0) & 1) != 0;
                (context.screen.*set)(on);
                return Done{{context.say(on ? Msg::On : Msg::Off)}};
            }};
}

FixedCommand ignoredCommand(std::string lead, std::size_t parameters, std::string name,
                            Msg meaning) {
    return {std::move(lead), parameters, std::move(name), meaning, [](auto) { return Done{}; }};
}

} // namespace kd::sim
