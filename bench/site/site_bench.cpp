// Publishing a 60-item menu into a site of 1,000 pages (at depths 0 to 3, each about
// 8 KB of the designer's own markup with the menu's markers), beside copying those
// pages: the same bytes read and written as one set through the safe-save helper (what
// every file of the program gets) and with plain streams. Each publish writes every
// page, since two menus take turns. Prints ours / baseline (medians) at the end.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "model/LookValues.h"
#include "model/SafeSave.h"
#include "RatioReporter.h"
#include "site/SiteFiles.h"
#include "site/SitePublisher.h"

namespace {

namespace fs = std::filesystem;
using qm::TkvxAppletAgent;

constexpr int kPages = 1000;

const fs::path& Folder() {
    static const fs::path folder = [] {
        auto path = fs::temp_directory_path() / ("quillamere-bench-site-" + std::to_string(std::random_device{}()));
        fs::create_directories(path / "program");
        std::ofstream(path / "program" / "zelvanbar.swf") << "FWS";
        std::ofstream(path / "program" / "swfhelper.js") << "//";
        const std::string body = [] {
            std::string text;
            while (text.size() < 8000) text += "<p class=\"story\">The yard builds <a href=\"boats.html\">boats</a>.</p>\n";
            return text;
        }();
        for (int i = 0; i < kPages; ++i) {
            const std::string folders[] = {"", "boats/", "boats/sails/", "boats/sails/rigging/"};
            const auto page = path / "site" / (folders[i % 4] + "page" + std::to_string(i) + ".html");
            fs::create_directories(page.parent_path());
            std::ofstream(page, std::ios::binary) << "<!DOCTYPE html>\n<html><head><title>Page " << i
                                                  << "</title></head>\n<body>\n<header>\n<!-- Quillamere menu -->\n"
                                                  << "<!-- End of Quillamere menu -->\n</header>\n"
                                                  << body << "</body>\n</html>\n";
        }
        return path;
    }();
    return folder;
}

TkvxAppletAgent Menu(const std::string& version) {
    TkvxAppletAgent agent;
    qm::TItemArray items(60);
    for (int i = 0; i < 60; ++i) {
        items[i] = TkvxAppletAgent::NewItemData();
        items[i].Text = version + " item " + std::to_string(i);
        items[i].Link = "boats/page" + std::to_string(i) + ".html";
        items[i].Level = i % 6 == 0 ? "0" : "1";
    }
    agent.ReplaceDocument(qm::DefaultAppletData(), items);
    return agent;
}

std::vector<fs::path> Pages() {
    std::vector<fs::path> pages;
    for (const auto& page : qm::ListSitePages(Folder() / "site")) pages.push_back(page.path);
    return pages;
}

void SitePublishOurs(benchmark::State& state) {
    TkvxAppletAgent menus[] = {Menu("a"), Menu("b")};
    const qm::SiteSources sources{Folder() / "site", {}, {Folder() / "program", Folder() / "program"}};
    static int turn = 0;  // the repetitions go on where the last one stopped
    for (auto _ : state) {
        auto plan = qm::PlanSitePublish(menus[turn++ % 2], sources);
        qm::CommitSitePlan(plan, Folder() / "history");
        if (plan.Count(qm::PageOutcome::Written) != kPages) state.SkipWithError("not every page was written");
    }
}

// Every page read and written back as one safely saved set: the same work on the disk.
void SiteCopyBaseline(benchmark::State& state) {
    const auto pages = Pages();
    for (auto _ : state) {
        qm::SafeSave save;
        for (const auto& page : pages) save.Write(save.Add(page), qm::ReadFileBytes(page));
        save.Commit();
    }
}

// Every page copied with plain streams to a file beside it.
void SitePlainCopyBaseline(benchmark::State& state) {
    const auto pages = Pages();
    for (auto _ : state)
        for (const auto& page : pages) {
            std::ifstream in(page, std::ios::binary);
            std::ofstream(page.string() + ".copy", std::ios::binary) << in.rdbuf();
        }
}

BENCHMARK(SitePublishOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(SiteCopyBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(SitePlainCopyBaseline)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    qm::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios({{"SitePublishOurs", "SiteCopyBaseline"}, {"SitePublishOurs", "SitePlainCopyBaseline"}},
                         std::to_string(kPages) + " pages");
    std::error_code ec;
    fs::remove_all(Folder(), ec);
    return 0;
}
