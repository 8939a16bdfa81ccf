#pragma once
// The local channel over Qt Network's local sockets (a Unix domain socket, a named pipe
// on Windows): one line of request, one line of answer.

#include <QObject>

#include "gui/ILocalChannel.h"

class QLocalServer;

namespace qm {

class TLocalChannelPlugin final : public QObject, public ILocalChannel {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QM_LOCAL_CHANNEL_IID)
    Q_INTERFACES(qm::ILocalChannel)
public:
    bool Listen(const QString& name, TAnswer answer) override;
    std::optional<QByteArray> Ask(const QString& name, const QByteArray& request, int wait) override;

private:
    void Serve();

    QLocalServer* server_ = nullptr;
    TAnswer answer_;
};

}  // namespace qm
