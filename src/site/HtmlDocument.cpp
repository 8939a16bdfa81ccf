#include "site/HtmlDocument.h"

#include <vector>

#include "model/Error.h"

namespace qm {

namespace {

// Parse errors are of no use here and cost time on a large page.
GumboOptions ParseOptions() {
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;
    return options;
}

const GumboVector* ChildrenOf(const GumboNode& node) {
    switch (node.type) {
        case GUMBO_NODE_DOCUMENT: return &node.v.document.children;
        case GUMBO_NODE_ELEMENT:
        case GUMBO_NODE_TEMPLATE: return &node.v.element.children;
        default: return nullptr;
    }
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

}  // namespace

HtmlDocument::HtmlDocument(std::string_view bytes, const std::string& fileName) : bytes_(bytes) {
    const GumboOptions options = ParseOptions();
    output_ = gumbo_parse_with_options(&options, bytes.data(), bytes.size());
    if (!output_) throw Error(fileName, 0, "the page could not be read: not enough memory");
}

HtmlDocument::~HtmlDocument() {
    const GumboOptions options = ParseOptions();
    gumbo_destroy_output(&options, output_);
}

void VisitNodes(const GumboNode* node, const std::function<bool(const GumboNode&)>& visit) {
    std::vector<const GumboNode*> pending{node};
    while (!pending.empty()) {
        const GumboNode* current = pending.back();
        pending.pop_back();
        if (!visit(*current)) continue;
        if (const auto* children = ChildrenOf(*current))
            for (unsigned i = children->length; i-- > 0;)
                pending.push_back(static_cast<const GumboNode*>(children->data[i]));
    }
}

const GumboNode* FindElement(const GumboNode* node, GumboTag tag) {
    const GumboNode* found = nullptr;
    VisitNodes(node, [&](const GumboNode& each) {
        if (!found && IsElement(each, tag)) found = &each;
        return found == nullptr;
    });
    return found;
}

bool IsElement(const GumboNode& node, GumboTag tag) {
    return node.type == GUMBO_NODE_ELEMENT && node.v.element.tag == tag;
}

std::optional<std::string_view> AttributeOf(const GumboNode& node, const char* name) {
    if (node.type != GUMBO_NODE_ELEMENT && node.type != GUMBO_NODE_TEMPLATE) return std::nullopt;
    const GumboAttribute* attribute = gumbo_get_attribute(&node.v.element.attributes, name);
    if (!attribute) return std::nullopt;
    return std::string_view(attribute->value);
}

std::string VisibleText(const GumboNode& node) {
    std::string text;
    bool blankPending = false;
    VisitNodes(&node, [&](const GumboNode& each) {
        if (IsElement(each, GUMBO_TAG_SCRIPT) || IsElement(each, GUMBO_TAG_STYLE)) return false;
        if (each.type == GUMBO_NODE_TEXT || each.type == GUMBO_NODE_WHITESPACE || each.type == GUMBO_NODE_CDATA) {
            for (const char* c = each.v.text.text; *c; ++c) {
                if (IsBlank(*c)) {
                    blankPending = !text.empty();
                } else {
                    if (blankPending) text += ' ';
                    blankPending = false;
                    text += *c;
                }
            }
        }
        return true;
    });
    return text;
}

int LineOf(const GumboNode& node) {
    switch (node.type) {
        case GUMBO_NODE_ELEMENT:
        case GUMBO_NODE_TEMPLATE: return static_cast<int>(node.v.element.start_pos.line);
        case GUMBO_NODE_DOCUMENT: return 1;
        default: return static_cast<int>(node.v.text.start_pos.line);
    }
}

}  // namespace qm
