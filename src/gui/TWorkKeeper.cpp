// The keeper's side of keeping work: the questions to the user and what follows the
// answers; the classes it holds do the rest. A copy restored or a file read again comes
// in through the document, which the views follow.

#include "gui/TWorkKeeper.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include "env/AppFolders.h"
#include "env/ProjectLock.h"
#include "gui/FlagScope.h"
#include "gui/TDiskStateGuard.h"
#include "gui/TInstanceLink.h"
#include "gui/TMenuDocument.h"
#include "gui/TRecoveryOffer.h"
#include "gui/TRecoveryStore.h"
#include "gui/TStatusBar.h"
#include "output/Publisher.h"

namespace qm {

namespace {

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(path.toStdString());
}

QString NameOf(const QString& path) {
    return QFileInfo(path).fileName();
}

// "process 4242 of ann" or "process 4242 of ann on studio" when on another host.
QString HolderText(const TLockHolder& holder) {
    QString text = QStringLiteral("process %1").arg(holder.pid);
    if (!holder.user.isEmpty()) text += QStringLiteral(" of ") + holder.user;
    if (!holder.host.isEmpty() && holder.host != QSysInfo::machineHostName()) text += QStringLiteral(" on ") + holder.host;
    return text;
}

}  // namespace

TWorkKeeper::TWorkKeeper(const TWindowContext& context, std::function<bool(const QString& fileName)> reload)
    : QObject(&context.window),
      context_(context),
      document_(context.document),
      dialogs_(context.dialogs),
      reload_(std::move(reload)) {
    recovery_ = std::make_unique<TRecoveryStore>(document_, [this] { return document_.ProjectFilePath(); });
    diskGuard_ = std::make_unique<TDiskStateGuard>();
    projectLock_ = std::make_unique<ProjectLock>();
    connect(recovery_.get(), &TRecoveryStore::WriteFailed, this, [this](const QString& message) {
        context_.statusBar.ShowNote(QStringLiteral("The recovery copy could not be written: ") + message);
    });
    connect(diskGuard_.get(), &TDiskStateGuard::Changed, this, &TWorkKeeper::DiskFileChanged);
    connect(diskGuard_.get(), &TDiskStateGuard::Removed, this, &TWorkKeeper::DiskFileRemoved);
    TInstanceLink::Instance().Register(
        this, {[this] { return projectLock_->Project(); },
               [this] {
                   QWidget& window = context_.window;
                   if (window.isMinimized()) window.showNormal();
                   window.raise();
                   window.activateWindow();
               },
               [this] { LetProjectGo(); }});
}

// The copy stays on disk for the next start, unless closing removed it.
TWorkKeeper::~TWorkKeeper() = default;

void TWorkKeeper::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    emit ReadOnlyChanged(readOnly);
}

// --- Recovery -------------------------------------------------------------------------------

bool TWorkKeeper::OfferRecovery() {
    bool restored = false;
    context_.Guard([&] { restored = OfferRecoveryOf({}); });
    return restored;
}

void TWorkKeeper::ReportDamagedCopies(const QStringList& names) {
    if (names.isEmpty()) return;
    QString folder;
    try {
        folder = QDir::toNativeSeparators(TRecoveryStore::DamagedFolder());
    } catch (...) {
    }
    for (const QString& name : names)
        dialogs_.MessageDlg(&context_.window,
                             QStringLiteral("The recovery copy of %1 cannot be read; it was set aside in %2.")
                                 .arg(name, folder),
                             TMsgDlgType::Error, QMessageBox::Ok);
}

bool TWorkKeeper::OfferRecoveryOf(const QString& origin) {
    for (;;) {
        QStringList damaged;
        std::vector<TStaleCopy> copies = recovery_->ClaimStaleCopies(origin, &damaged);
        ReportDamagedCopies(damaged);
        if (copies.empty()) return false;
        TRecoveryOffer offer(copies, QDateTime::currentDateTime(), &context_.window);
        dialogs_.ExecModal(offer);
        const TStaleCopy chosen = offer.ChosenCopy();
        switch (offer.Chosen()) {
        case TRecoveryOffer::Choice::Later:
            recovery_->ReleaseClaims();
            return false;
        case TRecoveryOffer::Choice::Discard:
            recovery_->DiscardStale(chosen);
            recovery_->ReleaseClaims();
            continue;  // the others are offered again
        case TRecoveryOffer::Choice::Restore: {
            const bool restored = RestoreCopy(chosen);
            recovery_->ReleaseClaims();
            if (restored) return true;
            continue;
        }
        }
    }
}

