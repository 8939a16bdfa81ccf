#include "gui/TInstanceLink.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>
#include <algorithm>

#include "env/AppFolders.h"
#include "gui/ILocalChannel.h"

namespace qm {

namespace {

constexpr int kAnswerWait = 3000;  // milliseconds another program has to answer
constexpr char kDone[] = "done";
constexpr char kNotDone[] = "no";

QString UserName() {
    const QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    return user.isEmpty() ? QFileInfo(QDir::homePath()).fileName() : user;
}

// The channel's plugin, loaded on first use and kept for the rest of the run; null when
// it is not there.
ILocalChannel* Channel() {
    static QPointer<QPluginLoader> loader;
    static ILocalChannel* channel = nullptr;
    if (!loader) {
        loader = new QPluginLoader(GetProgramFolder() + QStringLiteral("quillamere-link"), QCoreApplication::instance());
        channel = qobject_cast<ILocalChannel*>(loader->instance());
    }
    return channel;
}

}  // namespace

TInstanceLink& TInstanceLink::Instance() {
    // It goes with the application, and its channel with it.
    static QPointer<TInstanceLink> link;
    if (!link) {
        link = new TInstanceLink;
        link->setParent(QCoreApplication::instance());
    }
    return *link;
}

QString TInstanceLink::ServerNameOf(qint64 pid) {
    return QStringLiteral("quillamere-%1-%2").arg(UserName()).arg(pid);
}

bool TInstanceLink::CanReachOthers() {
    return Channel() != nullptr;
}

bool TInstanceLink::Listen() {
    if (listening_) return true;
    ILocalChannel* channel = Channel();
    listening_ = channel && channel->Listen(ServerNameOf(QCoreApplication::applicationPid()),
                                           [this](const QByteArray& request) { return Answer(request); });
    return listening_;
}

void TInstanceLink::Register(QObject* owner, TWindowHandle handle) {
    windows_.push_back({owner, std::move(handle)});
}

TInstanceLink::TRegistered* TInstanceLink::WindowOf(const QString& project) {
    std::erase_if(windows_, [](const TRegistered& window) { return window.owner.isNull(); });
    const QString wanted = QFileInfo(project).absoluteFilePath();
    for (auto& window : windows_)
        if (!wanted.isEmpty() && window.handle.project() == wanted) return &window;
    return nullptr;
}

bool TInstanceLink::BringForwardHere(const QString& project) {
    TRegistered* window = WindowOf(project);
    if (!window) return false;
    window->handle.bringForward();
    return true;
}

bool TInstanceLink::AskToBringForward(qint64 pid, const QString& project) {
    return Ask(pid, "raise", project);
}

bool TInstanceLink::AskToLetGo(qint64 pid, const QString& project) {
    return Ask(pid, "release", project);
}

bool TInstanceLink::Ask(qint64 pid, const char* request, const QString& project) {
    ILocalChannel* channel = Channel();
    if (!channel) return false;
    const auto answer = channel->Ask(ServerNameOf(pid),
                                     QByteArray(request) + '\t' + QFileInfo(project).absoluteFilePath().toUtf8(),
                                     kAnswerWait);
    return answer == kDone;
}

QByteArray TInstanceLink::Answer(const QByteArray& request) {
    const QString line = QString::fromUtf8(request).trimmed();
    const QString kind = line.section(QLatin1Char('\t'), 0, 0);
    const QString project = line.section(QLatin1Char('\t'), 1);
    if (TRegistered* window = WindowOf(project)) {
        if (kind == QLatin1String("raise")) {
            window->handle.bringForward();
            return kDone;
        }
        if (kind == QLatin1String("release")) {
            window->handle.letGo();
            return kDone;
        }
    }
    return kNotDone;
}

}  // namespace qm
