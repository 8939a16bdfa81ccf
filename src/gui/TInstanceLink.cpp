#include "gui/TInstanceLink.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

#ifdef QUILLAMERE_HAVE_QTNETWORK
#include <QLocalServer>
#include <QLocalSocket>
#endif

namespace qm {

namespace {

constexpr int kAnswerWait = 3000;  // milliseconds another program has to answer
constexpr char kDone[] = "done\n";
constexpr char kNotDone[] = "no\n";

QString UserName() {
    const QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    return user.isEmpty() ? QFileInfo(QDir::homePath()).fileName() : user;
}

}  // namespace

TInstanceLink& TInstanceLink::Instance() {
    // It goes with the application, and its socket with it.
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
#ifdef QUILLAMERE_HAVE_QTNETWORK
    return true;
#else
    return false;
#endif
}

TInstanceLink::TInstanceLink() {
#ifdef QUILLAMERE_HAVE_QTNETWORK
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = ServerNameOf(QCoreApplication::applicationPid());
    QLocalServer::removeServer(name);  // a socket left by a crashed program of the same id
    connect(server_, &QLocalServer::newConnection, this, &TInstanceLink::Serve);
    server_->listen(name);
#endif
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
#ifdef QUILLAMERE_HAVE_QTNETWORK
    QLocalSocket socket;
    socket.connectToServer(ServerNameOf(pid));
    if (!socket.waitForConnected(kAnswerWait)) return false;
    socket.write(QByteArray(request) + '\t' + QFileInfo(project).absoluteFilePath().toUtf8() + '\n');
    if (!socket.waitForBytesWritten(kAnswerWait)) return false;
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(kAnswerWait)) return false;
    return socket.readLine() == kDone;
#else
    Q_UNUSED(pid);
    Q_UNUSED(request);
    Q_UNUSED(project);
    return false;
#endif
}

void TInstanceLink::Serve() {
#ifdef QUILLAMERE_HAVE_QTNETWORK
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
            if (!socket->canReadLine()) return;
            const QString line = QString::fromUtf8(socket->readLine()).trimmed();
            const QString request = line.section(QLatin1Char('\t'), 0, 0);
            const QString project = line.section(QLatin1Char('\t'), 1);
            bool done = false;
            if (TRegistered* window = WindowOf(project)) {
                if (request == QLatin1String("raise")) {
                    window->handle.bringForward();
                    done = true;
                } else if (request == QLatin1String("release")) {
                    window->handle.letGo();
                    done = true;
                }
            }
            socket->write(done ? kDone : kNotDone);
            socket->flush();
        });
    }
#endif
}

}  // namespace qm
