#pragma once
// Finding bytes in text a block at a time. The readers spend most of their time looking
// for separators and line ends, in runs far too short for memchr's start-up to pay.
// Blocks are 16 bytes where the processor has SSE2 (every x86-64), 8 bytes otherwise.

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qm {

namespace byte_search {

inline constexpr std::uint64_t kOnes = 0x0101010101010101ull;
inline constexpr std::uint64_t kHighs = 0x8080808080808080ull;

// A high bit in exactly the bytes of word that equal the byte of pattern (kOnes * c).
inline std::uint64_t ExactMatches(std::uint64_t word, std::uint64_t pattern) {
    constexpr std::uint64_t kLows = 0x7F7F7F7F7F7F7F7Full;
    const std::uint64_t x = word ^ pattern;
    return ~(((x & kLows) + kLows) | x | kLows);
}

// The bytes at p that equal c or d, as a mask: bit (i * kBitsPerByte + kBitsPerByte - 1)
// for byte i, so that countr_zero(mask) / kBitsPerByte is the first one's place.
#if defined(__SSE2__)
inline constexpr std::size_t kBlockSize = 16;
inline constexpr int kBitsPerByte = 1;
inline std::uint64_t BlockMatches(const char* p, char c, char d) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(block, _mm_set1_epi8(c)), _mm_cmpeq_epi8(block, _mm_set1_epi8(d)));
    return static_cast<std::uint32_t>(_mm_movemask_epi8(hits));
}
#else
inline constexpr std::size_t kBlockSize = 8;
inline constexpr int kBitsPerByte = 8;
inline std::uint64_t BlockMatches(const char* p, char c, char d) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return ExactMatches(word, kOnes * static_cast<unsigned char>(c)) |
           ExactMatches(word, kOnes * static_cast<unsigned char>(d));
}
#endif

// The place of the first byte flagged in a non-zero mask, and the mask without it.
inline std::size_t FirstPlace(std::uint64_t mask) {
    return static_cast<std::size_t>(std::countr_zero(mask) / kBitsPerByte);
}
inline std::uint64_t WithoutFirst(std::uint64_t mask) { return mask & (mask - 1); }

}  // namespace byte_search

// The position of the first byte that is a or b at or after from, or npos.
inline std::size_t FindEitherByte(std::string_view text, std::size_t from, char a, char b) {
    using namespace byte_search;
    const std::size_t size = text.size();
    for (; from + kBlockSize <= size; from += kBlockSize)
        if (const auto hits = BlockMatches(text.data() + from, a, b); hits != 0) return from + FirstPlace(hits);
    for (; from < size; ++from)
        if (text[from] == a || text[from] == b) return from;
    return std::string_view::npos;
}

// The position of the first byte c in text at or after from, or npos.
inline std::size_t FindByte(std::string_view text, std::size_t from, char c) {
    return FindEitherByte(text, from, c, c);
}

}  // namespace qm
