// The menu document in memory: the records, the list edits with their boundary rules,
// and the menu tree derived from the item list (queries, insert, delete, move).

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "model/MenuRecords.h"
#include "model/MenuTreeObserver.h"
#include "support/DocumentBuilder.h"
#include "support/TestSupport.h"
#include "model/TkvxAppletAgent.h"

namespace qm::test {
namespace {

std::vector<std::string> Texts(const TkvxAppletAgent& agent) {
    std::vector<std::string> texts;
    for (const auto& item : agent.Items()) texts.push_back(item.Text);
    return texts;
}

// --- Records ------------------------------------------------------------------------

TEST(MenuRecords, FreshAgentHasEmptyLookNoItemsAndTheTwoLinkedFiles) {
    TkvxAppletAgent agent;
    EXPECT_EQ(AppletDataToStrings(agent.AppletData()), TStringArray(23, ""));
    EXPECT_EQ(agent.ItemCount(), 0);
    EXPECT_EQ(agent.Separator(), "#$@");
    const TLinkedFileInfoArray expected = {{"zelvanbar.swf", "swf", false}, {"swfhelper.js", "js", false}};
    EXPECT_EQ(agent.LinkedFiles(), expected);
}

TEST(MenuRecords, ResetToDefaultsGivesTheTwentyThreeDefaultValuesInOrder) {
    TkvxAppletAgent agent;
    agent.ResetToDefaults();
    const TStringArray expected = {"25",     "20", "arial",  "11",     "FFFFFF", "131313", "92DDFA", "15",
                                   "arial",  "9",  "000000", "9E9E9E", "100",    "3",      "",       "",
                                   "",       "600", "40",    "1000",   "",       "",       "0"};
    EXPECT_EQ(AppletDataToStrings(agent.GetAppletData()), expected);
    EXPECT_EQ(agent.AppletData().flMenuMaxWidth, "600");
    EXPECT_EQ(agent.AppletData().InternalUse_RootDir_Local_Checked, "0");
    EXPECT_EQ(agent.ItemCount(), 0);
}

TEST(MenuRecords, ResetToDefaultsEmptiesItemsButKeepsLinkedFilesAndWorkingLists) {
    TkvxAppletAgent agent;
    MakeDocument(agent, kSampleMenu, Fields::Every);
    agent.PreviewCopiedFiles() = {"hover.mp3"};
    agent.ResourceFiles() = {"click.mp3"};
    const auto linked = agent.LinkedFiles();
    agent.ResetToDefaults();
    EXPECT_EQ(agent.ItemCount(), 0);
    EXPECT_EQ(agent.AppletData(), DefaultAppletData());
    EXPECT_EQ(agent.LinkedFiles(), linked);
    EXPECT_EQ(agent.PreviewCopiedFiles(), std::vector<std::string>{"hover.mp3"});
    EXPECT_EQ(agent.ResourceFiles(), std::vector<std::string>{"click.mp3"});
}

TEST(MenuRecords, NewItemIsItemSelfAndEightEmptyFields) {
    const TStringArray expected = {"Item", "", "", "_self", "", "", "", "", "", ""};
    EXPECT_EQ(ItemDataToStrings(TkvxAppletAgent::NewItemData()), expected);
}

TEST(MenuRecords, ItemFieldsKeepTheirPlaceInTheListOfStrings) {
    const TStringArray expected = {"Home",    "r1-Home", "Home.html", "_blank",  "r4-Home",
                                   "r5-Home", "0",       "r7-Home",   "r8-Home", "p-Home"};
    EXPECT_EQ(ItemDataToStrings(MakeItem(kSampleMenu[0], Fields::Every)), expected);
    EXPECT_EQ(StringsToItemData(expected), MakeItem(kSampleMenu[0], Fields::Every));
}

TEST(MenuRecords, AppletFieldsKeepTheirPlaceInTheListOfStrings) {
    TAppletData data;
    data.mainItemExtWidth = "a0";
    data.mainItemHoverSound = "a14";
    data.itemActiveSound = "a16";
    data.mov_z_index = "a19";
    data.InternalUse_RootDir_Local_Checked = "a22";
    const auto strings = AppletDataToStrings(data);
    ASSERT_EQ(strings.size(), 23u);
    EXPECT_EQ(strings[0], "a0");
    EXPECT_EQ(strings[14], "a14");
    EXPECT_EQ(strings[16], "a16");
    EXPECT_EQ(strings[19], "a19");
    EXPECT_EQ(strings[22], "a22");
    EXPECT_EQ(StringsToAppletData(strings), data);
}

TEST(MenuRecords, ListsToRecordsIgnoreEntriesBeyondTheRecord) {
    TStringArray item = ItemDataToStrings(MakeItem({1, "A", "A.html", "_blank"}, Fields::Every));
    item.push_back("extra");
    EXPECT_EQ(StringsToItemData(item), MakeItem({1, "A", "A.html", "_blank"}, Fields::Every));
    TStringArray look = AppletDataToStrings(DefaultAppletData());
    look.push_back("extra");
    EXPECT_EQ(StringsToAppletData(look), DefaultAppletData());
}

TEST(MenuRecords, GettersAndSettersCopyWholeRecords) {
    TkvxAppletAgent agent;
    MakeDocument(agent, kSampleMenu, Fields::Every);
    auto look = agent.GetAppletData();
    look.subItemFont = "verdana";
    agent.SetAppletData(look);
    EXPECT_EQ(agent.AppletData().subItemFont, "verdana");

    auto item = agent.GetItemData(2);
    EXPECT_EQ(item, MakeItem(kSampleMenu[2], Fields::Every));
    item.Text = "Price list";
    agent.SetItemData(item, 2);
    EXPECT_EQ(agent.Items()[2], item);
    EXPECT_EQ(agent.Items()[2].Reserved7, "r7-Prices");
}

// --- List edits and their boundary rules ---------------------------------------------

TEST(ListEdits, InsertIntoEmptyListAtZero) {
    TkvxAppletAgent agent;
    agent.InsertItem(0, MakeItem({0, "A"}));
    EXPECT_EQ(Texts(agent), (std::vector<std::string>{"A"}));
}

TEST(ListEdits, InsertBeyondTheEndDoesNothingAtTheEndAppendsAtZeroPutsFirst) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "A"}, {0, "B"}});
    agent.InsertItem(3, MakeItem({0, "X"}));
    EXPECT_EQ(Texts(agent), (std::vector<std::string>{"A", "B"}));
    agent.InsertItem(2, MakeItem({0, "C"}));
    EXPECT_EQ(Texts(agent), (std::vector<std::string>{"A", "B", "C"}));
    agent.InsertItem(0, MakeItem({0, "Z"}));
    EXPECT_EQ(Texts(agent), (std::vector<std::string>{"Z", "A", "B", "C"}));
    agent.InsertItem(2, MakeItem({0, "M"}));
    EXPECT_EQ(Texts(agent), (std::vector<std::string>{"Z", "A", "M", "B", "C"}));
}

