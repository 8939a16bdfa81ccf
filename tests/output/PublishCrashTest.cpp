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
#include <functional>
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

struct KillCounts {
    int kills = 0;
    int runs = 0;
    unsigned seed = 0;
};

// Runs command(version), the versions 0 and 1 in turn, killing it at random moments:
// half the kills anywhere in the run, half near its end, where the files are written
// and renamed. The time a run takes (runTime, first measured by the caller) changes
// with the load of the machine, so it is learnt as the runs go: a run that ends before
// its kill shortens it, a killed one lengthens it a little, so that most runs are
// killed and many of them near their end. After each run, check(run) looks at what it
// left. At least wantedKills kills, at most three times as many runs.
KillCounts KillRepeatedly(const std::function<std::vector<std::string>(int version)>& command, double runTime,
                          int wantedKills, const std::function<void(int run)>& check) {
    const char* seedText = std::getenv("QUILLAMERE_CRASH_SEED");
    KillCounts counts;
    counts.seed = seedText ? static_cast<unsigned>(std::strtoul(seedText, nullptr, 10)) : 15u;
    std::mt19937 random(counts.seed);
    while (counts.kills < wantedKills && counts.runs < 3 * wantedKills) {
        const int version = counts.runs++ % 2;
        const double share = counts.runs % 4 < 2 ? std::uniform_real_distribution<double>(0.0, 1.0)(random)
                                                 : std::uniform_real_distribution<double>(0.7, 1.0)(random);
        const auto start = Clock::now();
        const auto killAt = start + std::chrono::duration<double>(share * runTime);
        const pid_t pid = StartProgram(command(version));
        EXPECT_GT(pid, 0);
        if (pid <= 0) return counts;
        int status = 0;
        pid_t ended = 0;
        while (ended == 0 && Clock::now() < killAt) {
            std::this_thread::sleep_for(std::chrono::microseconds(500));
            ended = ::waitpid(pid, &status, WNOHANG);
        }
        if (ended == 0) {
            ::kill(pid, SIGKILL);
            EXPECT_EQ(::waitpid(pid, &status, 0), pid);
        }
        if (WIFSIGNALED(status)) {
            ++counts.kills;
            runTime *= 1.01;
        } else {
            EXPECT_EQ(WEXITSTATUS(status), 0) << "run " << counts.runs << " (seed " << counts.seed << ")";
            runTime = std::min(0.93 * runTime, std::chrono::duration<double>(Clock::now() - start).count());
        }
        check(counts.runs);
        if (::testing::Test::HasFailure()) return counts;
    }
    EXPECT_GE(counts.kills, wantedKills) << "too many runs ended before their kill";
    return counts;
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

    int mixedSets = 0, withTemporaryFiles = 0, temporaryFiles = 0;
    const auto [kills, runs, seed] = KillRepeatedly(
        [&](int version) {
            return std::vector<std::string>{CliProgram(), "publish", projects[version].string(), "--to", site.string()};
        },
        publishTime, kKills, [&](int run) {
        const auto files = FilesIn(site);
        int fromVersion[2] = {0, 0}, temporary = 0;
        for (const auto& [name, bytes] : files) {
            if (IsTemporaryFileName(name)) {
                ++temporary;
                continue;
            }
            ASSERT_TRUE(sets[0].count(name)) << "run " << run << ": an unknown file " << name;
            const bool old = bytes == sets[0][name], now = bytes == sets[1][name];
            ASSERT_TRUE(old || now) << "run " << run << ": " << name << " is neither version";
            fromVersion[0] += old;
            fromVersion[1] += now;
        }
        ASSERT_EQ(static_cast<int>(files.size()) - temporary, 6) << "run " << run << ": an output is missing";
        if (fromVersion[0] < 6 && fromVersion[1] < 6) ++mixedSets;
        if (temporary > 0) ++withTemporaryFiles;
        temporaryFiles += temporary;
    });
    if (HasFatalFailure()) return;

    ASSERT_EQ(Publish(projects[0], site), 0);
    EXPECT_EQ(FilesIn(site), sets[0]) << "the next publish leaves the new set and nothing else";

    std::cout << "kills: " << kills << " of " << runs << " runs (seed " << seed << "); mixed sets after " << mixedSets << " kills; temporary files after " << withTemporaryFiles
              << " kills (" << temporaryFiles << " in all), none after the next publish\n";
    RecordProperty("kills", kills);
    RecordProperty("mixed_sets", mixedSets);
    RecordProperty("kills_leaving_temporary_files", withTemporaryFiles);
}

