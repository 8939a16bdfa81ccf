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

#include "model/MenuRecords.h"

namespace qm {

enum class LookValueKind { Integer, Colour, Text, Flag };

// One look field, as everything that handles it needs it: the record's member and the
// code name (the field's position in this table is its stored position: in the record,
// the project file's parameter line and the page's parameter string), how its value is
// converted and the range of its control, the value of a new project, the plain name
// that messages and undo steps give it, the object name of the window's control and
// the help page tag of the control's group. The one table of the look: the records,
// the conversion, the window's panels and its help buttons all read it.
struct LookField {
    std::string TAppletData::*member;
    std::string_view codeName;      // "mainItemExtWidth"
    LookValueKind kind;
    long long minimum = 0;          // integers only
    long long maximum = 0;
    std::string_view defaultValue;  // "25"
    std::string_view name;          // "main item extra width"
    std::string_view control;       // "spnedt__mainItemExtWidth"
    int helpTag = 0;                // 1 = the "Main Menu Items" group's page, ...
};

// The look fields by name: their positions in the table below, in the record and in
// the stored parameter line.
enum LookFieldIndex : std::size_t {
    kMainItemExtWidth, kMainItemHeight, kMainItemFont, kMainItemFontSize, kMainItemTextColor, kMainItemColor,
    kMainItemHoverColor, kSubItemHeight, kSubItemFont, kSubItemFontSize, kSubItemTextColor, kSubItemColor,
    kSubmenuCloseDelay, kSubmenuSlideSpeed, kMainItemHoverSound, kSubItemHoverSound, kItemActiveSound,
    kFlMenuMaxWidth, kFlMenuMaxHeight, kMovZIndex, kRootDirLocal, kRootDirRemote, kRootDirLocalChecked,
};
static_assert(kRootDirLocalChecked + 1 == TAppletData::kFieldCount);

// Applet field 0..22 (an out-of-range index is a programming error, checked with
// assert).
const LookField& LookFieldAt(std::size_t index);
// The field whose control has this object name; nullptr for none.
const LookField* LookFieldOfControl(std::string_view control);

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