TEST(ListEdits, DeleteBeyondTheLastDoesNothingAtZeroLeavesTheSecond) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "A"}, {0, "B"}});
    agent.DeleteItem(2);
    EXPECT_EQ(Texts(agent), (std::vector<std::string>{"A", "B"}));
    agent.DeleteItem(0);
    EXPECT_EQ(Texts(agent), (std::vector<std::string>{"B"}));
}

TEST(ListEdits, SwapAtZeroOrAtCountDoesNothingAtOneExchangesTheFirstTwo) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "A"}, {0, "B"}, {0, "C"}});
    agent.SwapItemWithPrevious(0);
    agent.SwapItemWithPrevious(3);
    EXPECT_EQ(Texts(agent), (std::vector<std::string>{"A", "B", "C"}));
    agent.SwapItemWithPrevious(1);
    EXPECT_EQ(Texts(agent), (std::vector<std::string>{"B", "A", "C"}));
    agent.SwapItemWithPrevious(2);
    EXPECT_EQ(Texts(agent), (std::vector<std::string>{"B", "C", "A"}));
}

TEST(ListEdits, TreeFollowsTheListEdits) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "A"}, {1, "A1"}, {0, "B"}});
    EXPECT_EQ(TreeShape(agent), "A(A1); B");
    agent.InsertItem(3, MakeItem({1, "B1"}));
    EXPECT_EQ(TreeShape(agent), "A(A1); B(B1)");
    agent.SwapItemWithPrevious(2);  // B before A1: A1 now belongs to B
    EXPECT_EQ(TreeShape(agent), "A; B(A1, B1)");
    agent.DeleteItem(0);
    EXPECT_EQ(TreeShape(agent), "B(A1, B1)");
}

// --- The tree derived from levels ------------------------------------------------------

TEST(MenuTree, LevelsZeroOneOneZeroOneGiveTwoMainNodesWithTwoAndOneSubNodes) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "A"}, {1, "A1"}, {1, "A2"}, {0, "B"}, {1, "B1"}});
    EXPECT_EQ(TreeShape(agent), "A(A1, A2); B(B1)");
    EXPECT_EQ(agent.ChildCount(kRootNode), 2);
    EXPECT_EQ(agent.ParentNode(3), kRootNode);  // a main item after a sub item is under the root
    EXPECT_EQ(agent.ParentNode(4), 3);
}

