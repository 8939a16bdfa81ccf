#include "model/NameFolding.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "model/Utf8.h"

namespace qm {

namespace {

struct FoldingRun {
    char32_t first, last;
    int stride, delta;
};
struct LongFolding {
    char32_t from;
    char32_t to[3];
};
struct CombiningRange {
    char32_t first, last;
    int ccc;
};

#include "model/NameFoldingTables.inc"

constexpr char32_t kHangulFirst = 0xAC00, kHangulCount = 11172;
constexpr char32_t kLeadFirst = 0x1100, kVowelFirst = 0x1161, kTrailFirst = 0x11A7;
constexpr char32_t kVowelCount = 21, kTrailCount = 28;
constexpr char32_t kNotUtf8 = 0x80000000;  // marks a byte that is no UTF-8, kept as it is

int CombiningClass(char32_t c) {
    const auto* end = std::end(kCombiningClasses);
    const auto* at = std::upper_bound(std::begin(kCombiningClasses), end, c,
                                      [](char32_t value, const CombiningRange& range) { return value < range.first; });
    if (at == std::begin(kCombiningClasses)) return 0;
    --at;
    return c <= at->last ? at->ccc : 0;
}

void Decompose(char32_t c, std::vector<char32_t>& out) {
    if (c >= kHangulFirst && c < kHangulFirst + kHangulCount) {
        const char32_t index = c - kHangulFirst;
        out.push_back(kLeadFirst + index / (kVowelCount * kTrailCount));
        out.push_back(kVowelFirst + index % (kVowelCount * kTrailCount) / kTrailCount);
        if (index % kTrailCount != 0) out.push_back(kTrailFirst + index % kTrailCount);
        return;
    }
    const std::uint64_t key = std::uint64_t{c} << 42;
    const auto* at = std::lower_bound(std::begin(kDecompositions), std::end(kDecompositions), key);
    if (at == std::end(kDecompositions) || (*at >> 42) != c) {
        out.push_back(c);
        return;
    }
    constexpr std::uint64_t kMask = (1u << 21) - 1;
    Decompose(static_cast<char32_t>(*at >> 21 & kMask), out);
    if (const auto second = static_cast<char32_t>(*at & kMask); second != 0) Decompose(second, out);
}

// Canonical decomposition with the marks of each run in canonical order.
std::vector<char32_t> Decomposed(const std::vector<char32_t>& text) {
    std::vector<char32_t> out;
    out.reserve(text.size());
    for (const char32_t c : text) {
        if (c & kNotUtf8)
            out.push_back(c);
        else
            Decompose(c, out);
    }
    // A stable sort by class within each run of marks (class not 0).
    for (std::size_t i = 0; i < out.size();) {
        if ((out[i] & kNotUtf8) || CombiningClass(out[i]) == 0) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < out.size() && !(out[end] & kNotUtf8) && CombiningClass(out[end]) != 0) ++end;
        std::stable_sort(out.begin() + static_cast<std::ptrdiff_t>(i), out.begin() + static_cast<std::ptrdiff_t>(end),
                         [](char32_t a, char32_t b) { return CombiningClass(a) < CombiningClass(b); });
        i = end;
    }
    return out;
}

std::vector<char32_t> CaseFolded(const std::vector<char32_t>& text) {
    std::vector<char32_t> out;
    out.reserve(text.size());
    for (const char32_t c : text) {
        const auto* longer = std::find_if(std::begin(kLongFoldings), std::end(kLongFoldings),
                                          [c](const LongFolding& folding) { return folding.from == c; });
        if (longer != std::end(kLongFoldings)) {
            for (const char32_t to : longer->to)
                if (to != 0) out.push_back(to);
            continue;
        }
        const auto* run = std::upper_bound(std::begin(kFoldingRuns), std::end(kFoldingRuns), c,
                                           [](char32_t value, const FoldingRun& r) { return value < r.first; });
        if (run != std::begin(kFoldingRuns) && c <= (--run)->last && (c - run->first) % run->stride == 0)
            out.push_back(static_cast<char32_t>(static_cast<int>(c) + run->delta));
        else
            out.push_back(c);
    }
    return out;
}

std::vector<char32_t> CodePoints(std::string_view text) {
    std::vector<char32_t> out;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const auto sequence = *p < 0x80 ? Utf8Sequence{*p, 1} : DecodeUtf8Sequence(p, end);
        out.push_back(sequence.length > 0 ? sequence.codePoint : kNotUtf8 | *p);
        p += std::max<std::size_t>(sequence.length, 1);
    }
    return out;
}

}  // namespace

std::string FoldedFileName(std::string_view name) {
    // Decomposed before folding as well as after: a mark that folds to a letter
    // (U+0345) must be folded where canonical order puts it.
    const auto folded = Decomposed(CaseFolded(Decomposed(CodePoints(name))));
    std::string out;
    out.reserve(name.size());
    for (const char32_t c : folded) {
        if (c & kNotUtf8)
            out += static_cast<char>(c & 0xFF);
        else
            AppendUtf8(out, c);
    }
    return out;
}

}  // namespace qm
