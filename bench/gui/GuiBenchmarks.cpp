// Window benchmarks beside their baselines. Each measured benchmark reports the
// counter "x_baseline": its time per iteration divided by that of the baseline run
// before it. Aims: opening a 10,000-item project within 2x of the core's load of it;
// a 1,000,000-item project opened and its window painted (visually complete) within
// 0.3 s, shown beside the core's load of it; start-up within 2x of a bare Qt window
// (with the live preview closed, which keeps the web engine unloaded: the probe fails
// otherwise); undo and redo of moving a 10,000-item subtree in a 100,000-item menu
// within 2x of the move itself. The undo benchmark also reports the heap a move step
// keeps ("step_bytes", from a thousand steps) beside the heap of the menu it moves in
// ("menu_bytes"): a step keeps what it changes, not a copy of the document.
//
// The live preview: from an edit until the pane shows the page that follows it, at 10
// and 1,000 items (aim: 100 ms), beside the engine reloading the same page in the same
// view; and opening the pane in a program just started until its first page shows
// (aim: 1 s), beside a bare Qt program starting the engine for a small page. Both
// report "ms" besides the ratio.

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <QTemporaryDir>
#include <QTreeView>
#include <algorithm>
#include <chrono>
#include <vector>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "gui/IWebEngine.h"
#include "gui/TLivePreview.h"
#include "gui/TMainForm.h"
#include "gui/TProjectFiles.h"
#include "gui/TMenuDocument.h"
#include "gui/TPreviewCommands.h"
#include "model/TkvxAppletAgent.h"
#include "gui/WebEngineHost.h"

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
double SecondsOf(Step&& step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count();
}

template <class Step>
double SecondsPerIteration(benchmark::State& state, Step&& step) {
    double total = 0;
    for (auto _ : state) {
        const double seconds = SecondsOf(step);
        state.SetIterationTime(seconds);
        total += seconds;
    }
    return state.iterations() ? total / static_cast<double>(state.iterations()) : 0;
}

void LoadInCore(benchmark::State& state, const QString& path) {
    qm::TkvxAppletAgent agent;
    baselineSeconds = SecondsPerIteration(state, [&] { agent.LoadProject(path.toStdString()); });
    state.counters["items"] = agent.ItemCount();
}

// The median of ratios, each of a measured step to the baseline step run right before
// it: a machine that slows down for a while slows both of a pair, and one stalled pair
// does not move the median.
double MedianRatio(std::vector<double> ratios) {
    if (ratios.empty()) return 0;
    std::sort(ratios.begin(), ratios.end());
    return ratios[ratios.size() / 2];
}