TEST(MenuTree, QueriesOnASmallTree) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "A"}, {1, "A1"}, {1, "A2"}, {0, "B"}, {0, "C"}, {1, "C1"}});
    // Depth: root 0, main 1, sub 2.
    EXPECT_EQ(agent.NodeLevel(kRootNode), 0);
    EXPECT_EQ(agent.NodeLevel(0), 1);
    EXPECT_EQ(agent.NodeLevel(2), 2);
    EXPECT_EQ(agent.NodeCount(), 7);
    EXPECT_EQ(TkvxAppletAgent::AbsoluteIndex(3), 4);
    EXPECT_EQ(TkvxAppletAgent::NodeOfAbsoluteIndex(0), kRootNode);

    EXPECT_EQ(agent.ParentNode(kRootNode), kNoNode);
    EXPECT_EQ(agent.ParentNode(2), 0);
    EXPECT_EQ(agent.ParentNode(5), 4);

    EXPECT_EQ(agent.PreviousSibling(0), kNoNode);
    EXPECT_EQ(agent.PreviousSibling(3), 0);
    EXPECT_EQ(agent.PreviousSibling(4), 3);
    EXPECT_EQ(agent.PreviousSibling(1), kNoNode);
    EXPECT_EQ(agent.PreviousSibling(2), 1);
    EXPECT_EQ(agent.NextSibling(0), 3);
    EXPECT_EQ(agent.NextSibling(4), kNoNode);
    EXPECT_EQ(agent.NextSibling(1), 2);
    EXPECT_EQ(agent.NextSibling(2), kNoNode);  // the next item is a main item, not a sibling
    EXPECT_EQ(agent.NextSibling(kRootNode), kNoNode);

    EXPECT_EQ(agent.ChildNodes(kRootNode), (std::vector<int>{0, 3, 4}));
    EXPECT_EQ(agent.ChildNodes(0), (std::vector<int>{1, 2}));
    EXPECT_EQ(agent.ChildNodes(3), std::vector<int>{});
    EXPECT_EQ(agent.ChildNodes(1), std::vector<int>{});
    EXPECT_EQ(agent.ChildNode(kRootNode, 2), 4);
    EXPECT_EQ(agent.ChildNode(kRootNode, 3), kNoNode);
    EXPECT_EQ(agent.ChildNode(0, -1), kNoNode);
    EXPECT_EQ(agent.RowOfNode(4), 2);
    EXPECT_EQ(agent.RowOfNode(2), 1);

    EXPECT_EQ(agent.SubtreeSize(kRootNode), 7);
    EXPECT_EQ(agent.SubtreeSize(0), 3);
    EXPECT_EQ(agent.SubtreeSize(3), 1);
    EXPECT_EQ(agent.SubtreeSize(4), 2);  // the last main item's subtree runs to the end
    EXPECT_EQ(agent.SubtreeSize(5), 1);
    EXPECT_EQ(agent.CountDescendants(0), 2);
    EXPECT_EQ(agent.CountDescendants(1), 0);

    EXPECT_EQ(agent.NextNodeInPreOrder(kRootNode), 0);
    EXPECT_EQ(agent.NextNodeInPreOrder(2), 3);
    EXPECT_EQ(agent.NextNodeInPreOrder(5), kNoNode);
}

TEST(MenuTree, InvalidNodesHaveNoRelatives) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "A"}, {1, "A1"}});
    for (const int node : {kNoNode, -5, 2, 100}) {
        SCOPED_TRACE(node);
        EXPECT_FALSE(agent.IsValidNode(node));
        EXPECT_EQ(agent.ParentNode(node), kNoNode);
        EXPECT_EQ(agent.PreviousSibling(node), kNoNode);
        EXPECT_EQ(agent.NextSibling(node), kNoNode);
        EXPECT_EQ(agent.ChildCount(node), 0);
        EXPECT_EQ(agent.SubtreeSize(node), 0);
        EXPECT_EQ(agent.NextNodeInPreOrder(node), kNoNode);
        EXPECT_EQ(agent.InsertNewChild(node), kNoNode);
        EXPECT_FALSE(agent.DeleteNode(node));
        EXPECT_FALSE(agent.MoveNodeUp(node));
        EXPECT_FALSE(agent.MoveNodeDown(node));
    }
    EXPECT_EQ(Texts(agent), (std::vector<std::string>{"A", "A1"}));
}

