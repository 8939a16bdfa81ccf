// The main window's frame: its actions, menus, toolbar, the tree pane beside the
// property pages, and the status bar. Behaviour lives in the other TMainForm files;
// this file only builds, names and connects.

#include <QAction>
#include <QApplication>
#include <QDragMoveEvent>
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
#include <QKeyEvent>
#include <functional>

#include "gui/IconFactory.h"
#include "gui/TMainForm.h"
#include "gui/TSiteCommands.h"
#include "gui/TMenuTreeDelegate.h"
#include "gui/TMenuTreeModel.h"
#include "gui/TPropertyPages.h"

namespace qm {

namespace {

// The menu's tree view. Where the two-level rule refuses a drop, no landing line is
// drawn: a plain view keeps drawing the last place that was allowed while the pointer
// shows the forbidden cursor.
class TMenuTreeView final : public QTreeView {
public:
    using QTreeView::QTreeView;

protected:
    // The move keys (Ctrl with an arrow) reach the view only when their command cannot
    // act on the selected item: the view would move the current row instead, and the
    // next press would move another item. They change nothing then.
    void keyPressEvent(QKeyEvent* event) override {
        const int key = event->key();
        if (event->modifiers() == Qt::ControlModifier &&
            (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right)) {
            event->accept();
            return;
        }
        QTreeView::keyPressEvent(event);
    }

    void dragMoveEvent(QDragMoveEvent* event) override {
        setDropIndicatorShown(true);
        QTreeView::dragMoveEvent(event);
        if (event->isAccepted()) return;
        setDropIndicatorShown(false);
        viewport()->update();
    }
};

}  // namespace

void TMainForm::BuildWindow() {
    setObjectName(QStringLiteral("TMainForm"));
    setWindowTitle(QStringLiteral("Quillamere"));
    setWindowIcon(MakeIcon(TIconKind::Application));
    setContextMenuPolicy(Qt::NoContextMenu);  // no toolbar toggling menu of Qt's own
    BuildTree();
    BuildActions();
    site_ = new TSiteCommands(*this);
    BuildLivePreview();
    BuildMenus();
    BuildToolBar();
    pgcntrl1 = new TPropertyPages(this);
    pgcntrl1->ChainTabOrder(trvwDesignPanel);
    BuildStatusBar();

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
    pageLayout->addWidget(pgcntrl1);
    splitter_->addWidget(treePanel);
    splitter_->addWidget(pagePanel);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setChildrenCollapsible(false);
    splitter_->setSizes({337, 825 - 337});
    setCentralWidget(splitter_);

    FitToScreen();
}

// The first size is 825 x 622, or what the screen's available area (in the logical
// pixels of its scale factor) leaves of it after the frame, but never below what the
// pages need; the window is centred with its frame's top inside the area, so that the
// menu bar is never above the top edge.
void TMainForm::FitToScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        resize(825, 622);
        return;
    }
    const QRect available = screen->availableGeometry();
    // The window manager's frame is not known before the window is shown: room for a
    // title bar and borders.
    const QSize frame(16, 40);
    const QSize size = QSize(825, 622).boundedTo(available.size() - frame).expandedTo(minimumSizeHint());
    resize(size);
    const int x = available.left() + std::max(0, (available.width() - size.width() - frame.width()) / 2);
    const int y = available.top() + std::max(0, (available.height() - size.height() - frame.height()) / 2);
    move(x, y);
}

