// The main window's widgets: menus, toolbar, tree pane, the four property pages and the
// status bar. Behaviour lives in TMainForm.cpp; this file only builds and names.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "IconFactory.h"
#include "LookValues.h"
#include "TColorPanel.h"
#include "TMainForm.h"
#include "TMenuTreeModel.h"
#include "TSpinEdit.h"

namespace qm {

namespace {

constexpr int kSpinWidth = 84;

QLabel* Caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    return label;
}

// The labels of the two size fields stand out: the estimate button beside them writes
// their values. Their colour is the palette's accent (its link colour), never a fixed
// red: it follows the desktop's theme and stays readable on a dark one.
void MakeAttentionLabel(QLabel* label) {
    QFont font = label->font();
    font.setBold(true);
    font.setUnderline(true);
    label->setFont(font);
    label->setForegroundRole(QPalette::Link);
}

// Examples and explanations in the palette's subdued text colour.
QLabel* ExampleLine(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setForegroundRole(QPalette::PlaceholderText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// A local root folder as it looks on the running platform, as a link.
QString LocalRootExample() {
#if defined(Q_OS_WIN)
    const QString folder = QStringLiteral("C:\\projects\\websites\\tarnwell\\");
#elif defined(Q_OS_MACOS)
    const QString folder = QStringLiteral("/Users/you/Sites/tarnwell/");
#else
    const QString folder = QStringLiteral("/home/you/websites/tarnwell/");
#endif
    return LocalPathToFileUrl(folder);
}

QGroupBox* Group(const QString& title, const QString& name, QWidget* parent) {
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(name);
    return group;
}

// A group's contents beside its help button, which sits in the top right corner.
QGridLayout* GroupGrid(QGroupBox* group, QToolButton* help) {
    auto* outer = new QHBoxLayout(group);
    outer->setContentsMargins(10, 8, 6, 10);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    outer->addLayout(grid, 1);
    // Aligned rather than pushed up by a stretch: a stretch would make the group grow
    // with the page instead of keeping its natural height.
    outer->addWidget(help, 0, Qt::AlignTop | Qt::AlignRight);
    return grid;
}

}  // namespace

void TMainForm::BuildWindow() {
    setObjectName(QStringLiteral("TMainForm"));
    setWindowTitle(QStringLiteral("Quillamere"));
    setWindowIcon(MakeIcon(TIconKind::Application));
    setContextMenuPolicy(Qt::NoContextMenu);  // no toolbar toggling menu of Qt's own
    BuildActions();
    BuildMenus();
    BuildToolBar();
    BuildTree();
    BuildPages();
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
    const auto make = [this](const QString& caption, const char* name, TIconKind* icon = nullptr) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(name));
        if (icon) action->setIcon(MakeIcon(*icon));
        return action;
    };
    auto icon = [](TIconKind kind) { return MakeIcon(kind); };

    New1 = make(QStringLiteral("&New..."), "New1");
    New1->setIcon(icon(TIconKind::New));
    New1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    Open1 = make(QStringLiteral("&Open..."), "Open1");
    Open1->setIcon(icon(TIconKind::Open));
    Open1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Save1 = make(QStringLiteral("&Save"), "Save1");
    Save1->setIcon(icon(TIconKind::Save));
    Save1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    Save2 = make(QStringLiteral("Save &As..."), "Save2");
    Templet1 = make(QStringLiteral("&Template..."), "Templet1");
    SaveAsTemplate1 = make(QStringLiteral("S&ave As Template"), "SaveAsTemplate1");
    ImportMenuStructure1 = make(QStringLiteral("&Import Menu Structure"), "ImportMenuStructure1");
    ExportMenuStructure1 = make(QStringLiteral("&Export Menu Structure"), "ExportMenuStructure1");
    Exit1 = make(QStringLiteral("E&xit"), "Exit1");

    ToolBar1 = make(QStringLiteral("&Tool Bar"), "ToolBar1");
    ToolBar1->setCheckable(true);
    ToolBar1->setChecked(true);
    StatusBar2 = make(QStringLiteral("&Status Bar"), "StatusBar2");
    StatusBar2->setCheckable(true);
    StatusBar2->setChecked(true);

