// quillamere-cli publish killed at random moments while it publishes a 100,000-item
// project over an earlier set: after every kill each output is whole, the earlier
// version or the new one, and the next publish leaves no temporary file behind.
// Bounded: at least kKills kills, at most three times as many runs, each killed within
// about the time an uninterrupted publish takes.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <map>
#include <random>
#include <thread>

#include "model/SafeSave.h"
#include "support/DocumentBuilder.h"
#include "support/TestSupport.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kKills = 200;
constexpr int kItems = 100000;

using FileSet = std::map<std::string, std::string>;

FileSet FilesIn(const fs::path& folder) {
    FileSet files;
    for (const auto& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = ReadBytes(entry.path());
    return files;
}

// A project "menu.zorbel" in folder, with its sound beside it; version names the
// captions and the sound.
void WriteProject(const fs::path& folder, const std::string& version) {
    std::vector<ItemRow> rows;
    rows.reserve(kItems);
    for (int i = 0; i < kItems; ++i)
        rows.push_back({i % 10 == 0 ? 0 : 1, version + " item " + std::to_string(i),
                        version + "/" + std::to_string(i) + ".html"});
    TkvxAppletAgent agent;
    MakeDocument(agent, rows);
    auto look = agent.GetAppletData();
    look.mainItemHoverSound = "s.mp3";
    agent.SetAppletData(look);
    fs::create_directories(folder);
    agent.SaveProject(folder / "menu.zorbel");
    WriteBytes(folder / "s.mp3", "the sound of " + version);
}

int Publish(const fs::path& project, const fs::path& site) {
    return RunProgram({CliProgram(), "publish", project.string(), "--to", site.string()}).exitCode;
}

TEST(PublishCrash, EveryOutputIsOldOrNewAfterAnyKillAndTheNextPublishLeavesNoTemporaryFile) {
    TempFolder root;
    const fs::path projects[] = {root / "a" / "menu.zorbel", root / "b" / "menu.zorbel"};
    WriteProject(root / "a", "a");
    WriteProject(root / "b", "b");
    const auto site = root / "site";
    fs::create_directories(site);

    // Each version's set, from publishes that are not interrupted. The kills are
    // spread over the time a publish takes. That time changes with the load of the
    // machine, so it is learnt as the runs go: the median of these four first; then a
    // run that ends before its kill shortens it, a killed one lengthens it a little, so
    // that most runs are killed and many of them near their end.
    FileSet sets[2];
    std::vector<double> times;
    for (const int version : {0, 1, 0, 1}) {
        const auto start = Clock::now();
        ASSERT_EQ(Publish(projects[version], site), 0);
        times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        sets[version] = FilesIn(site);
    }
    std::sort(times.begin(), times.end());
    double publishTime = (times[1] + times[2]) / 2;
    ASSERT_EQ(sets[0].size(), 6u);
    ASSERT_NE(sets[0]["menu.html"], sets[1]["menu.html"]);

    const char* seedText = std::getenv("QUILLAMERE_CRASH_SEED");
    const unsigned seed = seedText ? static_cast<unsigned>(std::strtoul(seedText, nullptr, 10)) : 15u;
    std::mt19937 random(seed);
    int kills = 0, runs = 0, mixedSets = 0, withTemporaryFiles = 0, temporaryFiles = 0;
    while (kills < kKills && runs < 3 * kKills) {
        const int version = runs++ % 2;
        // Half the kills anywhere in the run, half near its end, where the files are
        // written and renamed.
        const double share = runs % 4 < 2 ? std::uniform_real_distribution<double>(0.0, 1.0)(random)
                                          : std::uniform_real_distribution<double>(0.7, 1.0)(random);
        const auto start = Clock::now();
        const auto killAt = start + std::chrono::duration<double>(share * publishTime);
        const pid_t pid = StartProgram({CliProgram(), "publish", projects[version].string(), "--to", site.string()});
        ASSERT_GT(pid, 0);
        int status = 0;
        pid_t ended = 0;
        while (ended == 0 && Clock::now() < killAt) {
            std::this_thread::sleep_for(std::chrono::microseconds(500));
            ended = ::waitpid(pid, &status, WNOHANG);
        }
        if (ended == 0) {
            ::kill(pid, SIGKILL);
            ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        }
        if (WIFSIGNALED(status)) {
            ++kills;
            publishTime *= 1.01;
        } else {
            ASSERT_EQ(WEXITSTATUS(status), 0) << "run " << runs;
            publishTime = std::min(0.93 * publishTime, std::chrono::duration<double>(Clock::now() - start).count());
        }

        const auto files = FilesIn(site);
        int fromVersion[2] = {0, 0}, temporary = 0;
        for (const auto& [name, bytes] : files) {
            if (IsTemporaryFileName(name)) {
                ++temporary;
                continue;
            }
            ASSERT_TRUE(sets[0].count(name)) << "run " << runs << ": an unknown file " << name;
            const bool old = bytes == sets[0][name], now = bytes == sets[1][name];
            ASSERT_TRUE(old || now) << "run " << runs << " (seed " << seed << "): " << name << " is neither version";
            fromVersion[0] += old;
            fromVersion[1] += now;
        }
        ASSERT_EQ(static_cast<int>(files.size()) - temporary, 6) << "run " << runs << ": an output is missing";
        if (fromVersion[0] < 6 && fromVersion[1] < 6) ++mixedSets;
        if (temporary > 0) ++withTemporaryFiles;
        temporaryFiles += temporary;
    }
    EXPECT_GE(kills, kKills) << "too many publishes ended before their kill";

    ASSERT_EQ(Publish(projects[0], site), 0);
    EXPECT_EQ(FilesIn(site), sets[0]) << "the next publish leaves the new set and nothing else";

    std::cout << "kills: " << kills << " of " << runs << " runs (seed " << seed << ", kill window at the end " << publishTime
              << " s); mixed sets after " << mixedSets << " kills; temporary files after " << withTemporaryFiles
              << " kills (" << temporaryFiles << " in all), none after the next publish\n";
    RecordProperty("kills", kills);
    RecordProperty("mixed_sets", mixedSets);
    RecordProperty("kills_leaving_temporary_files", withTemporaryFiles);
}

}  // namespace
}  // namespace qm::test
