// quillamere-cli, run as the built executable: exit codes, what goes to standard output
// and what to standard error, and the files it writes.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/DocumentBuilder.h"
#include "support/TestSupport.h"
#include "model/TextFile.h"
#include "model/TkvxAppletAgent.h"

namespace qm::test {
namespace {

const std::string kUsageFirstLine = "Usage: quillamere-cli COMMAND [ARGUMENTS]\n";

ProcessResult Cli(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), CliProgram());
    return RunProgram(arguments);
}

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        TkvxAppletAgent sample;
        MakeDocument(sample, kSampleMenu, Fields::Every);
        sample.SaveProject(project_);
        sample.ExportMenuStructure(menu_);
    }
    std::string P(const fs::path& path) const { return path.string(); }

    TempFolder folder_;
    fs::path project_ = folder_ / "site.zorbel";
    fs::path menu_ = folder_ / "site.gms";
};

TEST_F(CommandLine, HelpAndVersionGoToStandardOutput) {
    const auto help = Cli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.substr(0, kUsageFirstLine.size()), kUsageFirstLine);
    EXPECT_NE(help.out.find("  check FILE..."), std::string::npos);
    EXPECT_NE(help.out.find("  export PROJECT.zorbel OUT.gms"), std::string::npos);
    EXPECT_NE(help.out.find("  import MENU.gms OUT.zorbel"), std::string::npos);
    EXPECT_EQ(help.err, "");

    const auto version = Cli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "quillamere-cli 1.0\n");
    EXPECT_EQ(version.err, "");
}

TEST_F(CommandLine, WrongUsageExitsWithTwoAndExplainsOnStandardError) {
    const auto help = Cli({"--help"}).out;
    struct Case {
        std::vector<std::string> arguments;
        std::string message;  // before the usage text
    };
    const std::vector<Case> cases = {
        {{}, ""},
        {{"frobnicate", P(project_)}, "quillamere-cli: unknown command 'frobnicate'\n"},
        {{"check"}, "quillamere-cli check: no file named\n"},
        {{"export", P(project_)}, "quillamere-cli export: expects PROJECT.zorbel OUT.gms\n"},
        {{"import", P(menu_), "a", "b"}, "quillamere-cli import: expects MENU.gms OUT.zorbel\n"},
    };
    for (const auto& [arguments, message] : cases) {
        SCOPED_TRACE(message);
        const auto result = Cli(arguments);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, message + help);
    }
    EXPECT_FALSE(fs::exists("a"));
}

TEST_F(CommandLine, CheckReportsKindAndCountsOfEachFile) {
    const auto result = Cli({"check", P(project_), P(menu_)});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, P(project_) + ": project, 5 items (3 main, 2 sub)\n" + P(menu_) +
                              ": menu structure, 5 items (3 main, 2 sub)\n");
    EXPECT_EQ(result.err, "");
}

