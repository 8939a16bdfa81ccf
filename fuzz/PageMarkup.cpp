#include "PageMarkup.h"

#include <algorithm>
#include <array>

namespace qm::fuzz {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }
bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithIgnoringCase(std::string_view text, std::size_t at, std::string_view prefix) {
    if (text.size() - std::min(at, text.size()) < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[at + i]) != prefix[i]) return false;
    return true;
}

// Elements whose content is text up to their own end tag.
constexpr std::array<std::string_view, 9> kRawText = {"script", "style",    "xmp",   "iframe",  "noembed",
                                                      "noframes", "noscript", "title", "textarea"};

// Where the content of a raw-text element ends: at "</name" followed by a blank, "/"
// or ">".
std::size_t EndOfRawText(std::string_view page, std::size_t from, const std::string& name) {
    for (auto at = page.find("</", from); at != std::string_view::npos; at = page.find("</", at + 2)) {
        const auto after = at + 2 + name.size();
        if (StartsWithIgnoringCase(page, at + 2, name) &&
            (after >= page.size() || IsSpace(page[after]) || page[after] == '/' || page[after] == '>'))
            return at;
    }
    return page.size();
}

}  // namespace

std::vector<std::string> PageMarkup(std::string_view page) {
    std::vector<std::string> markup;
    const auto n = page.size();
    const auto at = [&](std::size_t k) { return k < n ? page[k] : '\0'; };
    const auto upTo = [&](std::string_view end, std::size_t from) {
        const auto found = page.find(end, from);
        return found == std::string_view::npos ? n : found + end.size();
    };
    std::size_t i = 0;
    while (i < n) {
        if (page[i] != '<') {
            ++i;
            continue;
        }
        if (at(i + 1) == '!') {
            if (page.substr(i + 2, 2) == "--") {
                std::size_t start = i + 4;
                if (at(start) == '>') {
                    i = start + 1;
                } else if (at(start) == '-' && at(start + 1) == '>') {
                    i = start + 2;
                } else {
                    i = std::min(upTo("-->", start), upTo("--!>", start));
                }
                markup.emplace_back("<!---->");
            } else if (StartsWithIgnoringCase(page, i + 2, "doctype")) {
                i = upTo(">", i + 2);
                markup.emplace_back("<!DOCTYPE>");
            } else {
                i = upTo(">", i + 2);
                markup.emplace_back("<!---->");
            }
            continue;
        }
        if (at(i + 1) == '?') {
            i = upTo(">", i + 1);
            markup.emplace_back("<!---->");
            continue;
        }
        bool endTag = false;
        std::size_t k = i + 1;
        if (at(k) == '/') {
            endTag = true;
            ++k;
            if (at(k) == '>') {  // "</>" is dropped
                i = k + 1;
                continue;
            }
            if (k >= n) break;
            if (!IsAlpha(at(k))) {
                i = upTo(">", k);
                markup.emplace_back("<!---->");
                continue;
            }
        } else if (!IsAlpha(at(k))) {
            ++i;  // a "<" in text
            continue;
        }
        std::string name;
        while (k < n && !IsSpace(page[k]) && page[k] != '/' && page[k] != '>') name += Lower(page[k++]);
        std::string token = (endTag ? "</" : "<") + name;
        bool closed = false;
        while (k < n) {
            const char c = page[k];
            if (IsSpace(c)) {
                ++k;
            } else if (c == '>') {
                ++k;
                closed = true;
                break;
            } else if (c == '/') {
                ++k;
                if (at(k) == '>') {
                    token += " /";
                    ++k;
                    closed = true;
                    break;
                }
            } else {
                std::string attribute(1, Lower(c));  // may begin with "="
                ++k;
                while (k < n && !IsSpace(page[k]) && page[k] != '/' && page[k] != '>' && page[k] != '=')
                    attribute += Lower(page[k++]);
                while (k < n && IsSpace(page[k])) ++k;
                if (at(k) == '=') {
                    ++k;
                    while (k < n && IsSpace(page[k])) ++k;
                    if (at(k) == '"' || at(k) == '\'') {
                        const auto close = page.find(page[k], k + 1);
                        k = close == std::string_view::npos ? n : close + 1;
                    } else {
                        while (k < n && !IsSpace(page[k]) && page[k] != '>') ++k;
                    }
                }
                token += " " + attribute;
            }
        }
        if (!closed) break;  // a tag cut off by the end of the page is no tag
        markup.push_back(token + ">");
        i = k;
        if (!endTag && std::find(kRawText.begin(), kRawText.end(), name) != kRawText.end()) {
            const auto end = EndOfRawText(page, i, name);
            // A script holding "<!--" switches the tokenizer into states this reading
            // does not follow; the page never writes one.
            if (name == "script" && page.substr(i, end - i).find("<!--") != std::string_view::npos)
                markup.emplace_back("<!-- inside a script -->");
            i = end;
        }
    }
    return markup;
}

}  // namespace qm::fuzz
