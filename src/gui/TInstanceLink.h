#pragma once
// The windows of every running Quillamere of one user can reach each other: a program
// that holds a project listens on a local channel named after its user and its process
// id (the id the project's lock file names), so that a program that finds a project
// held by another can ask that one to bring its window forward, or to let the project
// go. Within one program the windows are found directly.
//
// The channel is a plugin (ILocalChannel), loaded when the program first listens or
// asks; without it the other programs cannot be reached, and the asking functions say
// so by returning false.

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

namespace qm {

class TInstanceLink final : public QObject {
    Q_OBJECT
public:
    // What a window offers the others.
    struct TWindowHandle {
        std::function<QString()> project;    // the project file it holds; empty for none
        std::function<void()> bringForward;  // shows it above the others
        std::function<void()> letGo;         // releases the project (it stays open read-only)
    };

    // The program's one link.
    static TInstanceLink& Instance();
    // "quillamere-<user>-<pid>".
    static QString ServerNameOf(qint64 pid);

    // A window, until owner is destroyed.
    void Register(QObject* owner, TWindowHandle handle);

    // The window of this program that holds project is brought forward; false when none.
    bool BringForwardHere(const QString& project);
    // Asks the program pid to bring forward its window of project; false when it cannot
    // be reached or holds no such window.
    bool AskToBringForward(qint64 pid, const QString& project);
    // Asks the program pid to let project go; true when it did.
    bool AskToLetGo(qint64 pid, const QString& project);
    // Other programs can reach this one from now on: called before the program takes a
    // project's lock, since others look for it only through a lock it holds. False when
    // it cannot listen.
    bool Listen();
    bool Listening() const { return listening_; }
    // Other programs can be reached at all (the channel's plugin is there).
    static bool CanReachOthers();

private:
    TInstanceLink() = default;
    struct TRegistered {
        QPointer<QObject> owner;
        TWindowHandle handle;
    };
    TRegistered* WindowOf(const QString& project);
    // One request to another program: "raise" or "release", then the project; true when
    // it answered "done".
    bool Ask(qint64 pid, const char* request, const QString& project);
    // What this program answers to another's request.
    QByteArray Answer(const QByteArray& request);

    std::vector<TRegistered> windows_;
    bool listening_ = false;
};

}  // namespace qm
