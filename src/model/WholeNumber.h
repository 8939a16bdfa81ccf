#pragma once
// The strict integer form of stored values: an optional sign and decimal digits,
// nothing else (no blanks, no hexadecimal), within the range of long long.

#include <charconv>
#include <optional>
#include <string_view>

namespace qm {

inline std::optional<long long> ParseWholeNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return std::nullopt;
    }
    if (text.empty()) return std::nullopt;
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace qm
