#include "env/ProjectLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

namespace qm {

namespace {

std::unique_ptr<QLockFile> LockFileOf(const QString& project) {
    auto lock = std::make_unique<QLockFile>(ProjectLock::LockPathOf(project));
    // Stale only when its process is gone, however long a window has had it open.
    lock->setStaleLockTime(0);
    return lock;
}

QString Normalized(const QString& project) {
    return QFileInfo(project).absoluteFilePath();
}

}  // namespace

ProjectLock::ProjectLock() = default;

ProjectLock::~ProjectLock() {
    Release();
}

QString ProjectLock::LockPathOf(const QString& project) {
    const QFileInfo info(project);
    return info.absoluteDir().filePath(QLatin1Char('.') + info.fileName() + QStringLiteral(".lock"));
}

std::optional<TLockHolder> ProjectLock::HolderOf(const QString& project) {
    auto probe = LockFileOf(project);
    // Taking it shows that nobody holds it (and removes a stale one); it is let go at once.
    if (probe->tryLock(0)) return std::nullopt;
    TLockHolder holder;
    QString application;
    if (!probe->getLockInfo(&holder.pid, &holder.host, &application)) return std::nullopt;
    holder.user = QFileInfo(LockPathOf(project)).owner();
    holder.thisProcess = holder.pid == QCoreApplication::applicationPid();
    return holder;
}

ProjectLock::Outcome ProjectLock::Acquire(const QString& project) {
    const QString wanted = Normalized(project);
    if (lock_ && wanted == project_) return Outcome::Held;
    Release();
    auto lock = LockFileOf(wanted);
    if (!lock->tryLock(0))
        return lock->error() == QLockFile::LockFailedError ? Outcome::HeldElsewhere : Outcome::Unavailable;
    project_ = wanted;
    lock_ = std::move(lock);
    return Outcome::Held;
}

void ProjectLock::Release() {
    lock_.reset();  // removes the lock file
    project_.clear();
}

}  // namespace qm
