// The tree editor of the main window: Insert, Delete, Move Up and Move Down with their
// results on the item list, the commands' enabled state, the pages shown per
// selection, and the Item page's values travelling with the selection.

#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QUndoStack>
#include <functional>

#include "support/WindowTest.h"
#include "gui/TMenuTreeModel.h"
#include "gui/TTreeCommands.h"

namespace qm::test {
namespace {

using Strings = std::vector<std::string>;

class TreeEditorTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        tester = std::make_unique<QAbstractItemModelTester>(&window->TreeModel(),
                                                            QAbstractItemModelTester::FailureReportingMode::Warning);
    }
    void TearDown() override {
        tester.reset();
        WindowTest::TearDown();
    }

    // The enabled state of the three controls of one command.
    struct Enabled {
        bool popup, menu, button;
    };
    Enabled State(const char* popup, const char* menu, const char* button) {
        return {Find<QAction>(popup)->isEnabled(), Find<QAction>(menu)->isEnabled(),
                Find<QToolButton>(button)->isEnabled()};
    }
    void ExpectCommand(const char* popup, const char* menu, const char* button, bool enabled) {
        const Enabled state = State(popup, menu, button);
        EXPECT_EQ(state.popup, enabled) << popup;
        EXPECT_EQ(state.menu, enabled) << menu;
        EXPECT_EQ(state.button, enabled) << button;
    }
    void ExpectCommands(bool insert, bool remove, bool up, bool down) {
        ExpectCommand("Insert1", "Insert2", "tlbtnInsert", insert);
        ExpectCommand("Delete1", "Delete2", "tlbtnDelete", remove);
        ExpectCommand("MoveUp1", "MoveUp2", "tlbtnMoveUp", up);
        ExpectCommand("MoveDown1", "MoveDown2", "tlbtnMoveDown", down);
    }
    QStringList VisibleTabs() {
        auto* pages = Find<QTabWidget>("pgcntrl1");
        QStringList visible;
        for (int i = 0; i < pages->count(); ++i)
            if (pages->isTabVisible(i)) visible << pages->tabText(i);
        return visible;
    }
    // The tree's open in-place editor (closed ones wait to be deleted).
    QLineEdit* CaptionEditor() {
        for (auto* editor : Find<QTreeView>("trvwDesignPanel")->findChildren<QLineEdit*>("edtCaptionInPlace"))
            if (editor->isVisible()) return editor;
        return nullptr;
    }
    QString CurrentTab() {
        auto* pages = Find<QTabWidget>("pgcntrl1");
        return pages->tabText(pages->currentIndex());
    }

    std::unique_ptr<QAbstractItemModelTester> tester;
};

// --- Insert --------------------------------------------------------------------------------

TEST_F(TreeEditorTest, InsertAddsTheLastChildSelectedWithItsCaptionOpen) {
    MakeDocument({{0, "A"}, {1, "A1"}, {0, "B"}});
    window->show();
    window->SetModified(false);
    Select(0);  // A
    window->TreeCommands().Insert1Click();
    EXPECT_EQ(CaptionsWithLevels(), (Strings{"A:0", "A1:1", "New item:1", "B:0"}));
    EXPECT_EQ(window->Agent().ParentNode(2), 0);
    EXPECT_EQ(window->SelectedNode(), 2) << "the new item is selected";
    EXPECT_EQ(window->CurrentItemNode(), 2);
    EXPECT_EQ(Find<QLineEdit>("edt_Text")->text(), "New item");
    EXPECT_TRUE(window->Modified());
    auto* tree = Find<QTreeView>("trvwDesignPanel");
    EXPECT_TRUE(tree->isExpanded(window->TreeModel().IndexOfNode(0)));
    QLineEdit* editor = CaptionEditor();
    ASSERT_NE(editor, nullptr) << "the caption is open for editing";
    editor->setText("Prices");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();  // the view takes the caption when the key is done
    EXPECT_EQ(CaptionsWithLevels(), (Strings{"A:0", "A1:1", "Prices:1", "B:0"}));
    const TItemData item = window->Agent().GetItemData(2);
    EXPECT_EQ(item.Target, "_self");
    EXPECT_EQ(item.Link, "");
}

