#pragma once
// What keeps the user's work from being lost: the recovery copies (TRecoveryStore) and
// their offer (TRecoveryOffer), the project file changed by another program
// (TDiskStateGuard), and the project's lock against a second window (ProjectLock,
// TInstanceLink). Those classes do the work; the keeper asks the user.

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "gui/IUserDialogs.h"
#include "gui/TDiskStateGuard.h"
#include "gui/TWindowContext.h"

namespace qm {

class ProjectLock;
class TRecoveryStore;
struct TStaleCopy;

class TWorkKeeper final : public QObject {
    Q_OBJECT
public:
    // reload reads the project file again, as a change made elsewhere asks; false,
    // after its message, when it cannot be read.
    TWorkKeeper(const TWindowContext& context, std::function<bool(const QString& fileName)> reload);
    ~TWorkKeeper() override;

    TRecoveryStore& Recovery() { return *recovery_; }
    TDiskStateGuard& DiskGuard() { return *diskGuard_; }
    ProjectLock& Lock() { return *projectLock_; }
    // Open read-only: another window holds the project; Save asks for another name.
    bool ReadOnly() const { return readOnly_; }

    // Offers the changes that windows ended unexpectedly left (the start). Returns true
    // when a copy was restored into this window.
    bool OfferRecovery();
    // The recovery offer for one project file (empty: for every stale copy); true when a
    // copy was restored.
    bool OfferRecoveryOf(const QString& origin);
    // Reads the project file again (a change made elsewhere). False, after its message,
    // when it cannot be read.
    bool ReloadFromDisk();
    // The one question about a project file that another program changed while the
    // document has changes of its own: 0 reloads, 1 keeps the document's.
    static TQuestion ChangedOnDiskQuestion(const QString& fileName);

    // Before a project is opened: another window that holds it is brought forward, and
    // asked about.
    enum class Claim { Open, OpenReadOnly, Stop };
    Claim ClaimProject(const QString& fileName);
    // After a project was read or written under fileName: the lock, the watch (read:
    // the project file's state taken before it was read; see TDiskStateGuard).
    void FollowProject(const QString& fileName, bool readOnly, std::optional<TDiskState> read = std::nullopt);
    // Before writing project: false (after saying why) when it must not be written.
    bool MayWriteProject(const QString& project);

signals:
    void ReadOnlyChanged(bool readOnly);

private:
    void SetReadOnly(bool readOnly);
    bool RestoreCopy(const TStaleCopy& copy);
    void ReportDamagedCopies(const QStringList& names);
    void DiskFileChanged();
    void DiskFileRemoved();
    void LetProjectGo();

    const TWindowContext context_;
    TMenuDocument& document_;
    IUserDialogs& dialogs_;
    std::function<bool(const QString&)> reload_;
    std::unique_ptr<TRecoveryStore> recovery_;
    std::unique_ptr<TDiskStateGuard> diskGuard_;
    std::unique_ptr<ProjectLock> projectLock_;
    bool readOnly_ = false;
    bool askingAboutDisk_ = false;
};

}  // namespace qm
