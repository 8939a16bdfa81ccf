// The main window's frame: its actions, menus, toolbar, the tree pane beside the
// property pages, and the status bar. Behaviour lives in the other TMainForm files;
// this file only builds, names and connects.

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <functional>

#include "gui/CommandActions.h"
#include "gui/IconFactory.h"
#include "gui/THelpCommands.h"
#include "gui/TMainForm.h"
#include "gui/TPreviewCommands.h"
#include "gui/TProjectFiles.h"
#include "gui/TSiteCommands.h"
#include "gui/TWorkKeeper.h"
#include "gui/TStatusBar.h"
#include "gui/TMenuTreeDelegate.h"
#include "gui/TMenuTreeModel.h"
#include "gui/TMenuTreeView.h"
#include "gui/TPanelBinding.h"
#include "gui/IWebEngine.h"
#include "gui/TLivePreview.h"
#include "gui/TPaneCycle.h"
#include "gui/TPropertyPages.h"
#include "gui/TTreeCommands.h"

namespace qm {

void TMainForm::BuildWindow() {
    setObjectName(QStringLiteral("TMainForm"));
    setWindowTitle(QStringLiteral("Quillamere"));
    setWindowIcon(MakeIcon(TIconKind::Application));
    setContextMenuPolicy(Qt::NoContextMenu);  // no toolbar toggling menu of Qt's own
    BuildTree();
    BuildStatusBar();
    pages_ = new TPropertyPages(this);
    pages_->ChainTabOrder(trvwDesignPanel);
    // Small enough for a small screen at a large scale factor: the pages scroll.
    pages_->setMinimumSize(300, 200);
    binding_ = std::make_unique<TPanelBinding>(*document_, *pages_, *treeModel_, *dialogs_, this);
    BuildParts();
    BuildActions();
    BuildMenus();
    BuildToolBar();

    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("Splitter1"));
    auto* treePanel = new QWidget(splitter_);
    treePanel->setObjectName(QStringLiteral("pnlTree"));
    auto* treeLayout = new QVBoxLayout(treePanel);
    treeLayout->setContentsMargins(6, 6, 0, 6);
    treeLayout->addWidget(trvwDesignPanel);
    auto* pagePanel = new QWidget(splitter_);
    auto* pageLayout = new QVBoxLayout(pagePanel);
    pageLayout->setContentsMargins(0, 6, 6, 6);
    pageLayout->addWidget(pages_);
    splitter_->addWidget(treePanel);
    splitter_->addWidget(pagePanel);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setChildrenCollapsible(false);
    splitter_->setSizes({337, 825 - 337});
    setCentralWidget(splitter_);
    BuildPaneCycle();
}

// The parts that do the window's commands, each with what it works with.
void TMainForm::BuildParts() {
    const TWindowContext context{*document_, *dialogs_, *this, *StatusBar1};
    // A reload keeps the node the user was at, where the file still has it.
    keeper_ = new TWorkKeeper(context, [this](const QString& fileName) {
        const int selected = SelectedNode();
        const bool reloaded = files_->Reload(fileName);
        if (reloaded && selected != kNoNode && Agent().IsValidNode(selected)) SelectNode(selected);
        return reloaded;
    });
    files_ = new TProjectFiles(context, *keeper_, *binding_);
    site_ = new TSiteCommands(context, *binding_, *treeModel_, *files_);
    help_ = new THelpCommands(context, *pages_);
    preview_ = new TPreviewCommands(context, *this, *binding_, *help_);
}

// F6 goes round the tree, the pages (at the first field of the page shown) and the
// live preview (at its page, or its width buttons without an engine).
void TMainForm::BuildPaneCycle() {
    paneCycle_ = new TPaneCycle(this);
    paneCycle_->AddPane(trvwDesignPanel, {});
    paneCycle_->AddPane(pages_, [this] { return TPaneCycle::FirstTabStop(pages_->currentWidget()); });
    paneCycle_->AddPane(&preview_->LivePreviewDock(), [this]() -> QWidget* {
        TLivePreview& pane = preview_->LivePreview();
        if (IWebView* view = pane.View()) return view->Widget();
        return TPaneCycle::FirstTabStop(&pane);
    });
}

