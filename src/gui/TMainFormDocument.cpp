// The File commands: new, open, save, templates, the exchange file and the recent-files
// list; and the commands that open pages and windows. A whole document comes and goes
// through the document object (TMenuDocument::Reset, Open, Import); the panels and the
// tree follow it.

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QTreeView>

#include "env/AppFolders.h"
#include "model/Error.h"
#include "gui/FlagScope.h"
#include "gui/dialogs/ProductAddresses.h"
#include "output/Publisher.h"
#include "env/Settings.h"
#include "gui/TMainForm.h"
#include "gui/TStatusBar.h"
#include "gui/TDiskStateGuard.h"
#include "gui/TMenuTreeModel.h"
#include "gui/TPanelBinding.h"
#include "env/TformWebBrowser.h"
#include "gui/dialogs/RecentFilesList.h"
#include "gui/dialogs/TformAbout.h"
#include "gui/dialogs/TfrmTemplet.h"
#include "model/TextFile.h"

namespace qm {

namespace {

constexpr int kExpandAllLimit = 500;
const QString kProjectFilter = QStringLiteral("Quillamere Files (*.zorbel)|*.zorbel");
const QString kExchangeFilter = QStringLiteral("General Menu Structure File (*.gms)|*.gms");

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(path.toStdString());
}

QString FolderOf(const QString& path) {
    return AddTrailingBackslash(QFileInfo(path).absolutePath());
}

}  // namespace

QString TMainForm::SaveDialog(const QString& title, const QString& filter, const QString& initialFolder) {
    return dialogs_->GetSaveFileName(this, title, filter, initialFolder, true);
}

// --- The document's folder, saving --------------------------------------------------------

QString TMainForm::DialogFolder() const {
    return CurrentFileName().isEmpty() ? GetDocumentsFolder() : FolderOf(CurrentFileName());
}

void TMainForm::DocumentSavedAs(const QString& path) {
    SetModified(false);
    SetCurrentFileName(path);
    if (RecentFilesList::InTempFolder().Add(ProjectFilePath())) LoadRecentFiles();
}

bool TMainForm::SaveTo(const QString& path) {
    StorePanels();
    if (!MayWriteProject(ProjectFileOf(path))) return false;
    const QFileInfo info(path);
    const PublishResult published =
        SaveAndPublish(Agent(), ToPath(AddTrailingBackslash(info.absolutePath())), info.fileName().toStdString(),
                       PublishFolders{ToPath(GetProgramFolder()), ToPath(GetPreviewFolder())});
    // What is on disk now is the document's: the watch's own notice of it changes nothing.
    FollowProject(path, false);
    DocumentSavedAs(path);
    if (!published.warnings.empty()) {
        QStringList lines;
        for (const auto& warning : published.warnings) lines << QString::fromStdString(warning) + QLatin1Char('.');
        dialogs_->MessageDlg(this, lines.join(QLatin1Char('\n')), TMsgDlgType::Warning, QMessageBox::Ok);
    }
    return true;
}

bool TMainForm::SavePrompt() {
    StorePanels();
    if (!Modified()) return true;
    const auto answer = dialogs_->MessageDlg(this, QStringLiteral("Save changes to files?"), TMsgDlgType::Warning,
                                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::Yes) {
        Save1Click();
        // Not saved (the dialog cancelled, the save refused or failed): the command stops
        // rather than throw the changes away.
        return !Modified();
    }
    return true;
}

// After a whole new document: no item on the Item page, the root selected.
void TMainForm::ResetTree() {
    binding_->ShowItem(kNoNode);
    TFlagScope updating(treeUpdating);
    // A menu of ordinary size opens with every sub item in view; a very large one opens
    // with its main items only, which keeps it readable (and quick to lay out).
    if (Agent().ItemCount() <= kExpandAllLimit)
        trvwDesignPanel->expandAll();
    else
        trvwDesignPanel->expand(treeModel_->RootIndex());
    SelectNode(kRootNode);
}

void TMainForm::New1Click() {
    Guard([&] { StartNewDocument([](TMenuDocument& document) { document.Reset(); }); });
}

bool TMainForm::StartNewDocument(const std::function<void(TMenuDocument&)>& fill) {
    if (!SavePrompt()) return false;
    document_->ClearPreviewFolder(ToPath(GetPreviewFolder()));
    SetCurrentFileName({});
    fill(*document_);
    FollowProject({}, false);
    ResetTree();
    ArrangeTabs(true);
    UpdateItemCommands();
    return true;
}

