#include "model/PathReplacement.h"

#include "model/ByteSearch.h"
#include "model/LookValues.h"

namespace qm {

namespace {

char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

// No copy of either text: most links hold no root at all.
std::size_t FindIgnoringCase(std::string_view text, std::string_view needle, std::size_t from) {
    if (needle.empty() || text.size() < needle.size()) return std::string_view::npos;
    const char first = ToLowerAscii(needle.front());
    const char firstUpper = (first >= 'a' && first <= 'z') ? static_cast<char>(first - 'a' + 'A') : first;
    const auto last = text.size() - needle.size();
    for (auto at = FindEitherByte(text, from, first, firstUpper); at != std::string_view::npos && at <= last;
         at = FindEitherByte(text, at + 1, first, firstUpper)) {
        std::size_t k = 1;
        while (k < needle.size() && ToLowerAscii(text[at + k]) == ToLowerAscii(needle[k])) ++k;
        if (k == needle.size()) return at;
    }
    return std::string_view::npos;
}

std::string ReplaceIgnoringCase(std::string_view link, std::string_view from, std::string_view to) {
    std::string out;
    std::size_t start = 0;
    for (auto at = FindIgnoringCase(link, from, 0); at != std::string_view::npos;
         at = FindIgnoringCase(link, from, start)) {
        out.append(link.substr(start, at - start));
        out.append(to);
        start = at + from.size();
    }
    out.append(link.substr(start));
    return out;
}

PathReplacement PathReplacementOf(const TAppletData& look) {
    if (TrimBlanks(look.InternalUse_RootDir_Local).empty() || TrimBlanks(look.InternalUse_RootDir_Remote).empty())
        return {};
    const bool toLocal = look.InternalUse_RootDir_Local_Checked == "1";
    return toLocal ? PathReplacement{look.InternalUse_RootDir_Remote, look.InternalUse_RootDir_Local}
                   : PathReplacement{look.InternalUse_RootDir_Local, look.InternalUse_RootDir_Remote};
}

}  // namespace qm