TEST(MenuTree, EmptyDocumentIsTheRootAlone) {
    TkvxAppletAgent agent;
    EXPECT_EQ(agent.NodeCount(), 1);
    EXPECT_EQ(agent.ChildCount(kRootNode), 0);
    EXPECT_EQ(agent.SubtreeSize(kRootNode), 1);
    EXPECT_EQ(agent.NextNodeInPreOrder(kRootNode), kNoNode);
    EXPECT_FALSE(agent.DeleteNode(kRootNode));
    EXPECT_FALSE(agent.MoveNodeUp(kRootNode));
}

// Levels the editor never makes are read as the nearest possible parent makes them.
TEST(MenuTree, LevelsThatCannotStandAttachToTheNearestPossibleParent) {
    TkvxAppletAgent agent;
    auto items = MakeItems({{1, "A"}, {0, "B"}, {3, "B1"}, {2, "B2"}, {-4, "C"}, {1, "C1"}, {0, "D"}});
    items.back().Level = "x";
    agent.ReplaceDocument(DefaultAppletData(), items);
    EXPECT_EQ(TreeShape(agent), "A; B(B1, B2); C(C1); D");
    EXPECT_EQ(EffectiveDepths({1, 0, 3, 2, -4, 1, 0}), (std::vector<int>{0, 0, 1, 1, 0, 1, 0}));
}

TEST(MenuTree, RefreshLevelsAndParentsWritesDepthsAndParentIndexes) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {{2, "A"}, {1, "A1"}, {0, "B"}, {7, "B1"}, {1, "B2"}});
    agent.RefreshLevelsAndParents();
    std::vector<std::string> levels;
    std::vector<std::string> parents;
    for (const auto& item : agent.Items()) {
        levels.push_back(item.Level);
        parents.push_back(item.ParentIndex);
    }
    EXPECT_EQ(levels, (std::vector<std::string>{"0", "1", "0", "1", "1"}));
    EXPECT_EQ(parents, (std::vector<std::string>{"-1", "0", "-1", "2", "2"}));
    EXPECT_EQ(TreeShape(agent), "A(A1); B(B1, B2)");
}

// --- Tree edits ----------------------------------------------------------------------

TEST(TreeEdits, InsertUnderAMainItemGoesAfterItsLastChild) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "A"}, {1, "A1"}, {0, "B"}});
    const int node = agent.InsertNewChild(0);
    EXPECT_EQ(node, 2);
    EXPECT_EQ(TkvxAppletAgent::AbsoluteIndex(node), 3);
    EXPECT_EQ(Texts(agent), (std::vector<std::string>{"A", "A1", "Item", "B"}));
    TItemData expected = TkvxAppletAgent::NewItemData();
    expected.Level = "1";
    EXPECT_EQ(agent.Items()[2], expected);
    EXPECT_EQ(TreeShape(agent), "A(A1, Item); B");
}

TEST(TreeEdits, InsertUnderTheRootAppendsAMainItem) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "A"}, {1, "A1"}});
    const int node = agent.InsertNewChild(kRootNode);
    EXPECT_EQ(node, 2);
    EXPECT_EQ(agent.Items()[2].Level, "0");
    EXPECT_EQ(TreeShape(agent), "A(A1); Item");
}

TEST(TreeEdits, InsertUnderASubItemIsRefused) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "A"}, {1, "A1"}});
    EXPECT_EQ(agent.InsertNewChild(1), kNoNode);
    EXPECT_EQ(Texts(agent), (std::vector<std::string>{"A", "A1"}));
}

TEST(TreeEdits, DeleteTheLastMainItemRemovesItsSubItemsFromTheEnd) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "A"}, {0, "B"}, {1, "B1"}, {1, "B2"}});
    EXPECT_TRUE(agent.DeleteNode(1));
    EXPECT_EQ(Texts(agent), (std::vector<std::string>{"A"}));
}

TEST(TreeEdits, DeleteAMainItemWithTwoSubItemsRemovesThreeRecords) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "A"}, {0, "B"}, {1, "B1"}, {1, "B2"}, {0, "C"}});
    EXPECT_TRUE(agent.DeleteNode(1));
    EXPECT_EQ(Texts(agent), (std::vector<std::string>{"A", "C"}));
    EXPECT_FALSE(agent.DeleteNode(kRootNode));
    EXPECT_EQ(Texts(agent), (std::vector<std::string>{"A", "C"}));
}

TEST(TreeEdits, DeleteASubItemLeavesItsSiblings) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "A"}, {1, "A1"}, {1, "A2"}, {1, "A3"}});
    EXPECT_TRUE(agent.DeleteNode(2));
    EXPECT_EQ(TreeShape(agent), "A(A1, A3)");
}

