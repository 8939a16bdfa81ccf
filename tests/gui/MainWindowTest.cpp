// The main window as a whole: its layout and commands, the view toggles, Escape, the
// close query, the error box, the progress display, and the document commands (open,
// save, import, export, the recent list) end to end.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QProgressBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include "env/AppFolders.h"
#include "support/TestSupport.h"
#include "support/WindowTest.h"
#include "model/LookValues.h"
#include "app/ProgramEntry.h"
#include "gui/dialogs/RecentFilesList.h"
#include "env/Settings.h"
#include "gui/TMenuTreeModel.h"
#include "gui/TPreviewCommands.h"
#include "gui/TformHTML.h"
#include "gui/TStatusBar.h"
#include "gui/TTreeCommands.h"

namespace qm::test {
namespace {

const QString kFixtures = QString::fromStdString(FixturesFolder().string());

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "<missing " + path.toUtf8() + ">";
    return file.readAll();
}

QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

class MainWindowTest : public WindowTest {
protected:
    // A project on disk: root, Home, Boats (Sailing), Map.
    QString SampleProject() {
        const QString folder = NewFolder("sample");
        const QString path = folder + "/harbour.zorbel";
        QFile::copy(kFixtures + "/document/project-sample/input.zorbel", path);
        return path;
    }
    void ClearRecentList() { QFile::remove(GetTempFolder() + "recentfile.dat"); }
};

// --- Layout ----------------------------------------------------------------------------

TEST_F(MainWindowTest, CaptionSizeAndPages) {
    EXPECT_EQ(window->windowTitle(), "Untitled[*] \u2013 Quillamere");
    EXPECT_FALSE(window->isWindowModified());
    // The first size fits the screen's available area (the offscreen screen's 800 x 600),
    // the frame's top inside it.
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    window->show();
    EXPECT_TRUE(available.contains(window->frameGeometry())) << window->frameGeometry().height();
    EXPECT_GE(window->width(), 700);
    EXPECT_GE(window->height(), 540);
    auto* pages = Find<QTabWidget>("pgcntrl1");
    QStringList order, names;
    for (int i = 0; i < pages->count(); ++i) {
        order << pages->tabText(i);
        names << pages->widget(i)->objectName();
    }
    EXPECT_EQ(order, QStringList({"Flash", "Ext.", "Item", "Path"}));
    EXPECT_EQ(names, QStringList({"tbshtScript", "tbshtStyle", "tbshtItem", "tbshtPath"}));
    EXPECT_EQ(window->LastTabNodeIndex(), 0);  // arranged for the root
    EXPECT_EQ(Find<QTreeView>("trvwDesignPanel")->indentation(), 19);
    EXPECT_NE(Find<QLabel>("stctxtHint"), nullptr);
    EXPECT_NE(Find<QProgressBar>("prgrsbrMainFormBottom"), nullptr);
}

TEST_F(MainWindowTest, ToolbarButtonsInOrderWithTooltipsAndIcons) {
    const std::pair<const char*, const char*> buttons[] = {
        {"tlbtnNew", "Create a new project"},
        {"tlbtnOpen", "Open a project from the file that you saved before"},
        {"tlbtnSave", "Save the current project to a file"},
        {"tlbtnInsert", "Insert a new item"},
        {"tlbtnDelete", "Delete selected item"},
        {"tlbtnMoveUp", "Move the selected item up"},
        {"tlbtnMoveDown", "Move the selected item down"},
        {"tlbtnPreview", "Preview the menu in a web browser"},
        {"tlbtnHelp", "Show help document"},
    };
    auto* toolbar = Find<QToolBar>("tlbr1");
    int previousX = -1;
    window->show();
    for (const auto& [name, tip] : buttons) {
        auto* button = Find<QToolButton>(name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->toolTip(), tip) << name;
        EXPECT_FALSE(button->icon().pixmap(24, 24).isNull()) << name;
        EXPECT_EQ(button->parentWidget(), toolbar) << name;
        EXPECT_GT(button->x(), previousX) << name << " is out of order";
        previousX = button->x();
    }
}

// The Preview button is the Preview command's: the menu entry and the button act and
// read alike, and hovering the button still says what it does.
TEST_F(MainWindowTest, ThePreviewButtonShowsThePreviewCommand) {
    auto* button = Find<QToolButton>("tlbtnPreview");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->defaultAction(), Find<QAction>("Preview1"));
    EXPECT_EQ(button->text(), "Preview");
    EXPECT_EQ(button->statusTip(), "Preview the menu in a web browser");
}

