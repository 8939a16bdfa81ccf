// The File commands. The file is read and checked completely before anything is
// replaced: a refused file leaves the document, its name, its tree, its panels and the
// recent list as they were.

#include "gui/TProjectFiles.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "env/AppFolders.h"
#include "gui/CommandActions.h"
#include "gui/IconFactory.h"
#include "gui/TDiskStateGuard.h"
#include "gui/TMenuDocument.h"
#include "gui/TPanelBinding.h"
#include "gui/TStatusBar.h"
#include "gui/TWorkKeeper.h"
#include "gui/dialogs/RecentFilesList.h"
#include "gui/dialogs/TfrmTemplet.h"
#include "model/Error.h"
#include "model/TextFile.h"
#include "output/Publisher.h"

namespace qm {

namespace {

const QString kProjectFilter = QStringLiteral("Quillamere Files (*.zorbel)|*.zorbel");
const QString kExchangeFilter = QStringLiteral("General Menu Structure File (*.gms)|*.gms");

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(path.toStdString());
}

QString FolderOf(const QString& path) {
    return AddTrailingBackslash(QFileInfo(path).absolutePath());
}

}  // namespace

TProjectFiles::TProjectFiles(const TWindowContext& context, TWorkKeeper& keeper, TPanelBinding& binding)
    : QObject(&context.window),
      context_(context),
      document_(context.document),
      dialogs_(context.dialogs),
      keeper_(keeper),
      binding_(binding) {
    New1 = MakeCommandAction(this, QStringLiteral("&New..."), "New1", TIconKind::New, QKeySequence(Qt::CTRL | Qt::Key_N));
    Open1 = MakeCommandAction(this, QStringLiteral("&Open..."), "Open1", TIconKind::Open, QKeySequence(Qt::CTRL | Qt::Key_O));
    Save1 = MakeCommandAction(this, QStringLiteral("&Save"), "Save1", TIconKind::Save, QKeySequence(Qt::CTRL | Qt::Key_S));
    Save2 = MakeCommandAction(this, QStringLiteral("Save &As..."), "Save2");
    Templet1 = MakeCommandAction(this, QStringLiteral("&Template..."), "Templet1");
    SaveAsTemplate1 = MakeCommandAction(this, QStringLiteral("Sa&ve As Template"), "SaveAsTemplate1");
    ImportMenuStructure1 = MakeCommandAction(this, QStringLiteral("&Import Menu Structure"), "ImportMenuStructure1");
    ExportMenuStructure1 = MakeCommandAction(this, QStringLiteral("&Export Menu Structure"), "ExportMenuStructure1");
    connect(New1, &QAction::triggered, this, &TProjectFiles::New1Click);
    connect(Open1, &QAction::triggered, this, &TProjectFiles::Open1Click);
    connect(Save1, &QAction::triggered, this, &TProjectFiles::Save1Click);
    connect(Save2, &QAction::triggered, this, &TProjectFiles::Save2Click);
    connect(Templet1, &QAction::triggered, this, &TProjectFiles::Templet1Click);
    connect(SaveAsTemplate1, &QAction::triggered, this, &TProjectFiles::SaveAsTemplate1Click);
    connect(ImportMenuStructure1, &QAction::triggered, this, &TProjectFiles::ImportMenuStructure1Click);
    connect(ExportMenuStructure1, &QAction::triggered, this, &TProjectFiles::ExportMenuStructure1Click);

    RecentFiles1 = new QMenu(QStringLiteral("&Recent Files"), &context.window);
    RecentFiles1->setObjectName(QStringLiteral("mnitRecentFiles"));
}

// --- The document's folder, saving --------------------------------------------------------

QString TProjectFiles::SaveDialog(const QString& title, const QString& filter, const QString& initialFolder) {
    return dialogs_.GetSaveFileName(&context_.window, title, filter, initialFolder, true);
}

QString TProjectFiles::DialogFolder() const {
    return document_.FileName().isEmpty() ? GetDocumentsFolder() : FolderOf(document_.FileName());
}

