#include "site/SiteImport.h"

#include <algorithm>
#include <map>

#include "model/Error.h"
#include "model/TextFile.h"
#include "model/TkvxAppletAgent.h"
#include "site/HtmlDocument.h"
#include "site/SiteFiles.h"
#include "site/SiteFolder.h"

namespace qm {

namespace fs = std::filesystem;

namespace {

// No field of a record may hold the separator of the project's field lines.
std::string WithoutSeparator(std::string text) {
    for (auto at = text.find("#$@"); at != std::string::npos; at = text.find("#$@", at)) text.erase(at + 2, 1);
    return text;
}

TItemData Item(const std::string& caption, const std::string& link, const std::string& target, bool sub) {
    TItemData item = TkvxAppletAgent::NewItemData();
    item.Text = WithoutSeparator(caption);
    item.Link = WithoutSeparator(link);
    if (!target.empty()) item.Target = WithoutSeparator(target);
    item.Level = sub ? "1" : "0";
    return item;
}

// A page's text in UTF-8: bytes that are not UTF-8 are read as windows-1252.
TextFile PageText(const fs::path& page) {
    return TextFile::FromBytes(ReadFileBytes(page));
}

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~' || c == '/';
}

// A path from the site's root as a link: every byte that may not stand in one escaped.
std::string LinkOf(const std::string& relative) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string link;
    for (const char c : relative) {
        const auto u = static_cast<unsigned char>(c);
        if (IsUnreserved(u)) {
            link += c;
        } else {
            link += '%';
            link += kHex[u >> 4];
            link += kHex[u & 0xF];
        }
    }
    return link;
}

std::string CaptionOf(const SitePage& page) {
    try {
        const auto text = PageText(page.path);
        const HtmlDocument html(text.Text(), page.relative);
        for (const auto tag : {GUMBO_TAG_TITLE, GUMBO_TAG_H1})
            if (const auto* element = FindElement(html.Root(), tag))
                if (auto caption = VisibleText(*element); !caption.empty()) return caption;
    } catch (const Error&) {
        // A page that cannot be read is named by its file.
    }
    return page.path.filename().string();
}

bool IsIndexPage(std::string_view name) { return name == "index.html" || name == "index.htm"; }

bool IsList(const GumboNode& node) { return IsElement(node, GUMBO_TAG_UL) || IsElement(node, GUMBO_TAG_OL); }

// The text of an element outside the lists inside it.
std::string OwnText(const GumboNode& element) {
    std::string text;
    VisitNodes(&element, [&](const GumboNode& node) {
        if (&node != &element && IsList(node)) return false;
        if (node.type == GUMBO_NODE_ELEMENT && &node != &element) return true;
        if (node.type == GUMBO_NODE_TEXT) {
            if (!text.empty()) text += ' ';
            text += node.v.text.text;
        }
        return true;
    });
    // Collapse the blanks as VisibleText does.
    std::string collapsed;
    bool blank = false;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') {
            blank = !collapsed.empty();
        } else {
            if (blank) collapsed += ' ';
            blank = false;
            collapsed += c;
        }
    }
    return collapsed;
}

// The first link of an element outside the lists inside it.
const GumboNode* OwnLink(const GumboNode& element) {
    const GumboNode* link = nullptr;
    VisitNodes(&element, [&](const GumboNode& node) {
        if (link || (&node != &element && IsList(node))) return false;
        if (IsElement(node, GUMBO_TAG_A) && AttributeOf(node, "href")) link = &node;
        return link == nullptr;
    });
    return link;
}

std::string LinkCaption(const GumboNode& link) {
    if (auto text = VisibleText(link); !text.empty()) return text;
    for (const char* attribute : {"title", "aria-label"})
        if (const auto value = AttributeOf(link, attribute); value && !value->empty()) return std::string(*value);
    if (const auto* image = FindElement(&link, GUMBO_TAG_IMG))
        if (const auto alt = AttributeOf(*image, "alt"); alt && !alt->empty()) return std::string(*alt);
    return std::string(AttributeOf(link, "href").value_or(""));
}

TItemData LinkItem(const GumboNode& link, bool sub) {
    return Item(LinkCaption(link), std::string(*AttributeOf(link, "href")),
                std::string(AttributeOf(link, "target").value_or("")), sub);
}

std::vector<const GumboNode*> Children(const GumboNode& element, bool (*keep)(const GumboNode&)) {
    std::vector<const GumboNode*> found;
    const auto& children = element.v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (keep(*child)) found.push_back(child);
    }
    return found;
}