void TMainForm::ShowFileRefusal(const QString& fileName, const std::exception_ptr& error) {
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
    dialogs_->MessageDlg(this, message, TMsgDlgType::Error, QMessageBox::Ok);
}

// What Open, a recent entry, the command line and the template chooser share once the
// file is chosen. The file is read and checked completely before anything is replaced:
// a refused file leaves the document, its name, its tree, its panels and the recent
// list as they were.
bool TMainForm::LoadProjectFile(const QString& fileName, bool quiet, OpenAs how) {
    bool readOnly = false;
    if (how == OpenAs::Project) {
        const Claim claim = ClaimProject(fileName);
        if (claim == Claim::Stop) return false;
        readOnly = claim == Claim::OpenReadOnly;
        // Changes a crashed window left of this project come instead of the file.
        bool restored = false;
        try {
            restored = !readOnly && OfferRecoveryOf(ProjectFileOf(fileName));
        } catch (...) {
            // No copies can be looked for (the data folder fails): the file opens as it is.
            StatusBar1->ShowNote(QStringLiteral("Kept changes cannot be looked for: ") + DescribeException(std::current_exception()));
        }
        if (restored) {
            if (RecentFilesList::InTempFolder().Add(fileName)) LoadRecentFiles();
            return true;
        }
    }
    LoadReport report;
    try {
        TFlagScope updating(treeUpdating);
        report = document_->Open(ToPath(fileName));
    } catch (...) {
        if (!quiet) ShowFileRefusal(fileName, std::current_exception());
        return false;
    }
    const auto previewFolder = ToPath(GetPreviewFolder());
    document_->ClearPreviewFolder(previewFolder);
    if (how == OpenAs::Project) {
        SetCurrentFileName(fileName);
        FollowProject(fileName, readOnly);
        if (RecentFilesList::InTempFolder().Add(fileName)) LoadRecentFiles();
    } else if (how == OpenAs::Template) {
        SetCurrentFileName({});
        FollowProject({}, false);
    } else {
        diskGuard_->Remember();
    }
    document_->StageSounds(previewFolder, ToPath(FolderOf(fileName)));
    ResetTree();
    ArrangeTabs(false);
    UpdateItemCommands();
    ShowLoadWarnings(report, quiet);
    return true;
}

void TMainForm::ShowLoadWarnings(const LoadReport& report, bool quiet) {
    const auto warnings = report.Warnings();
    if (quiet || warnings.empty()) return;
    QStringList lines;
    for (const auto& warning : warnings) lines << QString::fromStdString(warning) + QLatin1Char('.');
    dialogs_->MessageDlg(this, lines.join(QLatin1Char('\n')), TMsgDlgType::Information, QMessageBox::Ok);
}

bool TMainForm::OpenProjectFile(const QString& fileName, bool quiet) {
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
    Guard(open);
    return opened;
}

bool TMainForm::OpenTemplate(const QString& fileName) {
    bool opened = false;
    Guard([&] {
        if (fileName.isEmpty() || !SavePrompt()) return;
        opened = LoadProjectFile(fileName, false, OpenAs::Template);
    });
    return opened;
}

void TMainForm::Open1Click() {
    Guard([&] {
        if (!SavePrompt()) return;
        const QString chosen =
            dialogs_->GetOpenFileName(this, QStringLiteral("Open"), kProjectFilter, DialogFolder());
        if (chosen.isEmpty()) return;
        LoadProjectFile(chosen, false, OpenAs::Project);
    });
}

void TMainForm::Save1Click() {
    Guard([&] {
        if (!CurrentFileName().isEmpty()) {
            SaveTo(CurrentFileName());
            return;
        }
        const QString chosen = SaveDialog(QStringLiteral("Save As"), kProjectFilter, DialogFolder());
        if (chosen.isEmpty()) return;
        SaveTo(chosen);
    });
}

void TMainForm::SaveAs(const QString& title, const QString& initialFolder) {
    const QString chosen = SaveDialog(title, kProjectFilter, initialFolder);
    if (chosen.isEmpty()) return;
    SaveTo(chosen);
}