TEST_F(MainWindowTest, MenusWithTheirEntriesAndShortcuts) {
    QStringList menus;
    for (QAction* action : window->menuBar()->actions()) menus << action->text();
    EXPECT_EQ(menus, QStringList({"&File", "&Edit", "&View", "&Item", "F&lash", "&Option", "&Help"}));
    const std::pair<const char*, QList<QKeySequence>> shortcuts[] = {
        {"New1", {QKeySequence("Ctrl+N")}},       {"Open1", {QKeySequence("Ctrl+O")}},
        {"Save1", {QKeySequence("Ctrl+S")}},      {"Preview1", {QKeySequence("Ctrl+P")}},
        {"Undo1", {QKeySequence("Ctrl+Z")}},      {"Redo1", {QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")}},
        {"Cut1", {QKeySequence("Ctrl+X")}},       {"Copy1", {QKeySequence("Ctrl+C")}},
        {"Paste1", {QKeySequence("Ctrl+V")}},     {"Duplicate1", {QKeySequence("Ctrl+D")}},
        {"Delete2", {QKeySequence("Del")}},       {"Insert2", {QKeySequence("Ins")}},
        {"InsertBelow2", {QKeySequence("Shift+Ins")}},
        {"MoveUp2", {QKeySequence("Ctrl+Up")}},   {"MoveDown2", {QKeySequence("Ctrl+Down")}},
        {"Indent2", {QKeySequence("Ctrl+Right")}}, {"Outdent2", {QKeySequence("Ctrl+Left")}},
        {"Rename2", {QKeySequence("F2")}}};
    for (const auto& [name, keys] : shortcuts) EXPECT_EQ(Find<QAction>(name)->shortcuts(), keys) << name;
    const auto entries = [](QMenu* menu) {
        QStringList names;
        for (QAction* action : menu->actions()) names << (action->isSeparator() ? QString("-") : action->objectName());
        return names;
    };
    EXPECT_EQ(entries(Find<QMenu>("Edit1")),
              QStringList({"Undo1", "Redo1", "-", "Cut1", "Copy1", "Paste1", "Duplicate1", "Delete2"}));
    EXPECT_EQ(entries(Find<QMenu>("Item1")),
              QStringList({"Insert2", "InsertBelow2", "Delete2", "MoveUp2", "MoveDown2", "-", "Indent2", "Outdent2", "Rename2"}));
    QStringList file;
    for (QAction* action : window->menuBar()->actions()[0]->menu()->actions())
        file << (action->isSeparator() ? QString("-") : action->text());
    EXPECT_EQ(file, QStringList({"&New...", "&Open...", "&Save", "Save &As...", "New &from Site...", "-",
                                 "&Template...", "Sa&ve As Template", "-", "&Import Menu Structure",
                                 "&Export Menu Structure", "Im&port", "-", "Pu&blish to Site...",
                                 "&Undo Publish to Site", "Check &Links", "-", "&Recent Files", "-", "E&xit"}));
    QStringList help;
    for (QAction* action : window->menuBar()->actions()[6]->menu()->actions())
        help << (action->isSeparator() ? QString("-") : action->text());
    EXPECT_EQ(help, QStringList({"Help &Topics", "Help &on This Page", "View &Sample...", "-", "&Homepage",
                                 "&Contact Us", "&About"}));
    EXPECT_EQ(entries(Find<QMenu>("PopupMenu1")),
              QStringList({"Insert1", "InsertBelow1", "Delete1", "MoveUp1", "MoveDown1", "-", "Indent1", "Outdent1",
                           "-", "Cut1", "Copy1", "Paste1", "Duplicate1"}));
}

// --- View and keys ------------------------------------------------------------------------

TEST_F(MainWindowTest, TheViewTogglesHideAndShowTheirBars) {
    window->show();
    Find<QAction>("ToolBar1")->trigger();
    EXPECT_FALSE(Find<QAction>("ToolBar1")->isChecked());
    EXPECT_FALSE(Find<QToolBar>("tlbr1")->isVisible());
    Find<QAction>("StatusBar2")->trigger();
    EXPECT_FALSE(Find<QStatusBar>("StatusBar1")->isVisible());
    EXPECT_FALSE(Find<QLabel>("stctxtHint")->isVisible());
    EXPECT_FALSE(Find<QProgressBar>("prgrsbrMainFormBottom")->isVisible());
    window->StatusBar().SetStatusText("still updated while hidden");
    EXPECT_EQ(Find<QLabel>("stctxtHint")->text(), "still updated while hidden");
    Find<QAction>("ToolBar1")->trigger();
    Find<QAction>("StatusBar2")->trigger();
    EXPECT_TRUE(Find<QToolBar>("tlbr1")->isVisible());
    EXPECT_TRUE(Find<QStatusBar>("StatusBar1")->isVisible());
    EXPECT_FALSE(Find<QProgressBar>("prgrsbrMainFormBottom")->isVisible()) << "no operation runs";
}

TEST_F(MainWindowTest, TabFollowsReadingOrderWithEachHelpButtonAfterItsFields) {
    const std::pair<const char*, QStringList> pages[] = {
        {"tbshtScript",
         {"spnedt__mainItemExtWidth", "spnedt__mainItemHeight", "edt__mainItemFont", "spnedt__mainItemFontSize",
          "pnl__mainItemTextColor", "pnl__mainItemHoverColor", "pnl__mainItemColor", "spdbtnHelpMainMenuItems",
          "spnedt__subItemHeight",
          "edt__subItemFont", "spnedt__subItemFontSize", "pnl__subItemTextColor", "pnl__subItemColor",
          "spdbtnHelpSubMenuItems"}},
        {"tbshtStyle",
         {"edt__mainItemHoverSound", "spdbtn___mainItemHoverSoundUrl", "edt__subItemHoverSound",
          "spdbtn___subItemHoverSoundUrl", "edt__itemActiveSound", "spdbtn___itemActiveSoundUrl", "spdbtnHelpSound",
          "spnedt__submenuCloseDelay", "spnedt__submenuSlideSpeed", "spdbtnHelpSubmenu", "spnedtflMenuMaxWidth",
          "spnedtflMenuMaxHeight", "btnCalcSize", "spnedtmov_z_index", "spdbtnHelpMenuBox"}},
        {"tbshtItem",
         {"edt_Text", "spdbtnHelpItemText", "cmbx_Link", "spdbtn_cmbx_Link", "cmbx_Target", "spdbtnHelpItemLink"}},
        {"tbshtPath",
         {"edt_InternalUse_RootDir_Local", "edt_InternalUse_RootDir_Remote", "rdbtn_InternalUse_RootDir_Local_Checked",
          "rdbtn_InternalUse_RootDir_Local_Checked2", "spdbtnHelpPath"}},
    };
    // The window's focus chain, from the tree on, as Tab walks it.
    QStringList chain;
    for (QWidget* w = Find<QTreeView>("trvwDesignPanel")->nextInFocusChain(); w != window.get();
         w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && !w->isHidden() && !w->objectName().isEmpty() &&
            !w->objectName().startsWith("qt_"))  // a spin box's own edit line
            chain << w->objectName();
    ASSERT_FALSE(chain.isEmpty());
    EXPECT_EQ(chain.front(), "pgcntrl1") << "the page tabs follow the tree";
    for (const auto& [page, order] : pages) {
        QStringList onPage;
        for (const QString& name : chain)
            if (Find<QWidget>(page)->findChild<QWidget*>(name)) onPage << name;
        EXPECT_EQ(onPage, order) << page;
    }
}

TEST_F(MainWindowTest, NoControlHoldsAColourOfItsOwn) {
    // Colours come from the application's palette, so a dark theme stays readable; only
    // the tree keeps its selection in the palette's active colours while it has no focus.
    BuildAllPages(*window);  // every page's controls
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->objectName() == "trvwDesignPanel") continue;
        EXPECT_EQ(widget->palette().resolveMask(), 0u) << widget->objectName().toStdString();
    }
    EXPECT_EQ(Find<QLabel>("lblMenuBoxWidth")->foregroundRole(), QPalette::Link);
}