    Insert2 = make(QStringLiteral("I&nsert"), "Insert2");
    Delete2 = make(QStringLiteral("&Delete"), "Delete2");
    MoveUp2 = make(QStringLiteral("Move &Up"), "MoveUp2");
    MoveDown2 = make(QStringLiteral("Move &Down"), "MoveDown2");
    Insert1 = make(QStringLiteral("I&nsert"), "Insert1");
    Delete1 = make(QStringLiteral("&Delete"), "Delete1");
    MoveUp1 = make(QStringLiteral("Move &Up"), "MoveUp1");
    MoveDown1 = make(QStringLiteral("Move &Down"), "MoveDown1");
    for (QAction* a : {Insert1, Insert2}) a->setIcon(icon(TIconKind::Insert));
    for (QAction* a : {Delete1, Delete2}) a->setIcon(icon(TIconKind::Delete));
    for (QAction* a : {MoveUp1, MoveUp2}) a->setIcon(icon(TIconKind::MoveUp));
    for (QAction* a : {MoveDown1, MoveDown2}) a->setIcon(icon(TIconKind::MoveDown));

    Preview1 = make(QStringLiteral("&Preview"), "Preview1");
    Preview1->setIcon(icon(TIconKind::Preview));
    Preview1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    WebBrowser1 = make(QStringLiteral("Web &Browser..."), "WebBrowser1");
    Topic1 = make(QStringLiteral("Help &Topics"), "Topic1");
    Topic1->setIcon(icon(TIconKind::Help));
    ViewSample1 = make(QStringLiteral("View &Sample..."), "ViewSample1");
    Homepage1 = make(QStringLiteral("&Homepage"), "Homepage1");
    ContactUs1 = make(QStringLiteral("&Contact Us"), "ContactUs1");
    About1 = make(QStringLiteral("&About"), "About1");
    About1->setStatusTip(QStringLiteral("Display version and copyright information"));
    About1->setIcon(icon(TIconKind::Application));

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
    on(ToolBar1, &TMainForm::ToolBar1Click);
    on(StatusBar2, &TMainForm::StatusBar2Click);
    for (QAction* a : {Insert1, Insert2}) on(a, &TMainForm::Insert1Click);
    for (QAction* a : {Delete1, Delete2}) on(a, &TMainForm::Delete1Click);
    for (QAction* a : {MoveUp1, MoveUp2}) on(a, &TMainForm::MoveUp1Click);
    for (QAction* a : {MoveDown1, MoveDown2}) on(a, &TMainForm::MoveDown1Click);
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
    file->addSeparator();
    file->addActions({Templet1, SaveAsTemplate1});
    file->addSeparator();
    file->addActions({ImportMenuStructure1, ExportMenuStructure1});
    file->addSeparator();
    mnitRecentFiles = file->addMenu(QStringLiteral("&Recent Files"));
    mnitRecentFiles->setObjectName(QStringLiteral("mnitRecentFiles"));
    file->addSeparator();
    file->addAction(Exit1);

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("View1"));
    view->addActions({ToolBar1, StatusBar2});

    QMenu* item = bar->addMenu(QStringLiteral("&Item"));
    item->setObjectName(QStringLiteral("Item1"));
    item->addActions({Insert2, Delete2, MoveUp2, MoveDown2});

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
    PopupMenu1->addActions({Insert1, Delete1, MoveUp1, MoveDown1});
}

