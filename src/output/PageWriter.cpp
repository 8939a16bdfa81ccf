#include "output/PageWriter.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "model/ByteSearch.h"
#include "model/LookValues.h"
#include "model/ProgressDisplay.h"
#include "model/SafeSave.h"
#include "model/TextFile.h"
#include "model/WholeNumber.h"

namespace qm {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// This product's addresses in the page's comments and on the movie object. The
// mark-of-the-web address is 23 characters long, hence "0023".
constexpr std::string_view kHomePage = "https://quillamere.app/";
constexpr std::string_view kProductPage = "https://quillamere.app/menu-builder/";
constexpr std::string_view kSupportPage = "https://quillamere.app/support/";
constexpr std::string_view kPlayerCabinet = "https://quillamere.app/player/swflash.cab";
constexpr std::string_view kPlayerDownload = "https://quillamere.app/player/";

constexpr bool IsAsciiAlphanumeric(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

[[gnu::always_inline]] inline char* Put(char* to, std::string_view text) {
    if (!text.empty()) std::memcpy(to, text.data(), text.size());  // an empty view may have no data
    return to + text.size();
}

// The page as it is made: appended to a block that is not zero-filled first and handed
// on whenever the next piece would not fit. A writer asks for room for the most a
// piece can take, writes through the pointer it gets and commits where it ended, so an
// item costs one check of room, not one per piece.
class PageBytes {
public:
    static constexpr std::size_t kPartSize = kTextPartSize;

    explicit PageBytes(const PageSink& sink) : buffer_(kPartSize), sink_(sink) {}
    char* Room(std::size_t bytes) {
        if (buffer_.Capacity() - buffer_.Size() < bytes) {
            HandOn();
            if (buffer_.Capacity() < bytes) buffer_.Grow(bytes);
        }
        return buffer_.Data() + buffer_.Size();
    }
    void Commit(const char* end) { buffer_.SetSize(static_cast<std::size_t>(end - buffer_.Data())); }
    void Line(std::string_view text) {
        Commit(Put(Put(Room(text.size() + kCrLf.size()), text), kCrLf));
    }
    // What is made so far goes to the sink.
    void HandOn() {
        if (buffer_.Size() == 0) return;
        sink_(buffer_.View());
        buffer_.SetSize(0);
    }

private:
    TextBuffer buffer_;
    const PageSink& sink_;
};

// Attribute values are written with the five markup characters as character
// references: a browser reads back exactly the stored text, and no stored text can
// leave its attribute. A link's bytes beyond ASCII are written "%XX" besides: the page
// declares no character set, and a designer's page may be in any, but a percent-encoded
// UTF-8 address means the same in every one of them. Captions are written with every
// byte but ASCII letters and digits encoded.
//
// The encoders go a block of bytes at a time (16 with SSE2, else 8): a block that
// needs nothing is copied whole, any other block byte by byte through a table of what
// each byte becomes. Links and captions are mostly plain letters.

// What one byte becomes: its bytes, and how many of them count.
struct ByteCode {
    char bytes[7];
    std::uint8_t length;
};
using CodeTable = std::array<ByteCode, 256>;
// A code is copied whole (eight bytes) and only its length counts, so whoever asks for
// room leaves this much beyond the most the text can take.
constexpr std::size_t kCodeSlack = sizeof(ByteCode);
// The most one byte takes in the page: "&quot;", "%XX".
constexpr std::size_t kAttributeGrowth = 6;
constexpr std::size_t kCaptionGrowth = 3;

constexpr ByteCode Code(std::string_view text) {
    ByteCode code{};
    for (std::size_t i = 0; i < text.size(); ++i) code.bytes[i] = text[i];
    code.length = static_cast<std::uint8_t>(text.size());
    return code;
}

constexpr ByteCode Plain(char c) {
    ByteCode code{};
    code.bytes[0] = c;
    code.length = 1;
    return code;
}

constexpr CodeTable kAttributeCodes = [] {
    CodeTable table{};
    for (int c = 0; c < 256; ++c) table[static_cast<std::size_t>(c)] = Plain(static_cast<char>(c));
    table['&'] = Code("&amp;");
    table['<'] = Code("&lt;");
    table['>'] = Code("&gt;");
    table['"'] = Code("&quot;");
    table['\''] = Code("&#39;");
    return table;
}();

constexpr ByteCode PercentEncoded(int c) {
    constexpr char kHex[] = "0123456789ABCDEF";
    const char escaped[3] = {'%', kHex[c >> 4], kHex[c & 0xF]};
    return Code(std::string_view(escaped, 3));
}

constexpr CodeTable kLinkCodes = [] {
    CodeTable table = kAttributeCodes;
    for (int c = 0x80; c < 256; ++c) table[static_cast<std::size_t>(c)] = PercentEncoded(c);
    return table;
}();

constexpr CodeTable kCaptionCodes = [] {
    CodeTable table{};
    for (int c = 0; c < 256; ++c) {
        table[static_cast<std::size_t>(c)] =
            IsAsciiAlphanumeric(static_cast<unsigned char>(c)) ? Plain(static_cast<char>(c)) : PercentEncoded(c);
    }
    table[' '] = Code("+");
    return table;
}();

// Reads the bytes of a text shorter than a block, in at most two overlapping moves of
// fixed size each side (nothing is read outside the text, nothing goes through memory);
// the other places of the word read as letters, which are plain in both encodings.
constexpr std::uint64_t kLetterWord = 0x6161616161616161;  // "aaaaaaaa"
std::uint64_t LoadWord(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}
std::uint64_t LoadShortWord(const char* p, std::size_t n) {  // 0 < n < 8
    if (n >= 4) {
        std::uint32_t first, last;
        std::memcpy(&first, p, 4);
        std::memcpy(&last, p + n - 4, 4);
        return first | std::uint64_t{last} << 32;
    }
    const auto byte = [p](std::size_t i) { return std::uint64_t{static_cast<unsigned char>(p[i])}; };
    return byte(0) | byte(n / 2) << 8 | byte(n - 1) << 16 | kLetterWord << 24;
}

#if defined(__SSE2__)
constexpr std::size_t kEncodeBlock = 16;
using Block = __m128i;
Block LoadBlock(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
Block LoadShortBlock(const char* p, std::size_t n) {  // 0 < n < 16
    if (n >= 8) return _mm_set_epi64x(static_cast<long long>(LoadWord(p + n - 8)), static_cast<long long>(LoadWord(p)));
    return _mm_set_epi64x(static_cast<long long>(kLetterWord), static_cast<long long>(LoadShortWord(p, n)));
}
bool IsPlainAttributeBlock(Block block) {
    const auto is = [block](char c) { return _mm_cmpeq_epi8(block, _mm_set1_epi8(c)); };
    const __m128i hits = _mm_or_si128(_mm_or_si128(is('&'), is('<')), _mm_or_si128(_mm_or_si128(is('>'), is('"')), is('\'')));
    return _mm_movemask_epi8(hits) == 0;
}
bool IsPlainLinkBlock(Block block) { return _mm_movemask_epi8(block) == 0 && IsPlainAttributeBlock(block); }
bool IsPlainCaptionBlock(Block block) {
    // byte - first, wrapping, is at most last - first only inside the range.
    const auto inRange = [block](char first, char last) {
        const __m128i offset = _mm_sub_epi8(block, _mm_set1_epi8(first));
        return _mm_cmpeq_epi8(_mm_subs_epu8(offset, _mm_set1_epi8(static_cast<char>(last - first))),
                              _mm_setzero_si128());
    };
    return _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(inRange('A', 'Z'), inRange('a', 'z')), inRange('0', '9'))) ==
           0xFFFF;
}
#else
constexpr std::size_t kEncodeBlock = 8;
using Block = std::uint64_t;
Block LoadBlock(const char* p) { return LoadWord(p); }
Block LoadShortBlock(const char* p, std::size_t n) { return LoadShortWord(p, n); }  // 0 < n < 8
bool IsPlainAttributeBlock(Block word) {
    using byte_search::ExactMatches;
    using byte_search::kOnes;
    return (ExactMatches(word, kOnes * '&') | ExactMatches(word, kOnes * '<') | ExactMatches(word, kOnes * '>') |
            ExactMatches(word, kOnes * '"') | ExactMatches(word, kOnes * '\'')) == 0;
}
bool IsPlainLinkBlock(Block word) { return (word & byte_search::kHighs) == 0 && IsPlainAttributeBlock(word); }
bool IsPlainCaptionBlock(Block word) {
    using byte_search::kHighs;
    using byte_search::kOnes;
    // The ranges are judged on the low seven bits, where adding at most 0x80 cannot
    // carry into the next byte; a byte with its high bit set is never a letter or digit.
    const std::uint64_t low = word & ~kHighs;
    const auto inRange = [low](unsigned char first, unsigned char last) {
        return (low + kOnes * (0x80 - first)) & ~(low + kOnes * (0x7F - last));
    };
    return ((~(inRange('A', 'Z') | inRange('a', 'z') | inRange('0', '9')) | word) & kHighs) == 0;
}
#endif

// Copies fewer than 16 bytes with a few moves of fixed size, which a compiler inlines
// (a call to memcpy costs more than such a copy).
[[gnu::always_inline]] inline char* CopyShort(char* to, const char* from, std::size_t n) {
    if (n >= 8) {
        std::memcpy(to, from, 8);
        std::memcpy(to + n - 8, from + n - 8, 8);
    } else if (n >= 4) {
        std::memcpy(to, from, 4);
        std::memcpy(to + n - 4, from + n - 4, 4);
    } else {
        for (std::size_t i = 0; i < n; ++i) to[i] = from[i];
    }
    return to + n;
}

// Writes text encoded; room for growth bytes a byte and kCodeSlack more.
template <bool (*IsPlainBlock)(Block)>
char* Encode(char* to, std::string_view text, const CodeTable& codes) {
    const char* p = text.data();
    const char* const end = p + text.size();
    const auto putByteByByte = [&to, &codes](const char* from, const char* until) {
        for (; from < until; ++from) {
            const auto& code = codes[static_cast<unsigned char>(*from)];
            std::memcpy(to, code.bytes, sizeof code.bytes);
            to += code.length;
        }
    };
    for (; end - p >= static_cast<std::ptrdiff_t>(kEncodeBlock); p += kEncodeBlock) {
        if (IsPlainBlock(LoadBlock(p))) {
            std::memcpy(to, p, kEncodeBlock);
            to += kEncodeBlock;
        } else {
            putByteByByte(p, p + kEncodeBlock);
        }
    }
    const auto rest = static_cast<std::size_t>(end - p);
    if (rest == 0) return to;
    if (text.size() >= kEncodeBlock) {
        // The last whole block of the text, which ends with the rest: when it is plain,
        // the bytes before the rest were written as themselves, and writing them again
        // with the rest in one move changes nothing.
        if (IsPlainBlock(LoadBlock(end - kEncodeBlock))) {
            std::memcpy(to + rest - kEncodeBlock, end - kEncodeBlock, kEncodeBlock);
            return to + rest;
        }
    } else if (IsPlainBlock(LoadShortBlock(p, rest))) {
        return CopyShort(to, p, rest);
    }
    putByteByByte(p, end);
    return to;
}

char* WriteAttribute(char* to, std::string_view value) {
    return Encode<IsPlainAttributeBlock>(to, value, kAttributeCodes);
}

char* WriteLink(char* to, std::string_view link) { return Encode<IsPlainLinkBlock>(to, link, kLinkCodes); }

char* WriteEncodedCaption(char* to, std::string_view caption) {
    return Encode<IsPlainCaptionBlock>(to, caption, kCaptionCodes);
}

std::string Attribute(std::string_view value) {
    std::string out(value.size() * kAttributeGrowth + kCodeSlack, '\0');
    out.resize(static_cast<std::size_t>(WriteAttribute(out.data(), value) - out.data()));
    return out;
}

// The box size inside the script line. A whole number stands as it is; anything else
// becomes a string literal with the characters that could end the literal or the
// script escaped, so an odd stored value cannot run as code.
std::string ScriptValue(std::string_view value) {
    if (ParseWholeNumber(value)) return std::string(value);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (const char c : value) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\' || c == '<' || c == '>' || c == '&' || c == '\'' || u < 0x20) {
            out += "\\u00";
            out += kHex[u >> 4];
            out += kHex[u & 0xF];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// How the links are written: as stored, or converted on the way (the path replacement,
// the folder a staged page's relative links are resolved against).
struct LinkWriting {
    PathReplacement replacement;
    std::string_view base;
    bool AsStored() const { return replacement.None() && base.empty(); }
    std::string_view Convert(std::string_view link, std::string& scratch) const {
        link = replacement.Apply(link, scratch);
        if (!base.empty()) {
            std::string resolved = ResolveAgainstBase(link, base);
            if (resolved != link) {
                scratch = std::move(resolved);
                link = scratch;
            }
        }
        return link;
    }
};

// Written from the depths alone (0 main, 1 sub): a sub item that follows a main item
// opens a sub-item block, the last sub item of a main item closes it, and the last
// item closes the hidden link block.
void WriteHiddenLinkBlock(PageBytes& out, const TkvxAppletAgent& agent, const LinkWriting& links) {
    static constexpr std::string_view kOpenBlock = "<div id='buAj' style='position:absolute;visibility:hidden;'>\r\n";
    static constexpr std::string_view kOpenSubBlock = "<div class='mkvosub'>\r\n";
    static constexpr std::string_view kClose = "</div>\r\n";
    static constexpr std::string_view kLinkStart = "<div><a href='";
    static constexpr std::string_view kTargetStart = "' target='";
    static constexpr std::string_view kCaptionStart = "'>";
    static constexpr std::string_view kItemEnd = "</a></div>\r\n";
    constexpr std::size_t kMostFixed = kOpenBlock.size() + kOpenSubBlock.size() + kLinkStart.size() +
                                       kTargetStart.size() + kCaptionStart.size() + kItemEnd.size() + 2 * kClose.size();
    const auto& depths = agent.Depths();
    const std::size_t n = depths.size();
    std::string converted;
    for (std::size_t i = 0; i < n; ++i) {
        const bool sub = depths[i] != 0;
        const bool last = i + 1 == n;
        const auto fields = agent.ItemFields(static_cast<int>(i), ItemField::Target);
        auto link = fields[FieldIndex(ItemField::Link)];
        if (!links.AsStored()) link = links.Convert(link, converted);
        const auto target = fields[FieldIndex(ItemField::Target)];
        const auto caption = fields[FieldIndex(ItemField::Text)];
        char* to = out.Room(kMostFixed + (link.size() + target.size()) * kAttributeGrowth +
                            caption.size() * kCaptionGrowth + kCodeSlack);
        if (i == 0) to = Put(to, kOpenBlock);
        if (sub && depths[i - 1] == 0) to = Put(to, kOpenSubBlock);
        to = WriteLink(Put(to, kLinkStart), link);
        to = WriteAttribute(Put(to, kTargetStart), target);
        to = WriteEncodedCaption(Put(to, kCaptionStart), caption);
        to = Put(to, kItemEnd);
        if (sub && (last || depths[i + 1] == 0)) to = Put(to, kClose);
        if (last) to = Put(to, kClose);
        out.Commit(to);
    }
}

// The menu itself, from the "Quillamere 1.0" line to the end of the menu box: what the
// designer copies into a page. The movie and the script are found at toSiteRoot.
void WriteMenu(const TkvxAppletAgent& agent, const LinkWriting& links, std::string_view toSiteRoot, PageBytes& out) {
    const auto& look = agent.AppletData();
    const auto width = Attribute(look.flMenuMaxWidth);
    const auto height = Attribute(look.flMenuMaxHeight);
    const auto movie = Attribute(std::string(toSiteRoot) + "zelvanbar.swf");

    out.Line("<!-- Quillamere 1.0 -->");
    out.Line("<!-- Quillamere 1.0, Copyright (C) 2026 Tarnwell. All rights reserved. -->");
    out.Line("<!-- Product page: " + std::string(kProductPage) + " -->");
    out.Line("<!-- Support: " + std::string(kSupportPage) + " -->");

    WriteHiddenLinkBlock(out, agent, links);

    out.Line("<div id=\"mkvo_menu_zelvan_outer_div\"  style=\"width:" + width + "px;height:" + height + "px;\">");
    out.Line("<div id=\"bjAj\" style=\"position:relative;z-index:" + Attribute(look.mov_z_index) + "\">");
    out.Line("<object classid=\"clsid:d27cdb6e-ae6d-11cf-96b8-444553540000\" codebase=\"" +
             std::string(kPlayerCabinet) + "#version=7,0,0,0\" width=\"" + width + "\" height=\"" + height +
             "\" id=\"bAAd\" align=\"middle\">");
    out.Line("<param name=\"allowScriptAccess\" value=\"sameDomain\" />");
    out.Line("<param name=\"allowFullScreen\" value=\"false\" />");
    out.Line("<param name=\"movie\" value=\"" + movie + "\" />");
    out.Line("<param name=\"quality\" value=\"high\" />");
    out.Line("<param name=\"bgcolor\" value=\"#FFFFFF\" />");
    out.Line("<embed src=\"" + movie + "\" quality=\"high\" bgcolor=\"#cccccc\" width=\"" + width + "\" height=\"" +
             height +
             "\" name=\"bAAd\" align=\"middle\" allowScriptAccess=\"sameDomain\" allowFullScreen=\"false\" "
             "type=\"application/x-shockwave-flash\" pluginspage=\"" +
             std::string(kPlayerDownload) + "\" />");
    out.Line("<param name=\"FlashVars\" value=\"flashparams=" + Attribute(MenuParameterString(look)) + "\" />");
    out.Line("</object>");
    out.Line("<noscript><p>JavaScript is not supported!</p></noscript>");
    out.Line("<script>window.BeAj=" + ScriptValue(look.flMenuMaxWidth) + ";window.BfAj=" +
             ScriptValue(look.flMenuMaxHeight) + ";</script>");
    out.Line("<script src='" + Attribute(std::string(toSiteRoot) + "swfhelper.js") + "'></script>");
    out.Line("</div>");
    out.Line("</div>");
}

// The whole page.
void WritePage(const TkvxAppletAgent& agent, const LinkWriting& links, PageBytes& out) {
    out.Line("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
             "\"http://www.w3.org/TR/html4/loose.dtd\">");
    out.Line("<!-- saved from url=(0023)" + std::string(kHomePage) + " -->");
    for (const auto line : {"<html lang=\"en\">", "<head>", "<title>Preview</title>", "", "</head>", "", "<body>", "",
                            "<!-- Please insert the following codes into body section of the html file where you "
                            "want to include the menu! -->",
                            "<!-- COPY START FROM HERE -->", ""})
        out.Line(line);
    WriteMenu(agent, links, {}, out);
    for (const auto line : {"", "<!-- END OF COPYING -->", "", "</body>", "</html>"}) out.Line(line);
    out.HandOn();
}


// Room for a page of the agent's items, each of an ordinary size.
std::string PageRoom(const TkvxAppletAgent& agent) {
    std::string page;
    page.reserve(4096 + static_cast<std::size_t>(agent.ItemCount()) * 192);
    return page;
}

}  // namespace

std::string EncodeCaption(std::string_view caption) {
    std::string out(caption.size() * kCaptionGrowth + kCodeSlack, '\0');
    out.resize(static_cast<std::size_t>(WriteEncodedCaption(out.data(), caption) - out.data()));
    return out;
}

std::string MenuParameterString(const TAppletData& data) {
    std::string out;
    for (std::size_t i = 0; i < TAppletData::kMenuParameterCount; ++i) {
        out += data.Field(i);
        out += "#$@";
    }
    return out;
}

bool IsRelativeLink(std::string_view link) {
    if (link.empty() || link[0] == '/' || link[0] == '\\' || link[0] == '?' || link[0] == '#') return false;
    const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (!isLetter(link[0])) return true;
    for (const char c : link.substr(1)) {
        if (c == ':') return false;  // a scheme ends here
        if (!(isLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.')) return true;
    }
    return true;
}

std::string ResolveAgainstBase(std::string_view link, std::string_view base) {
    // A browser ignores the blanks around an address.
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; };
    std::size_t start = 0;
    while (start < link.size() && isBlank(link[start])) ++start;
    const std::string_view address = link.substr(start);
    if (!IsRelativeLink(address)) return std::string(link);
    std::string resolved(base);
    resolved += address;
    return resolved;
}

void WriteHtml(const TkvxAppletAgent& agent, const PageSink& sink, std::string_view linkBase) {
    ProgressScope scope(agent.Progress(), "Making HTML Codes ... ...");
    PageBytes out(sink);
    WritePage(agent, LinkWriting{.replacement = PathReplacementOf(agent.AppletData()), .base = linkBase}, out);
}

std::string MakeHtmlText(const TkvxAppletAgent& agent, std::string_view linkBase) {
    std::string page = PageRoom(agent);
    WriteHtml(agent, [&page](std::string_view part) { page.append(part); }, linkBase);
    return page;
}

std::string MakePreviewHtmlText(const TkvxAppletAgent& agent) {
    std::string page = PageRoom(agent);
    const PageSink sink = [&page](std::string_view part) { page.append(part); };
    PageBytes out(sink);
    WritePage(agent, LinkWriting{.replacement = PathReplacementOf(agent.AppletData()), .base = {}}, out);
    return page;
}

std::string MakeMenuSnippet(const TkvxAppletAgent& agent, std::string_view toSiteRoot) {
    std::string snippet;
    const PageSink sink = [&snippet](std::string_view part) { snippet.append(part); };
    PageBytes out(sink);
    WriteMenu(agent, LinkWriting{.replacement = PathReplacementOf(agent.AppletData()), .base = toSiteRoot}, toSiteRoot,
              out);
    out.HandOn();
    return snippet;
}

void MakeHtmlCodes(const TkvxAppletAgent& agent, const std::filesystem::path& pagePath, std::string_view linkBase) {
    SafeSave save;
    const auto file = save.Add(pagePath, LinkAtTarget::FollowOwnLink);
    save.Begin(file);
    WriteHtml(agent, [&](std::string_view part) { save.Append(file, part); }, linkBase);
    save.End(file);
    save.Commit();
}

}  // namespace qm