TEST(TreeEdits, MoveUpAndMoveDownExchangeWholeSubtrees) {
    TkvxAppletAgent up;
    MakeDocument(up, {{0, "A"}, {1, "A1"}, {1, "A2"}, {0, "B"}, {1, "B1"}});
    TkvxAppletAgent down;
    MakeDocument(down, {{0, "A"}, {1, "A1"}, {1, "A2"}, {0, "B"}, {1, "B1"}});
    EXPECT_TRUE(up.MoveNodeUp(3));
    EXPECT_TRUE(down.MoveNodeDown(0));
    const std::vector<std::string> expected = {"B", "B1", "A", "A1", "A2"};
    EXPECT_EQ(Texts(up), expected);
    EXPECT_EQ(Texts(down), expected);
    EXPECT_EQ(TreeShape(up), "B(B1); A(A1, A2)");
}

TEST(TreeEdits, MovingAFirstItemWhoseLevelReadsAsASubItemKeepsItAMainItem) {
    // A first item with level "1" can only be a main item; moved away from the top it
    // must stay one, with its sub item, and not fall under its new neighbour.
    TkvxAppletAgent agent;
    MakeDocument(agent, {{1, "A"}, {1, "A1"}, {0, "B"}});
    ASSERT_EQ(TreeShape(agent), "A(A1); B");
    EXPECT_TRUE(agent.MoveNodeDown(0));
    EXPECT_EQ(TreeShape(agent), "B; A(A1)");
    agent.InsertItem(agent.ItemCount(), MakeItem({0, "C"}));  // a list edit: the tree is derived afresh
    EXPECT_EQ(TreeShape(agent), "B; A(A1); C");
    EXPECT_TRUE(agent.MoveNodeUp(1));
    EXPECT_EQ(TreeShape(agent), "A(A1); B; C");
}

TEST(TreeEdits, MovesWithoutASiblingChangeNothing) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "A"}, {1, "A1"}, {1, "A2"}, {0, "B"}});
    const auto before = agent.Items();
    EXPECT_FALSE(agent.MoveNodeUp(0));
    EXPECT_FALSE(agent.MoveNodeUp(1));
    EXPECT_FALSE(agent.MoveNodeDown(2));
    EXPECT_FALSE(agent.MoveNodeDown(3));
    EXPECT_FALSE(agent.MoveNodeDown(kRootNode));
    EXPECT_EQ(agent.Items(), before);
}

// The editor's moves, done the long way: repeated SwapItemWithPrevious over the list,
// with the tree worked out from the levels independently of the agent's own tree.
class ReferenceTree {
public:
    explicit ReferenceTree(const TItemArray& items) {
        const int n = static_cast<int>(items.size());
        parent_.assign(n, -1);
        std::vector<int> level(n);
        for (int i = 0; i < n; ++i) {
            level[i] = std::stoi(items[i].Level);
            if (level[i] == 0) {
                parent_[i] = -1;
            } else if (i > 0 && level[i] > level[i - 1]) {
                parent_[i] = i - 1;
            } else {
                int j = i - 1;
                while (j >= 0 && level[j] >= level[i]) --j;
                parent_[i] = j;
            }
        }
    }
    std::vector<int> Children(int node) const {
        std::vector<int> children;
        for (int i = 0; i < static_cast<int>(parent_.size()); ++i)
            if (parent_[i] == node) children.push_back(i);
        return children;
    }
    int CountDescendants(int node) const {
        int count = 0;
        for (const int child : Children(node)) count += 1 + CountDescendants(child);
        return count;
    }
    int Sibling(int node, int step) const {
        const auto siblings = Children(parent_[node]);
        const auto at = std::find(siblings.begin(), siblings.end(), node) - siblings.begin() + step;
        return at >= 0 && at < static_cast<long>(siblings.size()) ? siblings[at] : kNoNode;
    }
    int Parent(int node) const { return parent_[node]; }

private:
    std::vector<int> parent_;
};

bool SwapLoopMoveUp(TkvxAppletAgent& agent, int s) {
    const ReferenceTree tree(agent.Items());
    const int previous = tree.Sibling(s, -1);
    if (previous == kNoNode) return false;
    const int P = 1 + tree.CountDescendants(previous);
    const int S = 1 + tree.CountDescendants(s);
    for (int k = 0; k <= S - 1; ++k)
        for (int j = s + k; j >= s + k - P + 1; --j) agent.SwapItemWithPrevious(j);
    return true;
}

bool SwapLoopMoveDown(TkvxAppletAgent& agent, int s) {
    const ReferenceTree tree(agent.Items());
    const int n = tree.Sibling(s, +1);
    if (n == kNoNode) return false;
    const int N = 1 + tree.CountDescendants(n);
    const int S = 1 + tree.CountDescendants(s);
    for (int k = 0; k <= N - 1; ++k)
        for (int j = n + k; j >= n + k - S + 1; --j) agent.SwapItemWithPrevious(j);
    return true;
}