bool TWorkKeeper::RestoreCopy(const TStaleCopy& copy) {
    LoadReport report;
    try {
        report = document_.Open(ToPath(copy.copyPath));
    } catch (...) {
        // Never half opened: the copy goes aside, where the user can still look at it.
        const QString reason = DescribeException(std::current_exception());
        const QString folder = QDir::toNativeSeparators(recovery_->SetAside(copy));
        dialogs_.MessageDlg(&context_.window,
                             QStringLiteral("The recovery copy of %1 cannot be read (%2); it was set aside in %3.")
                                 .arg(TRecoveryOffer::NameOf(copy), reason, folder),
                             TMsgDlgType::Error, QMessageBox::Ok);
        return false;
    }
    recovery_->Adopt(copy);
    document_.SetFileName(copy.origin);
    FollowProject(copy.origin, false);
    const auto previewFolder = ToPath(GetPreviewFolder());
    document_.ClearPreviewFolder(previewFolder);
    document_.StageSounds(previewFolder,
                           ToPath(copy.origin.isEmpty() ? GetDocumentsFolder() : QFileInfo(copy.origin).absolutePath() + QLatin1Char('/')));
    // Not what the file holds: Save writes it, and no undo reaches the file's state.
    document_.MarkUnsaved();
    context_.statusBar.ShowNote(QStringLiteral("Restored the changes kept ") +
             TRecoveryOffer::KeptAtText(copy.keptAt, QDateTime::currentDateTime()) + QLatin1Char('.'));
    return true;
}

// --- One project, one window ----------------------------------------------------------------

TWorkKeeper::Claim TWorkKeeper::ClaimProject(const QString& fileName) {
    const QString project = QFileInfo(TMenuDocument::ProjectFileOf(fileName)).absoluteFilePath();
    if (project == projectLock_->Project()) return Claim::Open;  // read again, here
    const auto holder = ProjectLock::HolderOf(project);
    if (!holder) return Claim::Open;
    TInstanceLink& link = TInstanceLink::Instance();
    if (holder->thisProcess) {
        // Another window of this program: it is shown instead of a second editor.
        if (link.BringForwardHere(project)) return Claim::Stop;
        return Claim::Open;
    }
    link.AskToBringForward(holder->pid, project);
    const QString name = NameOf(project);
    TQuestion question{TMsgDlgType::Warning,
                       QStringLiteral("%1 is open in another Quillamere window (%2). Open it read-only here, or take it "
                                      "over (the other window keeps it open read-only)?")
                           .arg(name, HolderText(*holder)),
                       {QStringLiteral("Open Read-Only"), QStringLiteral("Take Over"), QStringLiteral("Cancel")},
                       0,
                       2};
    if (!TInstanceLink::CanReachOthers()) {
        question.text = QStringLiteral("%1 is open in another Quillamere window (%2). Open it read-only here?")
                            .arg(name, HolderText(*holder));
        question.choices = {QStringLiteral("Open Read-Only"), QStringLiteral("Cancel")};
        question.closedChoice = 1;
    }
    const QString answer = question.choices.value(dialogs_.Ask(&context_.window, question));
    if (answer == QLatin1String("Open Read-Only")) return Claim::OpenReadOnly;
    if (answer != QLatin1String("Take Over")) return Claim::Stop;
    if (link.AskToLetGo(holder->pid, project)) return Claim::Open;
    dialogs_.MessageDlg(&context_.window,
                         QStringLiteral("The other window did not let %1 go; it opens read-only here.").arg(name),
                         TMsgDlgType::Information, QMessageBox::Ok);
    return Claim::OpenReadOnly;
}

