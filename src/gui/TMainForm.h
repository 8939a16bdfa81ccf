#pragma once
// The main window: the menu tree on the left, the property pages on the right, the
// toolbar, the menus and the status bar.
//
// The window owns the document (TMenuDocument: the agent, its undo stack, the modified
// state and the file name), the one place that holds the menu's values. The tree and
// the pages show the document and change it only through its undo steps; they keep no
// copy. The window's files each have one job:
//   TMainForm.cpp          the window's state, the selection and its pages, keys,
//                          closing
//   TMainFormLayout.cpp    actions, menus, toolbar, tree pane and status bar
//   TMainFormEdit.cpp      Undo and Redo, and where a change is seen
//   TMainFormDocument.cpp  the File commands, the recent list, the windows it opens
//   TMainFormSafety.cpp    what keeps work from being lost: the recovery copies and
//                          their offer, changes made to the file elsewhere, the
//                          project's lock against a second window
// with TTreeCommands (the commands that edit the tree and their enabled state),
// TMenuTreeView (the tree's view), TStatusBar (the note and the progress display),
// TPropertyPages (the pages' layout), TPanelBinding (the controls' binding, their text
// check and choosers), TPreviewCommands (the preview in the user's browser, the live
// preview pane and the measured size estimate), THelpCommands (the help window and the
// Help menu), TMenuDocument and DocumentCommands (the document and its undo steps)
// beside them.
//
// Every command runs at one error boundary (RunGuarded): whatever it throws is shown
// in the application's error box and no exception reaches Qt's event loop; a file that
// cannot be read or is refused is shown in an "Error" box and changes nothing.

#include <QMainWindow>
#include <QStringList>
#include <chrono>
#include <functional>
#include <optional>
#include <memory>
#include <vector>

#include "gui/CommandGuard.h"
#include "gui/ControlValues.h"
#include "gui/dialogs/DialogErrors.h"
#include "gui/IUserDialogs.h"
#include "gui/TMenuDocument.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QSplitter;
class QStatusBar;
class QToolBar;
class QToolButton;
class QTreeView;

namespace qm {

class ProjectLock;
class TDiskStateGuard;
class THelpCommands;
class TMenuTreeModel;
class TPaneCycle;
class TPreviewCommands;
class TRecoveryStore;
struct TStaleCopy;
class TPanelBinding;
class TPropertyPages;
class TSiteCommands;
class TStatusBar;
class TTreeCommands;

class TMainForm final : public QMainWindow {
    Q_OBJECT
public:
    // dialogs answers every message box and file dialog; nullptr uses the real ones.
    explicit TMainForm(IUserDialogs* dialogs = nullptr, QWidget* parent = nullptr);
    ~TMainForm() override;

    // The preview: the page buffer, the browser's preview, the live preview pane and
    // the size estimate.
    TPreviewCommands& Preview() { return *preview_; }
    // The help window and the Help menu's commands.
    THelpCommands& Help() { return *help_; }
    TPropertyPages& Pages() { return *pages_; }

    // --- Document state ------------------------------------------------------------
    TMenuDocument& Document() { return *document_; }
    TkvxAppletAgent& Agent() { return document_->Agent(); }
    const TkvxAppletAgent& Agent() const { return document_->Agent(); }
    TMenuTreeModel& TreeModel() { return *treeModel_; }
    TPanelBinding& PanelBinding() { return *binding_; }
    TTreeCommands& TreeCommands() { return *treeCommands_; }
    IUserDialogs& Dialogs() { return *dialogs_; }
    bool Modified() const { return document_->Modified(); }
    // true marks the document modified; false makes its present state the saved one.
    // The Save commands and the title's mark follow.
    void SetModified(bool value);
    // The path the document saves to, as the save dialog returned it; empty while the
    // document is untitled.
    const QString& CurrentFileName() const { return document_->FileName(); }
    // Sets the name; the window's title and file path follow.
    void SetCurrentFileName(const QString& fileName);
    // The project file that saving under CurrentFileName() writes (its stem and
    // ".zorbel"); empty while untitled.
    QString ProjectFilePath() const;
    // The same for any name the save dialog may return.
    static QString ProjectFileOf(const QString& fileName);
    // Open read-only: another window holds the project; Save asks for another name.
    bool ReadOnly() const { return readOnly_; }
    // The node whose record the Item page shows, or kNoNode.
    int CurrentItemNode() const;
    bool TreeUpdating() const { return treeUpdating; }
    // The selected node of the tree, or kNoNode when none is selected.
    int SelectedNode() const;
    // Selects a node (which runs the selection change) and shows it.
    void SelectNode(int node);
    int LastTabNodeIndex() const { return lastTabNodeIndex; }