bool IsListItem(const GumboNode& node) { return IsElement(node, GUMBO_TAG_LI); }

// The list items below an outer list item, at any depth, in document order.
std::vector<const GumboNode*> NestedListItems(const GumboNode& item) {
    std::vector<const GumboNode*> nested;
    VisitNodes(&item, [&](const GumboNode& node) {
        if (&node != &item && IsListItem(node)) nested.push_back(&node);
        return true;
    });
    return nested;
}

void AddList(const GumboNode& list, TItemArray& items) {
    for (const auto* entry : Children(list, IsListItem)) {
        const auto nested = NestedListItems(*entry);
        TItemArray subs;
        for (const auto* sub : nested)
            if (const auto* link = OwnLink(*sub)) subs.push_back(LinkItem(*link, true));
        if (const auto* link = OwnLink(*entry)) {
            items.push_back(LinkItem(*link, false));
        } else if (!subs.empty()) {
            const auto caption = OwnText(*entry);
            items.push_back(Item(caption.empty() ? "Item" : caption, "", "", false));
        } else {
            continue;
        }
        items.insert(items.end(), subs.begin(), subs.end());
    }
}

int LinkCount(const GumboNode& element) {
    int count = 0;
    VisitNodes(&element, [&count](const GumboNode& node) {
        count += IsElement(node, GUMBO_TAG_A) && AttributeOf(node, "href");
        return true;
    });
    return count;
}

// The outer lists of the page (those inside no other list) with the most links.
const GumboNode* LargestList(const GumboNode* root) {
    const GumboNode* largest = nullptr;
    int most = 0;
    VisitNodes(root, [&](const GumboNode& node) {
        if (!IsList(node)) return true;
        if (const int count = LinkCount(node); count > most) {
            largest = &node;
            most = count;
        }
        return false;
    });
    return largest;
}

}  // namespace

TItemArray ItemsFromSite(const fs::path& siteFolder) {
    // The pages at the root and the folders at the root, each folder with its pages.
    std::map<std::string, std::vector<SitePage>> folders;
    std::vector<SitePage> atRoot;
    for (auto& page : ListSitePages(siteFolder)) {
        const auto slash = page.relative.find('/');
        if (slash == std::string::npos)
            atRoot.push_back(std::move(page));
        else
            folders[page.relative.substr(0, slash)].push_back(std::move(page));
    }
    // Both in name order together; the site's home page first.
    struct Entry {
        std::string name;
        const SitePage* page;
        const std::vector<SitePage>* folderPages;
    };
    std::vector<Entry> entries;
    for (const auto& page : atRoot) entries.push_back({page.relative, &page, nullptr});
    for (const auto& [name, pages] : folders) entries.push_back({name, nullptr, &pages});
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const bool aHome = a.page && IsIndexPage(a.name), bHome = b.page && IsIndexPage(b.name);
        return aHome != bHome ? aHome : a.name < b.name;
    });

    TItemArray items;
    for (const auto& entry : entries) {
        if (entry.page) {
            items.push_back(Item(CaptionOf(*entry.page), LinkOf(entry.page->relative), "", false));
            continue;
        }
        const SitePage* index = nullptr;
        for (const auto& page : *entry.folderPages)
            if (IsIndexPage(page.relative.substr(entry.name.size() + 1))) index = &page;
        items.push_back(index ? Item(CaptionOf(*index), LinkOf(index->relative), "", false)
                              : Item(entry.name, "", "", false));
        for (const auto& page : *entry.folderPages)
            if (&page != index) items.push_back(Item(CaptionOf(page), LinkOf(page.relative), "", true));
    }
    return items;
}

TItemArray ItemsFromNavigation(const fs::path& page) {
    const auto text = PageText(page);
    const auto name = DisplayPath(page);
    const HtmlDocument html(text.Text(), name);
    TItemArray items;
    if (const auto* nav = FindElement(html.Root(), GUMBO_TAG_NAV)) {
        if (const auto* list = LargestList(nav)) {
            AddList(*list, items);
        } else {
            VisitNodes(nav, [&items](const GumboNode& node) {
                if (IsElement(node, GUMBO_TAG_A) && AttributeOf(node, "href")) items.push_back(LinkItem(node, false));
                return true;
            });
        }
        if (items.empty()) throw Error(name, LineOf(*nav), "the page's nav element holds no links");
        return items;
    }
    const auto* list = LargestList(html.Root());
    if (!list) throw Error(name, 0, "the page has no nav element and no list of links");
    AddList(*list, items);
    return items;
}

}  // namespace qm
