// Publishing into the fixture site (fixtures/site/input): pages at depths 0 to 3 with
// markers, with a menu pasted from an earlier publish and with neither; UTF-8 and
// windows-1252; CR LF and LF; a UTF-16 page; a hidden folder and a link to a page
// outside the site. fixtures/site/expected holds each page the publish changes.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <sstream>

#include "cli/CommandLineTool.h"
#include "support/ErrorCheck.h"
#include "support/DocumentBuilder.h"
#include "model/LookValues.h"
#include "site/MenuPlace.h"
#include "site/SiteHistory.h"
#include "site/SitePublisher.h"
#include "support/TestSupport.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

const fs::path kFixture = FixturesFolder() / "site";

// Every page of the fixture (its path from the site folder), changed or not.
const std::vector<std::string> kPages = {
    "index.html", "about.html", "contact.htm", "notes.html", "products/index.html", "products/boats.html",
    "products/sails/index.html", "products/sails/rigging/knots.html", ".drafts/draft.html", "outside.html"};

class SitePublish : public ::testing::Test {
protected:
    void SetUp() override {
        fs::copy(kFixture / "input", root.Path(), fs::copy_options::recursive | fs::copy_options::copy_symlinks);
        WriteBytes(root / "program" / "zelvanbar.swf", "movie");
        WriteBytes(root / "program" / "swfhelper.js", "script");
        agent.LoadProject(root / "menu.zorbel");
        agent.SetAppletData(NormalizeAppletData(agent.AppletData()));
    }
    SitePlan Plan() {
        return PlanSitePublish(agent, {root / "site", root / "menu.html", {root / "program", root.Path()}});
    }
    SitePlan Publish() {
        auto plan = Plan();
        CommitSitePlan(plan, root / "history");
        return plan;
    }
    std::string Page(const std::string& relative) const { return ReadBytes(root / "site" / relative); }
    static std::string Input(const std::string& relative) { return ReadBytes(kFixture / "input" / "site" / relative); }
    static fs::path Expected(const std::string& relative) { return kFixture / "expected" / relative; }

    TempFolder root;
    TkvxAppletAgent agent;
};

TEST_F(SitePublish, WritesEachPageAsExpectedAndLeavesTheOthersAsTheyWere) {
    const auto plan = Publish();
    for (const auto& page : kPages) {
        const auto expected = fs::exists(Expected(page)) ? ReadBytes(Expected(page)) : Input(page);
        EXPECT_EQ(Page(page), expected) << page;
    }
    EXPECT_EQ(ReadBytes(root / "outside" / "page.html"), ReadBytes(kFixture / "input" / "outside" / "page.html"));
    EXPECT_TRUE(fs::is_symlink(root / "site" / "outside.html"));
    EXPECT_EQ(SiteReportText(plan),
              "Site " + (root / "site").string() +
                  "\n"
                  "Pages written (6):\n  about.html\n  index.html\n  products/boats.html\n  products/index.html\n"
                  "  products/sails/index.html\n  products/sails/rigging/knots.html\n"
                  "Pages without a place for the menu (1):\n  contact.htm\n"
                  "Pages refused (1):\n"
                  "  notes.html: the page is in UTF-16 (or UTF-32); the menu goes only into a page whose encoding "
                  "keeps ASCII as it is, such as UTF-8 or windows-1252\n"
                  "Companion files written (2):\n  zelvanbar.swf\n  swfhelper.js\n");
}

// The expected pages are the program's own output: this holds them to what matters,
// that nothing but the menu's place differs from the page the designer wrote.
TEST_F(SitePublish, EveryByteOutsideTheMenuStaysAsItWas) {
    Publish();
    for (const auto& page : kPages) {
        if (!fs::exists(Expected(page))) continue;
        const auto before = Input(page), after = Page(page);
        const auto place = FindMenuPlace(before, page);
        ASSERT_NE(place.kind, MenuPlaceKind::None) << page;
        EXPECT_TRUE(after.starts_with(before.substr(0, place.begin))) << page << ": the bytes before the menu";
        EXPECT_TRUE(after.ends_with(before.substr(place.end))) << page << ": the bytes after the menu";
        // The menu's lines end as the page's do.
        const auto menu = after.substr(place.begin, after.size() - place.begin - (before.size() - place.end));
        const bool crLf = before.find("\r\n") != std::string::npos;
        for (auto at = menu.find('\n'); at != std::string::npos; at = menu.find('\n', at + 1))
            ASSERT_EQ(at > 0 && menu[at - 1] == '\r', crLf) << page << " at " << at;
    }
}

struct DepthCase {
    std::string page;
    std::string toRoot;
};