    // --- The panels and the document ---------------------------------------------------
    // The controls hold nothing the document lacks, except a number still being typed
    // in a spin edit: storing the panels counts it as typed (pulled into its range).
    void StorePanels();
    // Shows the document's look in the look controls.
    void LoadAppletControls();

    // --- Tree editor ----------------------------------------------------------------
    void UpdateItemCommands();
    void ArrangeTabs(bool force);
    int CountDescendants(int node) const { return Agent().CountDescendants(node); }

    // --- Documents ------------------------------------------------------------------
    // Opens a project by name (command line, recent files) and puts it at the top of the
    // recent list. Returns false when it was not opened: the previous document, its name,
    // tree, panels and the recent list then stay as they were. With quiet set, failures
    // are not shown. A project that another window holds is brought forward there, or
    // opened read-only or taken over as the user chooses; changes a crashed window left
    // of it are offered first.
    bool OpenProjectFile(const QString& fileName, bool quiet = false);
    // Opens a template (or a shipped sample) as a new, untitled project with its content:
    // the template file is neither made current nor put into the recent list, so Save
    // asks where to save. Returns false when it was not opened.
    bool OpenTemplate(const QString& fileName);
    // Puts a new untitled document in place, as New does, after offering to save the
    // current one: fill makes the new document. Returns false when the user cancelled.
    bool StartNewDocument(const std::function<void(TMenuDocument&)>& fill);
    // The template chooser, shown modally (the Template command and the start).
    void ShowTemplateChooser();
    // The paths of the recent-files list as the File menu shows them, most recent first.
    QStringList RecentFiles();
    // The name Export writes: ".gms" appended unless the name ends in it (any case).
    static QString ExchangeFileName(const QString& chosen);

    // --- Keeping work ----------------------------------------------------------------
    TRecoveryStore& Recovery() { return *recovery_; }
    TDiskStateGuard& DiskGuard() { return *diskGuard_; }
    ProjectLock& Lock() { return *projectLock_; }
    // Offers the changes that windows ended unexpectedly left (the start). Returns true
    // when a copy was restored into this window.
    bool OfferRecovery();
    // Reads the project file again, keeping the selection where it can (a change made
    // elsewhere). False, after its message, when it cannot be read.
    bool ReloadFromDisk();
    // The one question about a project file that another program changed while the
    // document has changes of its own: 0 reloads, 1 keeps the document's.
    static TQuestion ChangedOnDiskQuestion(const QString& fileName);

    // The status bar: its note, and the document's operations' progress.
    TStatusBar& StatusBar() { return *StatusBar1; }

public slots:
    // Commands; a menu entry, a toolbar button and a pop-up entry share one handler.
    void New1Click();
    void Open1Click();
    void Save1Click();
    void Save2Click();
    void Templet1Click();
    void SaveAsTemplate1Click();
    void ImportMenuStructure1Click();
    void ExportMenuStructure1Click();
    void Exit1Click();
    void Undo1Click();
    void Redo1Click();
    void ToolBar1Click();
    void StatusBar2Click();
    void WebBrowser1Click();
    void Homepage1Click();
    void ContactUs1Click();
    void About1Click();

    void trvwDesignPanelChange();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    bool FormCloseQuery();
    void trvwDesignPanelMouseDown(const QPoint& position);
    void ShowTreePopup(const QPoint& position);

    // Runs a command at its boundary: a failure shows the error box.
    template <class Command>
    bool Guard(Command&& command);

    // Layout.
    void BuildWindow();
    void BuildPaneCycle();
    void BuildActions();
    void BuildMenus();
    void BuildToolBar();
    void BuildTree();
    void BuildStatusBar();
    void ConnectDocument();
    // The pages' signals that are not the binding's.
    void ConnectPanels();
    void ShowModified(bool modified);