TEST_F(MainWindowTest, EscapeWhileTypingStartsClosingTheWindow) {
    window->show();
    QApplication::setActiveWindow(window.get());
    Select(kRootNode);
    auto* font = Find<QLineEdit>("edt__mainItemFont");
    font->setFocus();
    QTest::keyClicks(font, "x");
    dialogs.messageAnswers = {QMessageBox::Cancel};
    // Through the window system, as a key press reaches the program.
    QTest::keyClick(window->windowHandle(), Qt::Key_Escape);
    EXPECT_EQ(dialogs.MessageTexts(), QStringList({"Save changes before exit?"}));
    EXPECT_TRUE(window->isVisible()) << "cancelled";
    window->SetModified(false);
    QTest::keyClick(window->windowHandle(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, EscapeInAnOpenListOnlyClosesTheList) {
    MakeDocument({{0, "A"}});
    window->show();
    QApplication::setActiveWindow(window.get());
    Select(0);
    auto* link = Find<QComboBox>("cmbx_Link");
    link->setFocus();
    link->showPopup();
    QWidget* list = QApplication::activePopupWidget();
    ASSERT_NE(list, nullptr);
    dialogs.messageAnswers = {QMessageBox::Cancel};
    // The open list holds the keyboard: the key press reaches its window.
    QTest::keyClick(list->windowHandle(), Qt::Key_Escape);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "the list is closed";
    EXPECT_TRUE(dialogs.messages.empty()) << "no close query";
    EXPECT_TRUE(window->isVisible());
}

// --- The close query ----------------------------------------------------------------------

TEST_F(MainWindowTest, ClosingAnUnchangedDocumentAsksNothing) {
    window->show();
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainWindowTest, ClosingAChangedDocumentOffersToSave) {
    window->show();
    window->TreeCommands().Insert1Click();
    dialogs.messageAnswers = {QMessageBox::Cancel};
    EXPECT_FALSE(window->close());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, TMsgDlgType::Warning);
    EXPECT_EQ(dialogs.messages[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    dialogs.messageAnswers = {QMessageBox::No};
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(dialogs.fileDialogs.empty());
}

TEST_F(MainWindowTest, YesForAnUntitledDocumentAsksForANameAndCancelKeepsTheWindow) {
    window->show();
    window->TreeCommands().Insert1Click();
    dialogs.messageAnswers = {QMessageBox::Yes};
    EXPECT_FALSE(window->close());
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_TRUE(dialogs.fileDialogs[0].save);
    EXPECT_EQ(dialogs.fileDialogs[0].filter, "Quillamere Files (*.zorbel)|*.zorbel");

    const QString folder = NewFolder("closing");
    dialogs.messageAnswers = {QMessageBox::Yes};
    dialogs.saveAnswers = {folder + "/menu"};
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(QFile::exists(folder + "/menu.zorbel"));
    EXPECT_TRUE(QFile::exists(folder + "/menu.html"));
}

TEST_F(MainWindowTest, YesSavesTheValuesShownIncludingAnUnstoredItemEdit) {
    const QString project = SampleProject();
    ASSERT_TRUE(window->Files().OpenProjectFile(project));
    window->show();
    Select(0);
    Find<QComboBox>("cmbx_Link")->setEditText("edited.html");
    dialogs.messageAnswers = {QMessageBox::Yes};
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(dialogs.fileDialogs.empty()) << "saved under its own name";
    TkvxAppletAgent reloaded;
    reloaded.LoadProject(project.toStdString());
    EXPECT_EQ(reloaded.Items()[0].Link, "edited.html");
}

TEST_F(MainWindowTest, AFailedSaveShowsTheErrorBoxAndKeepsTheWindowOpen) {
    window->show();
    window->TreeCommands().Insert1Click();
    dialogs.messageAnswers = {QMessageBox::Yes};
    dialogs.saveAnswers = {TestHome() + "/no-such-folder/deeper/menu.zorbel"};
    EXPECT_FALSE(window->close());
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_TRUE(dialogs.errors[0].contains("menu.html")) << dialogs.errors[0].toStdString();
    EXPECT_TRUE(window->Modified());
}

// --- Progress ----------------------------------------------------------------------------

TEST_F(MainWindowTest, TheProgressDisplayShowsTextBarAndBusyCursor) {
    window->show();
    auto* bar = Find<QProgressBar>("prgrsbrMainFormBottom");
    auto* text = Find<QLabel>("stctxtHint");
    EXPECT_FALSE(bar->isVisible()) << "only while an operation runs";
    qint64 now = 0;  // the clock moves only when the operation below works
    window->StatusBar().SetProgressClock([&now] { return now; });
    // As an operation's scope drives it: busy, its text, its steps.
    const auto operation = [&](int milliseconds) {
        window->StatusBar().SetBusy(true);
        window->StatusBar().SetStatusText("Making Publish Report ... ...");
        window->StatusBar().SetProgressMaximum(101);
        window->StatusBar().AdvanceProgress(50);
        now += milliseconds;  // the operation works, the event loop waits
        window->StatusBar().AdvanceProgress(50);
    };
    const auto end = [&] {
        window->StatusBar().SetProgressPosition(0);
        window->StatusBar().SetStatusText("");
        window->StatusBar().SetBusy(false);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(bar->value(), 0);
        EXPECT_FALSE(bar->isVisible());
        EXPECT_EQ(text->text(), "");
    };
    // One too short to be painted leaves the status bar as it was.
    operation(0);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(text->text(), "");
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    end();
    // A long one shows its text and bar.
    operation(60);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->value(), 100);
    EXPECT_EQ(text->text(), "Making Publish Report ... ...");
    end();
}

// --- Opening -----------------------------------------------------------------------------

TEST_F(MainWindowTest, OpeningAProjectShowsItUnmodified) {
    ClearRecentList();
    const QString project = SampleProject();
    Select(kRootNode);
    window->TreeCommands().Insert1Click();
    dialogs.messageAnswers = {QMessageBox::No};  // discard the new item
    ASSERT_TRUE(window->Files().OpenProjectFile(project));
    EXPECT_EQ(dialogs.MessageTexts(), QStringList({"Save changes to files?"}));
    EXPECT_FALSE(window->Modified());
    EXPECT_FALSE(Find<QToolButton>("tlbtnSave")->isEnabled());
    EXPECT_FALSE(Find<QAction>("Undo1")->isEnabled()) << "an opened project has no steps to undo";
    EXPECT_EQ(window->CurrentFileName(), project);
    EXPECT_EQ(window->SelectedNode(), kRootNode);
    EXPECT_EQ(window->CurrentItemNode(), kNoNode);
    EXPECT_EQ(window->TreeModel().rowCount(window->TreeModel().RootIndex()),
              window->Agent().ChildCount(kRootNode));
    EXPECT_GT(window->Agent().ItemCount(), 0);
    EXPECT_EQ(window->Files().RecentFiles(), QStringList({project}));
    EXPECT_EQ(window->Agent().GetAppletData(), NormalizeAppletData(window->Agent().GetAppletData()));
}

// Opening a file again changes no value of the panels and no command's state: of the
// whole window only the tree is painted anew.
TEST_F(MainWindowTest, OpeningRepaintsOnlyWhatChanged) {
    const QString project = SampleProject();
    window->show();
    ASSERT_TRUE(window->Files().OpenProjectFile(project));
    QApplication::processEvents();
    struct PaintLog : QObject {
        QStringList painted;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Paint) painted << watched->objectName();
            return false;
        }
    } log;
    qApp->installEventFilter(&log);
    ASSERT_TRUE(window->Files().OpenProjectFile(project));
    QApplication::processEvents();
    qApp->removeEventFilter(&log);
    EXPECT_EQ(log.painted, QStringList({"qt_scrollarea_viewport"}));
}

