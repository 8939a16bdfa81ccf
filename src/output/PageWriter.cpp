#include "PageWriter.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "ByteSearch.h"
#include "LookValues.h"
#include "ProgressDisplay.h"
#include "SafeSave.h"
#include "TextFile.h"
#include "WholeNumber.h"

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

char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsAsciiAlphanumeric(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

char* Put(char* to, std::string_view text) {
    if (!text.empty()) std::memcpy(to, text.data(), text.size());  // an empty view may have no data
    return to + text.size();
}

// The page as it is made: appended to one block that is not zero-filled first. A writer
// asks for room for the most a piece can take, writes through the pointer it gets and
// commits where it ended, so an item costs one check of room, not one per piece.
class PageBytes {
public:
    explicit PageBytes(std::size_t expected) : buffer_(expected) {}
    char* Room(std::size_t bytes) {
        if (buffer_.Capacity() - buffer_.Size() < bytes)
            buffer_.Grow(std::max(buffer_.Capacity() * 2, buffer_.Size() + bytes));
        return buffer_.Data() + buffer_.Size();
    }
    void Commit(const char* end) { buffer_.SetSize(static_cast<std::size_t>(end - buffer_.Data())); }
    void Line(std::string_view text) {
        Commit(Put(Put(Room(text.size() + kCrLf.size()), text), kCrLf));
    }
    std::string_view View() const { return buffer_.View(); }

private:
    TextBuffer buffer_;
};

// Attribute values are written with the five markup characters as character
// references: a browser reads back exactly the stored text, and no stored text can
// leave its attribute.
//
// Both encoders look at eight bytes at a time and copy runs that need nothing in one
// piece: links and captions are mostly plain letters.
using byte_search::ExactMatches;
using byte_search::kHighs;
using byte_search::kOnes;

constexpr bool kLittleEndian = std::endian::native == std::endian::little;
// The most one byte of a value takes in the page: "&quot;", "%XX".
constexpr std::size_t kAttributeGrowth = 6;
constexpr std::size_t kCaptionGrowth = 3;

// The position of the first markup character in value at or after from, or its size.
std::size_t FindMarkup(std::string_view value, std::size_t from) {
    if constexpr (kLittleEndian) {
        for (; from + 8 <= value.size(); from += 8) {
            std::uint64_t word;
            std::memcpy(&word, value.data() + from, sizeof word);
            const std::uint64_t hit = ExactMatches(word, kOnes * '&') | ExactMatches(word, kOnes * '<') |
                                      ExactMatches(word, kOnes * '>') | ExactMatches(word, kOnes * '"') |
                                      ExactMatches(word, kOnes * '\'');
            if (hit != 0) return from + static_cast<std::size_t>(std::countr_zero(hit) / 8);
        }
    }
    for (; from < value.size(); ++from) {
        const char c = value[from];
        if (c == '&' || c == '<' || c == '>' || c == '"' || c == '\'') return from;
    }
    return value.size();
}

// Writes value with its markup characters as references; room for kAttributeGrowth
// bytes a byte.
char* WriteAttribute(char* to, std::string_view value) {
    for (std::size_t run = 0; run < value.size();) {
        const auto at = FindMarkup(value, run);
        to = Put(to, value.substr(run, at - run));
        if (at == value.size()) break;
        switch (value[at]) {
        case '&': to = Put(to, "&amp;"); break;
        case '<': to = Put(to, "&lt;"); break;
        case '>': to = Put(to, "&gt;"); break;
        case '"': to = Put(to, "&quot;"); break;
        default: to = Put(to, "&#39;"); break;
        }
        run = at + 1;
    }
    return to;
}

std::string Attribute(std::string_view value) {
    std::string out(value.size() * kAttributeGrowth, '\0');
    out.resize(static_cast<std::size_t>(WriteAttribute(out.data(), value) - out.data()));
    return out;
}

// A high bit in every byte of word that is not an ASCII letter or digit. The ranges are
// judged on the low seven bits, where adding at most 0x80 to a byte cannot carry into
// the next one; a byte with its high bit set is never a letter or digit.
std::uint64_t NonAlphanumericBytes(std::uint64_t word) {
    const std::uint64_t low = word & ~kHighs;
    const auto inRange = [low](unsigned char first, unsigned char last) {
        const std::uint64_t atLeastFirst = low + kOnes * (0x80 - first);
        const std::uint64_t aboveLast = low + kOnes * (0x7F - last);
        return atLeastFirst & ~aboveLast;
    };
    return (~(inRange('A', 'Z') | inRange('a', 'z') | inRange('0', '9')) | word) & kHighs;
}

// The position of the first byte of caption at or after from that is not an ASCII
// letter or digit, or its size.
std::size_t FindNonAlphanumeric(std::string_view caption, std::size_t from) {
    if constexpr (kLittleEndian) {
        for (; from + 8 <= caption.size(); from += 8) {
            std::uint64_t word;
            std::memcpy(&word, caption.data() + from, sizeof word);
            if (const std::uint64_t other = NonAlphanumericBytes(word); other != 0)
                return from + static_cast<std::size_t>(std::countr_zero(other) / 8);
        }
    }
    for (; from < caption.size(); ++from)
        if (!IsAsciiAlphanumeric(static_cast<unsigned char>(caption[from]))) return from;
    return caption.size();
}

// Writes the caption encoded; room for kCaptionGrowth bytes a byte.
char* WriteEncodedCaption(char* to, std::string_view caption) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (std::size_t run = 0; run < caption.size();) {
        const auto at = FindNonAlphanumeric(caption, run);
        to = Put(to, caption.substr(run, at - run));
        if (at == caption.size()) break;
        const auto u = static_cast<unsigned char>(caption[at]);
        if (u == ' ') {
            *to++ = '+';
        } else {
            *to++ = '%';
            *to++ = kHex[u >> 4];
            *to++ = kHex[u & 0xF];
        }
        run = at + 1;
    }
    return to;
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

// The position of the first occurrence of needle in text at or after from, letter case
// ignored (ASCII), or npos. No copy of either: most links hold no root at all.
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

// Links are converted where they are; only a link that holds the root is rewritten.
void ApplyPathReplacement(TkvxAppletAgent& agent) {
    const auto& look = agent.AppletData();
    if (TrimBlanks(look.InternalUse_RootDir_Local).empty() || TrimBlanks(look.InternalUse_RootDir_Remote).empty()) return;
    const bool toLocal = look.InternalUse_RootDir_Local_Checked == "1";
    const std::string_view from = toLocal ? look.InternalUse_RootDir_Remote : look.InternalUse_RootDir_Local;
    const std::string_view to = toLocal ? look.InternalUse_RootDir_Local : look.InternalUse_RootDir_Remote;
    for (int i = 0; i < agent.ItemCount(); ++i) {
        const auto link = agent.GetItemField(i, ItemField::Link);
        if (FindIgnoringCase(link, from, 0) != std::string_view::npos)
            agent.SetItemField(i, ItemField::Link, ReplaceIgnoringCase(link, from, to));
    }
}

// Written from the depths alone (0 main, 1 sub): a sub item that follows a main item
// opens a sub-item block, the last sub item of a main item closes it, and the last
// item closes the hidden link block.
void WriteHiddenLinkBlock(PageBytes& out, const TkvxAppletAgent& agent) {
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
    for (std::size_t i = 0; i < n; ++i) {
        const bool sub = depths[i] != 0;
        const bool last = i + 1 == n;
        const auto fields = agent.ItemFields(static_cast<int>(i), ItemField::Target);
        const auto link = fields[FieldIndex(ItemField::Link)];
        const auto target = fields[FieldIndex(ItemField::Target)];
        const auto caption = fields[FieldIndex(ItemField::Text)];
        char* to = out.Room(kMostFixed + (link.size() + target.size()) * kAttributeGrowth +
                            caption.size() * kCaptionGrowth);
        if (i == 0) to = Put(to, kOpenBlock);
        if (sub && depths[i - 1] == 0) to = Put(to, kOpenSubBlock);
        to = WriteAttribute(Put(to, kLinkStart), link);
        to = WriteAttribute(Put(to, kTargetStart), target);
        to = WriteEncodedCaption(Put(to, kCaptionStart), caption);
        to = Put(to, kItemEnd);
        if (sub && (last || depths[i + 1] == 0)) to = Put(to, kClose);
        if (last) to = Put(to, kClose);
        out.Commit(to);
    }
}

// The whole page.
PageBytes MakePage(TkvxAppletAgent& agent) {
    ProgressScope scope(agent.Progress(), "Making HTML Codes ... ...");
    agent.RefreshLevelsAndParents();
    ApplyPathReplacement(agent);

    const auto& look = agent.AppletData();
    const auto width = Attribute(look.flMenuMaxWidth);
    const auto height = Attribute(look.flMenuMaxHeight);

    // Room for a page of ordinary items without a second pass over them; pages never
    // written cost no memory.
    PageBytes out(4096 + static_cast<std::size_t>(agent.ItemCount()) * 192);
    out.Line("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
             "\"http://www.w3.org/TR/html4/loose.dtd\">");
    out.Line("<!-- saved from url=(0023)" + std::string(kHomePage) + " -->");
    for (const auto line : {"<html lang=\"en\">", "<head>", "<title>Preview</title>", "", "</head>", "", "<body>", "",
                            "<!-- Please insert the following codes into body section of the html file where you "
                            "want to include the menu! -->",
                            "<!-- COPY START FROM HERE -->", "", "<!-- Quillamere 1.0 -->"})
        out.Line(line);
    out.Line("<!-- Quillamere 1.0, Copyright (C) 2026 Tarnwell. All rights reserved. -->");
    out.Line("<!-- Product page: " + std::string(kProductPage) + " -->");
    out.Line("<!-- Support: " + std::string(kSupportPage) + " -->");

    WriteHiddenLinkBlock(out, agent);

    out.Line("<div id=\"mkvo_menu_zelvan_outer_div\"  style=\"width:" + width + "px;height:" + height + "px;\">");
    out.Line("<div id=\"bjAj\" style=\"position:relative;z-index:" + Attribute(look.mov_z_index) + "\">");
    out.Line("<object classid=\"clsid:d27cdb6e-ae6d-11cf-96b8-444553540000\" codebase=\"" +
             std::string(kPlayerCabinet) + "#version=7,0,0,0\" width=\"" + width + "\" height=\"" + height +
             "\" id=\"bAAd\" align=\"middle\">");
    out.Line("<param name=\"allowScriptAccess\" value=\"sameDomain\" />");
    out.Line("<param name=\"allowFullScreen\" value=\"false\" />");
    out.Line("<param name=\"movie\" value=\"zelvanbar.swf\" />");
    out.Line("<param name=\"quality\" value=\"high\" />");
    out.Line("<param name=\"bgcolor\" value=\"#FFFFFF\" />");
    out.Line("<embed src=\"zelvanbar.swf\" quality=\"high\" bgcolor=\"#cccccc\" width=\"" + width + "\" height=\"" +
             height +
             "\" name=\"bAAd\" align=\"middle\" allowScriptAccess=\"sameDomain\" allowFullScreen=\"false\" "
             "type=\"application/x-shockwave-flash\" pluginspage=\"" +
             std::string(kPlayerDownload) + "\" />");
    out.Line("<param name=\"FlashVars\" value=\"flashparams=" + Attribute(MenuParameterString(look)) + "\" />");
    out.Line("</object>");
    out.Line("<noscript><p>JavaScript is not supported!</p></noscript>");
    out.Line("<script>window.BeAj=" + ScriptValue(look.flMenuMaxWidth) + ";window.BfAj=" +
             ScriptValue(look.flMenuMaxHeight) + ";</script>");
    for (const auto line : {"<script src='swfhelper.js'></script>", "</div>", "</div>", "", "<!-- END OF COPYING -->",
                            "", "</body>", "</html>"})
        out.Line(line);
    return out;
}

}  // namespace

std::string EncodeCaption(std::string_view caption) {
    std::string out(caption.size() * kCaptionGrowth, '\0');
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

std::string MakeHtmlText(TkvxAppletAgent& agent) {
    return std::string(MakePage(agent).View());
}

void MakeHtmlCodes(TkvxAppletAgent& agent, const std::filesystem::path& pagePath) {
    SaveFileSafely(pagePath, MakePage(agent).View());
}

}  // namespace qm