    // Edit.
    // Where a command's change is to be seen: its node selected, a look value's page.
    void ShowChange(int node, int lookField);

    // Documents.
    void ResetTree();
    // Keeping work (TMainFormSafety.cpp).
    void ConnectSafety();
    void SetReadOnly(bool readOnly);
    // The recovery offer for one project file (empty: for every stale copy); true when a
    // copy was restored.
    bool OfferRecoveryOf(const QString& origin);
    bool RestoreCopy(const TStaleCopy& copy);
    void ReportDamagedCopies(const QStringList& names);
    // Before a project is opened: another window that holds it is brought forward, and
    // asked about.
    enum class Claim { Open, OpenReadOnly, Stop };
    Claim ClaimProject(const QString& fileName);
    // After a project was read or written under fileName: the lock, the watch.
    void FollowProject(const QString& fileName, bool readOnly);
    // Before writing project: false (after saying why) when it must not be written.
    bool MayWriteProject(const QString& project);
    void DiskFileChanged();
    void DiskFileRemoved();
    void LetProjectGo();
    ErrorReporter ErrorReporterOfWindow();
    enum class OpenAs { Project, Template, Reload };
    bool LoadProjectFile(const QString& fileName, bool quiet, OpenAs how);
    // A file that could not be read or was refused: an "Error" box naming the file
    // by its name, the line and the reason.
    void ShowFileRefusal(const QString& fileName, const std::exception_ptr& error);
    void UpdateWindowTitle();
    // Where the open, save and export dialogs start: the current project's folder, the
    // documents folder while untitled.
    QString DialogFolder() const;
    // After a save under path: the name, the modified state and the recent list.
    void DocumentSavedAs(const QString& path);
    void ShowLoadWarnings(const LoadReport& report, bool quiet);
    void SaveAs(const QString& title, const QString& initialFolder);
    bool SavePrompt();
    bool SaveTo(const QString& path);
    QString SaveDialog(const QString& title, const QString& filter, const QString& initialFolder);
    void LoadRecentFiles();

    // --- State ------------------------------------------------------------------------
    std::unique_ptr<TMenuDocument> document_;
    std::unique_ptr<TMenuTreeModel> treeModel_;
    std::unique_ptr<TPanelBinding> binding_;
    std::unique_ptr<TRecoveryStore> recovery_;
    std::unique_ptr<TDiskStateGuard> diskGuard_;
    std::unique_ptr<ProjectLock> projectLock_;
    bool readOnly_ = false;
    bool askingAboutDisk_ = false;
    TSiteCommands* site_ = nullptr;  // the site's commands, a child of the window
    TTreeCommands* treeCommands_ = nullptr;  // the tree's commands, a child of the window
    TPreviewCommands* preview_ = nullptr;  // the preview's commands and pane, a child of the window
    THelpCommands* help_ = nullptr;  // the help's commands and window, a child of the window
    IUserDialogs* dialogs_;
    bool treeUpdating = false;
    int lastTabNodeIndex = 0;

    // --- Window parts -----------------------------------------------------------------
    QToolBar* tlbr1 = nullptr;
    QTreeView* trvwDesignPanel = nullptr;
    QSplitter* splitter_ = nullptr;
    TPropertyPages* pages_ = nullptr;  // "pgcntrl1"
    TStatusBar* StatusBar1 = nullptr;
    QMenu* mnitRecentFiles = nullptr;

    QAction *New1, *Open1, *Save1, *Save2, *Templet1, *SaveAsTemplate1, *ImportMenuStructure1,
        *ExportMenuStructure1, *Exit1;
    QAction *Undo1, *Redo1;
    QAction *ToolBar1, *StatusBar2;
    QAction* WebBrowser1;
    QAction *NextPane1, *PreviousPane1;
    TPaneCycle* paneCycle_ = nullptr;
    QToolButton* tlbtnSave = nullptr;
};

template <class Command>
bool TMainForm::Guard(Command&& command) {
    return RunGuarded(*dialogs_, this, std::forward<Command>(command));
}

}  // namespace qm
