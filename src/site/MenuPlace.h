#pragma once
// Where a page of the site takes the menu. A page says it with two comments, each on a
// line of its own:
//     <!-- Quillamere menu -->
//     ... replaced by every publish ...
//     <!-- End of Quillamere menu -->
// A page that holds the menu pasted from an earlier publish (from its
// "<!-- Quillamere 1.0 -->" line to the end of the menu box's div) takes it there, and
// the two comments are written around it.

#include <cstddef>
#include <string>
#include <string_view>

namespace qm {

inline constexpr std::string_view kMenuStartMarker = "<!-- Quillamere menu -->";
inline constexpr std::string_view kMenuEndMarker = "<!-- End of Quillamere menu -->";

enum class MenuPlaceKind { None, Markers, PastedMenu };

struct MenuPlace {
    MenuPlaceKind kind = MenuPlaceKind::None;
    // The bytes the menu replaces: [begin, end) of the page.
    std::size_t begin = 0;
    std::size_t end = 0;
    // The page's own line end ("\r\n" or "\n"), which the menu's lines take.
    std::string_view lineEnd = "\r\n";
    // Pasted menu only: the markers need a line end before the first (text stands
    // before the menu on its line) or after the last (text follows it).
    bool breakBefore = false;
    bool breakAfter = false;
};

// Finds the menu's place in a page's bytes. Throws qm::Error naming the page (and the
// line) when the page cannot take the menu: a UTF-16 or UTF-32 page, a marker that is
// not on a line of its own, a start marker without an end marker after it (or the
// other way round), a second start marker, a pasted menu without the end of its box.
MenuPlace FindMenuPlace(std::string_view page, const std::string& name);

// The page with snippet (lines ended by CR LF) in the place, its lines ended as the
// page's are; every byte outside the place is kept.
std::string PageWithMenu(std::string_view page, const MenuPlace& place, std::string_view snippet);

}  // namespace qm
