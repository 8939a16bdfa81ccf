// quillamere-cli publish and page, run as a separate process.
#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

const std::string kProject =
    "<Warning_Info>\r\nx\r\n</Warning_Info>\r\n<Product_Name>\r\nQuillamere\r\n</Product_Name>\r\n"
    "<Product_Version>\r\n1.0\r\n</Product_Version>\r\n<Applet_Parameters>\r\n"
    "0#$@20#$@ verdana #$@11#$@transparent#$@131313#$@92ddfa#$@15#$@arial#$@9#$@000000#$@9E9E9E#$@100#$@3#$@"
    "hover.mp3#$@#$@#$@600#$@40#$@1000#$@#$@#$@0#$@\r\n</Applet_Parameters>\r\n<Item_Parameters>\r\n"
    "Home#$@#$@index.html#$@_self#$@#$@#$@0#$@#$@#$@#$@\r\n"
    "Sub#$@#$@sub.html#$@_blank#$@#$@#$@1#$@#$@#$@#$@\r\n</Item_Parameters>\r\n";

class PublishCommand : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(root / "site" / "menu.zorbel", kProject);
        WriteBytes(root / "site" / "hover.mp3", "sound");
        fs::create_directories(root / "out");
    }
    ProcessResult Tool(std::vector<std::string> args) {
        args.insert(args.begin(), CliProgram());
        return RunProgram(args);
    }
    TempFolder root;
};

TEST_F(PublishCommand, PublishesIntoAFolderWithTheLookAsTheWindowShowsIt) {
    const auto run = Tool({"publish", (root / "site" / "menu.zorbel").string(), "--to", (root / "out").string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    for (const auto* name : {"menu.html", "menu.zorbel", "menu_PublishReport.txt", "hover.mp3"}) {
        EXPECT_TRUE(fs::exists(root / "out" / name)) << name;
        EXPECT_NE(run.out.find((root / "out" / name).string() + "\n"), std::string::npos) << run.out;
    }
    const auto saved = ReadBytes(root / "out" / "menu.zorbel");
    EXPECT_NE(saved.find("\r\n1#$@20#$@verdana#$@11#$@000000#$@131313#$@92DDFA#$@"), std::string::npos) << saved;
    EXPECT_EQ(ReadBytes(root / "out" / "hover.mp3"), "sound");
}

TEST_F(PublishCommand, PublishesBesideTheProjectByDefault) {
    const auto run = Tool({"publish", (root / "site" / "menu.zorbel").string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(fs::exists(root / "site" / "menu.html"));
    EXPECT_EQ(ReadBytes(root / "site" / "hover.mp3"), "sound") << "a copy onto itself leaves the file whole";
}

TEST_F(PublishCommand, ASoundLinkLeadingOutOfTheProjectIsNotCopiedAndSaysSo) {
    WriteBytes(root / "id_rsa", "private key");
    fs::remove(root / "site" / "hover.mp3");
    fs::create_symlink(root / "id_rsa", root / "site" / "hover.mp3");
    const auto project = (root / "site" / "menu.zorbel").string();
    const auto run = Tool({"publish", project, "--to", (root / "out").string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, project + ": warning: sound 'hover.mp3' is not copied: it is a link to a file outside its folder\n");
    EXPECT_FALSE(fs::exists(root / "out" / "hover.mp3"));
    EXPECT_NE(ReadBytes(root / "out" / "menu_PublishReport.txt")
                  .find("  hover.mp3 (not copied: it is a link to a file outside its folder)\r\n"),
              std::string::npos);
}

// Publishing in place must not make a wrong reading permanent without a word: the
// valid UTF-8 stays as it was, and the tool says which bytes it read as Windows-1252.
TEST_F(PublishCommand, PublishWarnsOfBytesReadAsWindows1252) {
    auto text = kProject;
    text.replace(text.find("Home#$@"), 4, "Caf\xE9 Caf\xC3\xA9");
    const auto project = root / "site" / "menu.zorbel";
    WriteBytes(project, text);
    const auto run = Tool({"publish", project.string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, project.string() + ": warning: 1 byte that is not UTF-8 was read as Windows-1252, on line 14\n");
    EXPECT_NE(ReadBytes(project).find("\r\nCaf\xC3\xA9 Caf\xC3\xA9#$@"), std::string::npos);
}

TEST_F(PublishCommand, PagePrintsWhatPublishWritesAndTouchesNoFile) {
    const auto page = Tool({"page", (root / "site" / "menu.zorbel").string()});
    ASSERT_EQ(page.exitCode, 0) << page.err;
    EXPECT_EQ(std::distance(fs::directory_iterator(root / "site"), {}), 2);
    EXPECT_EQ(ReadBytes(root / "site" / "menu.zorbel"), kProject);
    ASSERT_EQ(Tool({"publish", (root / "site" / "menu.zorbel").string(), "--to", (root / "out").string()}).exitCode, 0);
    EXPECT_EQ(page.out, ReadBytes(root / "out" / "menu.html"));
}

TEST_F(PublishCommand, AValueThatCannotBeConvertedNamesTheFileLineAndFieldAndWritesNothing) {
    auto bad = kProject;
    bad.replace(bad.find("0#$@20#$@"), 1, "wide");
    WriteBytes(root / "site" / "bad.zorbel", bad);
    const auto run = Tool({"publish", (root / "site" / "bad.zorbel").string(), "--to", (root / "out").string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, (root / "site" / "bad.zorbel").string() +
                           ", line 11: main item extra width 'wide' is not a whole number\n");
    EXPECT_TRUE(fs::is_empty(root / "out"));
}

TEST_F(PublishCommand, ToANewNestedFolderMakesIt) {
    const auto target = root / "new" / "deeper" / "site";
    const auto run = Tool({"publish", (root / "site" / "menu.zorbel").string(), "--to", target.string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(fs::exists(target / "menu.html"));
    // Only a path that cannot become a folder is refused.
    const auto blocked = Tool({"publish", (root / "site" / "menu.zorbel").string(), "--to",
                               (root / "site" / "hover.mp3" / "out").string()});
    EXPECT_EQ(blocked.exitCode, 1);
    EXPECT_EQ(blocked.err, (root / "site" / "hover.mp3" / "out").string() +
                               ": cannot create the folder: Not a directory\n");
}

TEST_F(PublishCommand, RefusesWrongUsageAndMissingFiles) {
    EXPECT_EQ(Tool({"publish"}).exitCode, 2);
    EXPECT_EQ(Tool({"publish", "a.zorbel", "b.zorbel"}).exitCode, 2);
    EXPECT_EQ(Tool({"page"}).exitCode, 2);
    const auto missing = Tool({"publish", (root / "nope.zorbel").string()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("nope.zorbel: cannot open the file"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace qm::test
