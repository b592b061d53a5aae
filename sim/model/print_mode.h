#pragma once

#include "model/emulation/interpreter.h"
#include "model/messages.h"
#include "model/screen.h"

#include <iosfwd>
#include <string>

namespace kd::sim {

// --print: feeds the bytes of the file (the standard input descriptor when the name is empty; a
// recording of --record is read as what it recorded) through the command set as they are read, in
// constant memory however long the input, and writes the two lines, each exactly 20 characters with
// trailing spaces kept, and the state line, in UTF-8. Returns the program's exit status: 0, or 1
// with the reason on err when the input cannot be opened or read (a folder, a device that fails) or
// is a malformed recording; then nothing is written to out. The screen as it was left is copied to
// lastScreen when one is given. The state line and the messages are in the language given.
// The set's open choices are the options given.
int printScreen(Emulation emulation, const std::string &file, int standardInput, std::ostream &out,
                std::ostream &err, Screen *lastScreen = nullptr,
                Language language = Language::English, const SetOptions &options = {});

// UTF-8 of what the display shows.
std::string utf8(const std::u16string &text);

} // namespace kd::sim
