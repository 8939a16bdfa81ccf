// Window benchmarks beside their baselines. Each measured benchmark reports the
// counter "x_baseline": its time per iteration divided by that of the baseline run just
// before it. Aims: opening within 3x of the core's load, start-up within 3x of a bare
// Qt window.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeView>
#include <chrono>

#include "TMainForm.h"
#include "TkvxAppletAgent.h"

namespace {

QTemporaryDir* home = nullptr;
QString projectPath;
double baselineSeconds = 0;

// 1,000 main items with 9 sub items each: 10,000 items.
void WriteLargeProject() {
    qm::TkvxAppletAgent agent;
    agent.ResetToDefaults();
    for (int m = 0; m < 1000; ++m) {
        const int main = agent.InsertNewChild(qm::kRootNode);
        agent.SetItemCaption(main, "Main item " + std::to_string(m));
        for (int s = 0; s < 9; ++s) {
            const int sub = agent.InsertNewChild(main);
            agent.SetItemCaption(sub, "Sub item " + std::to_string(m) + "." + std::to_string(s));
        }
    }
    projectPath = home->path() + QStringLiteral("/large.zorbel");
    agent.SaveProject(projectPath.toStdString());
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

void BM_LoadProjectInCore(benchmark::State& state) {
    qm::TkvxAppletAgent agent;
    baselineSeconds = SecondsPerIteration(state, [&] { agent.LoadProject(projectPath.toStdString()); });
    state.counters["items"] = agent.ItemCount();
}

void BM_OpenProjectInWindow(benchmark::State& state) {
    qm::TMainForm window;
    window.show();
    QApplication::processEvents();
    auto* tree = window.findChild<QTreeView*>(QStringLiteral("trvwDesignPanel"));
    const double seconds = SecondsPerIteration(state, [&] {
        window.SetModified(false);
        if (!window.OpenProjectFile(projectPath, true)) state.SkipWithError("the project did not open");
        // The view lays its rows out and paints, as it does before the user sees them.
        tree->doItemsLayout();
        tree->viewport()->repaint();
        QApplication::processEvents();
    });
    state.counters["items"] = window.Agent().ItemCount();
    if (baselineSeconds > 0) state.counters["x_baseline"] = seconds / baselineSeconds;
    window.SetModified(false);
}

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
    WriteLargeProject();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