TItemArray RandomTree(std::mt19937& random, int count) {
    TItemArray items;
    for (int i = 0; i < count; ++i) {
        const bool sub = i > 0 && std::uniform_int_distribution<int>(0, 2)(random) > 0;
        items.push_back(MakeItem({sub ? 1 : 0, "n" + std::to_string(i)}));
    }
    return items;
}

TEST(TreeEdits, DerivedTreeAgreesWithTheReferenceOnRandomTrees) {
    std::mt19937 random(20261207);
    for (int trial = 0; trial < 200; ++trial) {
        TkvxAppletAgent agent;
        agent.ReplaceDocument(DefaultAppletData(), RandomTree(random, 1 + trial % 25));
        const ReferenceTree reference(agent.Items());
        ASSERT_EQ(agent.ChildNodes(kRootNode), reference.Children(-1));
        for (int node = 0; node < agent.ItemCount(); ++node) {
            SCOPED_TRACE("trial " + std::to_string(trial) + ", node " + std::to_string(node));
            ASSERT_EQ(agent.ParentNode(node), reference.Parent(node));
            ASSERT_EQ(agent.ChildNodes(node), reference.Children(node));
            ASSERT_EQ(agent.CountDescendants(node), reference.CountDescendants(node));
            ASSERT_EQ(agent.PreviousSibling(node), reference.Sibling(node, -1));
            ASSERT_EQ(agent.NextSibling(node), reference.Sibling(node, +1));
        }
    }
}

// The tree the agent keeps after its edits is the tree a fresh document with the same
// items derives.
void ExpectSameTreeAsAFreshDocument(const TkvxAppletAgent& agent) {
    TkvxAppletAgent fresh;
    fresh.ReplaceDocument(agent.AppletData(), agent.Items());
    ASSERT_EQ(agent.ChildNodes(kRootNode), fresh.ChildNodes(kRootNode));
    for (int node = 0; node < agent.ItemCount(); ++node) {
        ASSERT_EQ(agent.ParentNode(node), fresh.ParentNode(node)) << "node " << node;
        ASSERT_EQ(agent.RowOfNode(node), fresh.RowOfNode(node)) << "node " << node;
        ASSERT_EQ(agent.NodeLevel(node), fresh.NodeLevel(node)) << "node " << node;
        ASSERT_EQ(agent.SubtreeSize(node), fresh.SubtreeSize(node)) << "node " << node;
    }
}

TEST(TreeEdits, MovesGiveTheListOfTheSwapLoopOnRandomTrees) {
    std::mt19937 random(7);
    int moved = 0;
    for (int trial = 0; trial < 150; ++trial) {
        const auto items = RandomTree(random, 2 + trial % 30);
        TkvxAppletAgent agent;
        TkvxAppletAgent reference;
        agent.ReplaceDocument(DefaultAppletData(), items);
        reference.ReplaceDocument(DefaultAppletData(), items);
        // A sequence of moves on the same document, so that a stale derived tree shows.
        for (int step = 0; step < 25; ++step) {
            const int node = std::uniform_int_distribution<int>(0, agent.ItemCount() - 1)(random);
            const bool upward = random() % 2 == 0;
            SCOPED_TRACE("trial " + std::to_string(trial) + ", step " + std::to_string(step) + ", " +
                         (upward ? "up " : "down ") + agent.Items()[node].Text);
            const bool expected = upward ? SwapLoopMoveUp(reference, node) : SwapLoopMoveDown(reference, node);
            const bool done = upward ? agent.MoveNodeUp(node) : agent.MoveNodeDown(node);
            ASSERT_EQ(done, expected);
            ASSERT_EQ(agent.Items(), reference.Items());
            ExpectSameTreeAsAFreshDocument(agent);
            moved += done;
        }
    }
    EXPECT_GT(moved, 500);  // the random walk did exercise moves, not only refusals
}

// --- Block edits: undo, paste, drag and drop ---------------------------------------------

