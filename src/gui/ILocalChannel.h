#pragma once
// A channel between the running programs of one user on one machine: a program listens
// under a name, another sends it one request line and reads one answer line. It comes
// from a plugin of its own (quillamere-link, beside the program), so that Qt Network is
// loaded when a program first holds a project or asks another one, and not at every
// start.

#include <QByteArray>
#include <QString>
#include <QtPlugin>
#include <functional>
#include <optional>

namespace qm {

class ILocalChannel {
public:
    // What a listening program answers to a request line (both without their line end).
    using TAnswer = std::function<QByteArray(const QByteArray& request)>;

    virtual ~ILocalChannel() = default;
    // Listens under name, reachable by this user only, until the plugin is unloaded; a
    // name left behind by a crashed program is taken over. False when it cannot listen.
    virtual bool Listen(const QString& name, TAnswer answer) = 0;
    // Sends request to the program listening under name and returns its answer; nothing
    // when none listens or it does not answer within wait milliseconds.
    virtual std::optional<QByteArray> Ask(const QString& name, const QByteArray& request, int wait) = 0;
};

}  // namespace qm

#define QM_LOCAL_CHANNEL_IID "app.quillamere.LocalChannel/1"
Q_DECLARE_INTERFACE(qm::ILocalChannel, QM_LOCAL_CHANNEL_IID)
