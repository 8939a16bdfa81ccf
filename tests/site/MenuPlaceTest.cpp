// The menu's place in a page: found through the parser, replaced with the page's own
// line ends, every other byte kept; pages that cannot take it refused with the line
// and the reason.
#include <gtest/gtest.h>

#include "support/ErrorCheck.h"
#include "site/MenuPlace.h"

namespace qm::test {
namespace {

// A short stand-in for the menu, so the expected pages stay readable.
constexpr std::string_view kSnippet = "M1\r\nM2\r\n";

struct PlaceCase {
    const char* name;
    std::string page;
    std::string expected;  // the page with the menu, or the error message
};

std::string WithMenu(std::string_view page) {
    return PageWithMenu(page, FindMenuPlace(page, "p.html"), kSnippet);
}

class MenuPlaceCases : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(MenuPlaceCases, PutsTheMenuInItsPlaceOrRefusesThePage) {
    const auto& c = GetParam();
    const bool refused = c.expected.starts_with("p.html");
    if (refused)
        EXPECT_QM_ERROR(WithMenu(c.page), c.expected);
    else
        EXPECT_EQ(WithMenu(c.page), c.expected);
}

const std::string kPasted =
    "<!-- Quillamere 1.0 -->\n<div id='buAj'><div><a href='a.html'>A</a></div></div>\n"
    "<div id=\"mkvo_menu_zelvan_outer_div\"><div id=\"bjAj\"><script src='swfhelper.js'></script></div></div>";

INSTANTIATE_TEST_SUITE_P(
    Pages, MenuPlaceCases,
    ::testing::Values(
        PlaceCase{"MarkersLf", "<body>\n  <!-- Quillamere menu -->\nold\n  <!-- End of Quillamere menu -->\n</body>",
                  "<body>\n  <!-- Quillamere menu -->\nM1\nM2\n  <!-- End of Quillamere menu -->\n</body>"},
        PlaceCase{"MarkersCrLfNothingBetween", "<p>\r\n<!-- Quillamere menu -->\r\n<!-- End of Quillamere menu -->\r\n",
                  "<p>\r\n<!-- Quillamere menu -->\r\nM1\r\nM2\r\n<!-- End of Quillamere menu -->\r\n"},
        PlaceCase{"PastedMenuOnItsOwnLines", "<body>\n" + kPasted + "\n<p>after</p>\n",
                  "<body>\n<!-- Quillamere menu -->\nM1\nM2\n<!-- End of Quillamere menu -->\n<p>after</p>\n"},
        PlaceCase{"PastedMenuBetweenTextOnOneLine", "<nav>" + kPasted + "</nav>",
                  "<nav>\n<!-- Quillamere menu -->\nM1\nM2\n<!-- End of Quillamere menu -->\n</nav>"},
        PlaceCase{"PastedMenuAtTheEndWithoutALineEnd", "<body>\n" + kPasted,
                  "<body>\n<!-- Quillamere menu -->\nM1\nM2\n<!-- End of Quillamere menu -->"},
        PlaceCase{"MarkerTextInAScriptIsNoMarker",
                  "<script>\n<!-- Quillamere menu -->\n<!-- End of Quillamere menu -->\n</script>\n",
                  "<script>\n<!-- Quillamere menu -->\n<!-- End of Quillamere menu -->\n</script>\n"},
        // The parser hangs comments after </body> on the html element but puts the
        // element between them back into the body: the page's order counts, not the tree's.
        PlaceCase{"MarkersAfterTheBodyAroundAnElement",
                  "</body>\n<!-- Quillamere menu -->\n<div>old</div>\n<!-- End of Quillamere menu -->\n",
                  "</body>\n<!-- Quillamere menu -->\nM1\nM2\n<!-- End of Quillamere menu -->\n"},
        PlaceCase{"NoPlace", "<p>Quillamere is not here</p>", "<p>Quillamere is not here</p>"},
        PlaceCase{"MarkerNotAlone", "<p>\n<b>x</b><!-- Quillamere menu -->\n<!-- End of Quillamere menu -->\n",
                  "p.html, line 2: the marker '<!-- Quillamere menu -->' is not on a line of its own"},
        PlaceCase{"StartWithoutEnd", "<p>\n\n<!-- Quillamere menu -->\n",
                  "p.html, line 3: the marker '<!-- Quillamere menu -->' has no '<!-- End of Quillamere menu -->' "
                  "after it"},
        PlaceCase{"EndBeforeStart", "<!-- End of Quillamere menu -->\n<!-- Quillamere menu -->\n",
                  "p.html, line 1: the marker '<!-- End of Quillamere menu -->' has no '<!-- Quillamere menu -->' "
                  "before it"},
        PlaceCase{"SecondStart",
                  "<!-- Quillamere menu -->\n<!-- End of Quillamere menu -->\n<!-- Quillamere menu -->\n",
                  "p.html, line 3: a second marker '<!-- Quillamere menu -->'"},
        PlaceCase{"PastedMenuWithoutItsBox", "<body>\n<!-- Quillamere 1.0 -->\n<div id='buAj'></div>\n",
                  "p.html, line 2: the menu pasted here has no menu box after it"},
        PlaceCase{"PastedBoxWithoutEndTag",
                  "<body>\n<!-- Quillamere 1.0 -->\n<div id=\"mkvo_menu_zelvan_outer_div\">\n<p>x\n</body>",
                  "p.html, line 3: the menu box pasted here has no end tag"},
        PlaceCase{"Utf16WithoutByteOrderMark", std::string("<\0p\0>\0", 6),
                  "p.html: the page is in UTF-16 (or UTF-32); the menu goes only into a page whose encoding keeps "
                  "ASCII as it is, such as UTF-8 or windows-1252"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qm::test
