#pragma once
// File names compared as a case-insensitive, normalising file system compares them (a
// USB stick, a Windows share, a Mac's disk): "MENÜ.html", "menü.html" and "menu" with a
// combining diaeresis ".html" all name one file there.

#include <string>
#include <string_view>

namespace qm {

// The form in which two names that such a file system takes for one are equal: UTF-8 in
// canonical decomposition after Unicode full case folding (canonical caseless match).
// Bytes that are not UTF-8 stay as they are.
std::string FoldedFileName(std::string_view name);

inline bool SameFileName(std::string_view a, std::string_view b) {
    return FoldedFileName(a) == FoldedFileName(b);
}

}  // namespace qm
