// The window's state: its creation, the document's name and modified state in the
// title, the tree's selection with the pages it shows, the keys and closing.

#include "gui/TMainForm.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QUndoStack>

#include "env/AppFolders.h"
#include "env/FileAssociation.h"
#include "env/TformWebBrowser.h"
#include "gui/FlagScope.h"
#include "gui/THelpCommands.h"
#include "gui/TMenuTreeModel.h"
#include "gui/TPanelBinding.h"
#include "gui/TPreviewCommands.h"
#include "gui/TProjectFiles.h"
#include "gui/TPropertyPages.h"
#include "gui/TQtUserDialogs.h"
#include "gui/TRecoveryStore.h"
#include "gui/TSiteCommands.h"
#include "gui/TStatusBar.h"
#include "gui/TTreeCommands.h"
#include "gui/TWorkKeeper.h"
#include "gui/dialogs/TformAbout.h"

namespace qm {

namespace {

// Beyond this many items a document opens with its main items only.
constexpr int kExpandAllLimit = 500;

}  // namespace

TMainForm::TMainForm(IUserDialogs* dialogs, QWidget* parent)
    : QMainWindow(parent),
      document_(std::make_unique<TMenuDocument>()),
      dialogs_(dialogs ? dialogs : &TQtUserDialogs::Instance()) {
    treeModel_ = std::make_unique<TMenuTreeModel>(*document_);
    BuildWindow();
    Agent().SetProgressDisplay(StatusBar1);
    ConnectDocument();
    ConnectPanels();
    FormCreate();
}

TMainForm::~TMainForm() {
    Agent().SetProgressDisplay(nullptr);
    // The views go before the document they show; the document goes unheard.
    delete preview_;  // with its pane
    preview_ = nullptr;
    // The copy stays on disk for the next start, unless closing removed it.
    delete keeper_;
    keeper_ = nullptr;
    binding_.reset();
    trvwDesignPanel->setModel(nullptr);
    treeModel_.reset();
    document_->UndoStack().disconnect();
    document_->disconnect();
    document_.reset();
}

void TMainForm::FormCreate() {
    // Selecting the root while the window is built arranges nothing yet.
    lastTabNodeIndex = 0;
    treeUpdating = false;
    trvwDesignPanel->expand(treeModel_->RootIndex());
    SelectNode(kRootNode);
    // An error in the panels or the recent list is shown, and the window opens all the same.
    Guard([&] { LoadAppletControls(); });
    RegisterFileAssociation();
    Guard([&] { files_->LoadRecentFiles(); });
    SetModified(false);
    SetCurrentFileName({});

    treeCommands_->UpdateEnabled();
    // The pages stand arranged for the root: a later change that leaves the root
    // selected must not put the first page back in front of the one being typed on.
    ArrangeTabs(true);
    preview_->RestoreLivePreview();
}

// The document's state in the window: the Save commands and the title's mark follow
// the modified state, the title the file name; a change of the document's content
// shows where it happened.
void TMainForm::ConnectDocument() {
    connect(document_.get(), &TMenuDocument::ModifiedChanged, this, &TMainForm::ShowModified);
    connect(document_.get(), &TMenuDocument::FileNameChanged, this, [this] { UpdateWindowTitle(); });
    connect(keeper_, &TWorkKeeper::ReadOnlyChanged, this, [this] { UpdateWindowTitle(); });
    connect(document_.get(), &TMenuDocument::ShowRequested, this, &TMainForm::ShowChange);
    // While a whole document comes in, nothing is selected until the tree is reset; the
    // commands are set once after that (a command disabled and enabled again repaints).
    connect(document_.get(), &TMenuDocument::Changed, this, [this] {
        if (!TreeUpdating()) UpdateItemCommands();
    });
    connect(document_.get(), &TMenuDocument::Replaced, this, &TMainForm::ShowReplacedDocument);
    connect(files_, &TProjectFiles::NewDocumentStarted, this, [this] { ArrangeTabs(true); });
    QUndoStack& stack = document_->UndoStack();
    // A caption in a step's name is shown as it is: its "&" marks no mnemonic.
    const auto label = [](const QString& verb, QString step) {
        return step.isEmpty() ? verb : verb + QLatin1Char(' ') + step.replace(QLatin1Char('&'), QStringLiteral("&&"));
    };
    connect(&stack, &QUndoStack::canUndoChanged, Undo1, &QAction::setEnabled);
    connect(&stack, &QUndoStack::canRedoChanged, Redo1, &QAction::setEnabled);
    connect(&stack, &QUndoStack::undoTextChanged, Undo1,
            [this, label](const QString& step) { Undo1->setText(label(QStringLiteral("&Undo"), step)); });
    connect(&stack, &QUndoStack::redoTextChanged, Redo1,
            [this, label](const QString& step) { Redo1->setText(label(QStringLiteral("&Redo"), step)); });
    Undo1->setEnabled(false);
    Redo1->setEnabled(false);
}

void TMainForm::ConnectPanels() {
    // Undo and Redo typed in a field are the document's (eventFilter).
    pages_->FilterFieldKeys(this);
    connect(pages_, &TPropertyPages::HelpClicked, help_,
            [this](QToolButton* help) { help_->SpeedButton_OnClick_LaunchHelpDoc(help); });
    connect(pages_, &TPropertyPages::EstimateClicked, preview_, &TPreviewCommands::btnCalcSizeClick);
    connect(preview_, &TPreviewCommands::Estimating, pages_, &TPropertyPages::SetEstimating);
}

// --- Document state ----------------------------------------------------------------------

void TMainForm::SetModified(bool value) {
    if (value)
        document_->MarkUnsaved();
    else
        document_->MarkSaved();
    ShowModified(Modified());
}

// The Save commands are enabled exactly while the document is modified.
void TMainForm::ShowModified(bool modified) {
    tlbtnSave->setEnabled(modified);
    files_->Save1->setEnabled(modified);
    setWindowModified(modified);
}

void TMainForm::SetCurrentFileName(const QString& fileName) {
    document_->SetFileName(fileName);
}

void TMainForm::UpdateWindowTitle() {
    const QString project = document_->ProjectFilePath();
    const QString shown = project.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(project).fileName();
    // "[*]" is where the platform puts its modified mark.
    const QString readOnly = keeper_->ReadOnly() ? QStringLiteral(" (read-only)") : QString();
    setWindowTitle(shown + readOnly + QStringLiteral("[*] \u2013 ") + QString::fromLatin1(TformAbout::kProductName));
    setWindowFilePath(project);
    setWindowModified(Modified());
}

int TMainForm::CurrentItemNode() const {
    return binding_->ShownItem();
}

int TMainForm::SelectedNode() const {
    return treeCommands_->SelectedNode();
}

void TMainForm::SelectNode(int node) {
    treeCommands_->SelectNode(node);
}

void TMainForm::StorePanels() {
    binding_->InterpretTypedNumbers();
}

void TMainForm::LoadAppletControls() {
    binding_->ShowLook();
}

// --- The selection and its pages -------------------------------------------------------------

void TMainForm::UpdateItemCommands() {
    treeCommands_->UpdateEnabled();
    ArrangeTabs(false);
}

void TMainForm::ArrangeTabs(bool force) {
    const int node = SelectedNode();
    if (node == kNoNode) return;
    const int absoluteIndex = TkvxAppletAgent::AbsoluteIndex(node);
    if (absoluteIndex == lastTabNodeIndex && !force) return;
    pages_->ShowPagesOf(absoluteIndex != 0);
    lastTabNodeIndex = absoluteIndex;
}

// A whole new document came in (New, Open, Import, a reload, a restored copy): the tree
// shows it from the root with no item on the Item page; the pages and the commands
// follow.
void TMainForm::ShowReplacedDocument() {
    binding_->ShowItem(kNoNode);
    {
        TFlagScope updating(treeUpdating);
        // A menu of ordinary size opens with every sub item in view; a very large one
        // opens with its main items only, which keeps it readable (and quick to lay out).
        if (Agent().ItemCount() <= kExpandAllLimit)
            trvwDesignPanel->expandAll();
        else
            trvwDesignPanel->expand(treeModel_->RootIndex());
        SelectNode(kRootNode);
    }
    ArrangeTabs(false);
    UpdateItemCommands();
}

void TMainForm::trvwDesignPanelChange() {
    if (TreeUpdating()) return;
    Guard([&] {
        ArrangeTabs(false);
        const int node = SelectedNode();
        if (node == kNoNode || node == kRootNode) {
            // The root keeps the current item: the Item page still shows it.
            UpdateItemCommands();
            return;
        }
        // Looking at an item changes nothing: the document stays as modified as it was.
        if (node != CurrentItemNode()) binding_->ShowItem(node);
        UpdateItemCommands();
    });
}

void TMainForm::trvwDesignPanelMouseDown(const QPoint& position) {
    if (TreeUpdating() || SelectedNode() == kNoNode) return;
    const QModelIndex under = trvwDesignPanel->indexAt(position);
    if (under.isValid()) trvwDesignPanel->selectionModel()->setCurrentIndex(under, QItemSelectionModel::ClearAndSelect);
    UpdateItemCommands();
}

void TMainForm::ShowTreePopup(const QPoint& position) {
    treeCommands_->PopupMenu1->popup(trvwDesignPanel->viewport()->mapToGlobal(position));
}

// --- Undo and Redo, and where a change is seen ---------------------------------------------

void TMainForm::ShowChange(int node, int lookField) {
    if (node != SelectedNode()) SelectNode(node);
    if (lookField < 0) return;
    pages_->ShowPageOfLookField(static_cast<std::size_t>(lookField));
}

void TMainForm::Undo1Click() {
    Guard([&] {
        // A number still being typed is part of the step being undone.
        StorePanels();
        document_->UndoStack().undo();
    });
}

void TMainForm::Redo1Click() {
    Guard([&] { document_->UndoStack().redo(); });
}

// --- Keys ----------------------------------------------------------------------------------------

// Escape closes the window when the key press reaches the window: an edit box passes it
// on, while an open list, a completer or an in-place editor takes it for itself and
// only closes. (A shortcut would be tried before them: an open list closes itself
// while the shortcut is looked for, and the shortcut then closed the window too.)
void TMainForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    // A right click selects the node under the mouse first, so the pop-up menu acts on
    // the node that was clicked.
    if (watched == trvwDesignPanel->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) trvwDesignPanelMouseDown(mouse->position().toPoint());
    }
    // Undo and Redo are the document's in its fields too: a field's typing is one of
    // its steps. (The field would take the keys for its own undo otherwise.)
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
            QKeySequence(key->keyCombination()) == QKeySequence(Qt::CTRL | Qt::Key_Y)) {
            event->ignore();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- View ---------------------------------------------------------------------------------------

void TMainForm::ToolBar1Click() {
    tlbr1->setVisible(ToolBar1->isChecked());
}

void TMainForm::StatusBar2Click() {
    StatusBar1->SetShown(StatusBar2->isChecked());
}

void TMainForm::Exit1Click() {
    close();
}

// --- Closing ----------------------------------------------------------------------------------

void TMainForm::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    // Kept while still shown: the docks are as the user left them.
    preview_->KeepWindowLayout();
    // Saved, or left unsaved by the user's choice: nothing to recover; the project is free.
    keeper_->Recovery().Discard();
    keeper_->FollowProject({}, false);
}

bool TMainForm::FormCloseQuery() {
    bool mayClose = true;
    const bool completed = Guard([&] {
        StorePanels();
        mayClose = files_->SaveBeforeClosing();
        // The staged files go with the window; while it stays open the document still
        // needs its sounds for the next save.
        if (mayClose) document_->ClearPreviewFolder(GetPreviewFolder().toStdString());
    });
    return completed && mayClose;
}

// --- Options ---------------------------------------------------------------------------------

void TMainForm::WebBrowser1Click() {
    Guard([&] {
        TformWebBrowser browser(this);
        dialogs_->ExecModal(browser);
    });
}

}  // namespace qm