TEST_F(TreeEditorTest, NewItemsAreNumberedAndTheToolbarAndThePopupShareInsert) {
    for (const char* name : {"tlbtnInsert", "Insert1", "Insert2"}) {
        Select(kRootNode);
        if (auto* button = window->findChild<QToolButton*>(name))
            QTest::mouseClick(button, Qt::LeftButton);
        else
            Find<QAction>(name)->trigger();
    }
    EXPECT_EQ(CaptionsWithLevels(), (Strings{"New item:0", "New item 2:0", "New item 3:0"}));
    window->Agent().SetItemCaption(1, "Home");
    Select(kRootNode);
    window->TreeCommands().Insert1Click();
    EXPECT_EQ(Captions().back(), "New item 2") << "the first number free again";
}

// --- Enabled commands ---------------------------------------------------------------------

TEST_F(TreeEditorTest, CommandsFollowTheSelectedNode) {
    MakeDocument({{0, "A"}, {1, "A1"}, {1, "A2"}, {0, "B"}});
    Select(kRootNode);
    ExpectCommands(true, false, false, false);
    Select(0);  // A: first main item
    ExpectCommands(true, true, false, true);
    Select(1);  // A1: first sub item
    ExpectCommands(false, true, false, true);
    Select(2);  // A2: last sub item
    ExpectCommands(false, true, true, false);
    Select(3);  // B: last main item
    ExpectCommands(true, true, true, false);
}

// An action is enabled exactly where its edit acts: the edit is one step where the
// action is enabled and changes nothing where it is not.
TEST_F(TreeEditorTest, EachActionIsEnabledWhereItsEditActs) {
    MakeDocument({{0, "A"}, {1, "A1"}, {1, "A2"}, {0, "B"}, {0, "C"}});
    TMenuDocument& document = window->Document();
    QUndoStack& stack = document.UndoStack();
    const std::pair<const char*, std::function<bool(int)>> commands[] = {
        {"Insert2", [&](int node) { return document.InsertNewItem(node) != kNoNode; }},
        {"InsertBelow2", [&](int node) { return document.InsertNewItemAfter(node) != kNoNode; }},
        {"Delete2", [&](int node) { return document.DeleteNode(node, "Delete"); }},
        {"MoveUp2", [&](int node) { return document.MoveNodeUp(node); }},
        {"MoveDown2", [&](int node) { return document.MoveNodeDown(node); }},
        {"Indent2", [&](int node) { return document.Indent(node); }},
        {"Outdent2", [&](int node) { return document.Outdent(node); }},
    };
    for (const int node : {kRootNode, 0, 1, 2, 3, 4}) {
        for (const auto& [name, edit] : commands) {
            Select(node);
            const bool enabled = Find<QAction>(name)->isEnabled();
            const int before = stack.index();
            EXPECT_EQ(edit(node), enabled) << name << " at node " << node;
            EXPECT_EQ(stack.index() - before, enabled ? 1 : 0) << name << " at node " << node;
            while (stack.index() > before) stack.undo();
        }
    }
}

TEST_F(TreeEditorTest, CommandsThatCannotActChangeNothing) {
    MakeDocument({{0, "A"}, {1, "A1"}, {0, "B"}});
    const auto before = CaptionsWithLevels();

    window->SetModified(false);
    Select(0);
    window->TreeCommands().MoveUp1Click();  // the first main item
    EXPECT_EQ(CaptionsWithLevels(), before);
    EXPECT_FALSE(window->Modified()) << "a refused move is no change";

    Select(2);
    window->TreeCommands().MoveDown1Click();  // the last main item
    EXPECT_EQ(CaptionsWithLevels(), before);

    Select(1);
    window->TreeCommands().Insert1Click();  // below a sub item
    EXPECT_EQ(CaptionsWithLevels(), before);

    Select(kRootNode);
    window->TreeCommands().MoveUp1Click();
    window->TreeCommands().MoveDown1Click();
    EXPECT_EQ(CaptionsWithLevels(), before);
    EXPECT_EQ(window->SelectedNode(), kRootNode);
}

