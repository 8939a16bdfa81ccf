#include "gui/TRecoveryStore.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QUuid>
#include <algorithm>

#include "env/AppFolders.h"
#include "gui/dialogs/DialogErrors.h"
#include "gui/TMenuDocument.h"
#include "model/Error.h"
#include "model/ProgressDisplay.h"
#include "model/SafeSave.h"

namespace qm {

namespace {

constexpr int kDefaultDelay = 1000;  // milliseconds after the first change of a burst
constexpr const char* kCopySuffix = ".zorbel";
constexpr const char* kOriginSuffix = ".origin";
constexpr const char* kLockSuffix = ".lock";

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(path.toStdString());
}

QString MakeFolder(const QString& path) {
    if (!QDir().mkpath(path)) throw Error(QDir::toNativeSeparators(path).toStdString(), 0, "cannot create the folder");
    return path;
}

}  // namespace

TRecoveryStore::TRecoveryStore(TMenuDocument& document, std::function<QString()> originOfDocument, QObject* parent)
    : QObject(parent), document_(document), originOfDocument_(std::move(originOfDocument)) {
    timer_.setSingleShot(true);
    timer_.setInterval(kDefaultDelay);
    connect(&timer_, &QTimer::timeout, this, &TRecoveryStore::WriteCopy);
    connect(&document_, &TMenuDocument::Changed, this, &TRecoveryStore::DocumentChanged);
    // Saved, or undone back to the saved state: nothing is left to recover. Marked
    // unsaved without a step (a restored copy, a file deleted under it): kept too.
    connect(&document_, &TMenuDocument::ModifiedChanged, this, [this](bool modified) {
        if (modified)
            DocumentChanged();
        else
            Discard();
    });
}

TRecoveryStore::~TRecoveryStore() = default;

QString TRecoveryStore::Folder() {
    return MakeFolder(GetAppDataFolder() + QStringLiteral("Recovery/"));
}

QString TRecoveryStore::DamagedFolder() {
    return MakeFolder(Folder() + QStringLiteral("Damaged/"));
}

void TRecoveryStore::EnsureFolder() {
    folder_ = Folder();
}

QString TRecoveryStore::PathOf(const QString& id, const char* suffix) const {
    return folder_ + id + QLatin1String(suffix);
}

std::unique_ptr<QLockFile> TRecoveryStore::LockOf(const QString& id) const {
    auto lock = std::make_unique<QLockFile>(PathOf(id, kLockSuffix));
    // A lock is stale only when its program is gone, however long it has been held.
    lock->setStaleLockTime(0);
    return lock;
}

// --- The document's own copy ----------------------------------------------------------------

void TRecoveryStore::DocumentChanged() {
    // The first change of a burst sets the moment; later ones wait for the same write.
    if (document_.Modified() && !timer_.isActive()) timer_.start();
}

void TRecoveryStore::WritePendingCopy() {
    if (!timer_.isActive()) return;
    timer_.stop();
    WriteCopy();
}

void TRecoveryStore::WriteCopy() {
    if (!document_.Modified()) return;
    try {
        if (id_.isEmpty()) {
            EnsureFolder();
            auto lock = LockOf(QUuid::createUuid().toString(QUuid::WithoutBraces));
            const QString id = QFileInfo(lock->fileName()).completeBaseName();
            if (!lock->tryLock(0))
                throw Error(QDir::toNativeSeparators(lock->fileName()).toStdString(), 0, "cannot lock the recovery copy");
            id_ = id;
            lock_ = std::move(lock);
        }
        std::string scratch;
        NullProgressDisplay quiet;
        const std::string_view text = document_.Agent().ProjectText(scratch, quiet);
        SafeSave save;
        const auto origin = save.Add(ToPath(PathOf(id_, kOriginSuffix)));
        const auto copy = save.Add(ToPath(PathOf(id_, kCopySuffix)));
        save.Write(origin, originOfDocument_().toStdString());
        save.Write(copy, text);
        save.Commit();
    } catch (...) {
        emit WriteFailed(DescribeException(std::current_exception()));
        return;
    }
    emit Written(PathOf(id_, kCopySuffix));
}

