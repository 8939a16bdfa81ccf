#include "gui/TDiskStateGuard.h"

#include <QHashFunctions>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace qm {

namespace {

// Telling the program's own bytes from another program's needs no cryptographic hash:
// Qt's hash of the bytes, chained over parts, reads a large project about ten times
// faster, and the window remembers a state at every open and save. Parts of 64 KiB stay
// in the heap's reused memory; a part of a mebibyte was a fresh mapping of the system's
// each time, and cost more than the reading and hashing together.
constexpr qsizetype kPart = 64 << 10;

}  // namespace

void TDiskState::ContentHash::Add(std::string_view bytes) {
    size_ += static_cast<qint64>(bytes.size());
    while (!bytes.empty()) {
        if (part_.isEmpty() && bytes.size() >= std::size_t{kPart}) {
            hash_ = qHashBits(bytes.data(), kPart, hash_);
            bytes.remove_prefix(kPart);
            continue;
        }
        const auto taken = std::min<std::size_t>(bytes.size(), kPart - part_.size());
        part_.append(bytes.data(), static_cast<qsizetype>(taken));
        bytes.remove_prefix(taken);
        if (part_.size() == kPart) {
            hash_ = qHashBits(part_.constData(), kPart, hash_);
            part_.resize(0);
        }
    }
}

QByteArray TDiskState::ContentHash::Result() const {
    const std::size_t hash = part_.isEmpty() ? hash_ : qHashBits(part_.constData(), part_.size(), hash_);
    return QByteArray::number(static_cast<qulonglong>(hash), 16);
}

TDiskState TDiskState::Unread(const QString& path) {
    TDiskState state;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) return state;
    state.exists = true;
    state.size = info.size();
    state.modified = info.lastModified();
    return state;
}

TDiskState TDiskState::Of(const QString& path) {
    TDiskState state = Unread(path);
    QFile file(path);
    if (!state.exists || !file.open(QIODevice::ReadOnly)) return state;
    QByteArray part(kPart, Qt::Uninitialized);
    ContentHash content;
    for (qint64 read; (read = file.read(part.data(), kPart)) > 0;)
        content.Add(std::string_view(part.constData(), static_cast<std::size_t>(read)));
    state.hash = content.Result();
    return state;
}

TDiskStateGuard::TDiskStateGuard(QObject* parent) : QObject(parent) {
    settle_.setSingleShot(true);
    settle_.setInterval(100);
    connect(&settle_, &QTimer::timeout, this, &TDiskStateGuard::CheckNow);
    const auto notice = [this] {
        if (!path_.isEmpty()) settle_.start();
    };
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, notice);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, notice);
}

void TDiskStateGuard::Follow(const QString& path, std::optional<TDiskState> read) {
    settle_.stop();
    const QString followed = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    // The same file opened again keeps its watches (Watch renews the file's if it was
    // replaced); another file's are ended.
    if (followed != path_ || followed.isEmpty()) {
        const QStringList watched = watcher_.files() + watcher_.directories();
        if (!watched.isEmpty()) watcher_.removePaths(watched);
    }
    path_ = followed;
    Remember(std::move(read));
    if (path_.isEmpty()) return;
    const QString folder = QFileInfo(path_).absolutePath();
    if (!watcher_.directories().contains(folder)) watcher_.addPath(folder);
    Watch();
}

void TDiskStateGuard::Watch() {
    // A file replaced by a rename is a new file: the watch on the old one ended with it.
    if (QFileInfo::exists(path_) && !watcher_.files().contains(path_)) watcher_.addPath(path_);
}

void TDiskStateGuard::Remember(std::optional<TDiskState> read) {
    remembered_ = read ? std::move(*read) : TDiskState::Of(path_);
}

bool TDiskStateGuard::ChangedOnDisk() const {
    if (path_.isEmpty()) return false;
    const TDiskState now = TDiskState::Of(path_);
    return now.exists && !now.SameContent(remembered_);
}

void TDiskStateGuard::CheckNow() {
    if (path_.isEmpty()) return;
    Watch();
    const TDiskState now = TDiskState::Of(path_);
    if (now.SameContent(remembered_)) {
        remembered_.modified = now.modified;
        return;
    }
    if (!now.exists) {
        // Said once: the document is what remains of the file now.
        remembered_ = now;
        emit Removed();
        return;
    }
    emit Changed();
}

}  // namespace qm
