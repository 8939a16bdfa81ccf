// Window benchmarks beside their baselines. Each measured benchmark reports the
// counter "x_baseline": its time per iteration divided by that of the baseline run
// before it. Aims: opening a 10,000-item project within 2x of the core's load of it;
// a 1,000,000-item project opened and its window painted (visually complete) within
// 0.3 s, shown beside the core's load of it; start-up within 3x of a bare Qt window;
// undo and redo of moving a 10,000-item subtree in a 100,000-item menu within 2x of the
// move itself. The undo benchmark also reports the heap a move step keeps
// ("step_bytes", from a thousand steps) beside the heap of the menu it moves in
// ("menu_bytes"): a step keeps what it changes, not a copy of the document.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeView>
#include <chrono>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "TMainForm.h"
#include "TMenuDocument.h"
#include "TkvxAppletAgent.h"

namespace {

QTemporaryDir* home = nullptr;
QString projectPath;
QString millionItemPath;
double baselineSeconds = 0;

// count items: a main item with nine sub items, over and over.
QString WriteLargeProject(const QString& name, int count) {
    qm::TItemArray items;
    items.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        qm::TItemData item = qm::TkvxAppletAgent::NewItemData();
        const bool main = i % 10 == 0;
        item.Text = (main ? "Main item " : "Sub item ") + std::to_string(i);
        item.Level = main ? "0" : "1";
        items.push_back(std::move(item));
    }
    qm::TkvxAppletAgent agent;
    agent.ReplaceDocument(qm::DefaultAppletData(), std::move(items));
    const QString path = home->path() + QLatin1Char('/') + name;
    agent.SaveProject(path.toStdString());
    return path;
}

template <class Step>
double SecondsPerIteration(benchmark::State& state, Step&& step) {
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        step();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
        total += elapsed.count();
    }
    return state.iterations() ? total / static_cast<double>(state.iterations()) : 0;
}

void LoadInCore(benchmark::State& state, const QString& path) {
    qm::TkvxAppletAgent agent;
    baselineSeconds = SecondsPerIteration(state, [&] { agent.LoadProject(path.toStdString()); });
    state.counters["items"] = agent.ItemCount();
}

// From the command until the window has painted the opened menu: the file read, the
// tree reset and laid out, its visible rows drawn and whatever the open left for the
// event loop done.
void OpenInWindow(benchmark::State& state, const QString& path) {
    qm::TMainForm window;
    window.show();
    QApplication::processEvents();
    auto* tree = window.findChild<QTreeView*>(QStringLiteral("trvwDesignPanel"));
    const double seconds = SecondsPerIteration(state, [&] {
        window.SetModified(false);
        if (!window.OpenProjectFile(path, true)) state.SkipWithError("the project did not open");
        // The view paints its rows (laying them out first where that is still to do), as
        // it does before the user sees them.
        tree->viewport()->repaint();
        QApplication::processEvents();
    });
    state.counters["items"] = window.Agent().ItemCount();
    if (baselineSeconds > 0) state.counters["x_baseline"] = seconds / baselineSeconds;
    window.SetModified(false);
}

void BM_LoadProjectInCore(benchmark::State& state) { LoadInCore(state, projectPath); }
void BM_OpenProjectInWindow(benchmark::State& state) { OpenInWindow(state, projectPath); }
void BM_LoadMillionItemsInCore(benchmark::State& state) { LoadInCore(state, millionItemPath); }
void BM_OpenMillionItemsInWindow(benchmark::State& state) { OpenInWindow(state, millionItemPath); }

// --- Undo and redo ----------------------------------------------------------------------

constexpr int kMenuItems = 100'000;
constexpr int kSubtreeItems = 10'000;

// 80,000 items of small menus, then two main items with 9,999 sub items each.
qm::TItemArray MenuWithTwoLargeSubtrees() {
    qm::TItemArray items;
    items.reserve(kMenuItems);
    const auto add = [&](int i, bool sub) {
        qm::TItemData item = qm::TkvxAppletAgent::NewItemData();
        item.Text = "Item " + std::to_string(i);
        item.Link = "http://www.example.com/section/page" + std::to_string(i) + ".html";
        item.Level = sub ? "1" : "0";
        items.push_back(std::move(item));
    };
    const int before = kMenuItems - 2 * kSubtreeItems;
    for (int i = 0; i < before; ++i) add(i, i % 10 != 0);
    for (int i = 0; i < 2 * kSubtreeItems; ++i) add(before + i, i % kSubtreeItems != 0);
    return items;
}

constexpr int kFirstSubtree = kMenuItems - 2 * kSubtreeItems;
constexpr int kSecondSubtree = kMenuItems - kSubtreeItems;

