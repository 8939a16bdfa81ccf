#pragma once
// A web page read with an HTML5 parser (gumbo), the way a browser reads it: comments
// inside scripts are no comments, a missing end tag is closed where a browser closes
// it. Only the site module sees the parser's types.
//
// The bytes are read as they are: what is not UTF-8 reads as U+FFFD but keeps its
// place, so the offsets of comments and tags are offsets into the page's own bytes
// whatever its (ASCII-compatible) encoding.

#include <gumbo.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

class HtmlDocument {
public:
    // Parses bytes, which must outlive the document. A parser that runs out of memory
    // throws qm::Error naming the file.
    HtmlDocument(std::string_view bytes, const std::string& fileName);
    ~HtmlDocument();
    HtmlDocument(const HtmlDocument&) = delete;
    HtmlDocument& operator=(const HtmlDocument&) = delete;

    const GumboNode* Root() const { return output_->document; }
    std::string_view Bytes() const { return bytes_; }

private:
    std::string_view bytes_;
    GumboOutput* output_;
};

// Calls visit for node and every node below it in document order (no recursion: a
// page nested ten thousand levels deep costs no stack). visit returns false to skip
// what lies below the node it was given.
void VisitNodes(const GumboNode* node, const std::function<bool(const GumboNode&)>& visit);

// The first element below node (node itself included) with the given tag, or nullptr.
const GumboNode* FindElement(const GumboNode* node, GumboTag tag);

bool IsElement(const GumboNode& node, GumboTag tag);
// An attribute's value (character references decoded), or nothing.
std::optional<std::string_view> AttributeOf(const GumboNode& node, const char* name);
// The text a reader sees in the element: its text nodes joined, runs of white space
// made one blank, blanks at both ends dropped.
std::string VisibleText(const GumboNode& node);
// The page's line (1-based) where the node starts.
int LineOf(const GumboNode& node);

}  // namespace qm