TEST_F(MainWindowTest, ARefusedOrMissingProjectLeavesEverythingAsItWas) {
    ClearRecentList();
    const QString good = SampleProject();
    ASSERT_TRUE(window->Files().OpenProjectFile(good));
    const auto items = window->Agent().Items();
    const TAppletData look = window->Agent().GetAppletData();
    const QString title = window->windowTitle();
    const QString empty = NewFolder("empty") + "/empty.zorbel";
    QFile(empty).open(QIODevice::WriteOnly);
    const QString document = kFixtures + "/document/";
    const std::pair<QString, QString> refusals[] = {
        {document + "project-bad-colour/input.zorbel",
         "input.zorbel, line 12: main text colour 'GGGGGG' is not a colour"},
        {document + "project-bad-number/input.zorbel",
         "input.zorbel, line 13: main item height 'abc' is not a whole number"},
        {document + "project-wrong-product/input.zorbel",
         "input.zorbel, line 6: This file wasn't saved by Quillamere 1.0, open failed!"},
        {empty, "empty.zorbel: the file is empty"},
        {TestHome() + "/missing.zorbel", "missing.zorbel: cannot open the file: No such file or directory"},
    };
    for (const auto& [bad, message] : refusals) {
        SCOPED_TRACE(bad.toStdString());
        dialogs.Clear();
        EXPECT_FALSE(window->Files().OpenProjectFile(bad));
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].kind, TMsgDlgType::Error);
        EXPECT_EQ(dialogs.messages[0].text, message);
        EXPECT_EQ(window->Agent().Items(), items);
        EXPECT_EQ(window->Agent().GetAppletData(), look);
        EXPECT_EQ(Find<QLineEdit>("edt__mainItemFont")->text().toStdString(), look.mainItemFont);
        EXPECT_EQ(window->CurrentFileName(), good);
        EXPECT_EQ(window->windowTitle(), title);
        EXPECT_EQ(window->Files().RecentFiles(), QStringList({good}));
        EXPECT_EQ(window->TreeModel().rowCount(window->TreeModel().RootIndex()),
                  window->Agent().ChildCount(kRootNode));
    }
    dialogs.Clear();
    EXPECT_FALSE(window->Files().OpenProjectFile(refusals[0].first, true));
    EXPECT_TRUE(dialogs.messages.empty()) << "quiet at start-up";
}

