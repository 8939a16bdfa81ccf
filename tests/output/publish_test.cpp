#include <gtest/gtest.h>

#include <algorithm>

#include "Error.h"
#include "MenuBuilder.h"
#include "PageWriter.h"
#include "Publisher.h"
#include "TestSupport.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using unit::ReadBytes;
using unit::WriteBytes;

// A program folder with the movie and the script, a Preview folder, and a project
// folder, side by side in one test folder.
class Publishing : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(program());
        fs::create_directories(preview());
        fs::create_directories(project());
        WriteBytes(program() / "zelvanbar.swf", "FWS-movie");
        WriteBytes(program() / "swfhelper.js", "// script");
        test::MakeMenu(agent, {{0, "Home", "index.html"}, {0, "Products", "p.html"}, {1, "A", "a.html"}});
    }
    fs::path program() const { return root / "program"; }
    fs::path preview() const { return root / "preview"; }
    fs::path project() const { return root / "project"; }
    PublishFolders folders() const { return {program(), preview()}; }
    void SetSounds(const std::string& mainHover, const std::string& subHover, const std::string& active) {
        auto look = agent.GetAppletData();
        look.mainItemHoverSound = mainHover;
        look.subItemHoverSound = subHover;
        look.itemActiveSound = active;
        agent.SetAppletData(look);
    }
    std::vector<std::string> FilesIn(const fs::path& folder) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    unit::TempFolder root;
    TkvxAppletAgent agent;
};

TEST_F(Publishing, WritesEveryFileUnderTheStemOfTheName) {
    SaveAndPublish(agent, project(), "menu", folders());
    EXPECT_EQ(FilesIn(project()), (std::vector<std::string>{"menu.html", "menu.zorbel", "menu_PublishReport.txt",
                                                            "swfhelper.js", "zelvanbar.swf"}));
    SaveAndPublish(agent, project(), "menu.old.zorbel", folders());
    EXPECT_TRUE(fs::exists(project() / "menu.old.html"));
    EXPECT_TRUE(fs::exists(project() / "menu.old.zorbel"));
    EXPECT_TRUE(fs::exists(project() / "menu.old_PublishReport.txt"));
    EXPECT_EQ(ReadBytes(project() / "zelvanbar.swf"), "FWS-movie");
    EXPECT_EQ(ProjectStem("menu"), "menu");
    EXPECT_EQ(ProjectStem("a.b.c"), "a.b");
}

TEST_F(Publishing, TheProjectFileHoldsWhatMakingThePageChanged) {
    auto look = agent.GetAppletData();
    look.InternalUse_RootDir_Local = "file:///C|/w/";
    look.InternalUse_RootDir_Remote = "http://example.com/";
    agent.SetAppletData(look);
    agent.SetItemData([&] { auto i = agent.GetItemData(2); i.Link = "FILE:///c|/w/a.html"; return i; }(), 2);
    SaveAndPublish(agent, project(), "menu.zorbel", folders());
    const auto saved = ReadBytes(project() / "menu.zorbel");
    EXPECT_NE(saved.find("A#$@#$@http://example.com/a.html#$@_self#$@#$@#$@1#$@#$@#$@1#$@\r\n"), std::string::npos)
        << saved;
    EXPECT_NE(saved.find("Home#$@#$@index.html#$@_self#$@#$@#$@0#$@#$@#$@-1#$@\r\n"), std::string::npos);
    TkvxAppletAgent reloaded;
    reloaded.LoadProject(project() / "menu.zorbel");
    EXPECT_EQ(reloaded.Items(), agent.Items());
}

TEST_F(Publishing, AReportWithoutSoundsHasSeventeenLines) {
    const auto lines = unit::CrLfLines(PublishReportText(agent));
    const std::string rule(77, '=');
    EXPECT_EQ(lines, (std::vector<std::string>{
                         rule,
                         "This file includes a list of filename and you need to upload them to Web server",
                         "to get the script to work. All these files are saved into the same directory along",
                         "with the project file (*.zorbel) as well as this file.",
                         "",
                         rule,
                         "",
                         "[Script/Flash file(s)]:",
                         "  zelvanbar.swf",
                         "  swfhelper.js",
                         "",
                         "[Image and/or Sound File(s)]: They should be copied along with script files!",
                         "",
                         "",
                         rule,
                         "End of Publish Report",
                         rule,
                     }));
}

TEST_F(Publishing, OneSoundForAllThreeFieldsIsListedOnceAndCopied) {
    WriteBytes(preview() / "click.mp3", "ID3-click");
    SetSounds("click.mp3", "click.mp3", "click.mp3");
    const auto written = SaveAndPublish(agent, project(), "menu", folders());
    const auto lines = unit::CrLfLines(ReadBytes(project() / "menu_PublishReport.txt"));
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[12], "  click.mp3");
    EXPECT_EQ(ReadBytes(project() / "click.mp3"), "ID3-click");
    EXPECT_EQ(std::count(written.begin(), written.end(), project() / "click.mp3"), 1);
}

