// The tree's keys as a person presses them: a move that cannot apply changes nothing,
// Insert Below puts a new item in the middle of a list, and the keys typed right after
// an insert name the new item.

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTreeView>

#include "support/WindowTest.h"

namespace qm::test {
namespace {

using Strings = std::vector<std::string>;

class TreeKeysTest : public WindowTest {
protected:
    // The window shown and active with the tree focused, as a person finds it.
    QTreeView* FocusedTree() {
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        auto* tree = Find<QTreeView>("trvwDesignPanel");
        tree->setFocus();
        return tree;
    }
};

// Each key where its command cannot act: the first main item up, the last down, a main
// item without one before it in, a main item out.
TEST_F(TreeKeysTest, AMoveKeyThatCannotApplyChangesNothing) {
    MakeDocument({{0, "A"}, {1, "A1"}, {0, "B"}});
    const struct {
        int node;
        Qt::Key key;
    } cases[] = {{0, Qt::Key_Up}, {2, Qt::Key_Down}, {0, Qt::Key_Right}, {2, Qt::Key_Left}, {0, Qt::Key_Left}};
    QTreeView* tree = FocusedTree();
    const auto before = CaptionsWithLevels();
    const int steps = window->Document().UndoStack().count();
    for (const auto& c : cases) {
        Select(c.node);
        for (int press = 0; press < 2; ++press) QTest::keyClick(tree, c.key, Qt::ControlModifier);
        EXPECT_EQ(window->SelectedNode(), c.node) << "key " << c.key;
        EXPECT_EQ(CaptionsWithLevels(), before) << "key " << c.key;
    }
    EXPECT_EQ(window->Document().UndoStack().count(), steps);
}

TEST_F(TreeKeysTest, InsertBelowAddsAnItemRightAfterTheSelectedOneAsOneStep) {
    MakeDocument({{0, "A"}, {1, "A1"}, {1, "A2"}, {0, "B"}});
    QTreeView* tree = FocusedTree();
    const struct {
        int selected;
        Strings expected;
    } cases[] = {
        {1, {"A:0", "A1:1", "New item:1", "A2:1", "B:0"}},  // a sub item: a sub item after it
        {0, {"A:0", "A1:1", "A2:1", "New item:0", "B:0"}},  // a main item: after its sub items
    };
    for (const auto& c : cases) {
        const auto before = CaptionsWithLevels();
        Select(c.selected);
        QTest::keyClick(tree, Qt::Key_Insert, Qt::ShiftModifier);
        EXPECT_EQ(CaptionsWithLevels(), c.expected);
        EXPECT_EQ(window->Agent().GetItemData(window->SelectedNode()).Text, "New item") << "the new item is selected";
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        Find<QAction>("Undo1")->trigger();
        EXPECT_EQ(CaptionsWithLevels(), before) << "one step";
    }
    Select(kRootNode);
    EXPECT_FALSE(Find<QAction>("InsertBelow2")->isEnabled()) << "nothing goes beside the root";
    EXPECT_FALSE(Find<QAction>("InsertBelow1")->isEnabled());
}

// Insert, Insert Below and the pop-up's entries, each followed at once by typing.
TEST_F(TreeKeysTest, TypingRightAfterAnInsertNamesTheNewItem) {
    // More rows than the tree shows: the new main item lands below the visible ones.
    std::vector<ItemRow> rows = {{0, "A"}, {0, "B"}};
    for (int i = 0; i < 40; ++i) rows.push_back({0, "Row " + std::to_string(i)});
    MakeDocument(rows);
    QTreeView* tree = FocusedTree();
    const struct {
        int selected;
        const char* action;  // nullptr: the key
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* typed;
    } cases[] = {
        {kRootNode, nullptr, Qt::Key_Insert, Qt::NoModifier, "Prices"},
        {0, nullptr, Qt::Key_Insert, Qt::ShiftModifier, "About"},
        {0, "Insert2", Qt::Key_unknown, Qt::NoModifier, "Team"},
        {1, "InsertBelow1", Qt::Key_unknown, Qt::NoModifier, "Contact"},
    };
    for (const auto& c : cases) {
        Select(c.selected);
        tree->setFocus();
        if (c.action) {
            // Chosen in its menu with the mouse: the menu closes and gives the focus back.
            auto* menu = Find<QMenu>(c.action == std::string("Insert2") ? "Item1" : "PopupMenu1");
            menu->popup(tree->mapToGlobal(QPoint(10, 10)));
            EXPECT_TRUE(QTest::qWaitForWindowExposed(menu));
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(Find<QAction>(c.action)).center());
        } else
            QTest::keyClick(tree, c.key, c.modifiers);
        QTest::keyClicks(QApplication::focusWidget(), c.typed);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QApplication::processEvents();  // the view takes the caption when the key is done
        const auto captions = Captions();
        EXPECT_NE(std::find(captions.begin(), captions.end(), c.typed), captions.end()) << c.typed;
    }
}

}  // namespace
}  // namespace qm::test
