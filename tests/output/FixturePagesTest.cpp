// Every folder under fixtures/publish holds a project (input.zorbel, with any sound
// files beside it) and what publishing it must write: expected.html,
// expected_PublishReport.txt and expected.zorbel (the project as saved again).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "model/LookValues.h"
#include "output/Publisher.h"
#include "support/TestSupport.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> FixtureCases() {
    std::vector<fs::path> cases;
    for (const auto& entry : fs::directory_iterator(FixturesFolder() / "publish"))
        if (entry.is_directory()) cases.push_back(entry.path());
    std::sort(cases.begin(), cases.end());
    return cases;
}

class FixturePublish : public ::testing::TestWithParam<fs::path> {};

TEST_P(FixturePublish, WritesTheExpectedPageReportAndProject) {
    const auto& folder = GetParam();
    TempFolder out;
    TkvxAppletAgent agent;
    agent.LoadProject(folder / "input.zorbel");
    agent.SetAppletData(NormalizeAppletData(agent.AppletData()));
    // The movie and the script from beside the built program, as the window finds them.
    SaveAndPublish(agent, out.Path(), "input.zorbel", {fs::path(CliProgram()).parent_path(), folder});
    for (const auto& [written, expected] : {std::pair{"input.html", "expected.html"},
                                            std::pair{"input_PublishReport.txt", "expected_PublishReport.txt"},
                                            std::pair{"input.zorbel", "expected.zorbel"}}) {
        ASSERT_TRUE(fs::exists(folder / expected)) << folder / expected;
        EXPECT_EQ(ReadBytes(out / written), ReadBytes(folder / expected)) << folder.filename() << ": " << written;
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FixturePublish, ::testing::ValuesIn(FixtureCases()),
                         [](const auto& info) {
                             auto name = info.param.filename().string();
                             for (auto& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

}  // namespace
}  // namespace qm::test
