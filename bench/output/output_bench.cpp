// Page making and a whole publish of a 100,000-item menu, each beside a baseline that
// writes the same bytes with plain streams: of the menu made in memory, and of the same
// menu read from its project file (what `quillamere-cli publish` does). The page also
// beside the same bytes saved safely, as every file of the program is, and made in
// memory without a file. And the command line's check, page and publish of the project
// file as saved and as a hand-made file without parent indices has it, which should
// cost the same. Prints ours / baseline (medians of the repetitions) at the end.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <algorithm>
#include <iostream>
#include <map>
#include <random>
#include <vector>

#include "output/PageWriter.h"
#include "output/Publisher.h"
#include "model/SafeSave.h"
#include "RatioReporter.h"

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

// The same menu read from the project file it saves to.
TkvxAppletAgent& LoadedMenu() {
    static TkvxAppletAgent agent = [] {
        Menu().SaveProject(Folder() / "loaded.zorbel");
        TkvxAppletAgent a;
        a.LoadProject(Folder() / "loaded.zorbel");
        return a;
    }();
    return agent;
}

void WritePlain(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The same project as a hand-made or older file has it: every ParentIndex empty. Read,
// made into a page and published, it should cost what the saved file costs.
const fs::path& HandMadeProject() {
    static const fs::path path = [] {
        LoadedMenu();
        std::ifstream in(Folder() / "loaded.zorbel", std::ios::binary);
        const std::string saved((std::istreambuf_iterator<char>(in)), {});
        std::string handMade;
        bool items = false;
        for (std::size_t from = 0; from < saved.size();) {
            const auto end = saved.find("\r\n", from);
            std::string line = saved.substr(from, end - from);
            if (line == "</Item_Parameters>") items = false;
            if (items) {
                line.resize(line.size() - 3);                 // the last separator
                line.resize(line.rfind("#$@") + 3);           // the parent index
                line += "#$@";
            }
            if (line == "<Item_Parameters>") items = true;
            handMade += line + "\r\n";
            from = end + 2;
        }
        WritePlain(Folder() / "hand.zorbel", handMade);
        return Folder() / "hand.zorbel";
    }();
    return path;
}

const fs::path& SavedProject() {
    LoadedMenu();
    static const fs::path path = Folder() / "loaded.zorbel";
    return path;
}

// What the command line's check, page and publish do with a project file, in process.
void Check(const fs::path& project) {
    TkvxAppletAgent agent;
    agent.LoadProject(project);
    benchmark::DoNotOptimize(agent.Depths().size());
}
void Page(const fs::path& project) {
    TkvxAppletAgent agent;
    agent.LoadProject(project);
    std::size_t bytes = 0;
    qm::WriteHtml(agent, [&bytes](std::string_view part) { bytes += part.size(); });
    benchmark::DoNotOptimize(bytes);
}
void Publish(const fs::path& project) {
    TkvxAppletAgent agent;
    agent.LoadProject(project);
    qm::SaveAndPublish(agent, Folder() / "published", "menu.zorbel", {Folder() / "program", Folder()});
}

void CheckSaved(benchmark::State& state) {
    for (auto _ : state) Check(SavedProject());
}
void CheckHandMade(benchmark::State& state) {
    for (auto _ : state) Check(HandMadeProject());
}
void PageSaved(benchmark::State& state) {
    for (auto _ : state) Page(SavedProject());
}
void PageHandMade(benchmark::State& state) {
    for (auto _ : state) Page(HandMadeProject());
}
void PublishSaved(benchmark::State& state) {
    fs::create_directories(Folder() / "published");
    for (auto _ : state) Publish(SavedProject());
}
void PublishHandMade(benchmark::State& state) {
    fs::create_directories(Folder() / "published");
    for (auto _ : state) Publish(HandMadeProject());
}

void PageOurs(benchmark::State& state) {
    auto& agent = Menu();
    for (auto _ : state) qm::MakeHtmlCodes(agent, Folder() / "page.html");
}

void PageLoadedOurs(benchmark::State& state) {
    auto& agent = LoadedMenu();
    for (auto _ : state) qm::MakeHtmlCodes(agent, Folder() / "page.html");
}

// The page made in memory only, without a file: what the making itself costs.
void PageMakeOnly(benchmark::State& state) {
    auto& agent = Menu();
    for (auto _ : state) benchmark::DoNotOptimize(qm::MakeHtmlText(agent));
}
void PageLoadedMakeOnly(benchmark::State& state) {
    auto& agent = LoadedMenu();
    for (auto _ : state) benchmark::DoNotOptimize(qm::MakeHtmlText(agent));
}

void PageBaseline(benchmark::State& state) {
    const auto bytes = qm::MakeHtmlText(Menu());
    for (auto _ : state) WritePlain(Folder() / "page-plain.html", bytes);
}

// The same bytes written the way the program writes every file (a temporary file renamed
// over the target), to tell the making of the page from the way it reaches the disk.
void PageSafeSaveBaseline(benchmark::State& state) {
    const auto bytes = qm::MakeHtmlText(Menu());
    for (auto _ : state) qm::SaveFileSafely(Folder() / "page-safe.html", bytes);
}

void PublishOurs(benchmark::State& state) {
    auto& agent = Menu();
    const qm::PublishFolders folders{Folder() / "program", Folder() / "program"};
    for (auto _ : state) qm::SaveAndPublish(agent, Folder(), "menu.zorbel", folders);
}

void PublishLoadedOurs(benchmark::State& state) {
    auto& agent = LoadedMenu();
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
BENCHMARK(PageLoadedOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(PageBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(PageSafeSaveBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(PageMakeOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(PageLoadedMakeOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(PublishOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(PublishLoadedOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(PublishBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(CheckSaved)->Unit(benchmark::kMillisecond);
BENCHMARK(CheckHandMade)->Unit(benchmark::kMillisecond);
BENCHMARK(PageSaved)->Unit(benchmark::kMillisecond);
BENCHMARK(PageHandMade)->Unit(benchmark::kMillisecond);
BENCHMARK(PublishSaved)->Unit(benchmark::kMillisecond);
BENCHMARK(PublishHandMade)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    qm::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios({{"PageOurs", "PageBaseline"},
                          {"PageLoadedOurs", "PageBaseline"},
                          {"PageOurs", "PageSafeSaveBaseline"},
                          {"PageSafeSaveBaseline", "PageBaseline"},
                          {"PublishOurs", "PublishBaseline"},
                          {"PublishLoadedOurs", "PublishBaseline"},
                          {"PageHandMade", "CheckHandMade"},
                          {"PublishHandMade", "CheckHandMade"},
                          {"PageHandMade", "PageSaved"},
                          {"PublishHandMade", "PublishSaved"}},
                         std::to_string(kItems) + " items");
    std::error_code ec;
    fs::remove_all(Folder(), ec);
    return 0;
}