void TMainForm::BuildToolBar() {
    tlbr1 = new QToolBar(QStringLiteral("Tool Bar"), this);
    tlbr1->setObjectName(QStringLiteral("tlbr1"));
    tlbr1->setMovable(false);
    tlbr1->setFloatable(false);
    tlbr1->setIconSize(QSize(24, 24));
    addToolBar(Qt::TopToolBarArea, tlbr1);

    const auto button = [this](const char* name, TIconKind icon, const QString& hint,
                               void (TMainForm::*handler)()) {
        auto* b = new QToolButton(tlbr1);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(MakeIcon(icon));
        b->setIconSize(QSize(24, 24));
        b->setAutoRaise(true);
        b->setToolTip(hint);
        b->setStatusTip(hint);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, handler);
        tlbr1->addWidget(b);
        return b;
    };
    tlbtnNew = button("tlbtnNew", TIconKind::New, QStringLiteral("Create a new project"), &TMainForm::New1Click);
    tlbtnOpen = button("tlbtnOpen", TIconKind::Open, QStringLiteral("Open a project from the file that you saved before"),
                       &TMainForm::Open1Click);
    tlbtnSave = button("tlbtnSave", TIconKind::Save, QStringLiteral("Save the current project to a file"),
                       &TMainForm::Save1Click);
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
    trvwDesignPanel = new QTreeView(this);
    trvwDesignPanel->setObjectName(QStringLiteral("trvwDesignPanel"));
    trvwDesignPanel->setHeaderHidden(true);
    trvwDesignPanel->setIndentation(19);
    trvwDesignPanel->setUniformRowHeights(true);
    trvwDesignPanel->setSelectionMode(QAbstractItemView::SingleSelection);
    trvwDesignPanel->setSelectionBehavior(QAbstractItemView::SelectRows);
    trvwDesignPanel->setEditTriggers(QAbstractItemView::NoEditTriggers);
    trvwDesignPanel->setContextMenuPolicy(Qt::CustomContextMenu);
    trvwDesignPanel->setToolTip(QString::fromLatin1(TMenuTreeModel::kTreeHint));
    trvwDesignPanel->setIconSize(QSize(18, 18));
    trvwDesignPanel->setMinimumWidth(160);
    // The selection stays visible, in its active colours, while the panels have the focus.
    QPalette palette = trvwDesignPanel->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    trvwDesignPanel->setPalette(palette);

    treeModel_->SetNodeImages(MakeIcon(TIconKind::TreeItem), MakeIcon(TIconKind::TreeRoot));
    trvwDesignPanel->setModel(treeModel_.get());
    trvwDesignPanel->viewport()->installEventFilter(this);
    connect(trvwDesignPanel->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { trvwDesignPanelChange(); });
    connect(trvwDesignPanel, &QWidget::customContextMenuRequested, this, &TMainForm::ShowTreePopup);
}

QToolButton* TMainForm::MakeHelpButton(int tag, const QString& name) {
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setProperty("Tag", tag);
    button->setIcon(MakeIcon(TIconKind::HelpBook));
    button->setIconSize(QSize(18, 18));
    button->setAutoRaise(true);
    button->setToolTip(QStringLiteral("Help on these settings"));
    connect(button, &QToolButton::clicked, this, [this, button] { SpeedButton_OnClick_LaunchHelpDoc(button); });
    return button;
}

namespace {

QSpinBox* MakeSpin(QWidget* parent, const char* name, std::size_t field) {
    auto* spin = new TSpinEdit(parent);
    spin->setObjectName(QString::fromLatin1(name));
    const LookFieldRule rule = RuleOfAppletField(field);
    spin->setRange(static_cast<int>(rule.minimum), static_cast<int>(rule.maximum));
    spin->setFixedWidth(kSpinWidth);
    spin->setAccelerated(true);
    return spin;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& hint = {}) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty()) edit->setToolTip(hint);
    return edit;
}

// hint names the colour the panel stands for.
TColorPanel* MakePanel(QWidget* parent, const char* name, const QString& hint) {
    auto* panel = new TColorPanel(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setToolTip(hint);
    return panel;
}

QToolButton* MakeBrowseButton(QWidget* parent, const char* name, const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(MakeIcon(TIconKind::Browse));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(hint);
    return button;
}

}  // namespace

void TMainForm::BuildPages() {
    pgcntrl1 = new QTabWidget(this);
    pgcntrl1->setObjectName(QStringLiteral("pgcntrl1"));
    tbshtScript = BuildFlashPage();
    tbshtStyle = BuildExtPage();
    tbshtItem = BuildItemPage();
    tbshtPath = BuildPathPage();
    pgcntrl1->addTab(tbshtScript, QStringLiteral("Flash"));
    pgcntrl1->addTab(tbshtStyle, QStringLiteral("Ext."));
    pgcntrl1->addTab(tbshtItem, QStringLiteral("Item"));
    pgcntrl1->addTab(tbshtPath, QStringLiteral("Path"));
    // At least 433 x 460, and never less than the pages need: a fixed minimum below
    // that would squeeze their captions at the smallest window size.
    pgcntrl1->setMinimumSize(pgcntrl1->minimumSizeHint().expandedTo(QSize(433, 460)));
    ChainTabOrder();
    ConnectChangeNotifications();
}

