#pragma once

#include "model/emulation/interpreter.h"

#include <iosfwd>
#include <string>

namespace kd::sim {

// --print: feeds the bytes of the file (standard input when the name is empty; a recording of
// --record is read as what it recorded) through the command set and writes the two lines, each
// exactly 20 characters with trailing spaces kept, and the state line, in UTF-8. Returns the
// program's exit status: 0, or 1 with the reason on err when the file cannot be read. The state
// line and the messages are in the language given.
int printScreen(Emulation emulation, const std::string &file, std::istream &standardInput,
                std::ostream &out, std::ostream &err, Language language = Language::English);

// The text in UTF-8, as --print writes it.
std::string toUtf8(const std::u16string &text);

} // namespace kd::sim
