// The link check against a small site: pages, folders with an index page, fragments by
// id and by name, links from the root, links that leave the site, absolute links by
// their form.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/CommandLineTool.h"
#include "support/DocumentBuilder.h"
#include "site/LinkCheck.h"
#include "support/TestSupport.h"

namespace qm::test {
namespace {

struct LinkCase {
    std::string link;
    std::string problem;  // what follows "'Item' links to LINK"; empty where the link leads where it should
};

const std::vector<LinkCase> kLinks = {
    {"about.html", ""},
    {"boats.html", ", which is not in the site folder"},
    {"about.html#team", ""},
    {"about.html#crew", ""},  // <a name="crew">
    {"about.html#chef", ", but about.html has no element with the id or name 'chef'"},
    {"about.html?lang=en#team", ""},
    {"products/", ""},
    {"products", ""},
    {"products/sails/", ", which is not in the site folder"},  // a folder without an index page
    {"/about.html", ""},
    {"/missing.html", ", which is not in the site folder"},
    {"../outside.html", ", which is outside the site folder"},
    {"products/../about.html", ""},
    {"my%20page.html", ""},
    {" about.html ", ""},
    {"#top", ""},
    {"", ""},
    {"https://example.org/boats", ""},
    {"https://", ", which is not a complete address"},
    {"http:example.org", ", which is not a complete address"},
    {"mailto:harbour@example.org", ""},
    {"mailto:harbour", ", which is not a complete address"},
};

class LinkCheck : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(site / "about.html", "<h2 id=\"team\">Team</h2><a name=\"crew\"></a>");
        WriteBytes(site / "products" / "index.html", "<p>Products</p>");
        WriteBytes(site / "products" / "sails" / "main.html", "<p>Main sail</p>");
        WriteBytes(site / "my page.html", "<p>Mine</p>");
        WriteBytes(site.Path().parent_path() / "outside.html", "<p>Outside</p>");
        std::vector<ItemRow> items;
        for (const auto& c : kLinks) items.push_back({0, "Item", c.link});
        MakeDocument(agent, items);
    }
    TempFolder site;
    TkvxAppletAgent agent;
};

TEST_F(LinkCheck, ReportsEachBrokenLinkOnceWithTheItemAndTheReason) {
    std::vector<int> expected, found;
    for (std::size_t i = 0; i < kLinks.size(); ++i)
        if (!kLinks[i].problem.empty()) expected.push_back(static_cast<int>(i));
    for (const auto& broken : CheckLinks(agent, site.Path())) {
        EXPECT_EQ(broken.message, "'Item' links to " + kLinks[broken.item].link + kLinks[broken.item].problem);
        found.push_back(broken.item);
    }
    EXPECT_EQ(found, expected);
}

TEST_F(LinkCheck, TheCommandLineToolPrintsThemAndExitsWithOne) {
    MakeDocument(agent, {{0, "Boats", "boats.html"}, {0, "About", "about.html"}});
    agent.SaveProject(site / "menu.zorbel");
    std::ostringstream out, err;
    EXPECT_EQ(RunCommandLineTool({"check", (site / "menu.zorbel").string(), "--links"}, out, err), 1) << err.str();
    EXPECT_EQ(out.str().substr(0, out.str().find('\n')), "'Boats' links to boats.html, which is not in the site folder");

    WriteBytes(site / "boats.html", "<p>Boats</p>");
    std::ostringstream again;
    EXPECT_EQ(RunCommandLineTool({"check", (site / "menu.zorbel").string(), "--links", "--site", site.Path().string()},
                                 again, err),
              0)
        << again.str();
}

}  // namespace
}  // namespace qm::test