// Tab follows reading order: the tree, the page tabs, then each page's fields left to
// right and top to bottom, each group's "?" help button after the group's fields.
void TMainForm::ChainTabOrder() {
    static constexpr const char* kReadingOrder[] = {
        "pgcntrl1",
        // Flash
        "spnedt__mainItemExtWidth", "spnedt__mainItemHeight", "edt__mainItemFont", "spnedt__mainItemFontSize",
        "pnl__mainItemTextColor", "pnl__mainItemHoverColor", "pnl__mainItemColor", "spdbtnHelpMainMenuItems",
        "spnedt__subItemHeight", "edt__subItemFont", "spnedt__subItemFontSize", "pnl__subItemTextColor",
        "pnl__subItemColor", "pnl__subItemHoverColor", "spdbtnHelpSubMenuItems",
        // Ext.
        "edt__mainItemHoverSound", "spdbtn___mainItemHoverSoundUrl", "edt__subItemHoverSound",
        "spdbtn___subItemHoverSoundUrl", "edt__itemActiveSound", "spdbtn___itemActiveSoundUrl", "spdbtnHelpSound",
        "spnedt__submenuCloseDelay", "spnedt__submenuSlideSpeed", "spdbtnHelpSubmenu", "spnedtflMenuMaxWidth",
        "spnedtflMenuMaxHeight", "btnCalcSize", "spnedtmov_z_index", "spdbtnHelpMenuBox",
        // Item
        "edt_Text", "spdbtnHelpItemText", "cmbx_Link", "spdbtn_cmbx_Link", "cmbx_Target", "spdbtnHelpItemLink",
        // Path
        "edt_InternalUse_RootDir_Local", "edt_InternalUse_RootDir_Remote", "rdbtn_InternalUse_RootDir_Local_Checked",
        "rdbtn_InternalUse_RootDir_Local_Checked2", "spdbtnHelpPath",
    };
    QWidget* previous = trvwDesignPanel;
    for (const char* name : kReadingOrder) {
        QWidget* next = name == std::string_view("pgcntrl1") ? pgcntrl1
                                                            : pgcntrl1->findChild<QWidget*>(QString::fromLatin1(name));
        Q_ASSERT_X(next, "ChainTabOrder", name);
        setTabOrder(previous, next);
        previous = next;
    }
}

