#include "gui/WebEngineHost.h"

#include <QCoreApplication>
#include <QPluginLoader>
#include <utility>
#include <vector>
#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

#include "env/AppFolders.h"

namespace qm {

namespace {

struct HostState {
    bool tried = false;
    IWebEngine* engine = nullptr;
    QString refusal;
    std::vector<std::pair<const void*, TWebResourceSource>> sources;
};

HostState& State() {
    static HostState state;
    return state;
}

std::optional<TWebResource> AskSources(const QString& path) {
    const auto& sources = State().sources;
    for (auto source = sources.rbegin(); source != sources.rend(); ++source)
        if (auto resource = source->second(path)) return resource;
    return std::nullopt;
}

// Chromium runs its pages in a sandbox, which it cannot set up for root: it then stops
// the whole program, unless the user has switched the sandbox off.
QString SandboxRefusal() {
#if defined(Q_OS_UNIX)
    if (geteuid() != 0) return {};
    if (qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX") ||
        qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS").contains(QLatin1String("--no-sandbox")))
        return {};
    return QStringLiteral("the web engine does not run as root with its sandbox "
                          "(QTWEBENGINE_DISABLE_SANDBOX=1 runs it without)");
#else
    return {};
#endif
}

void Load() {
    HostState& state = State();
    state.tried = true;
    if (!state.refusal.isEmpty()) return;
    if (QString refusal = SandboxRefusal(); !refusal.isEmpty()) {
        state.refusal = refusal;
        return;
    }
    // The loader keeps the plugin and its one instance for the rest of the run.
    auto* loader = new QPluginLoader(GetProgramFolder() + QStringLiteral("quillamere-webengine"),
                                     QCoreApplication::instance());
    auto* engine = qobject_cast<IWebEngine*>(loader->instance());
    if (!engine) {
        state.refusal = QStringLiteral("the web engine plugin could not be loaded: ") + loader->errorString();
        return;
    }
    engine->ServeScheme(QByteArray(kPreviewScheme), AskSources);
    state.engine = engine;
}

}  // namespace

void PrepareWebEngine() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

IWebEngine* WebEngine() {
    if (!State().tried) Load();
    return State().engine;
}

QString WebEngineUnavailableReason() {
    return State().refusal;
}

bool WebEngineLoaded() {
    return State().engine != nullptr;
}

void RefuseWebEngine(const QString& reason) {
    if (!State().engine) State().refusal = reason;
}

void AddPreviewSource(const void* owner, TWebResourceSource source) {
    RemovePreviewSource(owner);
    State().sources.emplace_back(owner, std::move(source));
}

void RemovePreviewSource(const void* owner) {
    std::erase_if(State().sources, [owner](const auto& entry) { return entry.first == owner; });
}

}  // namespace qm