// From the command until the window has painted the opened menu: the file read, the
// tree reset and laid out, its visible rows drawn and whatever the open left for the
// event loop done. Each open follows a load of the same file in the core alone, the
// baseline.
void OpenInWindow(benchmark::State& state, const QString& path) {
    qm::TMainForm window;
    window.show();
    QApplication::processEvents();
    auto* tree = window.findChild<QTreeView*>(QStringLiteral("trvwDesignPanel"));
    qm::TkvxAppletAgent agent;
    std::vector<double> ratios;
    for (auto _ : state) {
        const double coreSeconds = SecondsOf([&] { agent.LoadProject(path.toStdString()); });
        const double seconds = SecondsOf([&] {
            window.SetModified(false);
            if (!window.Files().OpenProjectFile(path, true)) state.SkipWithError("the project did not open");
            // The view paints its rows (laying them out first where that is still to
            // do), as it does before the user sees them.
            tree->viewport()->repaint();
            QApplication::processEvents();
        });
        state.SetIterationTime(seconds);
        ratios.push_back(seconds / coreSeconds);
    }
    state.counters["items"] = window.Agent().ItemCount();
    state.counters["x_baseline"] = MedianRatio(std::move(ratios));
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

// Runs a program to its end and returns how long it took; a program that fails ends
// the benchmark.
double RunProgram(benchmark::State& state, const QString& program, QByteArray* output = nullptr) {
    const auto start = std::chrono::steady_clock::now();
    QProcess process;
    process.start(program, {});
    process.waitForFinished(60000);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        state.SkipWithError(qPrintable(program + QStringLiteral(" failed with ") + QString::number(process.exitCode())));
    if (output) *output = process.readAllStandardOutput();
    return elapsed.count();
}

void BM_StartBareQtWindow(benchmark::State& state) {
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/quillamere-bare-window");
    double total = 0;
    for (auto _ : state) {
        const double seconds = RunProgram(state, program);
        state.SetIterationTime(seconds);
        total += seconds;
    }
    baselineSeconds = total / static_cast<double>(state.iterations());
}

// Each start of the program follows a start of the bare window, the baseline.
void BM_StartQuillamere(benchmark::State& state) {
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/quillamere-startup-probe");
    const QString bare = QCoreApplication::applicationDirPath() + QStringLiteral("/quillamere-bare-window");
    std::vector<double> ratios;
    for (auto _ : state) {
        const double bareSeconds = RunProgram(state, bare);
        const double seconds = RunProgram(state, program);
        state.SetIterationTime(seconds);
        ratios.push_back(seconds / bareSeconds);
    }
    state.counters["x_baseline"] = MedianRatio(std::move(ratios));
}

// --- The live preview ---------------------------------------------------------------------

// The first page a probe program reports, in seconds.
void FirstPage(benchmark::State& state, const char* probe, bool measured) {
    const QString program = QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(probe);
    double total = 0;
    for (auto _ : state) {
        QByteArray output;
        RunProgram(state, program, &output);
        const qsizetype at = output.indexOf("first_page_ns=");
        const double seconds = at < 0 ? 0 : output.mid(at + 14).trimmed().toDouble() / 1e9;
        state.SetIterationTime(seconds);
        total += seconds;
    }
    const double perIteration = total / static_cast<double>(state.iterations());
    state.counters["ms"] = perIteration * 1e3;
    if (!measured)
        baselineSeconds = perIteration;
    else if (baselineSeconds > 0)
        state.counters["x_baseline"] = perIteration / baselineSeconds;
}

void BM_FirstPageOfBareEngine(benchmark::State& state) { FirstPage(state, "quillamere-bare-engine", false); }
void BM_FirstPageOfLivePreview(benchmark::State& state) { FirstPage(state, "quillamere-preview-probe", true); }

// A window with n items, a main item and four sub items at a time, its pane open on
// its first page.
class PreviewWindow {
public:
    explicit PreviewWindow(int items) {
        qm::TItemArray menu;
        for (int i = 0; i < items; ++i) {
            qm::TItemData item = qm::TkvxAppletAgent::NewItemData();
            item.Text = "Item " + std::to_string(i);
            item.Link = "page" + std::to_string(i) + ".html";
            item.Level = i % 5 == 0 ? "0" : "1";
            menu.push_back(std::move(item));
        }
        window.Document().InsertItems(qm::kRootNode, 0, std::move(menu), QStringLiteral("Items"));
        window.resize(1280, 800);
        window.show();
        // Opened unless the settings opened it with the window already.
        ok = SecondsUntilShown([&] {
                 if (!PaneAction()->isChecked()) PaneAction()->trigger();
             }) > 0;
    }
    // The pane closed again, as the settings had it.
    ~PreviewWindow() {
        if (PaneAction()->isChecked()) PaneAction()->trigger();
        window.SetModified(false);
    }
    QAction* PaneAction() { return window.findChild<QAction*>(QStringLiteral("LivePreview1")); }

    // Runs step and waits for the pane's next page; 0 when none came.
    template <class Step>
    double SecondsUntilShown(Step&& step) {
        QEventLoop loop;
        bool shown = false;
        qm::TLivePreview& pane = window.Preview().LivePreview();
        const auto connection = QObject::connect(&pane, &qm::TLivePreview::PageShown, &loop, [&] {
            shown = true;
            loop.quit();
        });
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        const auto start = std::chrono::steady_clock::now();
        step();
        if (!shown) loop.exec();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        QObject::disconnect(connection);
        return shown ? elapsed.count() : 0;
    }

    qm::TMainForm window;
    bool ok = false;
};

template <class Step>
double TimeEachPage(benchmark::State& state, PreviewWindow& preview, Step&& step) {
    if (!preview.ok) {
        state.SkipWithError(qPrintable(preview.window.Preview().LivePreview().UnavailableText()));
        return 0;
    }
    double total = 0;
    for (auto _ : state) {
        const double seconds = preview.SecondsUntilShown(step);
        if (seconds == 0) state.SkipWithError("the pane showed no page");
        state.SetIterationTime(seconds);
        total += seconds;
    }
    const double perIteration = state.iterations() ? total / static_cast<double>(state.iterations()) : 0;
    state.counters["ms"] = perIteration * 1e3;
    return perIteration;
}

// The engine alone: the same page loaded again into the same view.
void BM_ReloadPageInView(benchmark::State& state) {
    PreviewWindow preview(static_cast<int>(state.range(0)));
    qm::TLivePreview& pane = preview.window.Preview().LivePreview();
    baselineSeconds = TimeEachPage(state, preview, [&] { pane.View()->Load(pane.Site().PageUrl()); });
}

// An edit of a caption until the pane shows it.
void BM_EditToPreviewRepaint(benchmark::State& state) {
    PreviewWindow preview(static_cast<int>(state.range(0)));
    int edits = 0;
    const double seconds = TimeEachPage(state, preview, [&] {
        preview.window.Document().SetItemValue(0, qm::FieldIndex(qm::ItemField::Text),
                                               "Edited " + std::to_string(++edits));
    });
    if (baselineSeconds > 0) state.counters["x_baseline"] = seconds / baselineSeconds;
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
BENCHMARK(BM_StartQuillamere)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(21);
BENCHMARK(BM_ReloadPageInView)->Arg(10)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_EditToPreviewRepaint)->Arg(10)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_ReloadPageInView)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_EditToPreviewRepaint)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_FirstPageOfBareEngine)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FirstPageOfLivePreview)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

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
    // The engine's sandbox is off for the benchmarks only: they run as root in containers.
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qm::PrepareWebEngine();
    QApplication application(argc, argv);
    projectPath = WriteLargeProject(QStringLiteral("large.zorbel"), 10'000);
    millionItemPath = WriteLargeProject(QStringLiteral("million.zorbel"), 1'000'000);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