QWidget* TMainForm::BuildFlashPage() {
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tbshtScript"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);

    // Main menu items.
    auto* main = Group(QStringLiteral("Main Menu Items"), QStringLiteral("grpbx_Script_Menu"), page);
    auto* grid = GroupGrid(main, MakeHelpButton(1, QStringLiteral("spdbtnHelpMainMenuItems")));
    spnedt__mainItemExtWidth = MakeSpin(main, "spnedt__mainItemExtWidth", 0);
    spnedt__mainItemHeight = MakeSpin(main, "spnedt__mainItemHeight", 1);
    auto* mainFont = MakeEdit(main, "edt__mainItemFont", QStringLiteral("Font Family"));
    mainFont->setMinimumWidth(120);
    auto* mainSize = MakeSpin(main, "spnedt__mainItemFontSize", 3);
    mainSize->setToolTip(QStringLiteral("Font Size"));
    auto* mainText = MakePanel(main, "pnl__mainItemTextColor", QStringLiteral("Text Color"));
    auto* mainBg = MakePanel(main, "pnl__mainItemColor", QStringLiteral("Background Color"));
    auto* mainHover = MakePanel(main, "pnl__mainItemHoverColor", QStringLiteral("Hover Color"));
    auto* mainBgLabel = Caption(QStringLiteral("BG"), main);
    mainBgLabel->setObjectName(QStringLiteral("lbl__mainItemColor"));
    mainBg->hide();
    mainBgLabel->hide();
    grid->addWidget(Caption(QStringLiteral("Ext. Width"), main), 0, 0);
    grid->addWidget(spnedt__mainItemExtWidth, 0, 1);
    grid->addWidget(Caption(QStringLiteral("Height"), main), 0, 3);
    grid->addWidget(spnedt__mainItemHeight, 0, 4);
    grid->addWidget(Caption(QStringLiteral("Font"), main), 1, 0);
    grid->addWidget(mainFont, 1, 1);
    grid->addWidget(Caption(QStringLiteral("Size"), main), 1, 3);
    grid->addWidget(mainSize, 1, 4);
    grid->addWidget(Caption(QStringLiteral("Text"), main), 2, 0);
    grid->addWidget(mainText, 2, 1, Qt::AlignLeft);
    grid->addWidget(Caption(QStringLiteral("Hover"), main), 2, 3);
    grid->addWidget(mainHover, 2, 4, Qt::AlignLeft);
    grid->addWidget(mainBgLabel, 3, 0);
    grid->addWidget(mainBg, 3, 1, Qt::AlignLeft);
    grid->setColumnMinimumWidth(2, 18);
    // The fields keep their natural widths on a wide window; the room goes after them.
    grid->setColumnStretch(5, 1);

    // Sub menu items.
    auto* sub = Group(QStringLiteral("Sub Menu Items"), QStringLiteral("grpbx_Script_SubMenu"), page);
    auto* subGrid = GroupGrid(sub, MakeHelpButton(2, QStringLiteral("spdbtnHelpSubMenuItems")));
    spnedt__subItemHeight = MakeSpin(sub, "spnedt__subItemHeight", 7);
    auto* subFont = MakeEdit(sub, "edt__subItemFont", QStringLiteral("Font Family"));
    subFont->setMinimumWidth(120);
    auto* subSize = MakeSpin(sub, "spnedt__subItemFontSize", 9);
    subSize->setToolTip(QStringLiteral("Font Size"));
    auto* subText = MakePanel(sub, "pnl__subItemTextColor", QStringLiteral("Text Color"));
    auto* subHover = MakePanel(sub, "pnl__subItemColor", QStringLiteral("Hover Color"));
    auto* subBg = MakePanel(sub, "pnl__subItemHoverColor", QStringLiteral("Background Color"));
    auto* subBgLabel = Caption(QStringLiteral("BG"), sub);
    subBgLabel->setObjectName(QStringLiteral("lbl__subItemHoverColor"));
    subBg->hide();
    subBgLabel->hide();
    subGrid->addWidget(Caption(QStringLiteral("Height"), sub), 0, 0);
    subGrid->addWidget(spnedt__subItemHeight, 0, 1, Qt::AlignLeft);
    subGrid->addWidget(Caption(QStringLiteral("Font"), sub), 1, 0);
    subGrid->addWidget(subFont, 1, 1);
    subGrid->addWidget(Caption(QStringLiteral("Size"), sub), 1, 3);
    subGrid->addWidget(subSize, 1, 4);
    subGrid->addWidget(Caption(QStringLiteral("Text"), sub), 2, 0);
    subGrid->addWidget(subText, 2, 1, Qt::AlignLeft);
    subGrid->addWidget(Caption(QStringLiteral("Hover"), sub), 2, 3);
    subGrid->addWidget(subHover, 2, 4, Qt::AlignLeft);
    subGrid->addWidget(subBgLabel, 3, 0);
    subGrid->addWidget(subBg, 3, 1, Qt::AlignLeft);
    subGrid->setColumnMinimumWidth(2, 18);
    subGrid->setColumnStretch(5, 1);
    // Both groups' label columns line up.
    const int labelWidth = QFontMetrics(page->font()).horizontalAdvance(QStringLiteral("Ext. Width")) + 4;
    grid->setColumnMinimumWidth(0, labelWidth);
    subGrid->setColumnMinimumWidth(0, labelWidth);
    const int rightLabelWidth = QFontMetrics(page->font()).horizontalAdvance(QStringLiteral("Height")) + 4;
    grid->setColumnMinimumWidth(3, rightLabelWidth);
    subGrid->setColumnMinimumWidth(3, rightLabelWidth);

    layout->addWidget(main);
    layout->addWidget(sub);
    layout->addStretch();

    boundFields_[0] = spnedt__mainItemExtWidth;
    boundFields_[1] = spnedt__mainItemHeight;
    boundFields_[2] = mainFont;
    boundFields_[3] = mainSize;
    boundFields_[4] = mainText;
    boundFields_[5] = mainBg;
    boundFields_[6] = mainHover;
    boundFields_[7] = spnedt__subItemHeight;
    boundFields_[8] = subFont;
    boundFields_[9] = subSize;
    boundFields_[10] = subText;
    boundFields_[11] = subHover;
    return page;
}