// A titled project's Save As starts at its own file, in its folder with its name.
void TMainForm::Save2Click() {
    Guard([&] { SaveAs(QStringLiteral("Save As"), CurrentFileName().isEmpty() ? DialogFolder() : ProjectFilePath()); });
}

void TMainForm::SaveAsTemplate1Click() {
    Guard([&] {
        const QString folder = GetTemplatesFolder();
        if (QDir(folder).exists()) {
            SaveAs(QStringLiteral("Save As Template"), folder);
            return;
        }
        // The first time only makes the folder; the dialog opens when asked again.
        if (!QDir().mkpath(folder)) throw Error("Cannot create template folder!");
    });
}

void TMainForm::Templet1Click() {
    Guard([&] { ShowTemplateChooser(); });
}

void TMainForm::ShowTemplateChooser() {
    TfrmTemplet chooser({[this](const QString& fileName) { OpenTemplate(fileName); }, [this] { New1Click(); },
                         ErrorReporterOfWindow(), GetProgramFolder() + QStringLiteral("samples/")},
                        this);
    dialogs_->ExecModal(chooser);
}

ErrorReporter TMainForm::ErrorReporterOfWindow() {
    return [this](const QString& message) { dialogs_->ShowApplicationError(this, message); };
}

void TMainForm::ImportMenuStructure1Click() {
    Guard([&] {
        if (!SavePrompt()) return;
        const QString chosen = dialogs_->GetOpenFileName(this, QStringLiteral("Import Menu Structure"),
                                                         kExchangeFilter, DialogFolder());
        if (chosen.isEmpty()) return;
        LoadReport report;
        try {
            TFlagScope updating(treeUpdating);
            report = document_->Import(ToPath(chosen));
        } catch (...) {
            ShowFileRefusal(chosen, std::current_exception());
            return;
        }
        document_->ClearPreviewFolder(ToPath(GetPreviewFolder()));
        document_->StageSounds(ToPath(GetPreviewFolder()), ToPath(FolderOf(chosen)));
        ResetTree();
        ArrangeTabs(false);
        UpdateItemCommands();
        ShowLoadWarnings(report, false);
    });
}

QString TMainForm::ExchangeFileName(const QString& chosen) {
    if (chosen.right(4).toLower() == QLatin1String(".gms")) return chosen;
    return chosen + QStringLiteral(".gms");
}

void TMainForm::ExportMenuStructure1Click() {
    Guard([&] {
        const QString chosen = SaveDialog(QStringLiteral("Export Menu Structure"), kExchangeFilter, DialogFolder());
        if (chosen.isEmpty()) return;
        const QString target = ExchangeFileName(chosen);
        // The dialog asked about the name as typed; a name that gained its extension is
        // asked about here.
        if (target != chosen && QFileInfo::exists(target) &&
            dialogs_->MessageDlg(this, QFileInfo(target).fileName() + QStringLiteral(" already exists.\nDo you want to replace it?"),
                                 TMsgDlgType::Confirmation, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
            return;
        // What is on screen, a number still being typed included.
        StorePanels();
        Agent().ExportMenuStructure(ToPath(target));
    });
}

// --- Recent files ------------------------------------------------------------------------

void TMainForm::LoadRecentFiles() {
    RecentFilesList::InTempFolder().FillMenu(*mnitRecentFiles,
                                              [this](const QString& fileName) { OpenProjectFile(fileName); });
}

QStringList TMainForm::RecentFiles() {
    // As the File menu shows it when opened.
    LoadRecentFiles();
    QStringList paths;
    for (const QAction* entry : mnitRecentFiles->actions())
        paths << RecentFilesList::FileNameOfCaption(entry->data().toString());
    return paths;
}

// --- Pages and windows -------------------------------------------------------------------------

void TMainForm::WebBrowser1Click() {
    Guard([&] {
        TformWebBrowser browser(this);
        dialogs_->ExecModal(browser);
    });
}

void TMainForm::Homepage1Click() {
    Guard([&] { dialogs_->OpenWithShell(QString::fromLatin1(kHomePageAddress)); });
}

void TMainForm::ContactUs1Click() {
    Guard([&] { dialogs_->OpenWithShell(QString::fromLatin1(kSupportAddress)); });
}

void TMainForm::About1Click() {
    Guard([&] {
        TformAbout about([this](const QString& address) { dialogs_->OpenWithShell(address); }, this);
        dialogs_->ExecModal(about);
    });
}

}  // namespace qm