void TMainForm::BuildActions() {
    const auto make = [this](const QString& caption, const char* name, std::optional<TIconKind> icon = {},
                             const QKeySequence& keys = {}) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(name));
        if (icon) action->setIcon(MakeIcon(*icon));
        if (!keys.isEmpty()) action->setShortcut(keys);
        return action;
    };
    // The tree's keys act where the tree has the focus: in a text field the same keys
    // are the field's (Ctrl+C copies its text, Del deletes a character).
    const auto treeKeys = [this](QAction* action) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        trvwDesignPanel->addAction(action);
    };

    New1 = make(QStringLiteral("&New..."), "New1", TIconKind::New, QKeySequence(Qt::CTRL | Qt::Key_N));
    Open1 = make(QStringLiteral("&Open..."), "Open1", TIconKind::Open, QKeySequence(Qt::CTRL | Qt::Key_O));
    Save1 = make(QStringLiteral("&Save"), "Save1", TIconKind::Save, QKeySequence(Qt::CTRL | Qt::Key_S));
    Save2 = make(QStringLiteral("Save &As..."), "Save2");
    Templet1 = make(QStringLiteral("&Template..."), "Templet1");
    SaveAsTemplate1 = make(QStringLiteral("S&ave As Template"), "SaveAsTemplate1");
    ImportMenuStructure1 = make(QStringLiteral("&Import Menu Structure"), "ImportMenuStructure1");
    ExportMenuStructure1 = make(QStringLiteral("&Export Menu Structure"), "ExportMenuStructure1");
    Exit1 = make(QStringLiteral("E&xit"), "Exit1");

    // Undo and Redo reach the document from anywhere in the window.
    Undo1 = make(QStringLiteral("&Undo"), "Undo1", TIconKind::Undo, QKeySequence(Qt::CTRL | Qt::Key_Z));
    Redo1 = make(QStringLiteral("&Redo"), "Redo1", TIconKind::Redo);
    Redo1->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    Cut1 = make(QStringLiteral("Cu&t"), "Cut1", TIconKind::Cut, QKeySequence(Qt::CTRL | Qt::Key_X));
    Copy1 = make(QStringLiteral("&Copy"), "Copy1", TIconKind::Copy, QKeySequence(Qt::CTRL | Qt::Key_C));
    Paste1 = make(QStringLiteral("&Paste"), "Paste1", TIconKind::Paste, QKeySequence(Qt::CTRL | Qt::Key_V));
    Duplicate1 = make(QStringLiteral("D&uplicate"), "Duplicate1", TIconKind::Duplicate, QKeySequence(Qt::CTRL | Qt::Key_D));
    for (QAction* a : {Cut1, Copy1, Paste1, Duplicate1}) treeKeys(a);
    Undo1->setToolTip(QStringLiteral("Undo the last change"));
    Redo1->setToolTip(QStringLiteral("Redo the change undone last"));
    Cut1->setToolTip(QStringLiteral("Cut the selected item to the clipboard"));
    Copy1->setToolTip(QStringLiteral("Copy the selected item to the clipboard"));
    Paste1->setToolTip(QStringLiteral("Paste items after the selected item"));
    Duplicate1->setToolTip(QStringLiteral("Duplicate the selected item"));

    ToolBar1 = make(QStringLiteral("&Tool Bar"), "ToolBar1");
    ToolBar1->setCheckable(true);
    ToolBar1->setChecked(true);
    StatusBar2 = make(QStringLiteral("&Status Bar"), "StatusBar2");
    StatusBar2->setCheckable(true);
    StatusBar2->setChecked(true);

    const struct {
        QAction** menuEntry;
        QAction** popupEntry;
        const char* menuName;
        const char* popupName;
        const char* caption;
        TIconKind icon;
        QKeySequence keys;
    } itemCommands[] = {
        {&Insert2, &Insert1, "Insert2", "Insert1", "I&nsert", TIconKind::Insert, QKeySequence(Qt::Key_Insert)},
        {&InsertBelow2, &InsertBelow1, "InsertBelow2", "InsertBelow1", "Insert &Below", TIconKind::Insert,
         QKeySequence(Qt::SHIFT | Qt::Key_Insert)},
        {&Delete2, &Delete1, "Delete2", "Delete1", "&Delete", TIconKind::Delete, QKeySequence(Qt::Key_Delete)},
        {&MoveUp2, &MoveUp1, "MoveUp2", "MoveUp1", "Move &Up", TIconKind::MoveUp, QKeySequence(Qt::CTRL | Qt::Key_Up)},
        {&MoveDown2, &MoveDown1, "MoveDown2", "MoveDown1", "Move &Down", TIconKind::MoveDown,
         QKeySequence(Qt::CTRL | Qt::Key_Down)},
        {&Indent2, &Indent1, "Indent2", "Indent1", "&Indent", TIconKind::Indent, QKeySequence(Qt::CTRL | Qt::Key_Right)},
        {&Outdent2, &Outdent1, "Outdent2", "Outdent1", "&Outdent", TIconKind::Outdent,
         QKeySequence(Qt::CTRL | Qt::Key_Left)},
    };
    for (const auto& command : itemCommands) {
        *command.menuEntry = make(QString::fromLatin1(command.caption), command.menuName, command.icon, command.keys);
        treeKeys(*command.menuEntry);
        // The pop-up's entry shows the same keys; they act while the pop-up is open.
        *command.popupEntry = make(QString::fromLatin1(command.caption), command.popupName, command.icon, command.keys);
        (*command.popupEntry)->setShortcutContext(Qt::WidgetShortcut);
    }
    Rename2 = make(QStringLiteral("&Rename"), "Rename2", {}, QKeySequence(Qt::Key_F2));
    treeKeys(Rename2);

    Preview1 = make(QStringLiteral("&Preview"), "Preview1", TIconKind::Preview, QKeySequence(Qt::CTRL | Qt::Key_P));
    WebBrowser1 = make(QStringLiteral("Web &Browser..."), "WebBrowser1");
    Topic1 = make(QStringLiteral("Help &Topics"), "Topic1", TIconKind::Help);
    ViewSample1 = make(QStringLiteral("View &Sample..."), "ViewSample1");
    Homepage1 = make(QStringLiteral("&Homepage"), "Homepage1");
    ContactUs1 = make(QStringLiteral("&Contact Us"), "ContactUs1");
    About1 = make(QStringLiteral("&About"), "About1", TIconKind::Application);
    About1->setStatusTip(QStringLiteral("Display version and copyright information"));

    const auto on = [this](QAction* action, void (TMainForm::*handler)()) {
        connect(action, &QAction::triggered, this, handler);
    };
    on(New1, &TMainForm::New1Click);
    on(Open1, &TMainForm::Open1Click);
    on(Save1, &TMainForm::Save1Click);
    on(Save2, &TMainForm::Save2Click);
    on(Templet1, &TMainForm::Templet1Click);
    on(SaveAsTemplate1, &TMainForm::SaveAsTemplate1Click);
    on(ImportMenuStructure1, &TMainForm::ImportMenuStructure1Click);
    on(ExportMenuStructure1, &TMainForm::ExportMenuStructure1Click);
    on(Exit1, &TMainForm::Exit1Click);
    on(Undo1, &TMainForm::Undo1Click);
    on(Redo1, &TMainForm::Redo1Click);
    on(Cut1, &TMainForm::Cut1Click);
    on(Copy1, &TMainForm::Copy1Click);
    on(Paste1, &TMainForm::Paste1Click);
    on(Duplicate1, &TMainForm::Duplicate1Click);
    on(ToolBar1, &TMainForm::ToolBar1Click);
    on(StatusBar2, &TMainForm::StatusBar2Click);
    for (QAction* a : {Insert1, Insert2}) on(a, &TMainForm::Insert1Click);
    for (QAction* a : {InsertBelow1, InsertBelow2}) on(a, &TMainForm::InsertBelow1Click);
    for (QAction* a : {Delete1, Delete2}) on(a, &TMainForm::Delete1Click);
    for (QAction* a : {MoveUp1, MoveUp2}) on(a, &TMainForm::MoveUp1Click);
    for (QAction* a : {MoveDown1, MoveDown2}) on(a, &TMainForm::MoveDown1Click);
    for (QAction* a : {Indent1, Indent2}) on(a, &TMainForm::Indent1Click);
    for (QAction* a : {Outdent1, Outdent2}) on(a, &TMainForm::Outdent1Click);
    on(Rename2, &TMainForm::Rename1Click);
    on(Preview1, &TMainForm::Preview1Click);
    on(WebBrowser1, &TMainForm::WebBrowser1Click);
    on(Topic1, &TMainForm::Topic1Click);
    on(ViewSample1, &TMainForm::ViewSample1Click);
    on(Homepage1, &TMainForm::Homepage1Click);
    on(ContactUs1, &TMainForm::ContactUs1Click);
    on(About1, &TMainForm::About1Click);
}