QWidget* TMainForm::BuildExtPage() {
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tbshtStyle"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);

    auto* sound = Group(QStringLiteral("Sound"), QStringLiteral("grpbx_Style_Sound"), page);
    auto* soundGrid = GroupGrid(sound, MakeHelpButton(3, QStringLiteral("spdbtnHelpSound")));
    const struct {
        const char* caption;
        const char* edit;
        const char* button;
        std::size_t field;
    } sounds[] = {
        {"Main Item Hover", "edt__mainItemHoverSound", "spdbtn___mainItemHoverSoundUrl", 14},
        {"Sub Item Hover", "edt__subItemHoverSound", "spdbtn___subItemHoverSoundUrl", 15},
        {"Item Active", "edt__itemActiveSound", "spdbtn___itemActiveSoundUrl", 16},
    };
    int row = 0;
    for (const auto& s : sounds) {
        auto* edit = MakeEdit(sound, s.edit, QStringLiteral("File name of an MP3 sound"));
        auto* chooser = MakeBrowseButton(sound, s.button, QStringLiteral("Choose a sound file"));
        connect(chooser, &QToolButton::clicked, this, [this, chooser] { spdbtnItemImageNormalClick(chooser); });
        soundGrid->addWidget(Caption(QString::fromLatin1(s.caption), sound), row, 0);
        soundGrid->addWidget(edit, row, 1);
        soundGrid->addWidget(chooser, row, 2);
        boundFields_[s.field] = edit;
        ++row;
    }
    soundGrid->setColumnStretch(1, 1);

    auto* submenu = Group(QStringLiteral("Submenu"), QStringLiteral("grpbx_Style_Submenu"), page);
    auto* submenuGrid = GroupGrid(submenu, MakeHelpButton(4, QStringLiteral("spdbtnHelpSubmenu")));
    auto* delay = MakeSpin(submenu, "spnedt__submenuCloseDelay", 12);
    auto* speed = MakeSpin(submenu, "spnedt__submenuSlideSpeed", 13);
    auto* waitLine = new QHBoxLayout;
    waitLine->setSpacing(6);
    waitLine->addWidget(delay);
    // One line: the sentence "Wait … millisecond(s) before closing submenu(s)." reads
    // across the box and must not break in its middle.
    auto* waitUnit = new QLabel(QStringLiteral("millisecond(s) before closing submenu(s)."), submenu);
    waitLine->addWidget(waitUnit, 1);
    submenuGrid->addWidget(Caption(QStringLiteral("Wait "), submenu), 0, 0);
    submenuGrid->addLayout(waitLine, 0, 1);
    submenuGrid->addWidget(Caption(QStringLiteral("Slide Speed"), submenu), 1, 0);
    submenuGrid->addWidget(speed, 1, 1, Qt::AlignLeft);
    submenuGrid->setColumnStretch(1, 1);
    boundFields_[12] = delay;
    boundFields_[13] = speed;

    auto* box = Group(QStringLiteral("Menu Box"), QStringLiteral("grpbx_Style_MenuBox"), page);
    auto* boxGrid = GroupGrid(box, MakeHelpButton(5, QStringLiteral("spdbtnHelpMenuBox")));
    spnedtflMenuMaxWidth = MakeSpin(box, "spnedtflMenuMaxWidth", 17);
    spnedtflMenuMaxHeight = MakeSpin(box, "spnedtflMenuMaxHeight", 18);
    auto* zIndex = MakeSpin(box, "spnedtmov_z_index", 19);
    auto* widthLabel = Caption(QStringLiteral("Menu Box Width"), box);
    widthLabel->setObjectName(QStringLiteral("lblMenuBoxWidth"));
    auto* heightLabel = Caption(QStringLiteral("Menu Box Height"), box);
    heightLabel->setObjectName(QStringLiteral("lblMenuBoxHeight"));
    MakeAttentionLabel(widthLabel);
    MakeAttentionLabel(heightLabel);
    auto* calc = new QPushButton(QStringLiteral("<< Calc. Estimated Size"), box);
    calc->setObjectName(QStringLiteral("btnCalcSize"));
    calc->setToolTip(QStringLiteral("Estimate the menu box size from the main items and their heights"));
    {
        // Underlined, in the button's own text colour: a fixed red on a themed button
        // face can be unreadable.
        QFont font = calc->font();
        font.setUnderline(true);
        calc->setFont(font);
    }
    connect(calc, &QPushButton::clicked, this, &TMainForm::btnCalcSizeClick);
    boxGrid->addWidget(widthLabel, 0, 0);
    boxGrid->addWidget(spnedtflMenuMaxWidth, 0, 1);
    boxGrid->addWidget(heightLabel, 1, 0);
    boxGrid->addWidget(spnedtflMenuMaxHeight, 1, 1);
    boxGrid->addWidget(calc, 0, 2, 2, 1, Qt::AlignLeft | Qt::AlignVCenter);
    boxGrid->addWidget(Caption(QStringLiteral("z-index"), box), 2, 0);
    boxGrid->addWidget(zIndex, 2, 1);
    boxGrid->setColumnStretch(3, 1);
    boxGrid->setColumnMinimumWidth(2, 10);
    boundFields_[17] = spnedtflMenuMaxWidth;
    boundFields_[18] = spnedtflMenuMaxHeight;
    boundFields_[19] = zIndex;

    // The label columns of the three groups line up.
    const int labelWidth = widthLabel->sizeHint().width() + 2;
    soundGrid->setColumnMinimumWidth(0, labelWidth);

    layout->addWidget(sound);
    layout->addWidget(submenu);
    layout->addWidget(box);
    layout->addStretch();
    return page;
}

