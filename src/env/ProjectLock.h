#pragma once
// One project, one window: a window that opens a project holds a lock file beside it,
// ".<file name>.lock" (for menu.zorbel: .menu.zorbel.lock), which names the process that
// holds it, its program and its host; the file's owner is the user. The lock goes when
// the window lets the project go. A lock whose process is gone is stale and taken over
// without a word (the window that held it crashed). A lock that a running window
// holds is only ever removed by that window: taking a project over from it is asking
// it to let go (TInstanceLink).

#include <QString>
#include <memory>
#include <optional>

class QLockFile;

namespace qm {

struct TLockHolder {
    qint64 pid = 0;
    QString user;
    QString host;
    bool thisProcess = false;
};

class ProjectLock {
public:
    enum class Outcome {
        Held,           // this lock holds the project now
        HeldElsewhere,  // a running window holds it
        Unavailable,    // no lock can be made there (a read-only folder): nothing is held
    };

    ProjectLock();
    // Lets the project go (the lock file is removed).
    ~ProjectLock();
    ProjectLock(const ProjectLock&) = delete;
    ProjectLock& operator=(const ProjectLock&) = delete;

    // ".menu.zorbel.lock" beside /path/menu.zorbel.
    static QString LockPathOf(const QString& project);
    // Who holds the project's lock, if a running process does.
    static std::optional<TLockHolder> HolderOf(const QString& project);

    // Lets the present project go and locks the given one. The same project again is
    // Held at once.
    Outcome Acquire(const QString& project);
    // Lets the project go.
    void Release();
    // The project this lock holds; empty for none.
    const QString& Project() const { return project_; }

private:
    QString project_;
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace qm
