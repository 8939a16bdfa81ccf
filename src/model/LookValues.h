#pragma once
// The conversion every look value passes between the document and the window's
// controls, in one place for the window and the command-line tool alike: integers are
// pulled into the range of their control, colours become six upper-case hexadecimal
// digits ("transparent" reads as black), text is trimmed, the radio flag becomes "1"
// or "0". Showing a loaded project and saving it again gives exactly
// NormalizeAppletData of what was loaded.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "MenuRecords.h"

namespace qm {

enum class LookValueKind { Integer, Colour, Text, Flag };

struct LookFieldRule {
    LookValueKind kind;
    long long minimum = 0;  // integers only
    long long maximum = 0;
};

// The rule of applet field 0..22 (the ranges of the controls bound to them).
LookFieldRule RuleOfAppletField(std::size_t index);

// A colour as 0xRRGGBB. Accepts "transparent" in any letter case (black) and up to six
// hexadecimal digits, red first, in either case; characters past the sixth are
// ignored and missing ones count as nothing ("FF" is pure red). nullopt when a digit
// place holds something else.
std::optional<std::uint32_t> ParseColourText(std::string_view text);
// Six upper-case hexadecimal digits, red first.
std::string ColourToText(std::uint32_t rgb);

// Blanks (space, tab, CR, LF) removed at both ends.
std::string TrimBlanks(std::string_view text);

// The document's look as the window would show and save it. Throws qm::Error naming
// the field when a value cannot be converted, e.g.
// "mainItemExtWidth: 'abc' is not a valid integer value".
TAppletData NormalizeAppletData(const TAppletData& data);

}  // namespace qm