QWidget* TMainForm::BuildItemPage() {
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tbshtItem"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);

    auto* text = Group(QStringLiteral("Text"), QStringLiteral("grpbx_Item_Text"), page);
    auto* textGrid = GroupGrid(text, MakeHelpButton(6, QStringLiteral("spdbtnHelpItemText")));
    edt_Text = MakeEdit(text, "edt_Text", QStringLiteral("Caption of the item"));
    textGrid->addWidget(Caption(QStringLiteral("Text"), text), 0, 0);
    textGrid->addWidget(edt_Text, 0, 1);
    textGrid->setColumnStretch(1, 1);

    auto* link = Group(QStringLiteral("Link"), QStringLiteral("grpbx_Item_Link"), page);
    auto* linkGrid = GroupGrid(link, MakeHelpButton(7, QStringLiteral("spdbtnHelpItemLink")));
    cmbx_Link = new QComboBox(link);
    cmbx_Link->setObjectName(QStringLiteral("cmbx_Link"));
    cmbx_Link->setEditable(true);
    cmbx_Link->setInsertPolicy(QComboBox::NoInsert);
    cmbx_Link->addItems({QStringLiteral("http://"), QStringLiteral("mailto://"), QStringLiteral("javascript:"),
                         QStringLiteral("ftp://"), QStringLiteral("news://")});
    cmbx_Link->setEditText({});
    cmbx_Link->setToolTip(QStringLiteral("The address the item links to"));
    auto* chooser = MakeBrowseButton(link, "spdbtn_cmbx_Link", QStringLiteral("Link to a page on this computer"));
    connect(chooser, &QToolButton::clicked, this, &TMainForm::spdbtnItURLClick);
    cmbx_Target = new QComboBox(link);
    cmbx_Target->setObjectName(QStringLiteral("cmbx_Target"));
    cmbx_Target->setEditable(true);
    cmbx_Target->setInsertPolicy(QComboBox::NoInsert);
    cmbx_Target->addItems({QStringLiteral("_self"), QStringLiteral("_blank"), QStringLiteral("_parent"),
                           QStringLiteral("_top"), QStringLiteral("_search"), QStringLiteral("_media")});
    cmbx_Target->setToolTip(QStringLiteral("The frame or window the link opens in"));
    linkGrid->addWidget(Caption(QStringLiteral("URL"), link), 0, 0);
    linkGrid->addWidget(cmbx_Link, 0, 1);
    linkGrid->addWidget(chooser, 0, 2);
    linkGrid->addWidget(Caption(QStringLiteral("Target"), link), 1, 0);
    linkGrid->addWidget(cmbx_Target, 1, 1);
    linkGrid->setColumnStretch(1, 1);
    const int labelWidth = QFontMetrics(page->font()).horizontalAdvance(QStringLiteral("Target")) + 8;
    textGrid->setColumnMinimumWidth(0, labelWidth);
    linkGrid->setColumnMinimumWidth(0, labelWidth);
    // The text box ends where the link boxes end, left of the chooser column.
    textGrid->setColumnMinimumWidth(2, chooser->sizeHint().width());

    layout->addWidget(text);
    layout->addWidget(link);
    layout->addStretch();
    return page;
}

