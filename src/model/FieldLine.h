#pragma once
// Field lines: every field is followed by the separator "#$@"; nothing is escaped.

#include <string>
#include <string_view>
#include <vector>

#include "ByteSearch.h"

namespace qm {

inline constexpr std::string_view kFieldSeparator = "#$@";

// Field n (counted from 1) of a field line. A field counts only if a separator follows
// it: text after the last separator is never returned, and n <= 0 or n beyond the
// last separated field gives an empty string.
std::string GetDelimitedField(std::string_view text, int n, std::string_view separator);

// All separated fields of a line in one pass, exactly count entries: missing trailing
// fields are empty, fields beyond count are ignored. Equal to calling
// GetDelimitedField for n = 1..count, at the cost of one scan.
std::vector<std::string> SplitFieldLine(std::string_view line, std::size_t count,
                                        std::string_view separator = kFieldSeparator);

// The same split without building a list: calls field(i, text) for i = 0, 1, ... for
// each separated field, at most count of them, in one scan; returns how many there were.
// Fields beyond the last separator are not reported (the caller's records keep them
// empty).
template <class FieldFunction>
std::size_t ForEachField(std::string_view line, std::size_t count, FieldFunction&& field,
                         std::string_view separator = kFieldSeparator) {
    if (separator.empty()) return 0;
    const std::size_t length = separator.size();
    std::size_t start = 0;
    std::size_t found = 0;
    for (std::size_t at = FindByte(line, 0, separator.front()); found < count && at != std::string_view::npos;
         at = FindByte(line, at + 1, separator.front())) {
        if (at + length > line.size()) break;
        std::size_t k = 1;
        while (k < length && line[at + k] == separator[k]) ++k;
        if (k < length) continue;
        field(found++, line.substr(start, at - start));
        start = at + length;
        at = start - 1;
    }
    return found;
}

// Appends each field followed by the separator.
void AppendFieldLine(std::string& out, const std::vector<std::string>& fields,
                     std::string_view separator = kFieldSeparator);

}  // namespace qm