TEST_F(MainWindowTest, ATemplateOpensAsAnUntitledProject) {
    ClearRecentList();
    const QString sample = GetProgramFolder() + "samples/harbour.zorbel";
    const QByteArray before = ReadAll(sample);
    dialogs.modalAnswers.push_back([](QDialog& chooser) {
        auto* list = chooser.findChild<QListWidget*>("TempletList");
        list->setCurrentItem(list->findItems("harbour.zorbel (sample)", Qt::MatchExactly).value(0));
        chooser.findChild<QPushButton*>("BitBtn1")->click();
        return chooser.result();
    });
    window->Files().Templet1Click();
    EXPECT_GT(window->Agent().ItemCount(), 0) << "the template's content";
    EXPECT_EQ(window->CurrentFileName(), "");
    EXPECT_EQ(window->windowTitle(), "Untitled[*] \u2013 Quillamere");
    EXPECT_TRUE(window->Files().RecentFiles().isEmpty());
    window->TreeCommands().Insert1Click();
    window->Files().Save1Click();  // asks where, in the documents folder (cancelled)
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.fileDialogs[0].initialFolder, GetDocumentsFolder());
    EXPECT_EQ(ReadAll(sample), before);
}

TEST_F(MainWindowTest, FileDialogsStartInTheProjectsFolderWithTheirTitles) {
    window->Files().Open1Click();  // cancelled
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.fileDialogs[0].filter, "Quillamere Files (*.zorbel)|*.zorbel");
    EXPECT_EQ(dialogs.fileDialogs[0].initialFolder, GetDocumentsFolder()) << "untitled";
    const QString project = SampleProject();
    dialogs.openAnswers = {project};
    window->Files().Open1Click();
    EXPECT_EQ(window->CurrentFileName(), project);
    EXPECT_EQ(window->windowTitle(), "harbour.zorbel[*] \u2013 Quillamere");
    EXPECT_EQ(window->windowFilePath(), project);

    dialogs.Clear();
    QDir().mkpath(GetTemplatesFolder());
    window->Files().Open1Click();
    window->Files().Save2Click();
    window->Files().ExportMenuStructure1Click();
    window->Files().ImportMenuStructure1Click();
    window->Files().SaveAsTemplate1Click();
    const QString folder = QFileInfo(project).absolutePath() + "/";
    QStringList shown;
    for (const auto& call : dialogs.fileDialogs) shown << call.title + " in " + call.initialFolder;
    EXPECT_EQ(shown, QStringList({"Open in " + folder, "Save As in " + project, "Export Menu Structure in " + folder,
                                  "Import Menu Structure in " + folder, "Save As Template in " + GetTemplatesFolder()}));
}