QWidget* TMainForm::BuildPathPage() {
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("tbshtPath"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(10, 10, 10, 10);

    auto* group = Group(QStringLiteral("Path Replacement for Publishing"), QStringLiteral("grpbx_Path"), page);
    auto* grid = GroupGrid(group, MakeHelpButton(8, QStringLiteral("spdbtnHelpPath")));
    auto* explanation = ExampleLine(
        QStringLiteral("If an item's URL contains the local or the web path you give here, one is replaced by "
                       "the other, depending on the choice below. Choose the web path to upload the menu to a web "
                       "server for testing or publishing."),
        group);
    explanation->setObjectName(QStringLiteral("lblPathExplanation"));
    explanation->setWordWrap(true);
    auto* local = MakeEdit(group, "edt_InternalUse_RootDir_Local");
    auto* remote = MakeEdit(group, "edt_InternalUse_RootDir_Remote");
    rdbtn_InternalUse_RootDir_Local_Checked =
        new QRadioButton(QStringLiteral("Test on Local Computer (Convert to Local Path)"), group);
    rdbtn_InternalUse_RootDir_Local_Checked->setObjectName(QStringLiteral("rdbtn_InternalUse_RootDir_Local_Checked"));
    rdbtn_InternalUse_RootDir_Local_Checked2 =
        new QRadioButton(QStringLiteral("Upload to Web Server (Convert to Web Path)"), group);
    rdbtn_InternalUse_RootDir_Local_Checked2->setObjectName(QStringLiteral("rdbtn_InternalUse_RootDir_Local_Checked2"));

    int row = 0;
    grid->addWidget(explanation, row++, 0);
    grid->setRowMinimumHeight(row++, 4);
    QFont bold = page->font();
    bold.setBold(true);
    auto* localLabel = new QLabel(QStringLiteral("Root Directory for Local Computer"), group);
    localLabel->setFont(bold);
    grid->addWidget(localLabel, row++, 0);
    auto* localExample = ExampleLine(QStringLiteral("e.g. ") + LocalRootExample(), group);
    localExample->setObjectName(QStringLiteral("lblLocalRootExample"));
    grid->addWidget(localExample, row++, 0);
    grid->addWidget(local, row++, 0);
    grid->setRowMinimumHeight(row++, 4);
    auto* remoteLabel = new QLabel(QStringLiteral("Root Directory for Web Server"), group);
    remoteLabel->setFont(bold);
    grid->addWidget(remoteLabel, row++, 0);
    grid->addWidget(ExampleLine(QStringLiteral("e.g. http://www.tarnwell.com/"), group), row++, 0);
    grid->addWidget(remote, row++, 0);
    grid->setRowMinimumHeight(row++, 6);
    grid->addWidget(rdbtn_InternalUse_RootDir_Local_Checked, row++, 0);
    grid->addWidget(rdbtn_InternalUse_RootDir_Local_Checked2, row++, 0);
    boundFields_[20] = local;
    boundFields_[21] = remote;
    boundFields_[22] = rdbtn_InternalUse_RootDir_Local_Checked;

    layout->addWidget(group);
    layout->addStretch();
    return page;
}

void TMainForm::ConnectChangeNotifications() {
    for (QWidget* control : boundFields_) {
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            connect(edit, &QLineEdit::textChanged, this, [this, edit] { ControlDataChanged(edit); });
        } else if (auto* spin = qobject_cast<QSpinBox*>(control)) {
            connect(spin, &QSpinBox::valueChanged, this, [this, spin] { ControlDataChanged(spin); });
        } else if (auto* panel = qobject_cast<TColorPanel*>(control)) {
            connect(panel, &TColorPanel::clicked, this, [this, panel] { pnl_BgColorClick(panel); });
        }
        // The Path page's radio buttons have no change notification: switching them is
        // not an edit that needs saving.
    }
    // The sub items' "BG" panel is bound to no field but answers a click all the same.
    auto* subBg = findChild<TColorPanel*>(QStringLiteral("pnl__subItemHoverColor"));
    connect(subBg, &TColorPanel::clicked, this, [this, subBg] { pnl_BgColorClick(subBg); });
    connect(cmbx_Link, &QComboBox::editTextChanged, this, [this] { ControlDataChanged(cmbx_Link); });
    connect(cmbx_Target, &QComboBox::editTextChanged, this, [this] { ControlDataChanged(cmbx_Target); });
    connect(edt_Text, &QLineEdit::textChanged, this, &TMainForm::edt_TextChange);
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
    // Shown only while an operation runs (SetBusy).
    prgrsbrMainFormBottom->hide();
}

}  // namespace qm