void TProjectFiles::DocumentSavedAs(const QString& path) {
    document_.MarkSaved();
    document_.SetFileName(path);
    if (RecentFilesList::InTempFolder().Add(document_.ProjectFilePath())) LoadRecentFiles();
}

bool TProjectFiles::SaveTo(const QString& path) {
    binding_.InterpretTypedNumbers();
    if (!keeper_.MayWriteProject(TMenuDocument::ProjectFileOf(path))) return false;
    const QFileInfo info(path);
    const PublishResult published =
        SaveAndPublish(document_.Agent(), ToPath(AddTrailingBackslash(info.absolutePath())), info.fileName().toStdString(),
                       PublishFolders{ToPath(GetProgramFolder()), ToPath(GetPreviewFolder())});
    // What is on disk now is the document's: the watch's own notice of it changes nothing.
    keeper_.FollowProject(path, false);
    DocumentSavedAs(path);
    if (!published.warnings.empty()) {
        QStringList lines;
        for (const auto& warning : published.warnings) lines << QString::fromStdString(warning) + QLatin1Char('.');
        dialogs_.MessageDlg(&context_.window, lines.join(QLatin1Char('\n')), TMsgDlgType::Warning, QMessageBox::Ok);
    }
    return true;
}

bool TProjectFiles::SavePrompt() {
    binding_.InterpretTypedNumbers();
    if (!document_.Modified()) return true;
    const auto answer = dialogs_.MessageDlg(&context_.window, QStringLiteral("Save changes to files?"), TMsgDlgType::Warning,
                                            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::Yes) {
        Save1Click();
        // Not saved (the dialog cancelled, the save refused or failed): the command stops
        // rather than throw the changes away.
        return !document_.Modified();
    }
    return true;
}

bool TProjectFiles::SaveBeforeClosing() {
    if (!document_.Modified()) return true;
    const auto answer = dialogs_.MessageDlg(&context_.window, QStringLiteral("Save changes before exit?"), TMsgDlgType::Warning,
                                            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) return false;
    if (answer != QMessageBox::Yes) return true;
    QString target = document_.FileName();
    if (target.isEmpty()) target = SaveDialog(QStringLiteral("Save As"), kProjectFilter, DialogFolder());
    return !target.isEmpty() && SaveTo(target);
}

void TProjectFiles::New1Click() {
    context_.Guard([&] { StartNewDocument([](TMenuDocument& document) { document.Reset(); }); });
}

bool TProjectFiles::StartNewDocument(const std::function<void(TMenuDocument&)>& fill) {
    if (!SavePrompt()) return false;
    document_.ClearPreviewFolder(ToPath(GetPreviewFolder()));
    document_.SetFileName({});
    fill(document_);
    keeper_.FollowProject({}, false);
    emit NewDocumentStarted();
    return true;
}

void TProjectFiles::ShowFileRefusal(const QString& fileName, const std::exception_ptr& error) {
    QString message = DescribeException(error);
    try {
        std::rethrow_exception(error);
    } catch (const Error& refusal) {
        // The file by its name, as the user knows it; the folder adds nothing but length.
        if (refusal.File() == DisplayPath(ToPath(fileName)))
            message = QString::fromUtf8(
                Error(QFileInfo(fileName).fileName().toStdString(), refusal.Line(), refusal.Reason()).what());
    } catch (...) {
    }
    dialogs_.MessageDlg(&context_.window, message, TMsgDlgType::Error, QMessageBox::Ok);
}

