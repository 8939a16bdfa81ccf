#pragma once
// The strict integer form of stored values: an optional sign and decimal digits,
// nothing else (no blanks, no hexadecimal), within the range of long long.

#include <charconv>
#include <cstddef>
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

// The decimal text of a number, made without a string: DecimalText(-1).View() is "-1".
class DecimalText {
public:
    explicit DecimalText(long long value)
        : size_(static_cast<std::size_t>(std::to_chars(digits_, digits_ + sizeof digits_, value).ptr - digits_)) {}
    std::string_view View() const { return {digits_, size_}; }

private:
    char digits_[24];
    std::size_t size_;
};

}  // namespace qm