TEST_F(Publishing, BlankSoundsAreNeitherListedNorCopiedAndLetterCaseCounts) {
    WriteBytes(preview() / "a.mp3", "a");
    WriteBytes(preview() / "A.mp3", "A");
    SetSounds("a.mp3", "   ", "A.mp3");
    SaveAndPublish(agent, project(), "menu", folders());
    const auto lines = unit::CrLfLines(ReadBytes(project() / "menu_PublishReport.txt"));
    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines[12], "  a.mp3");
    EXPECT_EQ(lines[13], "  A.mp3");
    EXPECT_EQ(ReadBytes(project() / "A.mp3"), "A");
}

TEST_F(Publishing, SoundNamesWithAFolderPartAreListedButTouchNothingOutside) {
    WriteBytes(root / "secret.mp3", "secret");
    WriteBytes(preview() / "sub" / "x.mp3", "x");
    SetSounds("../secret.mp3", "sub/x.mp3", "..\\secret.mp3");
    const auto before = FilesIn(root.Path());
    SaveAndPublish(agent, project(), "menu", folders());
    const auto report = ReadBytes(project() / "menu_PublishReport.txt");
    EXPECT_NE(report.find("  ../secret.mp3\r\n  sub/x.mp3\r\n  ..\\secret.mp3\r\n"), std::string::npos);
    EXPECT_EQ(FilesIn(project()), (std::vector<std::string>{"menu.html", "menu.zorbel", "menu_PublishReport.txt",
                                                            "swfhelper.js", "zelvanbar.swf"}));
    EXPECT_EQ(FilesIn(root.Path()), before);
    EXPECT_EQ(ReadBytes(root / "secret.mp3"), "secret");
}

TEST_F(Publishing, PublishingTwiceOverwritesEveryKindOfFile) {
    WriteBytes(preview() / "s.mp3", "first sound");
    SetSounds("s.mp3", "", "");
    SaveAndPublish(agent, project(), "menu", folders());
    WriteBytes(preview() / "s.mp3", "second sound");
    WriteBytes(program() / "zelvanbar.swf", "FWS-new");
    WriteBytes(program() / "swfhelper.js", "// new");
    agent.SetItemCaption(0, "Start");
    SaveAndPublish(agent, project(), "menu", folders());
    EXPECT_EQ(ReadBytes(project() / "s.mp3"), "second sound");
    EXPECT_EQ(ReadBytes(project() / "zelvanbar.swf"), "FWS-new");
    EXPECT_EQ(ReadBytes(project() / "swfhelper.js"), "// new");
    EXPECT_NE(ReadBytes(project() / "menu.html").find(">Start</a>"), std::string::npos);
    EXPECT_NE(ReadBytes(project() / "menu.zorbel").find("Start#$@"), std::string::npos);
}

TEST_F(Publishing, PublishingIntoTheProgramOrPreviewFolderLeavesTheSourcesWhole) {
    WriteBytes(preview() / "s.mp3", "sound");
    SetSounds("s.mp3", "", "");
    SaveAndPublish(agent, program(), "menu", folders());
    EXPECT_EQ(ReadBytes(program() / "zelvanbar.swf"), "FWS-movie");
    EXPECT_EQ(ReadBytes(program() / "swfhelper.js"), "// script");
    SaveAndPublish(agent, preview(), "menu", folders());
    EXPECT_EQ(ReadBytes(preview() / "s.mp3"), "sound");
}

TEST_F(Publishing, MissingCompanionsAreSkippedButStillListed) {
    fs::remove(program() / "zelvanbar.swf");
    const auto written = SaveAndPublish(agent, project(), "menu", folders());
    EXPECT_FALSE(fs::exists(project() / "zelvanbar.swf"));
    EXPECT_NE(ReadBytes(project() / "menu_PublishReport.txt").find("  zelvanbar.swf\r\n"), std::string::npos);
    EXPECT_EQ(std::count(written.begin(), written.end(), project() / "zelvanbar.swf"), 0);
}

TEST_F(Publishing, AFailedPageEndsThePublishBeforeAnythingElseIsWritten) {
    fs::create_directory(project() / "menu.html");  // a folder in the page's place
    try {
        SaveAndPublish(agent, project(), "menu", folders());
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.File(), (project() / "menu.html").string());
    }
    EXPECT_EQ(FilesIn(project()), (std::vector<std::string>{"menu.html"}));
}

}  // namespace
}  // namespace qm
