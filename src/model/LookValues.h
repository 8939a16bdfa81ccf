#pragma once
// The conversion every look value passes between the document and the window's
// controls, in one place for the window and the command-line tool alike: integers are
// pulled into the range of their control, colours become six upper-case hexadecimal
// digits ("transparent" reads as black), text is trimmed, the radio flag becomes "1"
// or "0". Showing a loaded project and saving it again gives exactly
// NormalizeAppletData of what was loaded.
//
// A value that cannot be converted at all (a colour "GGGGGG", a height "abc") is named
// by the field's plain name: "main text colour 'GGGGGG' is not a colour". The project
// reader checks every value this way, so a file the window could not show is refused
// before it replaces anything.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "MenuRecords.h"

namespace qm {

enum class LookValueKind { Integer, Colour, Text, Flag };

// One applet field: how its value is converted, the range of its control and the name
// messages give it.
struct LookFieldRule {
    LookValueKind kind;
    long long minimum = 0;  // integers only
    long long maximum = 0;
    std::string_view name;  // "main text colour"
};

// The rule of applet field 0..22.
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

// Throws qm::Error(file, line, reason) for the first field whose value cannot be
// converted, e.g. "menu.zorbel, line 12: main text colour 'GGGGGG' is not a colour";
// returns quietly when every value can be shown. file may be empty and line 0 where the
// values come from no file.
void CheckLookValues(const TAppletData& data, const std::string& file = {}, int line = 0);

// The document's look as the window would show and save it. Throws as CheckLookValues
// does (without a file) when a value cannot be converted.
TAppletData NormalizeAppletData(const TAppletData& data);

}  // namespace qm
