#pragma once
// Field lines: every field is followed by the separator "#$@"; nothing is escaped.

#include <string>
#include <string_view>
#include <vector>

#include "model/ByteSearch.h"

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
// empty). The line is looked at a block at a time: every byte that could start a
// separator is tried in turn, without starting a new search for each field.
template <class FieldFunction>
std::size_t ForEachField(std::string_view line, std::size_t count, FieldFunction&& field,
                         std::string_view separator = kFieldSeparator) {
    if (separator.empty() || count == 0) return 0;
    const std::size_t size = line.size();
    const std::size_t length = separator.size();
    std::size_t start = 0;  // of the current field
    std::size_t found = 0;
    // Whether a separator stands at `at`; if so the field before it is reported.
    const auto tryAt = [&](std::size_t at) {
        if (at < start || at + length > size) return false;
        for (std::size_t k = 1; k < length; ++k)
            if (line[at + k] != separator[k]) return false;
        field(found++, line.substr(start, at - start));
        start = at + length;
        return true;
    };
    using namespace byte_search;
    const char first = separator.front();
    std::size_t base = 0;
    for (; base + kBlockSize <= size; base += kBlockSize)
        for (auto hits = BlockMatches(line.data() + base, first, first); hits != 0; hits = WithoutFirst(hits))
            if (tryAt(base + FirstPlace(hits)) && found == count) return found;
    for (; base < size; ++base)
        if (line[base] == separator.front() && tryAt(base) && found == count) return found;
    return found;
}

// Appends each field followed by the separator.
void AppendFieldLine(std::string& out, const std::vector<std::string>& fields,
                     std::string_view separator = kFieldSeparator);

}  // namespace qm
