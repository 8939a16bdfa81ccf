// Page making and a whole publish of a 100,000-item menu, each beside a baseline that
// writes the same bytes with plain streams. Prints ours / baseline at the end.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>

#include "PageWriter.h"
#include "Publisher.h"

namespace {

namespace fs = std::filesystem;
using qm::TkvxAppletAgent;

constexpr int kItems = 100'000;

// 10,000 main items with nine sub items each, captions with blanks and accents.
TkvxAppletAgent& Menu() {
    static TkvxAppletAgent agent = [] {
        TkvxAppletAgent a;
        a.ResetToDefaults();
        for (int i = 0; i < kItems; ++i) {
            auto item = TkvxAppletAgent::NewItemData();
            const bool main = i % 10 == 0;
            item.Level = main ? "0" : "1";
            item.Text = (main ? "Main item " : "Caf\xC3\xA9 sub ") + std::to_string(i);
            item.Link = "https://www.example.com/section/page" + std::to_string(i) + ".html";
            a.InsertItem(a.ItemCount(), item);
        }
        return a;
    }();
    return agent;
}

const fs::path& Folder() {
    static const fs::path folder = [] {
        auto path = fs::temp_directory_path() / ("quillamere-bench-" + std::to_string(std::random_device{}()));
        fs::create_directories(path / "program");
        std::ofstream(path / "program" / "zelvanbar.swf") << "FWS";
        std::ofstream(path / "program" / "swfhelper.js") << "//";
        return path;
    }();
    return folder;
}

void WritePlain(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void PageOurs(benchmark::State& state) {
    auto& agent = Menu();
    for (auto _ : state) qm::MakeHtmlCodes(agent, Folder() / "page.html");
}

void PageBaseline(benchmark::State& state) {
    const auto bytes = qm::MakeHtmlText(Menu());
    for (auto _ : state) WritePlain(Folder() / "page-plain.html", bytes);
}

void PublishOurs(benchmark::State& state) {
    auto& agent = Menu();
    const qm::PublishFolders folders{Folder() / "program", Folder() / "program"};
    for (auto _ : state) qm::SaveAndPublish(agent, Folder(), "menu.zorbel", folders);
}

void PublishBaseline(benchmark::State& state) {
    auto& agent = Menu();
    qm::SaveAndPublish(agent, Folder(), "menu.zorbel", {Folder() / "program", Folder() / "program"});
    std::map<std::string, std::string> files;
    for (const auto* name : {"menu.html", "menu.zorbel", "menu_PublishReport.txt", "zelvanbar.swf", "swfhelper.js"}) {
        std::ifstream in(Folder() / name, std::ios::binary);
        files[name].assign(std::istreambuf_iterator<char>(in), {});
    }
    for (auto _ : state)
        for (const auto& [name, bytes] : files) WritePlain(Folder() / ("plain-" + name), bytes);
}

BENCHMARK(PageOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(PageBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(PublishOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(PublishBaseline)->Unit(benchmark::kMillisecond);

// Remembers each benchmark's time per iteration so the ratios can be printed last.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs)
            if (!run.error_occurred) seconds_[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    void PrintRatios() const {
        for (const auto* name : {"Page", "Publish"}) {
            const auto ours = seconds_.find(std::string(name) + "Ours");
            const auto base = seconds_.find(std::string(name) + "Baseline");
            if (ours != seconds_.end() && base != seconds_.end())
                std::cout << name << " of " << kItems << " items: ours / baseline = " << ours->second / base->second
                          << "\n";
        }
    }

private:
    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    std::error_code ec;
    fs::remove_all(Folder(), ec);
    return 0;
}
