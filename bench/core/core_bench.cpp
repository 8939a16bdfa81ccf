// Speed of the menu document beside baselines in the same run:
//   Load  - LoadProject of a 100,000-item project, beside reading the same file's lines
//           with a plain stream (std::ifstream + std::getline), and beside the least a
//           reader can do (MinimalReader.h: one buffer, memchr, string views); the same
//           at 1,000 to 1,000,000 items, where the time per byte must stay flat.
//   Save  - SaveProject of that document, unchanged since it was read and with one
//           caption edited, beside writing the same lines with a plain stream
//           (std::ofstream, CR LF after each line).
//   Move  - moving a 10,000-item subtree past a 10,000-item sibling, beside std::rotate
//           over the same 20,000 records; and the same move inside a 100,000-item
//           document, which must cost no more, since a move touches only the two
//           subtrees.
// After the runs a summary prints each ratio (ours / baseline) with its aim.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "MinimalReader.h"
#include "model/TkvxAppletAgent.h"

namespace {

namespace fs = std::filesystem;
using qm::TItemArray;
using qm::TItemData;
using qm::TkvxAppletAgent;

constexpr int kProjectItems = 100'000;
constexpr int kSubtreeItems = 10'000;

// A folder for the benchmark files, removed at exit.
struct BenchFolder {
    fs::path path;
    BenchFolder() {
        std::random_device random;
        path = fs::temp_directory_path() / ("quillamere-bench-core-" + std::to_string(random()));
        fs::create_directories(path);
    }
    ~BenchFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

BenchFolder& Folder() {
    static BenchFolder folder;
    return folder;
}

TItemData Item(int i, bool sub, int parent) {
    TItemData item = TkvxAppletAgent::NewItemData();
    item.Text = "Item " + std::to_string(i);
    item.Link = "http://www.example.com/section/page" + std::to_string(i) + ".html";
    item.Level = sub ? "1" : "0";
    item.ParentIndex = std::to_string(parent);
    return item;
}

// A menu of count items: a main item with nine sub items, over and over.
TItemArray LargeMenu(int count = kProjectItems) {
    TItemArray items;
    items.reserve(count);
    int main = -1;
    for (int i = 0; i < count; ++i) {
        const bool sub = i % 10 != 0;
        if (!sub) main = i;
        items.push_back(Item(i, sub, sub ? main : -1));
    }
    return items;
}

// Two main items with 9,999 sub items each, preceded by `before` items of small menus.
TItemArray TwoLargeSubtrees(int before) {
    TItemArray items;
    for (int i = 0; i < before; ++i) items.push_back(Item(i, i % 10 != 0, 0));
    for (int tree = 0; tree < 2; ++tree)
        for (int i = 0; i < kSubtreeItems; ++i) items.push_back(Item(before + tree * kSubtreeItems + i, i != 0, 0));
    return items;
}

fs::path MakeProject(int count) {
    TkvxAppletAgent agent;
    agent.ResetToDefaults();
    agent.ReplaceDocument(agent.AppletData(), LargeMenu(count));
    const auto file = Folder().path / ("menu-" + std::to_string(count) + ".zorbel");
    agent.SaveProject(file);
    return file;
}

const fs::path& ProjectPath() {
    static const fs::path path = MakeProject(kProjectItems);
    return path;
}

std::vector<std::string> LinesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

void Load_Quillamere(benchmark::State& state) {
    const auto& path = ProjectPath();
    TkvxAppletAgent agent;
    for (auto _ : state) {
        agent.LoadProject(path);
        benchmark::DoNotOptimize(agent.ItemCount());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(path)));
}

// Loading 10 and 100 times as many items: the time per byte stays the same.
std::map<std::string, double>& ScalingBytes() {  // "Load_Scaling/<items>" -> file size
    static std::map<std::string, double> bytes;
    return bytes;
}

void Load_Scaling(benchmark::State& state) {
    const auto path = MakeProject(static_cast<int>(state.range(0)));
    TkvxAppletAgent agent;
    for (auto _ : state) {
        agent.LoadProject(path);
        benchmark::DoNotOptimize(agent.ItemCount());
    }
    const auto size = static_cast<int64_t>(fs::file_size(path));
    state.SetBytesProcessed(state.iterations() * size);
    ScalingBytes()["Load_Scaling/" + std::to_string(state.range(0))] = static_cast<double>(size);
}

void Load_MinimalReader(benchmark::State& state) {
    const auto& path = ProjectPath();
    for (auto _ : state) {
        auto document = bench::ReadMinimally(path.c_str());
        benchmark::DoNotOptimize(document.fieldBytes);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(path)));
}

// The minimal reader at the largest scale, for the ratio there.
void Load_MinimalReaderScaling(benchmark::State& state) {
    const auto path = MakeProject(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto document = bench::ReadMinimally(path.c_str());
        benchmark::DoNotOptimize(document.fieldBytes);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(path)));
}

void Load_PlainStreams(benchmark::State& state) {
    const auto& path = ProjectPath();
    for (auto _ : state) {
        auto lines = LinesOf(path);
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(path)));
}

void Save_Quillamere(benchmark::State& state) {
    TkvxAppletAgent agent;
    agent.LoadProject(ProjectPath());
    const auto target = Folder().path / "saved.zorbel";
    for (auto _ : state) agent.SaveProject(target);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(target)));
}