void TWorkKeeper::FollowProject(const QString& fileName, bool readOnly, std::optional<TDiskState> read) {
    const QString project = fileName.isEmpty() ? QString() : TMenuDocument::ProjectFileOf(fileName);
    bool held = false;
    if (project.isEmpty() || readOnly) {
        projectLock_->Release();
    } else {
        // Reachable before the lock names this program: a program that finds the lock
        // can ask at once.
        TInstanceLink::Instance().Listen();
        held = projectLock_->Acquire(project) != ProjectLock::Outcome::HeldElsewhere;
    }
    diskGuard_->Follow(project, std::move(read));
    SetReadOnly(!project.isEmpty() && !held);
}

void TWorkKeeper::LetProjectGo() {
    const QString name = NameOf(projectLock_->Project());
    projectLock_->Release();
    SetReadOnly(true);
    context_.statusBar.ShowNote(QStringLiteral("%1 was taken over by another Quillamere window; it is read-only here.").arg(name));
}

bool TWorkKeeper::MayWriteProject(const QString& project) {
    const QString name = NameOf(project);
    if (QFileInfo(project).absoluteFilePath() != projectLock_->Project()) {
        if (const auto holder = ProjectLock::HolderOf(project)) {
            dialogs_.MessageDlg(&context_.window,
                                 QStringLiteral("%1 is open in another Quillamere window (%2). Save it under another "
                                                "name, or close it there first.")
                                     .arg(name, HolderText(*holder)),
                                 TMsgDlgType::Error, QMessageBox::Ok);
            return false;
        }
    }
    if (diskGuard_->Path() != QFileInfo(project).absoluteFilePath() || !diskGuard_->ChangedOnDisk()) return true;
    const TQuestion question{TMsgDlgType::Warning,
                             QStringLiteral("%1 was changed by another program since it was opened or saved here. "
                                            "Replace it with your version?")
                                 .arg(name),
                             {QStringLiteral("Replace"), QStringLiteral("Cancel")},
                             1,
                             1};
    return dialogs_.Ask(&context_.window, question) == 0;
}

// --- Changes made elsewhere -------------------------------------------------------------------

TQuestion TWorkKeeper::ChangedOnDiskQuestion(const QString& fileName) {
    // Keeping the user's own is the default: a slip of the Enter key loses nothing.
    return {TMsgDlgType::Warning,
            QStringLiteral("%1 was changed by another program. Reload it (your changes are lost), or keep yours (Save "
                           "will replace it)?")
                .arg(fileName),
            {QStringLiteral("Reload"), QStringLiteral("Keep Mine")},
            1,
            1};
}

void TWorkKeeper::DiskFileChanged() {
    // One question at a time: the file may change again while it is open.
    if (askingAboutDisk_) return;
    TFlagScope asking(askingAboutDisk_);
    const QString name = NameOf(diskGuard_->Path());
    if (!document_.Modified()) {
        if (ReloadFromDisk()) context_.statusBar.ShowNote(QStringLiteral("%1 was changed by another program and has been reloaded.").arg(name));
        return;
    }
    if (dialogs_.Ask(&context_.window, ChangedOnDiskQuestion(name)) == 0) {
        if (ReloadFromDisk()) context_.statusBar.ShowNote(QStringLiteral("%1 has been reloaded.").arg(name));
    } else {
        diskGuard_->Remember();
    }
}

void TWorkKeeper::DiskFileRemoved() {
    const QString name = NameOf(diskGuard_->Path());
    // The document is all that is left of the file: Save writes it anew.
    document_.MarkUnsaved();
    const QString note = QStringLiteral("%1 was deleted or moved away by another program. The menu stays open here; "
                                        "Save writes the file anew.")
                             .arg(name);
    context_.statusBar.ShowNote(note);
    dialogs_.MessageDlg(&context_.window, note, TMsgDlgType::Information, QMessageBox::Ok);
}

bool TWorkKeeper::ReloadFromDisk() {
    return reload_(diskGuard_->Path());
}

}  // namespace qm