void TMainForm::BuildActions() {
    const auto make = [this](const QString& caption, const char* name, std::optional<TIconKind> icon = {},
                             const QKeySequence& keys = {}) { return MakeCommandAction(this, caption, name, icon, keys); };

    // Quitting goes through the close query, as the window's close box does.
    Exit1 = make(QStringLiteral("E&xit"), "Exit1", {}, QKeySequence(Qt::CTRL | Qt::Key_Q));

    // Undo and Redo reach the document from anywhere in the window.
    Undo1 = make(QStringLiteral("&Undo"), "Undo1", TIconKind::Undo, QKeySequence(Qt::CTRL | Qt::Key_Z));
    Redo1 = make(QStringLiteral("&Redo"), "Redo1", TIconKind::Redo);
    Redo1->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    Undo1->setToolTip(QStringLiteral("Undo the last change"));
    Redo1->setToolTip(QStringLiteral("Redo the change undone last"));

    ToolBar1 = make(QStringLiteral("&Tool Bar"), "ToolBar1");
    ToolBar1->setCheckable(true);
    ToolBar1->setChecked(true);
    StatusBar2 = make(QStringLiteral("&Status Bar"), "StatusBar2");
    StatusBar2->setCheckable(true);
    StatusBar2->setChecked(true);

    WebBrowser1 = make(QStringLiteral("Web &Browser..."), "WebBrowser1");
    NextPane1 = make(QStringLiteral("Next &Pane"), "NextPane1", {}, QKeySequence(Qt::Key_F6));
    PreviousPane1 = make(QStringLiteral("Pre&vious Pane"), "PreviousPane1", {}, QKeySequence(Qt::SHIFT | Qt::Key_F6));

    const auto on = [this](QAction* action, void (TMainForm::*handler)()) {
        connect(action, &QAction::triggered, this, handler);
    };
    on(Exit1, &TMainForm::Exit1Click);
    on(Undo1, &TMainForm::Undo1Click);
    on(Redo1, &TMainForm::Redo1Click);
    on(ToolBar1, &TMainForm::ToolBar1Click);
    on(StatusBar2, &TMainForm::StatusBar2Click);
    on(WebBrowser1, &TMainForm::WebBrowser1Click);
    connect(NextPane1, &QAction::triggered, this, [this] { paneCycle_->Move(1); });
    connect(PreviousPane1, &QAction::triggered, this, [this] { paneCycle_->Move(-1); });
}

void TMainForm::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    const TProjectFiles& files = *files_;
    file->addActions({files.New1, files.Open1, files.Save1, files.Save2});
    file->addAction(site_->NewFromSite1);
    file->addSeparator();
    file->addActions({files.Templet1, files.SaveAsTemplate1});
    file->addSeparator();
    file->addActions({files.ImportMenuStructure1, files.ExportMenuStructure1});
    QMenu* import = file->addMenu(QStringLiteral("Im&port"));
    import->setObjectName(QStringLiteral("Import1"));
    import->addAction(site_->ImportNavigation1);
    file->addSeparator();
    file->addActions({site_->PublishToSite1, site_->UndoPublishToSite1, site_->CheckLinks1});
    file->addSeparator();
    file->addMenu(files.RecentFiles1);
    file->addSeparator();
    file->addAction(Exit1);
    // Another window of the program may have changed the list since.
    connect(file, &QMenu::aboutToShow, this, [this] { Guard([&] { files_->LoadRecentFiles(); }); });

    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("Edit1"));
    edit->addActions({Undo1, Redo1});
    edit->addSeparator();
    const TTreeCommands& tree = *treeCommands_;
    edit->addActions({tree.Cut1, tree.Copy1, tree.Paste1, tree.Duplicate1, tree.Delete2});

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("View1"));
    view->addActions({ToolBar1, StatusBar2, preview_->LivePreview1});
    view->addSeparator();
    view->addActions({NextPane1, PreviousPane1});

    QMenu* item = bar->addMenu(QStringLiteral("&Item"));
    item->setObjectName(QStringLiteral("Item1"));
    item->addActions({tree.Insert2, tree.InsertBelow2, tree.Delete2, tree.MoveUp2, tree.MoveDown2});
    item->addSeparator();
    item->addActions({tree.Indent2, tree.Outdent2, tree.Rename2});

    // "F" is the File menu's.
    QMenu* flash = bar->addMenu(QStringLiteral("F&lash"));
    flash->setObjectName(QStringLiteral("Flash1"));
    flash->addAction(preview_->Preview1);

    QMenu* option = bar->addMenu(QStringLiteral("&Option"));
    option->setObjectName(QStringLiteral("Option1"));
    option->addAction(WebBrowser1);

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    help->addActions({help_->Topic1, help_->ContextHelp1, help_->ViewSample1});
    help->addSeparator();
    help->addActions({help_->Homepage1, help_->ContactUs1, help_->About1});

}

