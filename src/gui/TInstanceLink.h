#pragma once
// The windows of every running Quillamere of one user can reach each other: each
// program listens on a local socket named after its user and its process id (the id a
// project's lock file names), so that a program that finds a project held by another
// can ask that one to bring its window forward, or to let the project go. Within one
// program the windows are found directly.
//
// Built with Qt Network; without it the other programs cannot be reached, and the
// asking functions say so by returning false.

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

class QLocalServer;

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

    // The program's one link, listening from its first use.
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
    // Other programs can be reached at all (Qt Network is there).
    static bool CanReachOthers();

private:
    TInstanceLink();
    struct TRegistered {
        QPointer<QObject> owner;
        TWindowHandle handle;
    };
    TRegistered* WindowOf(const QString& project);
    // One request to another program: "raise" or "release", then the project; true when
    // it answered "done".
    bool Ask(qint64 pid, const char* request, const QString& project);
    void Serve();

    std::vector<TRegistered> windows_;
    QLocalServer* server_ = nullptr;
};

}  // namespace qm