TEST_F(SitePublish, ScriptMovieAndRelativeLinksLeadToTheSamePlacesFromEveryDepth) {
    Publish();
    for (const auto& [page, up] : std::vector<DepthCase>{{"index.html", ""},
                                                         {"products/index.html", "../"},
                                                         {"products/sails/index.html", "../../"},
                                                         {"products/sails/rigging/knots.html", "../../../"}}) {
        const auto text = Page(page);
        for (const auto& part : {"<script src='" + up + "swfhelper.js'>", "value=\"" + up + "zelvanbar.swf\"",
                                 "<embed src=\"" + up + "zelvanbar.swf\"", "href='" + up + "about.html#team'",
                                 "href='" + up + "products/sails/rigging/knots.html'",
                                 // links from the root, absolute links and fragments as they are written
                                 std::string("href='/index.html'"), std::string("href='https://example.org/blog'"),
                                 std::string("href='#top'")})
            EXPECT_NE(text.find(part), std::string::npos) << page << " lacks " << part;
    }
}

TEST_F(SitePublish, CompanionsLieOnceAtTheRootAndASecondPublishWritesNothing) {
    WriteBytes(root / "hover.mp3", "sound");
    auto look = agent.AppletData();
    look.mainItemHoverSound = "hover.mp3";
    agent.SetAppletData(look);
    Publish();
    for (const auto* name : {"zelvanbar.swf", "swfhelper.js", "hover.mp3"}) {
        EXPECT_TRUE(fs::exists(root / "site" / name)) << name;
        EXPECT_FALSE(fs::exists(root / "site" / "products" / name)) << name;
    }
    struct stat before {}, after {};
    ::stat((root / "site" / "index.html").c_str(), &before);
    const auto again = Publish();
    ::stat((root / "site" / "index.html").c_str(), &after);
    EXPECT_EQ(again.Count(PageOutcome::Written), 0);
    EXPECT_EQ(again.Count(PageOutcome::Unchanged), 6);
    EXPECT_TRUE(again.companions.empty());
    EXPECT_EQ(before.st_ino, after.st_ino) << "an unchanged page is not written again";
    EXPECT_EQ(SiteRuns(root / "history").size(), 1u) << "a publish that changes nothing keeps no run";
}

TEST_F(SitePublish, ThePlanWritesNothingAndAPageEditedMeanwhileIsRefused) {
    auto plan = Plan();
    EXPECT_EQ(plan.PagesThatChange().size(), 6u);
    for (const auto& page : kPages) EXPECT_EQ(Page(page), Input(page)) << page;
    WriteBytes(root / "site" / "index.html", "edited");
    CommitSitePlan(plan, root / "history");
    EXPECT_EQ(Page("index.html"), "edited");
    EXPECT_EQ(Page("about.html"), ReadBytes(Expected("about.html")));
    EXPECT_EQ(plan.pages[2].refusal, "index.html: the page changed after the list of pages was made");
}

TEST_F(SitePublish, UndoPutsTheLastRunBackExceptPagesChangedSince) {
    Publish();
    WriteBytes(root / "site" / "products" / "index.html", "edited since");
    const auto undone = UndoLastSiteRun(root / "history", root / "site");
    ASSERT_EQ(undone.size(), 6u);
    for (const auto& page : undone) {
        const bool edited = page.relative == "products/index.html";
        EXPECT_EQ(page.outcome, edited ? UndoOutcome::ChangedSince : UndoOutcome::PutBack) << page.relative;
        EXPECT_EQ(Page(page.relative), edited ? "edited since" : Input(page.relative)) << page.relative;
    }
    EXPECT_QM_ERROR(UndoLastSiteRun(root / "history", root / "site"),
                    (root / "site").string() + ": no publish to this site to undo");
}

TEST_F(SitePublish, KeepsTheLastTenRuns) {
    for (int run = 0; run < kRunsKept + 2; ++run) {
        MakeDocument(agent, {{0, "Run " + std::to_string(run), "index.html"}});
        Publish();
    }
    EXPECT_EQ(SiteRuns(root / "history").size(), static_cast<std::size_t>(kRunsKept));
    UndoLastSiteRun(root / "history", root / "site");
    EXPECT_NE(Page("index.html").find(">Run+10<"), std::string::npos);
}

TEST_F(SitePublish, TheCommandLineToolPublishesUndoesAndExitsWithOneOnARefusedPage) {
    const auto data = root / "data";
    ::setenv("XDG_DATA_HOME", data.c_str(), 1);
    const std::vector<std::string> publish = {"site", (root / "menu.zorbel").string(), "--site",
                                              (root / "site").string()};
    std::ostringstream out, err;
    EXPECT_EQ(RunCommandLineTool(publish, out, err, (root / "program").string()), 1) << err.str();
    EXPECT_EQ(Page("products/index.html"), ReadBytes(Expected("products/index.html")));
    auto undo = publish;
    undo.push_back("--undo");
    EXPECT_EQ(RunCommandLineTool(undo, out, err, (root / "program").string()), 0) << err.str();
    EXPECT_EQ(Page("products/index.html"), Input("products/index.html"));
    ::unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace qm::test