TEST_F(MainWindowTest, TheCommandLineIsJoinedWithSingleBlanks) {
    EXPECT_EQ(CommandLineFileName({"quillamere", "/home/ann/My", "Menus/a.zorbel"}), "/home/ann/My Menus/a.zorbel");
    EXPECT_EQ(CommandLineFileName({"quillamere", "  ", " "}), "");
    EXPECT_EQ(CommandLineFileName({"quillamere"}), "");
}

// --- Saving ------------------------------------------------------------------------------

TEST_F(MainWindowTest, SaveOfAnUntitledDocumentKeepsTheNameAsTyped) {
    ClearRecentList();
    Select(kRootNode);
    window->TreeCommands().Insert1Click();
    EXPECT_TRUE(window->isWindowModified());
    const QString folder = NewFolder("untitled");
    dialogs.saveAnswers = {folder + "/menu"};
    window->Files().Save1Click();
    EXPECT_EQ(dialogs.fileDialogs.back().initialFolder, GetDocumentsFolder());
    EXPECT_TRUE(dialogs.fileDialogs.back().confirmReplace);
    EXPECT_EQ(window->CurrentFileName(), folder + "/menu");
    EXPECT_FALSE(window->Modified());
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(window->windowTitle(), "menu.zorbel[*] \u2013 Quillamere");
    EXPECT_EQ(window->Files().RecentFiles(), QStringList({folder + "/menu.zorbel"})) << "a saved project is listed";
    EXPECT_EQ(FilesIn(folder), QStringList({"menu.html", "menu.zorbel", "menu_PublishReport.txt", "swfhelper.js",
                                            "zelvanbar.swf"}));
    dialogs.Clear();
    window->TreeCommands().Insert1Click();
    window->Files().Save1Click();
    EXPECT_TRUE(dialogs.fileDialogs.empty()) << "later saves use the same name";
}