void TRecoveryStore::RemoveFiles(const QString& id) {
    for (const char* suffix : {kCopySuffix, kOriginSuffix}) QFile::remove(PathOf(id, suffix));
}

void TRecoveryStore::Discard() {
    timer_.stop();
    if (id_.isEmpty()) return;
    RemoveFiles(id_);
    lock_->unlock();  // removes the lock file
    lock_.reset();
    id_.clear();
}

QString TRecoveryStore::CopyPath() const {
    return id_.isEmpty() ? QString() : PathOf(id_, kCopySuffix);
}

// --- Stale copies --------------------------------------------------------------------------

std::vector<TStaleCopy> TRecoveryStore::ClaimStaleCopies(const QString& origin, QStringList* damaged) {
    std::vector<TStaleCopy> found;
    EnsureFolder();
    const QString wanted = origin.isEmpty() ? QString() : QFileInfo(origin).absoluteFilePath();
    // Every open scans the folder: listed without sorting (the copies are sorted below)
    // and without a name filter (made into a pattern, that cost more than the listing).
    for (QDirIterator entries(folder_, QDir::Files); entries.hasNext();) {
        const QFileInfo file = entries.nextFileInfo();
        if (!file.fileName().endsWith(QLatin1String(".zorbel"), Qt::CaseInsensitive)) continue;
        const QString id = file.completeBaseName();
        if (id == id_ || claims_.count(id)) continue;
        QFile originFile(PathOf(id, kOriginSuffix));
        const bool originRead = originFile.open(QIODevice::ReadOnly);
        const QString copyOrigin = originRead ? QString::fromUtf8(originFile.readAll()) : QString();
        // A copy of another project is not looked at further; an unreadable one may be
        // of any project, and is set aside wherever it is met.
        if (originRead && !wanted.isEmpty() && QFileInfo(copyOrigin).absoluteFilePath() != wanted) continue;
        auto lock = LockOf(id);
        if (!lock->tryLock(0)) continue;  // its window is still running
        TStaleCopy copy{id, copyOrigin, file.lastModified(), file.absoluteFilePath()};
        claims_[id] = std::move(lock);
        QFile content(copy.copyPath);
        if (!originRead || !content.open(QIODevice::ReadOnly)) {
            SetAside(copy);
            if (damaged)
                *damaged << (originRead && !copyOrigin.isEmpty() ? QFileInfo(copyOrigin).fileName() : file.fileName());
            continue;
        }
        found.push_back(copy);
    }
    std::sort(found.begin(), found.end(), [](const TStaleCopy& a, const TStaleCopy& b) { return a.keptAt > b.keptAt; });
    return found;
}

void TRecoveryStore::Adopt(const TStaleCopy& copy) {
    auto claim = claims_.find(copy.id);
    if (claim == claims_.end()) return;
    Discard();
    id_ = copy.id;
    lock_ = std::move(claim->second);
    claims_.erase(claim);
}

void TRecoveryStore::DiscardStale(const TStaleCopy& copy) {
    auto claim = claims_.find(copy.id);
    if (claim == claims_.end()) return;
    RemoveFiles(copy.id);
    claims_.erase(claim);  // unlocks: the lock file goes too
}

QString TRecoveryStore::SetAside(const TStaleCopy& copy) {
    const QString damaged = DamagedFolder();
    for (const char* suffix : {kCopySuffix, kOriginSuffix}) {
        const QString from = PathOf(copy.id, suffix);
        const QString to = damaged + copy.id + QLatin1String(suffix);
        QFile::remove(to);
        // One that cannot be moved stays where it is, and is met again.
        if (QFile::exists(from)) QFile::rename(from, to);
    }
    claims_.erase(copy.id);
    return damaged;
}

void TRecoveryStore::ReleaseClaims() {
    claims_.clear();
}

}  // namespace qm
