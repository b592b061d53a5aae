#pragma once

#include "model/messages.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kd::sim {

// The character code tables a customer display draws bytes 80..FF with.
enum class CodeTable {
    Pc437,
    Pc850,
    Pc852,
    Pc858,
    Pc860,
    Pc863,
    Pc865,
    Pc866,
    Windows1252,
};

// The 7-bit national character sets: they replace the characters at 23 24 40 5B 5C 5D 5E 60 7B 7C
// 7D 7E.
enum class NationalSet {
    Usa,
    France,
    Germany,
    Uk,
    DenmarkI,
    Sweden,
    Italy,
    SpainI,
    Japan,
    Norway,
    DenmarkII,
    SpainII,
    LatinAmerica,
};

std::string codeTableName(CodeTable table);
std::string nationalSetName(NationalSet set, Language language);
const std::vector<CodeTable> &allCodeTables();

// The character a byte from 20 upwards shows under the table and national set. Bytes 7F and the
// ones a table leaves empty show as U+FFFD.
char16_t glyphOf(std::uint8_t byte, CodeTable table, NationalSet set);
// The same inside a line or running text: a byte without a character is a blank.
char16_t textGlyphOf(std::uint8_t byte, CodeTable table, NationalSet set);

// The table an ESC t n selects (0 PC437, 2 PC850, 3 PC860, 4 PC863, 5 PC865, 16 WPC1252,
// 17 PC866, 18 PC852, 19 PC858), or nothing for a number without one.
std::optional<CodeTable> epsonCodeTable(int n);
// ESC R n: 0 USA … 12 Latin America.
std::optional<NationalSet> epsonNationalSet(int n);
// CD5220 ESC f with a letter: A USA, G Germany, W Sweden, I Italy, D Denmark I, J Japan,
// E Denmark II, U UK, F France, S Spain, N Norway.
std::optional<NationalSet> cd5220NationalSet(char letter);
// Logic Controls ESC % n: 0 and 1 PC437, 2 PC850, 3 PC858, 4 PC863, 5 PC865, 6 PC852.
std::optional<CodeTable> logicControlsCodeTable(int n);
// IBM mode 02 nn: 00 PC437, 02 PC858, 03 PC852, 07 PC863, 09 PC865.
std::optional<CodeTable> ibmCodeTable(int n);

} // namespace kd::sim
