#pragma once
// Field lines: every field is followed by the separator "#$@"; nothing is escaped.

#include <string>
#include <string_view>
#include <vector>

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

// Appends each field followed by the separator.
void AppendFieldLine(std::string& out, const std::vector<std::string>& fields,
                     std::string_view separator = kFieldSeparator);

}  // namespace qm
