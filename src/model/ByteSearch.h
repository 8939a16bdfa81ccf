#pragma once
// Finding bytes in text eight at a time. The readers spend most of their time looking
// for separators and line ends, in runs far too short for memchr's start-up to pay.

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace qm {

namespace byte_search {
inline constexpr std::uint64_t kOnes = 0x0101010101010101ull;
inline constexpr std::uint64_t kHighs = 0x8080808080808080ull;
// A high bit in every byte of word that equals the byte of pattern (kOnes * c). The
// lowest flagged byte is always a true match; higher ones may be false.
inline std::uint64_t Matches(std::uint64_t word, std::uint64_t pattern) {
    const std::uint64_t x = word ^ pattern;
    return (x - kOnes) & ~x & kHighs;
}
}  // namespace byte_search

// The position of the first byte c in text at or after from, or npos.
inline std::size_t FindByte(std::string_view text, std::size_t from, char c) {
    using namespace byte_search;
    const std::size_t size = text.size();
    if constexpr (std::endian::native == std::endian::little) {
        const std::uint64_t pattern = kOnes * static_cast<unsigned char>(c);
        for (; from + 8 <= size; from += 8) {
            std::uint64_t word;
            std::memcpy(&word, text.data() + from, sizeof word);
            if (const std::uint64_t hit = Matches(word, pattern); hit != 0)
                return from + static_cast<std::size_t>(std::countr_zero(hit) / 8);
        }
    }
    for (; from < size; ++from)
        if (text[from] == c) return from;
    return std::string_view::npos;
}

// The position of the first byte that is a or b at or after from, or npos.
inline std::size_t FindEitherByte(std::string_view text, std::size_t from, char a, char b) {
    using namespace byte_search;
    const std::size_t size = text.size();
    if constexpr (std::endian::native == std::endian::little) {
        const std::uint64_t patternA = kOnes * static_cast<unsigned char>(a);
        const std::uint64_t patternB = kOnes * static_cast<unsigned char>(b);
        for (; from + 8 <= size; from += 8) {
            std::uint64_t word;
            std::memcpy(&word, text.data() + from, sizeof word);
            // Each mask's lowest flag is a true match, so the lowest of both is too.
            if (const std::uint64_t hit = Matches(word, patternA) | Matches(word, patternB); hit != 0)
                return from + static_cast<std::size_t>(std::countr_zero(hit) / 8);
        }
    }
    for (; from < size; ++from)
        if (text[from] == a || text[from] == b) return from;
    return std::string_view::npos;
}

}  // namespace qm
