// Menus made from a site's pages and from a page's navigation, as tables of pages and
// the items they give.
#include <gtest/gtest.h>

#include "support/ErrorCheck.h"
#include "site/SiteImport.h"
#include "support/TestSupport.h"

namespace qm::test {
namespace {

// Items as one line each: "-" before a sub item, then caption, link and target.
std::string Rendered(const TItemArray& items) {
    std::string out;
    for (const auto& item : items)
        out += (item.Level == "1" ? "- " : "") + item.Text + " | " + item.Link + " | " + item.Target + "\n";
    return out;
}

TEST(ItemsFromSite, RootPagesAndFoldersInNameOrderWithTheHomePageFirst) {
    TempFolder site;
    const std::vector<std::pair<std::string, std::string>> pages = {
        {"about.html", "<title> About\n us </title><h1>Ignored</h1>"},
        {"index.html", "<h1>Home</h1>"},
        {"contact.htm", "<p>no title</p>"},
        {"boats/index.html", "<title>Boats</title>"},
        {"boats/ketch.html", "<title>Ketch</title>"},
        {"boats/old/yawl 1.html", "<title>Yawl \xE9t\xE9</title>"},  // windows-1252
        {"sails/main.html", "<title>Main sail</title>"},
        {".git/x.html", "<title>Hidden</title>"},
        {"notes.txt", "not a page"},
    };
    for (const auto& [name, text] : pages) WriteBytes(site / name, text);
    EXPECT_EQ(Rendered(ItemsFromSite(site.Path())),
              "Home | index.html | _self\n"
              "About us | about.html | _self\n"
              "Boats | boats/index.html | _self\n"
              "- Ketch | boats/ketch.html | _self\n"
              "- Yawl \xC3\xA9t\xC3\xA9 | boats/old/yawl%201.html | _self\n"
              "contact.htm | contact.htm | _self\n"
              "sails |  | _self\n"
              "- Main sail | sails/main.html | _self\n");
}

struct NavigationCase {
    const char* name;
    std::string page;
    std::string items;  // Rendered(), or the error message
};

class ItemsFromNavigationCases : public ::testing::TestWithParam<NavigationCase> {};

TEST_P(ItemsFromNavigationCases, GivesTheNavigationsItems) {
    TempFolder folder;
    WriteBytes(folder / "page.html", GetParam().page);
    const auto path = folder / "page.html";
    if (GetParam().items.starts_with("page.html"))
        EXPECT_QM_ERROR(ItemsFromNavigation(path), (folder.Path() / GetParam().items).string());
    else
        EXPECT_EQ(Rendered(ItemsFromNavigation(path)), GetParam().items);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, ItemsFromNavigationCases,
    ::testing::Values(
        NavigationCase{"NestedListsFlattenedIntoTheirMainItem",
                       "<ul><li><a href='x.html'>Not in the nav</a></li></ul>"
                       "<nav><ul><li><a href='index.html'>Home</a></li>"
                       "<li><a href='boats.html' target='_blank'>Boats</a><ul><li><a href='ketch.html'>Ketch</a>"
                       "<ul><li><a href='ketch/sails.html'>Sails</a></li></ul></li></ul></li></ul></nav>",
                       "Home | index.html | _self\nBoats | boats.html | _blank\n- Ketch | ketch.html | _self\n"
                       "- Sails | ketch/sails.html | _self\n"},
        NavigationCase{"AnEntryWithoutALinkHeadsItsSubItems",
                       "<nav><ul><li><span>Shop</span><ul><li><a href='/shop/a'>A &amp; B</a></li></ul></li>"
                       "<li>Plain text</li></ul></nav>",
                       "Shop |  | _self\n- A & B | /shop/a | _self\n"},
        NavigationCase{"CaptionsFromTitleOrImage",
                       "<nav><ul><li><a href='a.html' title='Titled'> </a></li>"
                       "<li><a href='b.html'><img alt='Logo'></a></li></ul></nav>",
                       "Titled | a.html | _self\nLogo | b.html | _self\n"},
        NavigationCase{"ANavWithoutAList", "<nav><a href='a.html'>A</a> | <a href='#b'>B</a></nav>",
                       "A | a.html | _self\nB | #b | _self\n"},
        NavigationCase{"NoNavTheLargestList",
                       "<ol><li><a href='one.html'>One</a></li></ol>"
                       "<ul><li><a href='a.html'>A</a></li><li><a href='b.html'>B</a></li></ul>",
                       "A | a.html | _self\nB | b.html | _self\n"},
        NavigationCase{"TheSeparatorCannotReachTheProject", "<nav><a href='a.html'>A#$@B</a></nav>",
                       "A#$B | a.html | _self\n"},
        NavigationCase{"NoLinks", "<p>Nothing here</p>", "page.html: the page has no nav element and no list of links"},
        NavigationCase{"ANavWithoutLinks", "<body>\n<nav>Soon</nav>",
                       "page.html, line 2: the page's nav element holds no links"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qm::test
