#include <gtest/gtest.h>

#include "support/DocumentBuilder.h"
#include "output/Publisher.h"
#include "support/TestSupport.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

class Staging : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(preview());
        WriteBytes(source() / "hover.mp3", "hover");
        WriteBytes(source() / "zelvanbar.swf", "movie");
        WriteBytes(source() / "swfhelper.js", "script");
        agent.ResetToDefaults();
    }
    fs::path preview() const { return root / "Preview"; }
    fs::path source() const { return root / "source"; }

    TempFolder root;
    TkvxAppletAgent agent;
};

TEST_F(Staging, CopiesAndRecordsEveryStagedFile) {
    CopyToPreviewFolder(agent, preview(), source() / "hover.mp3");
    CopyLinkedFilesToPreview(agent, preview(), source());
    EXPECT_EQ(ReadBytes(preview() / "hover.mp3"), "hover");
    EXPECT_EQ(ReadBytes(preview() / "zelvanbar.swf"), "movie");
    EXPECT_EQ(agent.PreviewCopiedFiles(), (std::vector<std::string>{"hover.mp3", "zelvanbar.swf", "swfhelper.js"}));
    EXPECT_TRUE(fs::exists(source() / "zelvanbar.swf")) << "linked files are not deleted after copying";
}

TEST_F(Staging, AFileAlreadyInThePreviewFolderIsRecordedSoClearingDeletesIt) {
    WriteBytes(preview() / "own.mp3", "own");
    CopyToPreviewFolder(agent, preview(), preview() / "OWN.MP3");
    CopyToPreviewFolder(agent, preview(), preview() / "own.mp3");
    EXPECT_EQ(ReadBytes(preview() / "own.mp3"), "own");
    ClearPreviewFolder(agent, preview());
    EXPECT_TRUE(fs::is_empty(preview())) << "the folder stays, without the file";
    EXPECT_TRUE(agent.PreviewCopiedFiles().empty());
}

TEST_F(Staging, ClearingLeavesUnrecordedFilesAndThenTheFolder) {
    CopyToPreviewFolder(agent, preview(), source() / "hover.mp3");
    WriteBytes(preview() / "someone-elses.txt", "keep");
    ClearPreviewFolder(agent, preview());
    EXPECT_FALSE(fs::exists(preview() / "hover.mp3"));
    EXPECT_EQ(ReadBytes(preview() / "someone-elses.txt"), "keep");
}

TEST_F(Staging, TheDocumentsSoundsComeFromTheGivenFolderWhenThere) {
    auto look = agent.GetAppletData();
    look.mainItemHoverSound = "hover.mp3";
    look.subItemHoverSound = "missing.mp3";
    look.itemActiveSound = "../source/hover.mp3";
    agent.SetAppletData(look);
    CopyResourceFilesToPreview(agent, preview(), source());
    EXPECT_EQ(ReadBytes(preview() / "hover.mp3"), "hover");
    EXPECT_FALSE(fs::exists(preview() / "missing.mp3"));
    // A missing sound is recorded all the same; a name with a folder part never is.
    EXPECT_EQ(agent.PreviewCopiedFiles(), (std::vector<std::string>{"hover.mp3", "missing.mp3"}));
}

TEST_F(Staging, ASoundLinkThatLeavesItsFolderIsRefused) {
    WriteBytes(root / "id_rsa", "private key");
    fs::create_symlink(root / "id_rsa", source() / "key.mp3");
    fs::create_symlink("hover.mp3", source() / "near.mp3");
    auto look = agent.GetAppletData();
    look.mainItemHoverSound = "key.mp3";
    look.subItemHoverSound = "near.mp3";
    agent.SetAppletData(look);
    EXPECT_EQ(CopyResourceFilesToPreview(agent, preview(), source()),
              std::vector<std::string>{"sound 'key.mp3' is not copied: it is a link to a file outside its folder"});
    EXPECT_FALSE(fs::exists(preview() / "key.mp3"));
    EXPECT_EQ(ReadBytes(preview() / "near.mp3"), "hover");
    EXPECT_EQ(agent.PreviewCopiedFiles(), std::vector<std::string>{"near.mp3"});
}

TEST_F(Staging, ClearingNeverDeletesOutsideThePreviewFolder) {
    WriteBytes(root / "precious.txt", "precious");
    agent.PreviewCopiedFiles() = {"../precious.txt", "/etc/hostname", ".."};
    ClearPreviewFolder(agent, preview());
    EXPECT_EQ(ReadBytes(root / "precious.txt"), "precious");
    EXPECT_TRUE(fs::exists(root.Path()));
}

}  // namespace
}  // namespace qm::test
