#include "site/MenuPlace.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "model/Error.h"
#include "site/HtmlDocument.h"

namespace qm {

namespace {

constexpr std::string_view kPastedMenuComment = "Quillamere 1.0";
constexpr const char* kMenuBoxId = "mkvo_menu_zelvan_outer_div";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\f'; }

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return IsBlank(c) || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// A page in UTF-16 or UTF-32 (with or without a byte-order mark) holds NUL bytes
// between its ASCII characters, where no ASCII-compatible page has any.
bool IsWideEncoding(std::string_view page) {
    if (page.starts_with("\xFE\xFF") || page.starts_with("\xFF\xFE")) return true;
    return page.substr(0, 1024).find('\0') != std::string_view::npos;
}

std::size_t LineStart(std::string_view page, std::size_t at) {
    while (at > 0 && page[at - 1] != '\n' && page[at - 1] != '\r') --at;
    return at;
}

// Where the line that holds `at` ends, and where the next one starts.
std::pair<std::size_t, std::size_t> LineEndAfter(std::string_view page, std::size_t at) {
    while (at < page.size() && page[at] != '\n' && page[at] != '\r') ++at;
    if (at == page.size()) return {at, at};
    if (page[at] == '\r' && at + 1 < page.size() && page[at + 1] == '\n') return {at, at + 2};
    return {at, at + 1};
}

bool OnlyBlanks(std::string_view text) {
    for (const char c : text)
        if (!IsBlank(c)) return false;
    return true;
}

struct Comment {
    std::size_t begin;
    std::size_t end;
    int line;
};

Comment CommentAt(const GumboNode& node, std::string_view page) {
    const auto& text = node.v.text.original_text;
    const auto begin = static_cast<std::size_t>(text.data - page.data());
    return {begin, begin + text.length, LineOf(node)};
}

bool StandsAlone(std::string_view page, const Comment& comment) {
    return OnlyBlanks(page.substr(LineStart(page, comment.begin), comment.begin - LineStart(page, comment.begin))) &&
           OnlyBlanks(page.substr(comment.end, LineEndAfter(page, comment.end).first - comment.end));
}

struct FoundComments {
    std::optional<Comment> start, end, pasted;
};

enum class CommentRole { Start, End, Pasted };

// The page's markers in the order they stand in its bytes. The parser's tree may hold
// them in another order: a comment after </body> belongs to the html element, one after
// </html> to the document, while an element after them goes back into the body.
FoundComments FindComments(const HtmlDocument& html, std::string_view page, const std::string& name) {
    const auto quoted = [](std::string_view marker) { return "'" + std::string(marker) + "'"; };
    std::vector<std::pair<Comment, CommentRole>> marks;
    VisitNodes(html.Root(), [&](const GumboNode& node) {
        if (node.type != GUMBO_NODE_COMMENT) return true;
        const std::string text = "<!-- " + std::string(Trimmed(node.v.text.text)) + " -->";
        const auto comment = CommentAt(node, page);
        if (text == kMenuStartMarker || text == kMenuEndMarker) {
            const bool isStart = text == kMenuStartMarker;
            if (!StandsAlone(page, comment))
                throw Error(name, comment.line, "the marker " + quoted(isStart ? kMenuStartMarker : kMenuEndMarker) +
                                                    " is not on a line of its own");
            marks.emplace_back(comment, isStart ? CommentRole::Start : CommentRole::End);
        } else if (Trimmed(node.v.text.text) == kPastedMenuComment) {
            marks.emplace_back(comment, CommentRole::Pasted);
        }
        return true;
    });
    std::ranges::sort(marks, {}, [](const auto& mark) { return mark.first.begin; });
    FoundComments found;
    for (const auto& [comment, role] : marks) {
        if (role == CommentRole::Start) {
            if (found.start) throw Error(name, comment.line, "a second marker " + quoted(kMenuStartMarker));
            found.start = comment;
        } else if (role == CommentRole::End) {
            if (!found.start) throw Error(name, comment.line, "the marker " + quoted(kMenuEndMarker) +
                                                                  " has no " + quoted(kMenuStartMarker) + " before it");
            if (found.end) throw Error(name, comment.line, "a second marker " + quoted(kMenuEndMarker));
            found.end = comment;
        } else if (!found.pasted) {
            found.pasted = comment;
        }
    }
    if (found.start && !found.end)
        throw Error(name, found.start->line,
                    "the marker " + quoted(kMenuStartMarker) + " has no " + quoted(kMenuEndMarker) + " after it");
    return found;
}

// The end of the menu box of a pasted menu: just after the end tag of the first
// element with the box's id that follows the comment.
std::size_t PastedMenuEnd(const HtmlDocument& html, const Comment& comment, std::string_view page,
                          const std::string& name) {
    // The nearest in the page's bytes, which need not be the first in the tree.
    const GumboNode* box = nullptr;
    std::size_t boxAt = page.size();
    VisitNodes(html.Root(), [&](const GumboNode& node) {
        if (node.type != GUMBO_NODE_ELEMENT || !node.v.element.original_tag.data) return true;
        const auto at = static_cast<std::size_t>(node.v.element.original_tag.data - page.data());
        if (at > comment.begin && at < boxAt && AttributeOf(node, "id") == std::string_view(kMenuBoxId)) {
            box = &node;
            boxAt = at;
        }
        return true;
    });
    if (!box) throw Error(name, comment.line, "the menu pasted here has no menu box after it");
    const auto& endTag = box->v.element.original_end_tag;
    if (!endTag.data || endTag.length == 0)
        throw Error(name, LineOf(*box), "the menu box pasted here has no end tag");
    return static_cast<std::size_t>(endTag.data - page.data()) + endTag.length;
}

std::string_view LineEndOf(std::string_view page) {
    const auto newline = page.find('\n');
    if (newline == std::string_view::npos) return "\r\n";
    return newline > 0 && page[newline - 1] == '\r' ? std::string_view("\r\n") : std::string_view("\n");
}

}  // namespace

MenuPlace FindMenuPlace(std::string_view page, const std::string& name) {
    if (IsWideEncoding(page))
        throw Error(name, 0,
                    "the page is in UTF-16 (or UTF-32); the menu goes only into a page whose encoding keeps "
                    "ASCII as it is, such as UTF-8 or windows-1252");
    MenuPlace place;
    place.lineEnd = LineEndOf(page);
    // A page that does not name this program holds no place for its menu; most pages
    // of a large site are passed over without being parsed.
    if (page.find("Quillamere") == std::string_view::npos) return place;
    const HtmlDocument html(page, name);
    const auto found = FindComments(html, page, name);
    if (found.start) {
        place.kind = MenuPlaceKind::Markers;
        place.begin = LineEndAfter(page, found.start->end).second;
        place.end = LineStart(page, found.end->begin);
    } else if (found.pasted) {
        place.kind = MenuPlaceKind::PastedMenu;
        const auto lineStart = LineStart(page, found.pasted->begin);
        place.breakBefore = !OnlyBlanks(page.substr(lineStart, found.pasted->begin - lineStart));
        place.begin = place.breakBefore ? found.pasted->begin : lineStart;
        place.end = PastedMenuEnd(html, *found.pasted, page, name);
        place.breakAfter = !OnlyBlanks(page.substr(place.end, LineEndAfter(page, place.end).first - place.end));
    }
    return place;
}

std::string PageWithMenu(std::string_view page, const MenuPlace& place, std::string_view snippet) {
    if (place.kind == MenuPlaceKind::None) return std::string(page);
    std::string menu;
    const auto line = [&](std::string_view text) { (menu += text) += place.lineEnd; };
    if (place.kind == MenuPlaceKind::PastedMenu) {
        if (place.breakBefore) menu += place.lineEnd;
        line(kMenuStartMarker);
    }
    for (std::size_t at = 0; at < snippet.size();) {
        const auto end = snippet.find("\r\n", at);
        line(snippet.substr(at, end - at));
        at = end == std::string_view::npos ? snippet.size() : end + 2;
    }
    if (place.kind == MenuPlaceKind::PastedMenu) {
        menu += kMenuEndMarker;
        if (place.breakAfter) menu += place.lineEnd;
    }
    std::string out;
    out.reserve(page.size() - (place.end - place.begin) + menu.size());
    out.append(page.substr(0, place.begin)).append(menu).append(page.substr(place.end));
    return out;
}

}  // namespace qm
