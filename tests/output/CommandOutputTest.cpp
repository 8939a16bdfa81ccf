// quillamere-cli never calls a failure success: output it cannot write, companion files
// it cannot find and sounds that are missing are said, and the exit status says so.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <sstream>

#include "support/TestSupport.h"
#include "cli/CommandLineTool.h"
#include "cli/OutputFile.h"
#include "model/FileSystem.h"
#include "model/SafeSave.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

std::string ProjectText(int items) {
    std::string text =
        "<Product_Name>\r\nQuillamere\r\n</Product_Name>\r\n<Product_Version>\r\n1.0\r\n</Product_Version>\r\n"
        "<Applet_Parameters>\r\n25#$@20#$@arial#$@11#$@FFFFFF#$@131313#$@92DDFA#$@15#$@arial#$@9#$@000000#$@"
        "9E9E9E#$@100#$@3#$@hover.mp3#$@#$@#$@600#$@40#$@1000#$@#$@#$@0#$@\r\n</Applet_Parameters>\r\n"
        "<Item_Parameters>\r\n";
    for (int i = 0; i < items; ++i)
        text += "Item " + std::to_string(i) + "#$@#$@page" + std::to_string(i) + ".html#$@_self#$@#$@#$@0#$@#$@#$@#$@\r\n";
    return text + "</Item_Parameters>\r\n";
}

class CommandOutput : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(project(), ProjectText(3));
        WriteBytes(root / "site" / "hover.mp3", "sound");
        fs::create_directories(root / "out");
    }
    fs::path project() const { return root / "site" / "menu.zorbel"; }
    TempFolder root;
};

TEST_F(CommandOutput, OutputThatCannotBeWrittenIsAFailureThatIsSaid) {
    const std::vector<std::vector<std::string>> commands = {
        {"check", project().string()},
        {"publish", project().string(), "--to", (root / "out").string()},
        {"page", project().string()},
        {"--help"},
    };
    for (const auto& command : commands) {
        auto arguments = command;
        arguments.insert(arguments.begin(), CliProgram());
        const auto run = RunProgram(arguments, "/dev/full");
        EXPECT_EQ(run.exitCode, 1) << command.front();
        EXPECT_EQ(run.err, "standard output: No space left on device\n") << command.front();
    }
}

// The disk fills while a large page is written: the tool stops and says so. On a small
// memory file system where one can be mounted; elsewhere through the write function
// the safe-save tests replace, in this process.
int bytesBeforeTheDiskIsFull = 0;
ssize_t WriteUntilTheDiskIsFull(int descriptor, const void* data, std::size_t size) {
    if (bytesBeforeTheDiskIsFull <= 0) {
        errno = ENOSPC;
        return -1;
    }
    const auto written = ::write(descriptor, data, std::min<std::size_t>(size, bytesBeforeTheDiskIsFull));
    bytesBeforeTheDiskIsFull -= static_cast<int>(written);
    return written;
}

TEST_F(CommandOutput, APageOntoAFullDiskIsAFailureThatIsSaid) {
    WriteBytes(project(), ProjectText(10000));
    auto mount = ScopedMount::Tmpfs(root / "disk", "size=64k");
    if (mount.Mounted()) {
        const auto run = RunProgram({CliProgram(), "page", project().string()}, root / "disk" / "menu.html");
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, "standard output: No space left on device\n");
        return;
    }
    std::error_code error;
    auto file = os::CreateNewFile(os::OpenFolder(root.Path(), error), "menu.html", error);
    ASSERT_FALSE(error);
    bytesBeforeTheDiskIsFull = 65536;
    SetSafeSaveWriteFunctionForTesting(&WriteUntilTheDiskIsFull);
    OutputFileBuffer page(std::move(file));
    std::ostream out(&page);
    std::ostringstream err;
    const int status = RunCommandLineTool({"page", project().string()}, out, err);
    const auto failure = page.Close();
    SetSafeSaveWriteFunctionForTesting(nullptr);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(failure, std::make_error_code(std::errc::no_space_on_device));
    EXPECT_EQ(fs::file_size(root / "menu.html"), 65536u);
}

// Run from a folder without the movie and the script beside it, publish writes nothing
// and names what is missing and where it was looked for.
TEST_F(CommandOutput, PublishWithoutCompanionFilesIsRefused) {
    const auto lonely = root / "lonely";
    fs::create_directories(lonely);
    fs::copy_file(CliProgram(), lonely / "quillamere-cli");
    struct Case {
        std::vector<std::string> present;
        std::string missing;
    };
    for (const auto& [present, missing] : std::vector<Case>{
             {{}, "zelvanbar.swf and swfhelper.js"},
             {{"zelvanbar.swf"}, "swfhelper.js"},
         }) {
        for (const auto& name : present) WriteBytes(lonely / name, "companion");
        const auto run =
            RunProgram({(lonely / "quillamere-cli").string(), "publish", project().string(), "--to",
                              (root / "out").string()});
        EXPECT_EQ(run.exitCode, 1) << missing;
        EXPECT_EQ(run.err, "cannot publish: " + missing + " not found beside the program, in " + lonely.string() + "\n");
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(fs::is_empty(root / "out")) << missing;
    }
}

TEST_F(CommandOutput, AMissingSoundIsReportedAsNotCopiedAndWarnedOf) {
    fs::remove(root / "site" / "hover.mp3");
    const auto run = RunProgram({CliProgram(), "publish", project().string(), "--to", (root / "out").string()});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, project().string() + ": warning: sound 'hover.mp3' is not copied: not found\n");
    EXPECT_EQ(run.out.find("hover.mp3"), std::string::npos) << run.out;
    EXPECT_NE(ReadBytes(root / "out" / "menu_PublishReport.txt").find("\r\n  hover.mp3 (not copied: not found)\r\n"),
              std::string::npos);
}

// A line end or an escape in a file name never splits a message or reaches the terminal.
TEST_F(CommandOutput, ControlCharactersInNamesAreShownEscaped) {
    const auto odd = root / "site" / "a\nb\x1B[2J.zorbel";
    WriteBytes(odd, ProjectText(1));
    const auto shown = (root / "site").string() + "/a\\x0Ab\\x1B[2J.zorbel";
    struct Case {
        std::vector<std::string> arguments;
        std::string out, err;
    };
    for (const auto& [arguments, out, err] : std::vector<Case>{
             {{"check", odd.string()}, shown + ": project, 1 item (1 main, 0 sub)\n", ""},
             {{"check", odd.string() + "\n"}, "", shown + "\\x0A: cannot open the file: No such file or directory\n"},
             {{"export", odd.string(), (root / "out" / "x\ry.gms").string()}, (root / "out").string() + "/x\\x0Dy.gms\n",
              ""},
             {{"frob\n"}, "", "quillamere-cli: unknown command 'frob\\x0A'\n"},
         }) {
        auto command = arguments;
        command.insert(command.begin(), CliProgram());
        const auto run = RunProgram(command);
        EXPECT_EQ(run.out, out) << arguments.front();
        // The message is one line (the usage text may follow it).
        EXPECT_EQ(run.err.substr(0, run.err.find('\n') + 1), err) << arguments.front();
    }
}

}  // namespace
}  // namespace qm::test
