// Opening a file below a folder follows links only while they stay inside it.
#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "model/FileSystem.h"

namespace qm::test {
namespace {

TEST(FileSystem, OpenBelowAFolderNeverLeavesIt) {
    TempFolder root;
    const auto home = root / "home";
    WriteBytes(root / "secret", "secret");
    WriteBytes(home / "sounds" / "in.mp3", "inside");
    const auto link = [&](const std::string& name, const fs::path& to) { fs::create_symlink(to, home / name); };
    link("near.mp3", "sounds/in.mp3");
    link("absolute-inside.mp3", home / "sounds" / "in.mp3");
    link("chain.mp3", "near.mp3");
    link("up.mp3", "../secret");
    link("absolute-outside.mp3", root / "secret");
    link("via.mp3", "sounds/../../secret");
    link("outside-folder", root.Path());
    link("loop.mp3", "loop.mp3");
    link("dangling.mp3", "absent.mp3");
    struct Case {
        std::string name, content;  // content "" when refused
        std::errc error;
    };
    std::error_code opened;
    const auto folder = os::OpenFolder(home, opened);
    ASSERT_FALSE(opened);
    for (const auto& [name, content, error] : std::vector<Case>{
             {"sounds/in.mp3", "inside", {}},
             {"near.mp3", "inside", {}},
             {"absolute-inside.mp3", "inside", {}},
             {"chain.mp3", "inside", {}},
             {"up.mp3", "", std::errc::cross_device_link},
             {"absolute-outside.mp3", "", std::errc::cross_device_link},
             {"via.mp3", "", std::errc::cross_device_link},
             {"outside-folder/secret", "", std::errc::cross_device_link},
             {"../secret", "", std::errc::cross_device_link},
             {"loop.mp3", "", std::errc::too_many_symbolic_link_levels},
             {"dangling.mp3", "", std::errc::no_such_file_or_directory},
             {"absent.mp3", "", std::errc::no_such_file_or_directory},
         }) {
        std::error_code failure;
        const auto file = os::OpenBelow(folder, name, fs::canonical(home), failure);
        EXPECT_EQ(failure.value(), static_cast<int>(error)) << name << ": " << failure.message();
        if (content.empty()) continue;
        char buffer[16] = {};
        EXPECT_EQ(std::string(buffer, os::Read(file, buffer, sizeof buffer, failure)), content) << name;
    }
}

}  // namespace
}  // namespace qm::test