// The pages of a site of kSitePages pages (at depths 0 to 2, each with the menu's
// markers) and the companion files at its root, with their bytes.
constexpr int kSitePages = 300;
constexpr int kSiteKills = 100;

FileSet SiteFilesIn(const fs::path& site, int* temporaryFiles = nullptr) {
    FileSet files;
    for (const auto& entry : fs::recursive_directory_iterator(site)) {
        if (!entry.is_regular_file()) continue;
        if (IsTemporaryFileName(entry.path().filename().string())) {
            if (temporaryFiles) ++*temporaryFiles;
            continue;
        }
        files[entry.path().lexically_relative(site).string()] = ReadBytes(entry.path());
    }
    return files;
}

void WriteSite(const fs::path& site) {
    for (int i = 0; i < kSitePages; ++i) {
        const std::string folder = i % 3 == 0 ? "" : i % 3 == 1 ? "boats/" : "boats/sails/";
        WriteBytes(site / (folder + "page" + std::to_string(i) + ".html"),
                         "<html><body>\n<!-- Quillamere menu -->\n<!-- End of Quillamere menu -->\n<p>" +
                             std::string(2000, 'x') + "</p></body></html>\n");
    }
}

void WriteSiteProject(const fs::path& project, const std::string& version) {
    std::vector<ItemRow> rows;
    for (int i = 0; i < 60; ++i)
        rows.push_back({i % 6 == 0 ? 0 : 1, version + " item " + std::to_string(i), "page" + std::to_string(i) + ".html"});
    TkvxAppletAgent agent;
    MakeDocument(agent, rows);
    fs::create_directories(project.parent_path());
    agent.SaveProject(project);
}

TEST(PublishCrash, EveryPageOfASiteIsOldOrNewAfterAnyKill) {
    TempFolder root;
    const fs::path projects[] = {root / "a" / "menu.zorbel", root / "b" / "menu.zorbel"};
    WriteSiteProject(projects[0], "a");
    WriteSiteProject(projects[1], "b");
    const auto site = root / "site";
    WriteSite(site);
    ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);  // the kept versions, for the programs started here
    const auto command = [&](int version) {
        return std::vector<std::string>{CliProgram(), "site", projects[version].string(), "--site", site.string()};
    };

    FileSet sets[2];
    std::vector<double> times;
    for (const int version : {0, 1, 0, 1}) {
        const auto start = Clock::now();
        ASSERT_EQ(RunProgram(command(version)).exitCode, 0);
        times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        sets[version] = SiteFilesIn(site);
    }
    std::sort(times.begin(), times.end());
    ASSERT_EQ(sets[0].size(), sets[1].size());
    ASSERT_NE(sets[0]["boats/sails/page2.html"], sets[1]["boats/sails/page2.html"]);

    int mixedSites = 0, withTemporaryFiles = 0;
    const auto [kills, runs, seed] = KillRepeatedly(command, (times[1] + times[2]) / 2, kSiteKills, [&](int run) {
        int temporary = 0;
        const auto files = SiteFilesIn(site, &temporary);
        ASSERT_EQ(files.size(), sets[0].size()) << "run " << run << ": a page or a companion is missing or new";
        int fromVersion[2] = {0, 0};
        for (const auto& [name, bytes] : files) {
            const bool old = bytes == sets[0][name], now = bytes == sets[1][name];
            ASSERT_TRUE(old || now) << "run " << run << ": " << name << " is neither version";
            fromVersion[0] += old;
            fromVersion[1] += now;
        }
        const int all = static_cast<int>(files.size());
        if (fromVersion[0] < all && fromVersion[1] < all) ++mixedSites;
        if (temporary > 0) ++withTemporaryFiles;
    });
    if (HasFatalFailure()) return;

    // A publish writes only the pages that change, and a folder's leftover temporary
    // files go with the first file written there: the other version first, so that the
    // last publish writes every page.
    ASSERT_EQ(RunProgram(command(1)).exitCode, 0);
    ASSERT_EQ(RunProgram(command(0)).exitCode, 0);
    int temporary = 0;
    EXPECT_EQ(SiteFilesIn(site, &temporary), sets[0]) << "the next publish leaves the new site";
    EXPECT_EQ(temporary, 0) << "and no temporary file";
    ::unsetenv("XDG_DATA_HOME");
    std::cout << "site kills: " << kills << " of " << runs << " runs (seed " << seed << "); mixed sites after "
              << mixedSites << " kills; temporary files after " << withTemporaryFiles << " kills\n";
    RecordProperty("site_kills", kills);
}

}  // namespace
}  // namespace qm::test
