#pragma once
// What the document's project file was on disk when the window last read or wrote it
// (its size, time and a hash of its bytes), and a watch on the file, so that a change
// made by another program (a version-control checkout, another editor, a second copy
// of this program) is noticed when it happens, and before every save.
//
// Editors that save by writing a new file and renaming it over the old one replace the
// file the watch was on: the guard watches the new one from then on. The folder is
// watched too, so that a file deleted and written again is found.

#include <QByteArray>
#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <optional>
#include <string_view>

namespace qm {

struct TDiskState {
    bool exists = false;
    qint64 size = 0;
    QDateTime modified;
    QByteArray hash;  // of the whole content (an unreadable file's is empty)

    // Reads the file now; an unreadable file counts as present with an empty hash.
    static TDiskState Of(const QString& path);
    // Whether the file is there, its size and time now, without reading it (no hash).
    static TDiskState Unread(const QString& path);

    // The hash of bytes handed in parts of any size, the same as Of makes of them: a
    // reader that has the bytes anyway (an open) need not read the file again.
    class ContentHash {
    public:
        void Add(std::string_view bytes);
        qint64 Size() const { return size_; }
        QByteArray Result() const;

    private:
        QByteArray part_;  // the bytes of the part not yet hashed
        std::size_t hash_ = 0;
        qint64 size_ = 0;
    };
    // The same content (the time alone may differ: a touch changes nothing).
    bool SameContent(const TDiskState& other) const {
        return exists == other.exists && size == other.size && hash == other.hash;
    }
};

class TDiskStateGuard final : public QObject {
    Q_OBJECT
public:
    explicit TDiskStateGuard(QObject* parent = nullptr);

    // The file the document belongs to; empty for none (untitled). Its state is
    // remembered as the document's: read, the state taken before the document was read
    // from it; otherwise its present state.
    void Follow(const QString& path, std::optional<TDiskState> read = std::nullopt);
    const QString& Path() const { return path_; }
    // The state on disk now, or read, is the document's (after a load, a save, or when
    // the user chose to keep their own version). A state taken before a load makes a
    // change written while the file was read count as another program's; one taken
    // after would hide it.
    void Remember(std::optional<TDiskState> read = std::nullopt);
    const TDiskState& Remembered() const { return remembered_; }
    // The file's content differs from the remembered one, or a file came where there
    // was none. A file that is gone does not count: saving writes it anew.
    bool ChangedOnDisk() const;
    // How long a notice of the file system waits for the writer to finish (editors
    // write in several steps); 100 ms unless changed.
    void SetSettleDelay(int milliseconds) { settle_.setInterval(milliseconds); }
    // Looks at the file now, as a notice of the file system would make it.
    void CheckNow();

signals:
    // The content on disk is no longer the document's.
    void Changed();
    // The file is gone (deleted, or moved away).
    void Removed();

private:
    void Watch();

    QString path_;
    TDiskState remembered_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
};

}  // namespace qm