TEST_F(CommandLine, CheckJudgesByContentNotByName) {
    fs::copy_file(project_, folder_ / "project-named.gms");
    fs::copy_file(menu_, folder_ / "menu-named.zorbel");
    const auto result = Cli({"check", P(folder_ / "project-named.gms"), P(folder_ / "menu-named.zorbel")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, P(folder_ / "project-named.gms") + ": project, 5 items (3 main, 2 sub)\n" +
                              P(folder_ / "menu-named.zorbel") + ": menu structure, 5 items (3 main, 2 sub)\n");
}

TEST_F(CommandLine, CheckCountsInTheSingularAndReportsReattachedItems) {
    WriteBytes(folder_ / "one.gms", CrLfText({"<Product_Name>", "General Menu Structure Description Format",
                                              "<Product_Version>", "1.0", "<Structure_Description>",
                                              "1#$@Only#$@#$@#$@#$@", "</Structure_Description>"}));
    const auto result = Cli({"check", P(folder_ / "one.gms")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, P(folder_ / "one.gms") +
                              ": menu structure, 1 item (1 main, 0 sub); warning: 1 item had a level that does "
                              "not fit the tree and was re-attached\n");
    EXPECT_EQ(result.err, "");
}

TEST_F(CommandLine, CheckGoesOnPastARefusedFileAndExitsWithOne) {
    WriteBytes(folder_ / "empty.zorbel", "");
    fs::create_directory(folder_ / "folder.zorbel");
    ASSERT_EQ(::mkfifo((folder_ / "pipe.zorbel").c_str(), 0600), 0);  // must not wait for a writer
    const auto result = Cli({"check", P(folder_ / "empty.zorbel"), P(folder_ / "absent.zorbel"),
                             P(folder_ / "folder.zorbel"), P(folder_ / "pipe.zorbel"), "/dev/zero", P(project_)});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, P(project_) + ": project, 5 items (3 main, 2 sub)\n");
    EXPECT_EQ(result.err, P(folder_ / "empty.zorbel") + ": the file is empty\n" + P(folder_ / "absent.zorbel") +
                              ": cannot open the file: No such file or directory\n" + P(folder_ / "folder.zorbel") +
                              ": cannot read the file: Is a directory\n" + P(folder_ / "pipe.zorbel") +
                              ": cannot read the file: it is not a regular file\n"
                              "/dev/zero: cannot read the file: it is not a regular file\n");
}

// Bytes that are not UTF-8 are read as Windows-1252, the valid UTF-8 around them as
// UTF-8, and check says how many there were and where.
TEST_F(CommandLine, CheckSaysWhichBytesWereReadAsWindows1252) {
    auto text = ReadBytes(project_);
    text.replace(text.find("Prices#$@"), 6, "Caf\xE9 Caf\xC3\xA9");
    text.replace(text.find("Stock#$@"), 5, "\x80\x80");
    WriteBytes(folder_ / "mixed.zorbel", text);
    const auto result = Cli({"check", P(folder_ / "mixed.zorbel")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, P(folder_ / "mixed.zorbel") +
                              ": project, 5 items (3 main, 2 sub); warning: 3 bytes that are not UTF-8 were read "
                              "as Windows-1252, on 2 lines from line 17\n");
    TkvxAppletAgent loaded;
    loaded.LoadProject(folder_ / "mixed.zorbel");
    EXPECT_EQ(loaded.GetItemData(2).Text, "Caf\xC3\xA9 Caf\xC3\xA9");
}

TEST_F(CommandLine, ExportWritesWhatTheWindowsExportWrites) {
    const auto out = folder_ / "out.gms";
    const auto result = Cli({"export", P(project_), P(out)});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, P(out) + "\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(ReadBytes(out), ReadBytes(menu_));
}

TEST_F(CommandLine, ExportOfARefusedProjectWritesNothing) {
    const auto out = folder_ / "out.gms";
    const auto result = Cli({"export", P(menu_), P(out)});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, P(menu_) + ", line 8: This file wasn't saved by Quillamere 1.0, open failed!\n");
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(CommandLine, ImportWritesAProjectWithTheDefaultLook) {
    const auto out = folder_ / "imported.zorbel";
    const auto result = Cli({"import", P(menu_), P(out)});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, P(out) + "\n");
    EXPECT_EQ(result.err, "");
    TkvxAppletAgent expected;
    expected.ImportMenuStructure(menu_);
    expected.SaveProject(folder_ / "expected.zorbel");
    EXPECT_EQ(ReadBytes(out), ReadBytes(folder_ / "expected.zorbel"));
    TkvxAppletAgent loaded;
    loaded.LoadProject(out);
    EXPECT_EQ(loaded.AppletData(), DefaultAppletData());
    EXPECT_EQ(TreeShape(loaded), "Home; Products(Prices, Stock); Contact");
}

TEST_F(CommandLine, ImportWarnsOnStandardError) {
    WriteBytes(folder_ / "odd.gms", CrLfText({"<Product_Name>", "General Menu Structure Description Format",
                                              "<Product_Version>", "1.0", "<Structure_Description>",
                                              "0#$@A#$@#$@#$@#$@", "4#$@B#$@#$@#$@#$@", "-1#$@C#$@#$@#$@#$@",
                                              "</Structure_Description>"}));
    const auto out = folder_ / "odd.zorbel";
    const auto result = Cli({"import", P(folder_ / "odd.gms"), P(out)});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, P(out) + "\n");
    EXPECT_EQ(result.err, P(folder_ / "odd.gms") +
                              ": warning: 2 items had levels that do not fit the tree and were re-attached\n");
}

TEST_F(CommandLine, ImportIntoAFolderThatIsAFileFails) {
    WriteBytes(folder_ / "plain", "x");
    const auto out = folder_ / "plain" / "out.zorbel";
    const auto result = Cli({"import", P(menu_), P(out)});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, P(out) + ": cannot write the file: Not a directory\n");
    EXPECT_EQ(ReadBytes(folder_ / "plain"), "x");
}

TEST_F(CommandLine, ImportOntoAFullDiskKeepsTheOldProject) {
    const auto disk = folder_ / "disk";
    auto mount = ScopedMount::Tmpfs(disk, "size=16k");
    if (!mount.Mounted()) GTEST_SKIP() << "cannot mount a small file system here";
    std::vector<std::string> lines = {"<Product_Name>", "General Menu Structure Description Format",
                                      "<Product_Version>", "1.0", "<Structure_Description>"};
    for (int i = 0; i < 2000; ++i) lines.push_back("0#$@Item " + std::to_string(i) + "#$@page.html#$@_self#$@#$@");
    lines.push_back("</Structure_Description>");
    WriteBytes(folder_ / "big.gms", CrLfText(lines));
    WriteBytes(disk / "menu.zorbel", "old");
    const auto result = Cli({"import", P(folder_ / "big.gms"), P(disk / "menu.zorbel")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, P(disk / "menu.zorbel") + ": cannot write the file: No space left on device\n");
    EXPECT_EQ(ReadBytes(disk / "menu.zorbel"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(disk), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace qm::test