void TMainForm::BuildToolBar() {
    tlbr1 = new QToolBar(QStringLiteral("Tool Bar"), this);
    tlbr1->setObjectName(QStringLiteral("tlbr1"));
    tlbr1->setMovable(false);
    tlbr1->setFloatable(false);
    tlbr1->setIconSize(QSize(24, 24));
    addToolBar(Qt::TopToolBarArea, tlbr1);

    const auto place = [this](const char* name) {
        auto* b = new QToolButton(tlbr1);
        b->setObjectName(QString::fromLatin1(name));
        b->setIconSize(QSize(24, 24));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        tlbr1->addWidget(b);
        return b;
    };
    // text: the button's name, which screen readers say (the toolbar shows the icon).
    const auto button = [&place](const char* name, const QString& text, TIconKind icon, const QString& hint,
                                 auto* receiver, auto handler) {
        auto* b = place(name);
        b->setText(text);
        b->setIcon(MakeIcon(icon));
        b->setToolTip(hint);
        b->setStatusTip(hint);
        connect(b, &QToolButton::clicked, receiver, handler);
        return b;
    };
    // The tree's commands' buttons are their actions': name, state and tooltip follow them.
    const auto actionButton = [&place](const char* name, QAction* action) {
        auto* b = place(name);
        b->setDefaultAction(action);
        return b;
    };
    button("tlbtnNew", QStringLiteral("New"), TIconKind::New, QStringLiteral("Create a new project"), files_,
           &TProjectFiles::New1Click);
    button("tlbtnOpen", QStringLiteral("Open"), TIconKind::Open,
           QStringLiteral("Open a project from the file that you saved before"), files_, &TProjectFiles::Open1Click);
    tlbtnSave = button("tlbtnSave", QStringLiteral("Save"), TIconKind::Save,
                       QStringLiteral("Save the current project to a file"), files_, &TProjectFiles::Save1Click);
    tlbr1->addSeparator();
    actionButton("tlbtnUndo", Undo1);
    actionButton("tlbtnRedo", Redo1);
    tlbr1->addSeparator();
    const TTreeCommands& tree = *treeCommands_;
    actionButton("tlbtnCut", tree.Cut1);
    actionButton("tlbtnCopy", tree.Copy1);
    actionButton("tlbtnPaste", tree.Paste1);
    actionButton("tlbtnDuplicate", tree.Duplicate1);
    tlbr1->addSeparator();
    actionButton("tlbtnInsert", tree.Insert2);
    actionButton("tlbtnDelete", tree.Delete2);
    actionButton("tlbtnMoveUp", tree.MoveUp2);
    actionButton("tlbtnMoveDown", tree.MoveDown2);
    tlbr1->addSeparator();
    actionButton("tlbtnPreview", preview_->Preview1);
    tlbr1->addSeparator();
    button("tlbtnHelp", QStringLiteral("Help"), TIconKind::Help, QStringLiteral("Show help document"), help_,
           &THelpCommands::Topic1Click);
}

void TMainForm::BuildTree() {
    trvwDesignPanel = new TMenuTreeView(this);
    trvwDesignPanel->setObjectName(QStringLiteral("trvwDesignPanel"));
    trvwDesignPanel->setHeaderHidden(true);
    trvwDesignPanel->setIndentation(19);
    trvwDesignPanel->setUniformRowHeights(true);
    trvwDesignPanel->setSelectionMode(QAbstractItemView::SingleSelection);
    trvwDesignPanel->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Captions are edited in place by Rename (F2) and right after Insert.
    trvwDesignPanel->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* delegate = new TMenuTreeDelegate(
        [this](QLineEdit* editor) {
            connect(editor, &QLineEdit::textChanged, this, [this, editor] { binding_->CheckFieldText(editor); });
        },
        trvwDesignPanel);
    trvwDesignPanel->setItemDelegate(delegate);
    // Drag and drop moves a node within the tree; the model decides where it may land.
    trvwDesignPanel->setDragEnabled(true);
    trvwDesignPanel->setAcceptDrops(true);
    trvwDesignPanel->setDropIndicatorShown(true);
    trvwDesignPanel->setDragDropMode(QAbstractItemView::DragDrop);
    trvwDesignPanel->setDefaultDropAction(Qt::MoveAction);
    trvwDesignPanel->setContextMenuPolicy(Qt::CustomContextMenu);
    trvwDesignPanel->setToolTip(QString::fromLatin1(TMenuTreeModel::kTreeHint));
    trvwDesignPanel->setIconSize(QSize(18, 18));
    // Captions in a script that needs shaping are shaped; the optional typography of the
    // others (kerning by the font's tables) is left out, which a caption's look hardly
    // shows and which makes laying out the rows' text about twice as quick.
    QFont captionFont = trvwDesignPanel->font();
    captionFont.setStyleStrategy(QFont::PreferNoShaping);
    trvwDesignPanel->setFont(captionFont);
    trvwDesignPanel->setMinimumWidth(160);
    trvwDesignPanel->setAccessibleName(QStringLiteral("Menu items"));

    treeModel_->SetNodeImages(MakeIcon(TIconKind::TreeItem), MakeIcon(TIconKind::TreeRoot));
    trvwDesignPanel->setModel(treeModel_.get());
    connect(treeModel_.get(), &QAbstractItemModel::modelReset, delegate, &TMenuTreeDelegate::ForgetLayouts);
    trvwDesignPanel->viewport()->installEventFilter(this);
    connect(trvwDesignPanel->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { trvwDesignPanelChange(); });
    connect(trvwDesignPanel, &QWidget::customContextMenuRequested, this, &TMainForm::ShowTreePopup);
    treeCommands_ = new TTreeCommands(*document_, *trvwDesignPanel, *treeModel_, *dialogs_, this);
    connect(treeCommands_, &TTreeCommands::PagesToArrange, this, &TMainForm::ArrangeTabs);
}

void TMainForm::BuildStatusBar() {
    StatusBar1 = new TStatusBar(this);
    setStatusBar(StatusBar1);
}

}  // namespace qm