void TMainForm::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    file->addActions({New1, Open1, Save1, Save2});
    file->addAction(site_->NewFromSite1);
    file->addSeparator();
    file->addActions({Templet1, SaveAsTemplate1});
    file->addSeparator();
    file->addActions({ImportMenuStructure1, ExportMenuStructure1});
    QMenu* import = file->addMenu(QStringLiteral("Im&port"));
    import->setObjectName(QStringLiteral("Import1"));
    import->addAction(site_->ImportNavigation1);
    file->addSeparator();
    file->addActions({site_->PublishToSite1, site_->UndoPublishToSite1, site_->CheckLinks1});
    file->addSeparator();
    mnitRecentFiles = file->addMenu(QStringLiteral("&Recent Files"));
    mnitRecentFiles->setObjectName(QStringLiteral("mnitRecentFiles"));
    file->addSeparator();
    file->addAction(Exit1);
    // Another window of the program may have changed the list since.
    connect(file, &QMenu::aboutToShow, this, [this] { Guard([&] { LoadRecentFiles(); }); });

    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("Edit1"));
    edit->addActions({Undo1, Redo1});
    edit->addSeparator();
    edit->addActions({Cut1, Copy1, Paste1, Duplicate1, Delete2});

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("View1"));
    view->addActions({ToolBar1, StatusBar2, LivePreview1});

    QMenu* item = bar->addMenu(QStringLiteral("&Item"));
    item->setObjectName(QStringLiteral("Item1"));
    item->addActions({Insert2, InsertBelow2, Delete2, MoveUp2, MoveDown2});
    item->addSeparator();
    item->addActions({Indent2, Outdent2, Rename2});

    QMenu* flash = bar->addMenu(QStringLiteral("&Flash"));
    flash->setObjectName(QStringLiteral("Flash1"));
    flash->addAction(Preview1);

    QMenu* option = bar->addMenu(QStringLiteral("&Option"));
    option->setObjectName(QStringLiteral("Option1"));
    option->addAction(WebBrowser1);

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    help->addActions({Topic1, ViewSample1});
    help->addSeparator();
    help->addActions({Homepage1, ContactUs1, About1});

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addActions({Insert1, InsertBelow1, Delete1, MoveUp1, MoveDown1});
    PopupMenu1->addSeparator();
    PopupMenu1->addActions({Indent1, Outdent1});
    PopupMenu1->addSeparator();
    PopupMenu1->addActions({Cut1, Copy1, Paste1, Duplicate1});
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
    const auto button = [this, &place](const char* name, TIconKind icon, const QString& hint,
                                       void (TMainForm::*handler)()) {
        auto* b = place(name);
        b->setIcon(MakeIcon(icon));
        b->setToolTip(hint);
        b->setStatusTip(hint);
        connect(b, &QToolButton::clicked, this, handler);
        return b;
    };
    // The Edit commands' buttons are their actions': name, state and tooltip follow them.
    const auto actionButton = [&place](const char* name, QAction* action) {
        auto* b = place(name);
        b->setDefaultAction(action);
        return b;
    };
    tlbtnNew = button("tlbtnNew", TIconKind::New, QStringLiteral("Create a new project"), &TMainForm::New1Click);
    tlbtnOpen = button("tlbtnOpen", TIconKind::Open, QStringLiteral("Open a project from the file that you saved before"),
                       &TMainForm::Open1Click);
    tlbtnSave = button("tlbtnSave", TIconKind::Save, QStringLiteral("Save the current project to a file"),
                       &TMainForm::Save1Click);
    tlbr1->addSeparator();
    tlbtnUndo = actionButton("tlbtnUndo", Undo1);
    tlbtnRedo = actionButton("tlbtnRedo", Redo1);
    tlbr1->addSeparator();
    tlbtnCut = actionButton("tlbtnCut", Cut1);
    tlbtnCopy = actionButton("tlbtnCopy", Copy1);
    tlbtnPaste = actionButton("tlbtnPaste", Paste1);
    actionButton("tlbtnDuplicate", Duplicate1);
    tlbr1->addSeparator();
    tlbtnInsert = button("tlbtnInsert", TIconKind::Insert, QStringLiteral("Insert a new item"), &TMainForm::Insert1Click);
    tlbtnDelete = button("tlbtnDelete", TIconKind::Delete, QStringLiteral("Delete selected item"),
                         &TMainForm::Delete1Click);
    tlbtnMoveUp = button("tlbtnMoveUp", TIconKind::MoveUp, QStringLiteral("Move the selected item up"),
                         &TMainForm::MoveUp1Click);
    tlbtnMoveDown = button("tlbtnMoveDown", TIconKind::MoveDown, QStringLiteral("Move the selected item down"),
                           &TMainForm::MoveDown1Click);
    tlbr1->addSeparator();
    tlbtnPreview = button("tlbtnPreview", TIconKind::Preview, QStringLiteral("Preview the menu in a web browser"),
                          &TMainForm::Preview1Click);
    tlbr1->addSeparator();
    tlbtnHelp = button("tlbtnHelp", TIconKind::Help, QStringLiteral("Show help document"), &TMainForm::Topic1Click);
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
            connect(editor, &QLineEdit::textChanged, this, [this, editor] { CheckFieldText(editor); });
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
    // The selection stays visible, in its active colours, while the panels have the focus.
    QPalette palette = trvwDesignPanel->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    trvwDesignPanel->setPalette(palette);

    treeModel_->SetNodeImages(MakeIcon(TIconKind::TreeItem), MakeIcon(TIconKind::TreeRoot));
    trvwDesignPanel->setModel(treeModel_.get());
    connect(treeModel_.get(), &QAbstractItemModel::modelReset, delegate, &TMenuTreeDelegate::ForgetLayouts);
    trvwDesignPanel->viewport()->installEventFilter(this);
    connect(trvwDesignPanel->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { trvwDesignPanelChange(); });
    connect(trvwDesignPanel, &QWidget::customContextMenuRequested, this, &TMainForm::ShowTreePopup);
}

void TMainForm::BuildStatusBar() {
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(true);
    setStatusBar(StatusBar1);
    stctxtHint = new QLabel(StatusBar1);
    stctxtHint->setObjectName(QStringLiteral("stctxtHint"));
    stctxtHint->setMinimumWidth(340);
    prgrsbrMainFormBottom = new QProgressBar(StatusBar1);
    prgrsbrMainFormBottom->setObjectName(QStringLiteral("prgrsbrMainFormBottom"));
    prgrsbrMainFormBottom->setTextVisible(false);
    prgrsbrMainFormBottom->setFixedWidth(200);
    prgrsbrMainFormBottom->setMaximumHeight(14);
    prgrsbrMainFormBottom->setRange(0, 100);
    prgrsbrMainFormBottom->setValue(0);
    StatusBar1->addWidget(stctxtHint, 1);
    StatusBar1->addPermanentWidget(prgrsbrMainFormBottom);
    // Shown only while an operation runs (ShowProgressWhenDue).
    prgrsbrMainFormBottom->hide();
}

}  // namespace qm
