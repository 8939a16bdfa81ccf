#include "link/TLocalChannelPlugin.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace qm {

bool TLocalChannelPlugin::Listen(const QString& name, TAnswer answer) {
    answer_ = std::move(answer);
    if (server_ && server_->isListening() && server_->serverName() == name) return true;
    delete server_;
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(name);  // a socket left by a crashed program of the same id
    connect(server_, &QLocalServer::newConnection, this, &TLocalChannelPlugin::Serve);
    return server_->listen(name);
}

std::optional<QByteArray> TLocalChannelPlugin::Ask(const QString& name, const QByteArray& request, int wait) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(wait)) return std::nullopt;
    socket.write(request + '\n');
    if (!socket.waitForBytesWritten(wait)) return std::nullopt;
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(wait)) return std::nullopt;
    return socket.readLine().chopped(1);
}

void TLocalChannelPlugin::Serve() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
            if (!socket->canReadLine()) return;
            QByteArray request = socket->readLine();
            request.chop(1);
            socket->write(answer_(request) + '\n');
            socket->flush();
        });
    }
}

}  // namespace qm