std::size_t HeapInUse() {
#if defined(__GLIBC__)
    return mallinfo2().uordblks;
#else
    return 0;
#endif
}

// The move itself: the first large subtree past the second, and back.
void BM_MoveSubtree(benchmark::State& state) {
    qm::TkvxAppletAgent agent;
    agent.ReplaceDocument(qm::DefaultAppletData(), MenuWithTwoLargeSubtrees());
    bool down = true;
    baselineSeconds = SecondsPerIteration(state, [&] {
        if (!(down ? agent.MoveNodeDown(kFirstSubtree) : agent.MoveNodeUp(kSecondSubtree)))
            state.SkipWithError("the move was refused");
        down = !down;
    });
    state.counters["items"] = agent.ItemCount();
}

// The same move as a step of the document, undone (timed) and redone (not timed), or
// the other way round.
void UndoOrRedo(benchmark::State& state, bool timeUndo) {
    const std::size_t heapBefore = HeapInUse();
    qm::TMenuDocument document;
    document.Agent().ReplaceDocument(qm::DefaultAppletData(), MenuWithTwoLargeSubtrees());
    const std::size_t menuBytes = HeapInUse() - heapBefore;
    QUndoStack& stack = document.UndoStack();
    if (!document.MoveNodeDown(kFirstSubtree)) state.SkipWithError("the move was refused");
    double total = 0;
    for (auto _ : state) {
        const auto timed = [&](bool undo) {
            const auto start = std::chrono::steady_clock::now();
            undo ? stack.undo() : stack.redo();
            const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
            return elapsed.count();
        };
        const double first = timed(true);
        const double second = timed(false);
        const double seconds = timeUndo ? first : second;
        state.SetIterationTime(seconds);
        total += seconds;
    }
    if (baselineSeconds > 0 && state.iterations() > 0)
        state.counters["x_baseline"] = total / static_cast<double>(state.iterations()) / baselineSeconds;
    if (timeUndo) {
        // What a thousand more move steps keep.
        const std::size_t heapBeforeSteps = HeapInUse();
        for (int i = 0; i < 500; ++i) {
            document.MoveNodeUp(kSecondSubtree);
            document.MoveNodeDown(kFirstSubtree);
        }
        state.counters["step_bytes"] = static_cast<double>(HeapInUse() - heapBeforeSteps) / 1000.0;
        state.counters["menu_bytes"] = static_cast<double>(menuBytes);
    }
}

void BM_UndoMoveSubtree(benchmark::State& state) { UndoOrRedo(state, true); }
void BM_RedoMoveSubtree(benchmark::State& state) { UndoOrRedo(state, false); }

double RunProgram(const QString& program) {
    const auto start = std::chrono::steady_clock::now();
    QProcess process;
    process.start(program, {});
    process.waitForFinished(60000);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count();
}

void BM_StartBareQtWindow(benchmark::State& state) {
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/quillamere-bare-window");
    double total = 0;
    for (auto _ : state) {
        const double seconds = RunProgram(program);
        state.SetIterationTime(seconds);
        total += seconds;
    }
    baselineSeconds = total / static_cast<double>(state.iterations());
}

void BM_StartQuillamere(benchmark::State& state) {
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/quillamere-startup-probe");
    double total = 0;
    for (auto _ : state) {
        const double seconds = RunProgram(program);
        state.SetIterationTime(seconds);
        total += seconds;
    }
    if (baselineSeconds > 0)
        state.counters["x_baseline"] = total / static_cast<double>(state.iterations()) / baselineSeconds;
}

// Registered in pairs, baseline first: each measured benchmark divides by the run just
// before it.
BENCHMARK(BM_LoadProjectInCore)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_OpenProjectInWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoadMillionItemsInCore)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_OpenMillionItemsInWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_MoveSubtree)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(BM_UndoMoveSubtree)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(BM_RedoMoveSubtree)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(BM_StartBareQtWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_StartQuillamere)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

}  // namespace

int main(int argc, char** argv) {
    // Offscreen unless told otherwise, in a home of its own: the child programs inherit
    // both, so their settings and folders never touch the real ones.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir temporaryHome;
    home = &temporaryHome;
    const QByteArray root = temporaryHome.path().toUtf8();
    qputenv("HOME", root);
    qputenv("XDG_DATA_HOME", root + "/data");
    qputenv("XDG_CONFIG_HOME", root + "/config");
    QApplication application(argc, argv);
    projectPath = WriteLargeProject(QStringLiteral("large.zorbel"), 10'000);
    millionItemPath = WriteLargeProject(QStringLiteral("million.zorbel"), 1'000'000);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