TEST_F(MainWindowTest, ASoundThatIsNotCopiedIsNamedInAWarningAfterSaving) {
    MakeDocument({{0, "Home"}});
    Select(kRootNode);
    Find<QLineEdit>("edt__itemActiveSound")->setText("menu.html");
    const QString folder = NewFolder("sound");
    dialogs.saveAnswers = {folder + "/menu"};
    window->Files().Save1Click();
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(dialogs.MessageTexts(),
              QStringList({"sound 'menu.html' is not copied: its name is that of another file of the publish."}));
    EXPECT_EQ(dialogs.messages.back().kind, TMsgDlgType::Warning);
    EXPECT_FALSE(window->Modified());
}

TEST_F(MainWindowTest, WhatTheWindowSavesIsWhatTheCommandLineToolPublishes) {
    // A new document built by hand: items, captions, links and look values.
    MakeDocument({{0, "Home"}, {0, "Boats"}, {1, "Sailing"}, {1, "Rowing"}, {0, "Map"}});
    Select(1);
    Find<QComboBox>("cmbx_Link")->setEditText("boats.html");
    Find<QComboBox>("cmbx_Target")->setEditText("_blank");
    Select(4);
    Find<QComboBox>("cmbx_Link")->setEditText("http://maps.example.com/?q=harbour");
    Select(kRootNode);
    Find<QSpinBox>("spnedt__mainItemHeight")->setValue(26);
    Find<QLineEdit>("edt__subItemFont")->setText("Georgia");
    Find<QSpinBox>("spnedt__subItemHeight")->setValue(-4);
    window->Preview().btnCalcSizeClick();

    const QString saved = NewFolder("window");
    dialogs.saveAnswers = {saved + "/harbour.zorbel"};
    window->Files().Save1Click();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();

    const QString published = NewFolder("cli");
    QProcess cli;
    cli.start(QCoreApplication::applicationDirPath() + "/quillamere-cli",
              {"publish", saved + "/harbour.zorbel", "--to", published});
    ASSERT_TRUE(cli.waitForFinished(30000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();

    EXPECT_EQ(FilesIn(saved), FilesIn(published));
    for (const QString& name : FilesIn(saved))
        EXPECT_EQ(ReadAll(saved + "/" + name), ReadAll(published + "/" + name)) << name.toStdString();
}

TEST_F(MainWindowTest, SaveAsTemplateFirstOnlyMakesTheFolder) {
    QDir(GetTemplatesFolder()).removeRecursively();
    window->Files().SaveAsTemplate1Click();
    EXPECT_TRUE(QDir(GetTemplatesFolder()).exists());
    EXPECT_TRUE(dialogs.fileDialogs.empty());
    window->Files().SaveAsTemplate1Click();  // now the dialog, in the templates folder (cancelled)
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.fileDialogs[0].initialFolder, GetTemplatesFolder());
}

// --- The exchange file -------------------------------------------------------------------

TEST_F(MainWindowTest, ExportAppendsGmsUnlessTheNameEndsInIt) {
    EXPECT_EQ(TProjectFiles::ExchangeFileName("/x/menu"), "/x/menu.gms");
    EXPECT_EQ(TProjectFiles::ExchangeFileName("/x/menu.GMS"), "/x/menu.GMS");
    EXPECT_EQ(TProjectFiles::ExchangeFileName("/x/menu.txt"), "/x/menu.txt.gms");
    MakeDocument({{0, "A"}, {1, "A1"}});
    const QString folder = NewFolder("export");
    dialogs.saveAnswers = {folder + "/menu"};
    window->Files().ExportMenuStructure1Click();
    EXPECT_EQ(dialogs.fileDialogs.back().filter, "General Menu Structure File (*.gms)|*.gms");
    EXPECT_TRUE(QFile::exists(folder + "/menu.gms"));
}

// What is on screen is in the document: an export right after typing a link, with no
// change of selection, carries the link.
TEST_F(MainWindowTest, ExportSeesWhatWasJustTyped) {
    MakeDocument({{0, "Home"}});
    Select(0);
    Find<QComboBox>("cmbx_Link")->setEditText("index.html");
    const QString folder = NewFolder("typed");
    dialogs.saveAnswers = {folder + "/menu.gms"};
    window->Files().ExportMenuStructure1Click();
    EXPECT_TRUE(ReadAll(folder + "/menu.gms").contains("0#$@Home#$@index.html#$@_self#$@#$@"));
}

TEST_F(MainWindowTest, ImportKeepsTheFileNameAndTheRecentList) {
    ClearRecentList();
    const QString project = SampleProject();
    ASSERT_TRUE(window->Files().OpenProjectFile(project));
    const QString folder = NewFolder("import");
    dialogs.saveAnswers = {folder + "/structure.gms"};
    window->Files().ExportMenuStructure1Click();
    const auto items = window->Agent().Items().size();

    window->Files().New1Click();
    EXPECT_EQ(window->CurrentFileName(), "");
    window->SetCurrentFileName(project);
    dialogs.openAnswers = {folder + "/structure.gms"};
    window->Files().ImportMenuStructure1Click();
    EXPECT_EQ(window->Agent().Items().size(), items);
    EXPECT_EQ(window->Agent().GetAppletData(), DefaultAppletData());
    EXPECT_EQ(window->CurrentFileName(), project);
    EXPECT_EQ(window->Files().RecentFiles(), QStringList({project}));
    EXPECT_FALSE(window->Modified());
}

// --- The recent list ------------------------------------------------------------------

TEST_F(MainWindowTest, TheRecentListPutsOpenedFilesFirstAndDropsTheFifth) {
    ClearRecentList();
    QStringList paths;
    for (int i = 0; i < 5; ++i) {
        const QString folder = NewFolder("recent");
        const QString path = folder + "/p.zorbel";
        QFile::copy(kFixtures + "/document/project-sample/input.zorbel", path);
        paths << path;
        ASSERT_TRUE(window->Files().OpenProjectFile(path));
    }
    EXPECT_EQ(window->Files().RecentFiles(), QStringList({paths[4], paths[3], paths[2], paths[1]}));
    ASSERT_TRUE(window->Files().OpenProjectFile(paths[2]));
    EXPECT_EQ(window->Files().RecentFiles(), QStringList({paths[2], paths[4], paths[3], paths[1]})) << "moved to the top";
    // Choosing an entry opens it and moves it to the top.
    QMenu* recent = Find<QMenu>("mnitRecentFiles");
    recent->actions()[3]->trigger();
    EXPECT_EQ(window->CurrentFileName(), paths[1]);
    EXPECT_EQ(window->Files().RecentFiles(), QStringList({paths[1], paths[2], paths[4], paths[3]}));
}

}  // namespace
}  // namespace qm::test