bool TProjectFiles::LoadProjectFile(const QString& fileName, bool quiet, OpenAs how) {
    TWorkKeeper& keeper = keeper_;
    bool readOnly = false;
    if (how == OpenAs::Project) {
        const TWorkKeeper::Claim claim = keeper.ClaimProject(fileName);
        if (claim == TWorkKeeper::Claim::Stop) return false;
        readOnly = claim == TWorkKeeper::Claim::OpenReadOnly;
        // Changes a crashed window left of this project come instead of the file.
        bool restored = false;
        try {
            restored = !readOnly && keeper.OfferRecoveryOf(TMenuDocument::ProjectFileOf(fileName));
        } catch (...) {
            // No copies can be looked for (the data folder fails): the file opens as it is.
            context_.statusBar.ShowNote(QStringLiteral("Kept changes cannot be looked for: ") +
                                         DescribeException(std::current_exception()));
        }
        if (restored) {
            if (RecentFilesList::InTempFolder().Add(fileName)) LoadRecentFiles();
            return true;
        }
    }
    // The file as it is read: a change another program writes after that is then asked
    // about, not taken for the document's own. The bytes the document is read from are
    // hashed as they come, where they are the followed file's.
    std::optional<TDiskState> read;
    TDiskState::ContentHash content;
    bool hashing = false;
    if (how != OpenAs::Template) {
        const QString followed = how == OpenAs::Reload ? keeper.DiskGuard().Path() : TMenuDocument::ProjectFileOf(fileName);
        hashing = QFileInfo(followed).absoluteFilePath() == QFileInfo(fileName).absoluteFilePath();
        read = hashing ? TDiskState::Unread(followed) : TDiskState::Of(followed);
    }
    LoadReport report;
    try {
        report = document_.Open(ToPath(fileName), hashing ? TextFile::ByteObserver([&content](std::string_view bytes) {
            content.Add(bytes);
        }) : TextFile::ByteObserver());
    } catch (...) {
        if (!quiet) ShowFileRefusal(fileName, std::current_exception());
        return false;
    }
    if (hashing) {
        read->exists = true;
        read->size = content.Size();
        read->hash = content.Result();
    }
    const auto previewFolder = ToPath(GetPreviewFolder());
    document_.ClearPreviewFolder(previewFolder);
    if (how == OpenAs::Project) {
        document_.SetFileName(fileName);
        keeper.FollowProject(fileName, readOnly, std::move(read));
        if (RecentFilesList::InTempFolder().Add(fileName)) LoadRecentFiles();
    } else if (how == OpenAs::Template) {
        document_.SetFileName({});
        keeper.FollowProject({}, false);
    } else {
        keeper.DiskGuard().Remember(std::move(read));
    }
    document_.StageSounds(previewFolder, ToPath(FolderOf(fileName)));
    ShowLoadWarnings(report, quiet);
    return true;
}

void TProjectFiles::ShowLoadWarnings(const LoadReport& report, bool quiet) {
    const auto warnings = report.Warnings();
    if (quiet || warnings.empty()) return;
    QStringList lines;
    for (const auto& warning : warnings) lines << QString::fromStdString(warning) + QLatin1Char('.');
    dialogs_.MessageDlg(&context_.window, lines.join(QLatin1Char('\n')), TMsgDlgType::Information, QMessageBox::Ok);
}

bool TProjectFiles::OpenProjectFile(const QString& fileName, bool quiet) {
    bool opened = false;
    const auto open = [&] {
        if (fileName.isEmpty()) return;
        if (!SavePrompt()) return;
        opened = LoadProjectFile(fileName, quiet, OpenAs::Project);
    };
    if (quiet) {
        try {
            open();
        } catch (...) {
            return false;  // at start-up a file that cannot be opened is passed over silently
        }
        return opened;
    }
    context_.Guard(open);
    return opened;
}

bool TProjectFiles::OpenTemplate(const QString& fileName) {
    bool opened = false;
    context_.Guard([&] {
        if (fileName.isEmpty() || !SavePrompt()) return;
        opened = LoadProjectFile(fileName, false, OpenAs::Template);
    });
    return opened;
}

bool TProjectFiles::Reload(const QString& fileName) {
    bool reloaded = false;
    context_.Guard([&] { reloaded = LoadProjectFile(fileName, false, OpenAs::Reload); });
    return reloaded;
}

void TProjectFiles::Open1Click() {
    context_.Guard([&] {
        if (!SavePrompt()) return;
        const QString chosen = dialogs_.GetOpenFileName(&context_.window, QStringLiteral("Open"), kProjectFilter, DialogFolder());
        if (chosen.isEmpty()) return;
        LoadProjectFile(chosen, false, OpenAs::Project);
    });
}