TEST(BlockEdits, MovesFollowTheTwoLevelRule) {
    // A(A1, A2); B; C(C1): item positions 0..5.
    const struct {
        int node, before, level;
        const char* shape;  // "" where the move is refused
    } cases[] = {
        {3, 0, 0, "B; A(A1, A2); C(C1)"},        // a main item before another
        {0, 6, 0, "B; C(C1); A(A1, A2)"},        // with its sub items, to the end
        {2, 4, 0, "A(A1); B; A2; C(C1)"},        // a sub item out to the top level
        {1, 5, 1, "A(A2); B; C(A1, C1)"},        // a sub item under another main item
        {3, 3, 1, "A(A1, A2, B); C(C1)"},        // indent in place
        {2, 3, 0, "A(A1); A2; B; C(C1)"},        // outdent in place, the last sub item
        {3, 6, 1, "A(A1, A2); C(C1, B)"},        // a main item without sub items below another
        {0, 4, 1, ""},                           // a main item with sub items stays one
        {1, 2, 0, ""},                           // a main item would take A2 from A
        {0, 0, 1, ""},                           // no main item before it
        {1, 1, 1, ""},                           // its own place
        {0, 2, 0, ""},                           // inside its own subtree
    };
    for (const auto& c : cases) {
        TkvxAppletAgent agent;
        MakeDocument(agent, {{0, "A"}, {1, "A1"}, {1, "A2"}, {0, "B"}, {0, "C"}, {1, "C1"}});
        const auto before = agent.Items();
        SCOPED_TRACE(std::to_string(c.node) + " before " + std::to_string(c.before) + " at level " +
                     std::to_string(c.level));
        EXPECT_EQ(agent.CanMoveNode(c.node, c.before, c.level), *c.shape != 0);
        const int moved = agent.MoveNode(c.node, c.before, c.level);
        if (*c.shape == 0) {
            EXPECT_EQ(moved, kNoNode);
            EXPECT_EQ(agent.Items(), before);
            continue;
        }
        EXPECT_EQ(TreeShape(agent), c.shape);
        ExpectSameTreeAsAFreshDocument(agent);
    }
}

TEST(BlockEdits, RemovedRowsGoBackByteForByteAndBlocksCheckTheirLevels) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "A"}, {1, "A1"}, {0, "B"}, {1, "B1"}, {1, "B2"}, {0, "C"}});
    agent.SetItemData(MakeItem({1, "B1", "B1.html", "_blank"}, Fields::Every), 3);
    const auto before = agent.Items();
    const TItemArray removed = agent.RemoveNodes(kRootNode, 1, 2);  // B(B1, B2), C
    EXPECT_EQ(removed.size(), 4u);
    EXPECT_EQ(TreeShape(agent), "A(A1)");
    EXPECT_EQ(agent.InsertNodes(kRootNode, 1, removed), 2);
    EXPECT_EQ(agent.Items(), before);

    EXPECT_EQ(agent.InsertNodes(0, 1, {MakeItem({1, "X"}), MakeItem({1, "Y"})}), 2);
    EXPECT_EQ(TreeShape(agent), "A(A1, X, Y); B(B1, B2); C");
    const auto now = agent.Items();
    EXPECT_EQ(agent.InsertNodes(0, 0, {MakeItem({0, "M"})}), kNoNode) << "a main item below a main item";
    EXPECT_EQ(agent.InsertNodes(kRootNode, 0, {MakeItem({1, "S"})}), kNoNode) << "a block must start at the top";
    EXPECT_EQ(agent.InsertNodes(1, 0, {MakeItem({1, "S"})}), kNoNode) << "nothing below a sub item";
    EXPECT_EQ(agent.InsertNodes(kRootNode, 9, {MakeItem({0, "M"})}), kNoNode);
    EXPECT_TRUE(agent.RemoveNodes(kRootNode, 2, 3).empty());
    EXPECT_EQ(agent.Items(), now);
}

TEST(BlockEdits, EveryMoveIsUndoneByTheMoveBackOnRandomTrees) {
    std::mt19937 random(11);
    int moved = 0;
    for (int trial = 0; trial < 200; ++trial) {
        TkvxAppletAgent agent;
        agent.ReplaceDocument(DefaultAppletData(), RandomTree(random, 2 + trial % 20));
        const auto before = agent.Items();
        const int node = std::uniform_int_distribution<int>(0, agent.ItemCount() - 1)(random);
        const int target = std::uniform_int_distribution<int>(0, agent.ItemCount())(random);
        const int level = static_cast<int>(random() % 2);
        const int size = agent.SubtreeSize(node);
        const std::string levelText = agent.Items()[node].Level;
        const int oldLevel = agent.NodeLevel(node) - 1;
        const int at = agent.MoveNode(node, target, level);
        if (at == kNoNode) continue;
        ++moved;
        ASSERT_NO_FATAL_FAILURE(ExpectSameTreeAsAFreshDocument(agent));
        ASSERT_EQ(agent.NodeLevel(at) - 1, level);
        ASSERT_EQ(agent.MoveNode(at, at < node ? node + size : node, oldLevel, levelText), node);
        ASSERT_EQ(agent.Items(), before) << "trial " << trial;
    }
    EXPECT_GT(moved, 50);
}

// --- What a view over the document is told ------------------------------------------------

