#pragma once
// Recovery copies: while the document has unsaved changes, a copy of it is kept in the
// per-user data folder, so that a crash, a kill or a power cut loses at most the last
// second of work. The copy is written a moment after a change (changes in that moment
// come together in one write), never while a key is being handled, by the one safe-save
// helper; it goes when the document is saved, discarded by the user's choice, or undone
// back to its saved state.
//
// Each copy is three files in <data folder>/Recovery/, named by a random id:
//   <id>.zorbel  the document as saving would write its project file
//   <id>.origin  the project file's full path in UTF-8 (empty while untitled)
//   <id>.lock    held by the running window whose copy it is
// A copy whose lock no running program holds is stale: its window ended without
// closing. A window claims stale copies (by taking their locks, so that a second
// program starting at the same time never offers the same copy), then restores,
// discards or releases each. A copy that cannot be read is moved to Recovery/Damaged/
// and never offered again.

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QLockFile;

namespace qm {

class TMenuDocument;

struct TStaleCopy {
    QString id;
    QString origin;     // the project file's path; empty for an untitled document
    QDateTime keptAt;   // when the copy was last written
    QString copyPath;   // the copy's project file
};

class TRecoveryStore final : public QObject {
    Q_OBJECT
public:
    // originOfDocument names the project file the document saves to (empty while
    // untitled); it is asked at every write.
    TRecoveryStore(TMenuDocument& document, std::function<QString()> originOfDocument, QObject* parent = nullptr);
    // Keeps the copy on disk: a window that goes without closing (the program is ended
    // from outside) leaves its changes to be offered at the next start.
    ~TRecoveryStore() override;

    // <data folder>/Recovery/, made when missing (qm::Error when it cannot be).
    static QString Folder();
    static QString DamagedFolder();

    // --- The document's own copy ---------------------------------------------------
    // How long after a change the copy is written (1000 ms unless changed).
    void SetDelay(int milliseconds) { timer_.setInterval(milliseconds); }
    // A write is waiting for its moment.
    bool WritePending() const { return timer_.isActive(); }
    // Writes the waiting copy now (tests drive the moment with this).
    void WritePendingCopy();
    // Removes the document's copy and its lock (saved, or discarded by choice).
    void Discard();
    // The path of the document's copy, or empty while it has none.
    QString CopyPath() const;

    // --- Stale copies ------------------------------------------------------------------
    // Claims the stale copies (of one project file when origin is given; of any when it
    // is empty), newest first. A copy that cannot be read is set aside, and named in
    // `damaged` ("the copy of menu.zorbel"). Claimed copies stay locked by this store
    // until they are adopted, discarded, set aside or released.
    std::vector<TStaleCopy> ClaimStaleCopies(const QString& origin, QStringList* damaged = nullptr);
    // The claimed copy becomes the document's own (the document now holds its content);
    // the document's previous copy is removed.
    void Adopt(const TStaleCopy& copy);
    // The copy's files are removed.
    void DiscardStale(const TStaleCopy& copy);
    // The copy's files go to the Damaged folder; returns that folder.
    QString SetAside(const TStaleCopy& copy);
    // Every claimed copy is left for later (its lock released, its files kept).
    void ReleaseClaims();

signals:
    void Written(const QString& copyPath);
    // A copy could not be written; the message names the file and the reason.
    void WriteFailed(const QString& message);

private:
    void DocumentChanged();
    void WriteCopy();
    void RemoveFiles(const QString& id);
    // The folder, made when missing (qm::Error when it cannot be); remembered for
    // PathOf, which never fails, so that removing a copy never throws.
    void EnsureFolder();
    QString PathOf(const QString& id, const char* suffix) const;
    std::unique_ptr<QLockFile> LockOf(const QString& id) const;

    TMenuDocument& document_;
    std::function<QString()> originOfDocument_;
    QTimer timer_;
    QString folder_;                   // set by EnsureFolder
    QString id_;                       // the document's copy; empty while it has none
    std::unique_ptr<QLockFile> lock_;  // held while id_ is set
    std::map<QString, std::unique_ptr<QLockFile>> claims_;
};

}  // namespace qm