void TProjectFiles::Save1Click() {
    context_.Guard([&] {
        if (!document_.FileName().isEmpty()) {
            SaveTo(document_.FileName());
            return;
        }
        const QString chosen = SaveDialog(QStringLiteral("Save As"), kProjectFilter, DialogFolder());
        if (chosen.isEmpty()) return;
        SaveTo(chosen);
    });
}

void TProjectFiles::SaveAs(const QString& title, const QString& initialFolder) {
    const QString chosen = SaveDialog(title, kProjectFilter, initialFolder);
    if (chosen.isEmpty()) return;
    SaveTo(chosen);
}

// A titled project's Save As starts at its own file, in its folder with its name.
void TProjectFiles::Save2Click() {
    context_.Guard([&] {
        SaveAs(QStringLiteral("Save As"), document_.FileName().isEmpty() ? DialogFolder() : document_.ProjectFilePath());
    });
}

void TProjectFiles::SaveAsTemplate1Click() {
    context_.Guard([&] {
        const QString folder = GetTemplatesFolder();
        if (QDir(folder).exists()) {
            SaveAs(QStringLiteral("Save As Template"), folder);
            return;
        }
        // The first time only makes the folder; the dialog opens when asked again.
        if (!QDir().mkpath(folder)) throw Error("Cannot create template folder!");
    });
}

void TProjectFiles::Templet1Click() {
    context_.Guard([&] { ShowTemplateChooser(); });
}

void TProjectFiles::ShowTemplateChooser() {
    const ErrorReporter reportError = [this](const QString& message) { dialogs_.ShowApplicationError(&context_.window, message); };
    TfrmTemplet chooser({[this](const QString& fileName) { OpenTemplate(fileName); }, [this] { New1Click(); },
                         reportError, GetProgramFolder() + QStringLiteral("samples/")},
                        &context_.window);
    dialogs_.ExecModal(chooser);
}

void TProjectFiles::ImportMenuStructure1Click() {
    context_.Guard([&] {
        if (!SavePrompt()) return;
        const QString chosen = dialogs_.GetOpenFileName(&context_.window, QStringLiteral("Import Menu Structure"),
                                                        kExchangeFilter, DialogFolder());
        if (chosen.isEmpty()) return;
        LoadReport report;
        try {
            report = document_.Import(ToPath(chosen));
        } catch (...) {
            ShowFileRefusal(chosen, std::current_exception());
            return;
        }
        document_.ClearPreviewFolder(ToPath(GetPreviewFolder()));
        document_.StageSounds(ToPath(GetPreviewFolder()), ToPath(FolderOf(chosen)));
            ShowLoadWarnings(report, false);
    });
}

QString TProjectFiles::ExchangeFileName(const QString& chosen) {
    if (chosen.right(4).toLower() == QLatin1String(".gms")) return chosen;
    return chosen + QStringLiteral(".gms");
}

void TProjectFiles::ExportMenuStructure1Click() {
    context_.Guard([&] {
        const QString chosen = SaveDialog(QStringLiteral("Export Menu Structure"), kExchangeFilter, DialogFolder());
        if (chosen.isEmpty()) return;
        const QString target = ExchangeFileName(chosen);
        // The dialog asked about the name as typed; a name that gained its extension is
        // asked about here.
        if (target != chosen && QFileInfo::exists(target) &&
            dialogs_.MessageDlg(&context_.window, QFileInfo(target).fileName() + QStringLiteral(" already exists.\nDo you want to replace it?"),
                                TMsgDlgType::Confirmation, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
            return;
        // What is on screen, a number still being typed included.
        binding_.InterpretTypedNumbers();
        document_.Agent().ExportMenuStructure(ToPath(target));
    });
}

// --- Recent files ------------------------------------------------------------------------

void TProjectFiles::LoadRecentFiles() {
    RecentFilesList::InTempFolder().FillMenu(*RecentFiles1, [this](const QString& fileName) { OpenProjectFile(fileName); });
}

QStringList TProjectFiles::RecentFiles() {
    // As the File menu shows it when opened.
    LoadRecentFiles();
    QStringList paths;
    for (const QAction* entry : RecentFiles1->actions())
        paths << RecentFilesList::FileNameOfCaption(entry->data().toString());
    return paths;
}

}  // namespace qm