// --- Delete -------------------------------------------------------------------------------

TEST_F(TreeEditorTest, DeletingTheRootIsRefused) {
    MakeDocument({{0, "A"}});
    window->SetModified(false);
    Select(kRootNode);
    window->TreeCommands().Delete1Click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Root item cannot be deleted.");
    EXPECT_EQ(dialogs.messages[0].kind, TMsgDlgType::Error);
    EXPECT_EQ(dialogs.messages[0].buttons, QMessageBox::Ok);
    EXPECT_EQ(Captions(), (Strings{"A"}));
    EXPECT_FALSE(window->Modified()) << "a refused delete is no change";
}

// Undo brings a deletion back, so nothing is asked: the step names what it took.
TEST_F(TreeEditorTest, DeleteAsksNothingAndUndoBringsTheItemsBack) {
    MakeDocument({{0, "A"}, {1, "A1"}, {0, "B"}});
    Select(0);
    window->TreeCommands().Delete1Click();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(Captions(), (Strings{"B"}));
    window->Undo1Click();
    EXPECT_EQ(Captions(), (Strings{"A", "A1", "B"}));
}

TEST_F(TreeEditorTest, TheDeleteStepNamesTheItemAndCountsItsSubItems) {
    MakeDocument({{0, "Boats"}, {1, "Sailing"}, {1, "Rowing"}, {1, "Fishing"}, {0, "Map"}, {1, "Harbour"},
                  {0, "R&D"}});
    const std::pair<int, QString> steps[] = {
        {0, "Delete Boats (3 sub items)"},
        {1, "Delete Sailing"},
        {4, "Delete Map (1 sub item)"},
        {6, "Delete R&D"},
    };
    for (const auto& [node, step] : steps) {
        Select(node);
        window->TreeCommands().Delete1Click();
        EXPECT_EQ(window->Document().UndoStack().undoText(), step);
        window->Undo1Click();
    }
    EXPECT_EQ(window->findChild<QAction*>("Undo1")->text(), "&Undo Insert Item");
    Select(6);
    window->TreeCommands().Delete1Click();
    EXPECT_EQ(window->findChild<QAction*>("Undo1")->text(), "&Undo Delete R&&D") << "the caption's & is no mnemonic";
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(TreeEditorTest, DeletingTheLastMainItemRemovesItsSubItemsFromTheEnd) {
    MakeDocument({{0, "A"}, {1, "A1"}, {0, "B"}, {1, "B1"}, {1, "B2"}});
    Select(2);  // B
    window->TreeCommands().Delete1Click();
    EXPECT_EQ(CaptionsWithLevels(), (Strings{"A:0", "A1:1"}));
    EXPECT_NE(window->SelectedNode(), kNoNode) << "another node is selected";
    EXPECT_TRUE(window->Agent().IsValidNode(window->SelectedNode()));
}

TEST_F(TreeEditorTest, DeleteOfAMiddleMainItemTakesItsSubtreeOnly) {
    MakeDocument({{0, "A"}, {0, "B"}, {1, "B1"}, {1, "B2"}, {0, "C"}});
    Select(1);
    window->TreeCommands().Delete1Click();
    EXPECT_EQ(CaptionsWithLevels(), (Strings{"A:0", "C:0"}));
}

TEST_F(TreeEditorTest, AfterDeleteTheItemPageValuesGoNowhereAndTheNextNodeIsLoaded) {
    MakeDocument({{0, "A"}, {0, "B"}, {0, "C"}});
    Select(1);  // B
    Find<QComboBox>("cmbx_Link")->setEditText("typed-but-deleted.html");
    window->TreeCommands().Delete1Click();
    EXPECT_EQ(Captions(), (Strings{"A", "C"}));
    for (const auto& item : window->Agent().Items()) EXPECT_EQ(item.Link, "");
    const int selected = window->SelectedNode();
    ASSERT_GE(selected, 0);
    EXPECT_EQ(window->CurrentItemNode(), selected);
    EXPECT_EQ(Find<QLineEdit>("edt_Text")->text().toStdString(), window->Agent().Items()[selected].Text);
}

// --- Move ---------------------------------------------------------------------------------

TEST_F(TreeEditorTest, MoveUpAndMoveDownExchangeWholeSubtrees) {
    MakeDocument({{0, "A"}, {1, "A1"}, {1, "A2"}, {0, "B"}, {1, "B1"}});
    Select(3);  // B
    window->TreeCommands().MoveUp1Click();
    EXPECT_EQ(CaptionsWithLevels(), (Strings{"B:0", "B1:1", "A:0", "A1:1", "A2:1"}));
    EXPECT_EQ(window->Agent().Items()[window->SelectedNode()].Text, "B") << "the selection moves with the node";

    Select(0);  // B again, now first
    window->TreeCommands().MoveDown1Click();
    EXPECT_EQ(Captions(), (Strings{"A", "A1", "A2", "B", "B1"}));

    Select(0);  // A
    window->TreeCommands().MoveDown1Click();
    EXPECT_EQ(Captions(), (Strings{"B", "B1", "A", "A1", "A2"}));
    EXPECT_EQ(window->Agent().Items()[window->SelectedNode()].Text, "A");
}

TEST_F(TreeEditorTest, MovingSubItemsKeepsThemUnderTheirParent) {
    MakeDocument({{0, "A"}, {1, "A1"}, {1, "A2"}, {1, "A3"}, {0, "B"}});
    Select(3);  // A3
    window->TreeCommands().MoveUp1Click();
    window->TreeCommands().MoveUp1Click();
    EXPECT_EQ(CaptionsWithLevels(), (Strings{"A:0", "A3:1", "A1:1", "A2:1", "B:0"}));
    ExpectCommands(false, true, false, true);
}

TEST_F(TreeEditorTest, TheCurrentItemFollowsAMoveAndKeepsItsEdits) {
    MakeDocument({{0, "A"}, {0, "B"}});
    Select(1);  // B
    Find<QLineEdit>("edt_Text")->setText("Contact");
    Find<QComboBox>("cmbx_Link")->setEditText("contact.html");
    window->TreeCommands().MoveUp1Click();
    EXPECT_EQ(window->CurrentItemNode(), 0);
    Select(1);  // A: B's record is stored on leaving it
    EXPECT_EQ(window->Agent().Items()[0].Text, "Contact");
    EXPECT_EQ(window->Agent().Items()[0].Link, "contact.html");
    EXPECT_EQ(window->Agent().Items()[1].Link, "");
}

// --- Pages per selection ------------------------------------------------------------------

TEST_F(TreeEditorTest, TheRootShowsTheThreeLookPagesAndAnItemTheItemPage) {
    EXPECT_EQ(VisibleTabs(), QStringList({"Flash", "Ext.", "Path"}));
    EXPECT_EQ(CurrentTab(), "Flash");
    MakeDocument({{0, "A"}});
    Select(0);
    EXPECT_EQ(VisibleTabs(), QStringList({"Item"}));
    EXPECT_EQ(CurrentTab(), "Item");
    Select(kRootNode);
    EXPECT_EQ(VisibleTabs(), QStringList({"Flash", "Ext.", "Path"}));
    EXPECT_EQ(CurrentTab(), "Flash");
}

TEST_F(TreeEditorTest, InsertShowsTheItemPageAndTheRootTheFirstPageOfItsGroup) {
    Select(kRootNode);
    auto* pages = Find<QTabWidget>("pgcntrl1");
    pages->setCurrentWidget(Find<QWidget>("tbshtPath"));
    window->TreeCommands().Insert1Click();
    EXPECT_EQ(CurrentTab(), "Item");
    Select(kRootNode);
    pages->setCurrentWidget(Find<QWidget>("tbshtStyle"));
    Select(0);
    Select(kRootNode);
    EXPECT_EQ(CurrentTab(), "Flash");
}

// --- The Item page and the selection ------------------------------------------------------------

TEST_F(TreeEditorTest, AnItemEditReachesTheRecordAtOnce) {
    MakeDocument({{0, "A"}, {0, "B"}});
    Select(0);
    Find<QComboBox>("cmbx_Link")->setEditText("  about.html ");
    Find<QComboBox>("cmbx_Target")->setEditText("_blank");
    EXPECT_EQ(window->Agent().Items()[0].Link, "about.html") << "stored while typing, trimmed";
    EXPECT_EQ(Find<QComboBox>("cmbx_Link")->currentText(), "  about.html ") << "the field keeps what was typed";
    Select(kRootNode);
    EXPECT_EQ(window->Agent().Items()[0].Target, "_blank");

    Select(0);
    Find<QComboBox>("cmbx_Link")->setEditText("news.html");
    Select(1);  // another item: stored, and the other item's values are shown
    EXPECT_EQ(window->Agent().Items()[0].Link, "news.html");
    EXPECT_EQ(Find<QComboBox>("cmbx_Link")->currentText(), "");
    EXPECT_EQ(Find<QLineEdit>("edt_Text")->text(), "B");
    EXPECT_EQ(Find<QComboBox>("cmbx_Target")->currentText(), "_self");
}

TEST_F(TreeEditorTest, AnItemEditReachesTheRecordBeforeASave) {
    MakeDocument({{0, "A"}});
    Select(0);
    Find<QComboBox>("cmbx_Link")->setEditText("index.html");
    window->StorePanels();
    EXPECT_EQ(window->Agent().Items()[0].Link, "index.html");
}

TEST_F(TreeEditorTest, TypingTheTextRenamesTheNodeAtOnce) {
    MakeDocument({{0, "A"}});
    Select(0);
    QTest::keyClicks(Find<QLineEdit>("edt_Text"), " Home");
    EXPECT_EQ(window->TreeModel().data(window->TreeModel().IndexOfNode(0)).toString(), "A Home");
    Select(kRootNode);
    Find<QLineEdit>("edt_Text")->setText("root never renamed");
    EXPECT_EQ(window->TreeModel().data(window->TreeModel().RootIndex()).toString(), "Quillamere");
}

// Looking at items is no edit: closing afterwards asks nothing.
TEST_F(TreeEditorTest, SelectingItemsLeavesTheDocumentUnmodified) {
    MakeDocument({{0, "A"}, {0, "B"}});
    window->SetModified(false);
    for (int node : {kRootNode, 0, 1, 0}) {
        Select(node);
        EXPECT_FALSE(window->Modified()) << node;
        EXPECT_FALSE(Find<QToolButton>("tlbtnSave")->isEnabled()) << node;
        EXPECT_FALSE(Find<QAction>("Save1")->isEnabled()) << node;
    }
    window->close();
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(TreeEditorTest, ARightClickSelectsTheNodeUnderTheMouse) {
    MakeDocument({{0, "A"}, {0, "B"}});
    window->show();
    auto* tree = Find<QTreeView>("trvwDesignPanel");
    tree->expandAll();
    Select(kRootNode);
    const QRect b = tree->visualRect(window->TreeModel().IndexOfNode(1));
    QTest::mousePress(tree->viewport(), Qt::RightButton, {}, b.center());
    QTest::mouseRelease(tree->viewport(), Qt::RightButton, {}, b.center());
    EXPECT_EQ(window->SelectedNode(), 1);
    ExpectCommands(true, true, true, false);
}

}  // namespace
}  // namespace qm::test
