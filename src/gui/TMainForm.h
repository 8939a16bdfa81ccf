#pragma once
// The main window: the menu tree on the left, the property pages on the right, the
// toolbar, the menus and the status bar. It lays out its parts and connects them; each
// part does one job:
//   TProjectFiles     the File commands and the recent list
//   TWorkKeeper       what keeps work from being lost: the recovery copies, changes
//                     made to the file elsewhere, the project's lock against a second
//                     window
//   TTreeCommands     the commands that edit the tree, each enabled by its own rule
//   TPanelBinding     the property pages' controls bound to the document, their text
//                     check and choosers
//   TPreviewCommands  the preview in the user's browser, the live preview pane and the
//                     measured size estimate
//   THelpCommands     the help window and the Help menu
//   TSiteCommands     the web site beside the project
// Each part gets the window's context (TWindowContext: the document, the dialogs, the
// window as their parent, the status bar) and the parts it works with; none reaches
// into the window. The window's own files: TMainForm.cpp (its state in the title, the
// tree's selection with the pages it shows, Undo and Redo, keys, closing) and
// TMainFormLayout.cpp (building the frame and putting the parts' actions into the
// menus and the toolbar).
//
// The window owns the document (TMenuDocument: the agent, its undo stack, the modified
// state and the file name), the one place that holds the menu's values. The tree and
// the pages show the document and change it only through its undo steps; they keep no
// copy.
//
// Every command runs at one error boundary (RunGuarded): whatever it throws is shown
// in the application's error box and no exception reaches Qt's event loop; a file that
// cannot be read or is refused is shown in an "Error" box and changes nothing.

#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>

#include "gui/CommandGuard.h"
#include "gui/IUserDialogs.h"
#include "gui/TMenuDocument.h"

class QAction;
class QSplitter;
class QToolBar;
class QToolButton;
class QTreeView;

namespace qm {

class THelpCommands;
class TMenuTreeModel;
class TPaneCycle;
class TPreviewCommands;
class TPanelBinding;
class TProjectFiles;
class TWorkKeeper;
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
    // The node whose record the Item page shows, or kNoNode.
    int CurrentItemNode() const;
    // While the tree is reset, or a whole document comes in, its selection is not followed.
    bool TreeUpdating() const { return treeUpdating || document_->Replacing(); }
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

    // The status bar: its note, and the document's operations' progress.
    TStatusBar& StatusBar() { return *StatusBar1; }

    // --- The window's parts ---------------------------------------------------------------
    // The File commands and the recent list.
    TProjectFiles& Files() { return *files_; }
    // The recovery copies, changes made elsewhere, the project's lock.
    TWorkKeeper& Keeper() { return *keeper_; }

public slots:
    // Commands; a menu entry, a toolbar button and a pop-up entry share one handler.
    void Exit1Click();
    void Undo1Click();
    void Redo1Click();
    void ToolBar1Click();
    void StatusBar2Click();
    void WebBrowser1Click();

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
    void BuildParts();
    void ShowReplacedDocument();
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

    void UpdateWindowTitle();

    // Edit.
    // Where a command's change is to be seen: its node selected, a look value's page.
    void ShowChange(int node, int lookField);

    // --- State ------------------------------------------------------------------------
    std::unique_ptr<TMenuDocument> document_;
    std::unique_ptr<TMenuTreeModel> treeModel_;
    std::unique_ptr<TPanelBinding> binding_;
    TProjectFiles* files_ = nullptr;  // a child of the window
    TWorkKeeper* keeper_ = nullptr;   // a child of the window
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

    QAction* Exit1;
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
