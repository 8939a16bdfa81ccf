// Walks tests/fixtures/document: every folder that holds an input file (input.zorbel or
// input.gms) is a case, and every file in it whose name starts with "expected" is what
// one way of processing the input must give, byte for byte. Each expected file is one
// test, named after the case and the file.
//
// To add a kind of expected output, add a row to Producers() below: the file name and
// a function that makes the actual bytes from the case. An expected file without a row
// fails, so no fixture is silently ignored. Where an actual result differs, it is
// written beside the build as <case>/<expected name>.actual for inspection.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <sstream>

#include "cli/CommandLineTool.h"
#include "model/Error.h"
#include "support/TestSupport.h"
#include "model/TextFile.h"
#include "model/TkvxAppletAgent.h"

namespace qm::test {
namespace {

const fs::path kFixtureRoot = FixturesFolder() / "document";

struct FixtureCase {
    fs::path folder;    // the case folder
    fs::path input;     // input.zorbel or input.gms in it
    std::string expected;  // the name of the expected file
};

void PrintTo(const FixtureCase& c, std::ostream* os) { *os << c.folder.filename().string() << "/" << c.expected; }

// Messages name the input by its full path; fixtures hold them as the name alone.
std::string WithoutFolder(std::string text, const fs::path& folder) {
    const auto prefix = DisplayPath(folder) + "/";
    for (auto at = text.find(prefix); at != std::string::npos; at = text.find(prefix, at)) text.erase(at, prefix.size());
    return text;
}

// The document of the input: a project loaded, a menu structure imported.
void LoadInput(TkvxAppletAgent& agent, const FixtureCase& c) {
    if (c.input.extension() == ".gms")
        agent.ImportMenuStructure(c.input);
    else
        agent.LoadProject(c.input);
}

std::string Resaved(const FixtureCase& c) {
    TkvxAppletAgent agent;
    LoadInput(agent, c);
    TempFolder out;
    agent.SaveProject(out / "resaved.zorbel");
    return ReadBytes(out / "resaved.zorbel");
}

std::string Exported(const FixtureCase& c) {
    TkvxAppletAgent agent;
    LoadInput(agent, c);
    TempFolder out;
    agent.ExportMenuStructure(out / "exported.gms");
    return ReadBytes(out / "exported.gms");
}

// The message of the refusal, with a line end; a document that loads is a failure.
std::string LoadError(const FixtureCase& c) {
    TkvxAppletAgent agent;
    try {
        LoadInput(agent, c);
    } catch (const Error& error) {
        return WithoutFolder(error.what(), c.folder) + "\n";
    }
    return "(the input loaded without an error)\n";
}

// What `quillamere-cli check input` prints: standard output, then standard error, then
// the exit status.
std::string Check(const FixtureCase& c) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCommandLineTool({"check", c.input.string()}, out, err);
    return WithoutFolder(out.str() + err.str(), c.folder) + "exit status " + std::to_string(status) + "\n";
}

using Producer = std::function<std::string(const FixtureCase&)>;

const std::map<std::string, Producer>& Producers() {
    static const std::map<std::string, Producer> producers = {
        {"expected-resaved.zorbel", Resaved},  // loaded (or imported), then saved as a project
        {"expected-exported.gms", Exported},   // loaded (or imported), then exported
        {"expected-error.txt", LoadError},     // the refusal's message
        {"expected-check.txt", Check},         // the command-line check's report
    };
    return producers;
}

std::vector<FixtureCase> DiscoverCases() {
    std::vector<FixtureCase> cases;
    if (!fs::is_directory(kFixtureRoot)) return cases;
    for (const auto& entry : fs::recursive_directory_iterator(kFixtureRoot)) {
        if (!entry.is_directory()) continue;
        std::vector<fs::path> inputs;
        std::vector<std::string> expected;
        for (const auto& file : fs::directory_iterator(entry.path())) {
            const auto name = file.path().filename().string();
            if (name.starts_with("input.")) inputs.push_back(file.path());
            if (name.starts_with("expected")) expected.push_back(name);
        }
        if (inputs.size() != 1) continue;
        std::sort(expected.begin(), expected.end());
        for (const auto& name : expected) cases.push_back({entry.path(), inputs.front(), name});
    }
    std::sort(cases.begin(), cases.end(), [](const auto& a, const auto& b) {
        return std::tie(a.folder, a.expected) < std::tie(b.folder, b.expected);
    });
    return cases;
}

std::string TestName(const FixtureCase& c) {
    auto name = fs::relative(c.folder, kFixtureRoot).string() + "_" + c.expected;
    for (auto& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
}

// The first line where two texts differ, for a readable failure.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
    std::size_t line = 1;
    std::size_t start = 0;
    for (std::size_t i = 0; i < std::min(expected.size(), actual.size()); ++i) {
        if (expected[i] != actual[i]) {
            const auto end = [&](const std::string& s) { return s.substr(start, s.find('\n', start) - start); };
            return "line " + std::to_string(line) + ":\n  expected: " + ::testing::PrintToString(end(expected)) +
                   "\n  actual:   " + ::testing::PrintToString(end(actual));
        }
        if (expected[i] == '\n') {
            ++line;
            start = i + 1;
        }
    }
    return "one is a prefix of the other (" + std::to_string(expected.size()) + " against " +
           std::to_string(actual.size()) + " bytes)";
}

class FixtureCases : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(FixtureCases, GiveTheExpectedBytes) {
    const auto& c = GetParam();
    const auto producer = Producers().find(c.expected);
    ASSERT_NE(producer, Producers().end())
        << "no producer for " << c.expected << " in " << c.folder << "; add one to Producers()";
    std::string actual;
    try {
        actual = producer->second(c);
    } catch (const std::exception& error) {
        FAIL() << "processing " << c.input << " failed: " << error.what();
    }
    const auto expected = ReadBytes(c.folder / c.expected);
    if (actual != expected) {
        const auto saved = fs::path("fixture-actual") / fs::relative(c.folder, kFixtureRoot) / (c.expected + ".actual");
        fs::create_directories(saved.parent_path());
        WriteBytes(saved, actual);
        ADD_FAILURE() << c.folder.filename() << "/" << c.expected << " differs at "
                      << FirstDifference(expected, actual) << "\nactual written to " << fs::absolute(saved);
    }
}

INSTANTIATE_TEST_SUITE_P(Document, FixtureCases, ::testing::ValuesIn(DiscoverCases()),
                         [](const auto& info) { return TestName(info.param); });

TEST(FixtureWalker, FindsTheCases) {
    // A moved or misnamed fixture folder must not pass as "no cases, no failures".
    EXPECT_GE(DiscoverCases().size(), 10u) << "under " << kFixtureRoot;
}

}  // namespace
}  // namespace qm::test