class RecordingObserver final : public IMenuTreeObserver {
public:
    explicit RecordingObserver(const TkvxAppletAgent& agent) : agent_(agent) {}
    void BeginInsertNodes(int parent, int first, int last) override {
        Log("insert", parent, first, last);
        rowsBefore.push_back(agent_.ChildCount(parent));
    }
    void EndInsertNodes() override { log.push_back("end insert"); }
    void BeginRemoveNodes(int parent, int first, int last) override {
        Log("remove", parent, first, last);
        rowsBefore.push_back(agent_.ChildCount(parent));
    }
    void EndRemoveNodes() override { log.push_back("end remove"); }
    void BeginMoveNodes(int parent, int first, int last, int destination) override {
        Log("move", parent, first, last);
        log.back() += " to " + std::to_string(destination);
        rowsBefore.push_back(agent_.ChildCount(parent));
    }
    void BeginMoveNodeTo(int parent, int row, int destinationParent, int destinationRow) override {
        Log("move", parent, row, row);
        log.back() += " to " + std::to_string(destinationParent) + " " + std::to_string(destinationRow);
        rowsBefore.push_back(agent_.ChildCount(destinationParent));
    }
    void EndMoveNodes() override { log.push_back("end move"); }
    void BeginResetTree() override { log.push_back("reset"); }
    void EndResetTree() override { log.push_back("end reset"); }
    void NodeCaptionChanged(int item) override { log.push_back("caption " + std::to_string(item)); }

    std::vector<std::string> log;
    std::vector<int> rowsBefore;  // the parent's child count when a Begin call came

private:
    void Log(const std::string& what, int parent, int first, int last) {
        log.push_back(what + " " + std::to_string(parent) + " " + std::to_string(first) + ".." +
                      std::to_string(last));
    }
    const TkvxAppletAgent& agent_;
};

TEST(TreeNotifications, StructuralEditsAreAnnouncedWithRowsOfTheTreeBeforeTheChange) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "A"}, {1, "A1"}, {0, "B"}, {0, "C"}});
    RecordingObserver observer(agent);
    agent.SetTreeObserver(&observer);

    agent.InsertNewChild(0);       // A2 as row 1 of A
    agent.InsertNewChild(kRootNode);  // row 3 of the root
    agent.MoveNodeDown(0);         // A (rows 0) past B: Qt's destination is row 2
    agent.MoveNodeUp(4);           // C (row 2) before A (row 1)
    agent.DeleteNode(0);           // B, row 0
    agent.SetItemCaption(0, "Renamed");
    agent.SetItemCaption(0, "Renamed");  // unchanged: no notice
    agent.MoveNode(4, 4, 1);  // the last main item below the one before it: row 2 of A
    agent.InsertNodes(kRootNode, 0, {MakeItem({0, "X"}), MakeItem({1, "X1"}), MakeItem({0, "Y"})});  // two rows with a sub item
    agent.RemoveNodes(kRootNode, 0, 1);

    const std::vector<std::string> expected = {
        "insert 0 1..1",         "end insert", "insert -1 3..3", "end insert", "move -1 0..0 to 2",
        "end move",              "move -1 2..2 to 1", "end move", "remove -1 0..0", "end remove",
        "caption 0",             "move -1 2..2 to 1 2", "end move", "insert -1 0..1", "end insert",
        "remove -1 0..1",        "end remove"};
    EXPECT_EQ(observer.log, expected);
    EXPECT_EQ(observer.rowsBefore, (std::vector<int>{1, 3, 4, 4, 4, 2, 2, 4}));
    EXPECT_EQ(TreeShape(agent), "Renamed; A(A1, Item, Item)");
    agent.SetTreeObserver(nullptr);
}

TEST(TreeNotifications, ListEditsAndLevelChangesResetTheView) {
    TkvxAppletAgent agent;
    MakeDocument(agent, {{0, "A"}, {0, "B"}});
    RecordingObserver observer(agent);
    agent.SetTreeObserver(&observer);
    agent.InsertItem(2, MakeItem({0, "C"}));
    agent.SwapItemWithPrevious(1);
    agent.DeleteItem(0);
    auto item = agent.GetItemData(1);
    item.Level = "1";
    agent.SetItemData(item, 1);  // C becomes a sub item of A
    item.Text = "C1";
    agent.SetItemData(item, 1);  // only the caption
    agent.InsertItem(9, MakeItem({0, "X"}));  // out of range: nothing, no notice
    const std::vector<std::string> expected = {"reset", "end reset", "reset", "end reset", "reset",
                                               "end reset", "reset", "end reset", "caption 1"};
    EXPECT_EQ(observer.log, expected);
    EXPECT_EQ(TreeShape(agent), "A(C1)");
    agent.SetTreeObserver(nullptr);
}

}  // namespace
}  // namespace qm::test