// The writer's way: one caption differs from the file, so the document is written out.
void Save_Edited(benchmark::State& state) {
    TkvxAppletAgent agent;
    agent.LoadProject(ProjectPath());
    agent.SetItemCaption(0, "Edited");
    const auto target = Folder().path / "edited.zorbel";
    for (auto _ : state) agent.SaveProject(target);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(target)));
}

void Save_PlainStreams(benchmark::State& state) {
    const auto lines = LinesOf(ProjectPath());
    const auto target = Folder().path / "plain.zorbel";
    for (auto _ : state) {
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        for (const auto& line : lines) out << line << "\r\n";
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(target)));
}

// Each iteration moves the first large subtree past the second, or back.
void MoveIn(benchmark::State& state, int before) {
    TkvxAppletAgent agent;
    agent.ReplaceDocument(qm::DefaultAppletData(), TwoLargeSubtrees(before));
    const int first = before;
    const int second = before + kSubtreeItems;
    bool down = true;
    for (auto _ : state) {
        const bool moved = down ? agent.MoveNodeDown(first) : agent.MoveNodeUp(second);
        if (!moved) state.SkipWithError("the move was refused");
        down = !down;
    }
    state.SetItemsProcessed(state.iterations() * 2 * kSubtreeItems);
}

void Move_Quillamere(benchmark::State& state) { MoveIn(state, 0); }
void Move_InLargeDocument(benchmark::State& state) { MoveIn(state, kProjectItems - 2 * kSubtreeItems); }

void Move_StdRotate(benchmark::State& state) {
    auto items = TwoLargeSubtrees(0);
    for (auto _ : state) {
        std::rotate(items.begin(), items.begin() + kSubtreeItems, items.end());
        benchmark::DoNotOptimize(items.data());
    }
    state.SetItemsProcessed(state.iterations() * 2 * kSubtreeItems);
}

BENCHMARK(Load_Quillamere)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Load_PlainStreams)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Load_MinimalReader)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Save_Quillamere)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Save_Edited)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Save_PlainStreams)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Load_Scaling)
    ->Arg(1'000)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(Load_MinimalReaderScaling)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Move_Quillamere)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(Move_StdRotate)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(Move_InLargeDocument)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Shows the runs as usual and keeps each benchmark's times for the summary.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    struct Times {
        double real = 0;  // seconds per iteration
        double cpu = 0;
    };
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            if (run.error_occurred) continue;
            const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
            const Times times{run.GetAdjustedRealTime() / unit, run.GetAdjustedCPUTime() / unit};
            const auto name = run.run_name.function_name +
                               (run.run_name.args.empty() ? "" : "/" + run.run_name.args);
            if (run.run_type == Run::RT_Iteration)
                runs_[name].push_back(times);
            else if (run.aggregate_name == "median")  // --benchmark_report_aggregates_only
                medians_[name] = times;
        }
    }
    // The median of the repetitions; zero when the benchmark did not run.
    Times Median(const std::string& name) const {
        if (const auto median = medians_.find(name); median != medians_.end()) return median->second;
        const auto found = runs_.find(name);
        if (found == runs_.end() || found->second.empty()) return {};
        auto median = [](std::vector<double> values) {
            std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
            return values[values.size() / 2];
        };
        std::vector<double> real;
        std::vector<double> cpu;
        for (const auto& times : found->second) {
            real.push_back(times.real);
            cpu.push_back(times.cpu);
        }
        return {median(real), median(cpu)};
    }

private:
    std::map<std::string, std::vector<Times>> runs_;
    std::map<std::string, Times> medians_;
};

void PrintRatio(const RatioReporter& reporter, const std::string& ours, const std::string& baseline, double aim) {
    const auto a = reporter.Median(ours);
    const auto b = reporter.Median(baseline);
    if (a.real <= 0 || b.real <= 0) return;  // filtered out
    const double ratio = a.real / b.real;
    std::printf("  %-22s / %-34s %6.2f  (cpu %5.2f)  aim <= %.1f  %s\n", ours.c_str(), baseline.c_str(), ratio,
                a.cpu / b.cpu, aim, ratio <= aim ? "ok" : "MISSED");
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nRatios, ours / baseline (median real time; CPU time beside it):\n");
    PrintRatio(reporter, "Load_Quillamere", "Load_PlainStreams", 1.5);
    PrintRatio(reporter, "Load_Quillamere", "Load_MinimalReader", 1.5);
    PrintRatio(reporter, "Load_Scaling/1000000", "Load_MinimalReaderScaling/1000000", 1.5);
    PrintRatio(reporter, "Save_Quillamere", "Save_PlainStreams", 3);
    PrintRatio(reporter, "Save_Edited", "Save_PlainStreams", 3);
    PrintRatio(reporter, "Move_Quillamere", "Move_StdRotate", 2);
    PrintRatio(reporter, "Move_InLargeDocument", "Move_StdRotate", 2);
    std::printf("\nLoading time per byte (O(size) keeps it flat):\n");
    for (const auto& [name, bytes] : ScalingBytes())
        if (const auto times = reporter.Median(name); times.real > 0)
            std::printf("  %-22s %6.2f ns per byte\n", name.c_str(), times.real / bytes * 1e9);
    benchmark::Shutdown();
    return 0;
}
