#pragma once
// The path replacement of the links: a designer tests the menu from a folder on the own
// computer and publishes it on a web server, and the Path page names the two roots. Each
// link that holds the one root is written with the other in its place, wherever the
// document is written for the site (the page, the project that is published with it, a
// page of the site); the document itself keeps the links as they were typed.

#include <cstddef>
#include <string>
#include <string_view>

#include "model/MenuRecords.h"

namespace qm {

// The position of the first occurrence of needle in text at or after from, letter case
// ignored (ASCII), or npos. An empty needle is never found.
std::size_t FindIgnoringCase(std::string_view text, std::string_view needle, std::size_t from = 0);

// Replaces every occurrence of `from` in `link` by `to`, ignoring letter case (ASCII).
std::string ReplaceIgnoringCase(std::string_view link, std::string_view from, std::string_view to);

// From one root to the other, or none where either root is blank. The roots are used as
// stored, blanks and all. Views into the look it was made of.
struct PathReplacement {
    std::string_view from;
    std::string_view to;

    bool None() const { return from.empty(); }
    // Whether link holds the root that is replaced.
    bool Converts(std::string_view link) const {
        return !None() && FindIgnoringCase(link, from) != std::string_view::npos;
    }
    // link as it is written: converted into scratch when it holds the root, else itself.
    std::string_view Apply(std::string_view link, std::string& scratch) const {
        if (!Converts(link)) return link;
        scratch = ReplaceIgnoringCase(link, from, to);
        return scratch;
    }
};

// The replacement the look asks for: to the local root when the path choice is "1",
// else to the web server's root.
PathReplacement PathReplacementOf(const TAppletData& look);

}  // namespace qm
