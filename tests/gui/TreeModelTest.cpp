// The tree view's model over the document: it shows the item list as the tree, follows
// every structural edit of the agent row by row, keeps persistent indexes on the same
// nodes, and turns renames and drops into the document's undo steps. Qt's model tester
// watches every edit.

#include <QAbstractItemModelTester>
#include <QMimeData>
#include <QSignalSpy>
#include <QTreeView>
#include <gtest/gtest.h>

#include "support/WindowTest.h"
#include "gui/MenuClipboard.h"
#include "gui/TMenuDocument.h"
#include "gui/TMenuTreeModel.h"
#include "model/TkvxAppletAgent.h"

namespace qm::test {
namespace {

class TreeModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        TakeQtWarnings();
        model = std::make_unique<TMenuTreeModel>(document);
        tester = std::make_unique<QAbstractItemModelTester>(model.get(),
                                                            QAbstractItemModelTester::FailureReportingMode::Warning);
    }
    void TearDown() override {
        tester.reset();
        model.reset();
        const QStringList warnings = TakeQtWarnings();
        EXPECT_TRUE(warnings.isEmpty()) << warnings.join(QLatin1Char('\n')).toStdString();
    }

    // root, A (A1, A2), B (B1), C
    void BuildSample() {
        const int a = agent.InsertNewChild(kRootNode);
        agent.SetItemCaption(a, "A");
        agent.SetItemCaption(agent.InsertNewChild(a), "A1");
        agent.SetItemCaption(agent.InsertNewChild(a), "A2");
        const int b = agent.InsertNewChild(kRootNode);
        agent.SetItemCaption(b, "B");
        agent.SetItemCaption(agent.InsertNewChild(b), "B1");
        agent.SetItemCaption(agent.InsertNewChild(kRootNode), "C");
    }

    QString Caption(const QModelIndex& index) const { return model->data(index).toString(); }

    // The tree as the model shows it, in pre-order: "caption/depth".
    QStringList Shown() const {
        QStringList shown;
        std::function<void(const QModelIndex&, int)> walk = [&](const QModelIndex& index, int depth) {
            shown << Caption(index) + QLatin1Char('/') + QString::number(depth);
            for (int row = 0; row < model->rowCount(index); ++row) walk(model->index(row, 0, index), depth + 1);
        };
        walk(model->index(0, 0), 0);
        return shown;
    }

    TMenuDocument document;
    TkvxAppletAgent& agent = document.Agent();
    std::unique_ptr<TMenuTreeModel> model;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

TEST_F(TreeModelTest, ShowsTheRootAloneForAFreshDocument) {
    EXPECT_EQ(model->rowCount(), 1);
    const QModelIndex root = model->index(0, 0);
    EXPECT_EQ(Caption(root), "Quillamere");
    EXPECT_EQ(model->rowCount(root), 0);
    EXPECT_EQ(model->NodeOfIndex(root), kRootNode);
    EXPECT_FALSE(model->parent(root).isValid());
    EXPECT_EQ(model->data(root, Qt::ToolTipRole).toString(),
              "Add, remove or move items by right-clicking the mouse.");
}

TEST_F(TreeModelTest, ShowsTheItemListAsTheTree) {
    BuildSample();
    EXPECT_EQ(Shown(), QStringList({"Quillamere/0", "A/1", "A1/2", "A2/2", "B/1", "B1/2", "C/1"}));
    const QModelIndex b = model->IndexOfNode(3);
    EXPECT_EQ(Caption(b), "B");
    EXPECT_EQ(b.row(), 1);
    EXPECT_EQ(model->NodeOfIndex(model->parent(model->IndexOfNode(4))), 3);
    EXPECT_EQ(model->parent(b), model->RootIndex());
    EXPECT_FALSE(model->IndexOfNode(42).isValid());
    EXPECT_EQ(model->NodeOfIndex(QModelIndex()), kNoNode);
}

TEST_F(TreeModelTest, AnnouncesInsertsAsRowsOfTheParent) {
    BuildSample();
    QSignalSpy inserted(model.get(), &QAbstractItemModel::rowsInserted);
    const int a = 0;
    const int node = agent.InsertNewChild(a);
    EXPECT_EQ(node, 3);  // after A's existing sub items
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(model->NodeOfIndex(inserted[0][0].value<QModelIndex>()), a);
    EXPECT_EQ(inserted[0][1].toInt(), 2);
    EXPECT_EQ(inserted[0][2].toInt(), 2);
    EXPECT_EQ(Shown(), QStringList({"Quillamere/0", "A/1", "A1/2", "A2/2", "Item/2", "B/1", "B1/2", "C/1"}));
}

TEST_F(TreeModelTest, PersistentIndexesKeepTheirNodesThroughEdits) {
    BuildSample();
    const QPersistentModelIndex b(model->IndexOfNode(3));
    const QPersistentModelIndex c(model->IndexOfNode(5));
    const QPersistentModelIndex a2(model->IndexOfNode(2));

    agent.InsertNewChild(0);  // before B in the list
    EXPECT_EQ(Caption(b), "B");
    EXPECT_EQ(model->NodeOfIndex(b), 4);

    agent.MoveNodeUp(model->NodeOfIndex(c));  // C before B
    EXPECT_EQ(Caption(c), "C");
    EXPECT_EQ(c.row(), 1);
    EXPECT_EQ(Caption(b), "B");
    EXPECT_EQ(b.row(), 2);
    EXPECT_EQ(Shown(), QStringList({"Quillamere/0", "A/1", "A1/2", "A2/2", "Item/2", "C/1", "B/1", "B1/2"}));

    agent.DeleteNode(0);  // A with its three sub items
    EXPECT_FALSE(a2.isValid());
    EXPECT_EQ(Caption(c), "C");
    EXPECT_EQ(model->NodeOfIndex(c), 0);
    EXPECT_EQ(Caption(b), "B");
    EXPECT_EQ(model->NodeOfIndex(b), 1);
}

TEST_F(TreeModelTest, MovesWholeSubtreesBothWays) {
    BuildSample();
    const QPersistentModelIndex a1(model->IndexOfNode(1));
    agent.MoveNodeDown(0);  // A below B
    EXPECT_EQ(Shown(), QStringList({"Quillamere/0", "B/1", "B1/2", "A/1", "A1/2", "A2/2", "C/1"}));
    EXPECT_EQ(Caption(a1), "A1");
    EXPECT_EQ(model->NodeOfIndex(a1), 3);
    agent.MoveNodeUp(4);  // A2 above A1
    EXPECT_EQ(Shown(), QStringList({"Quillamere/0", "B/1", "B1/2", "A/1", "A2/2", "A1/2", "C/1"}));
    EXPECT_EQ(a1.row(), 1);
}

TEST_F(TreeModelTest, CaptionChangesReachTheViewAsDataChanges) {
    BuildSample();
    QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
    agent.SetItemCaption(4, "Contact");
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(model->NodeOfIndex(changed[0][0].value<QModelIndex>()), 4);
    EXPECT_EQ(Caption(model->IndexOfNode(4)), "Contact");
}

TEST_F(TreeModelTest, ResetsForWholeDocumentChanges) {
    BuildSample();
    QSignalSpy reset(model.get(), &QAbstractItemModel::modelReset);
    MakeDocument(agent, {{0, "Only"}});
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(Shown(), QStringList({"Quillamere/0", "Only/1"}));
    agent.ResetToDefaults();
    EXPECT_EQ(Shown(), QStringList({"Quillamere/0"}));
}

TEST_F(TreeModelTest, AViewFollowsEveryEditWithoutDisagreeing) {
    QTreeView view;
    view.setModel(model.get());
    view.expandAll();
    BuildSample();
    view.expandAll();
    view.setCurrentIndex(model->IndexOfNode(3));
    agent.MoveNodeUp(3);
    EXPECT_EQ(Caption(view.currentIndex()), "B");
    agent.DeleteNode(model->NodeOfIndex(view.currentIndex()));
    EXPECT_TRUE(view.currentIndex().isValid());
    for (int i = 0; i < 20; ++i) agent.InsertNewChild(i % 2 == 0 ? kRootNode : 0);
    EXPECT_EQ(model->rowCount(model->RootIndex()), agent.ChildCount(kRootNode));
    EXPECT_EQ(Shown().size(), agent.NodeCount());
}

// --- Edits in the view: one undo step each -------------------------------------------------

TEST_F(TreeModelTest, ADragMovesTheNodeWhereTheTwoLevelRuleLetsIt) {
    BuildSample();  // A(A1, A2), B(B1), C
    const QStringList sample = Shown();
    const struct {
        int dragged, parent, row;  // row -1: dropped on the parent itself
        QStringList after;         // empty: refused
    } cases[] = {
        {5, kRootNode, 0, {"Quillamere/0", "C/1", "A/1", "A1/2", "A2/2", "B/1", "B1/2"}},
        {5, 0, -1, {"Quillamere/0", "A/1", "A1/2", "A2/2", "C/2", "B/1", "B1/2"}},
        {5, 3, 0, {"Quillamere/0", "A/1", "A1/2", "A2/2", "B/1", "C/2", "B1/2"}},
        {1, kRootNode, 1, {"Quillamere/0", "A/1", "A2/2", "A1/1", "B/1", "B1/2", "C/1"}},
        {0, kRootNode, 3, {"Quillamere/0", "B/1", "B1/2", "C/1", "A/1", "A1/2", "A2/2"}},
        {0, 3, -1, {}},         // a main item with sub items stays one
        {5, 1, -1, {}},         // nothing below a sub item
        {5, kRootNode, 3, {}},  // its own place
        {0, 0, -1, {}},         // into itself
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.dragged) + " to " + std::to_string(c.parent) + ":" + std::to_string(c.row));
        std::unique_ptr<QMimeData> drag(model->mimeData({model->IndexOfNode(c.dragged)}));
        const QModelIndex parent = model->IndexOfNode(c.parent);
        EXPECT_EQ(model->canDropMimeData(drag.get(), Qt::MoveAction, c.row, 0, parent), !c.after.isEmpty());
        EXPECT_EQ(model->dropMimeData(drag.get(), Qt::MoveAction, c.row, 0, parent), !c.after.isEmpty());
        if (c.after.isEmpty()) {
            EXPECT_EQ(document.UndoStack().count(), 0);
            continue;
        }
        EXPECT_EQ(Shown(), c.after);
        ASSERT_EQ(document.UndoStack().count(), 1) << "one drop, one step";
        EXPECT_EQ(document.UndoStack().undoText(), "Move Item");
        document.UndoStack().undo();
        EXPECT_EQ(Shown(), sample);
        document.UndoStack().clear();
    }
    EXPECT_FALSE(model->flags(model->IndexOfNode(1)) & Qt::ItemIsDropEnabled);
    EXPECT_TRUE(model->flags(model->IndexOfNode(0)) & Qt::ItemIsDropEnabled);
    EXPECT_FALSE(model->flags(model->RootIndex()) & Qt::ItemIsDragEnabled);
}

TEST_F(TreeModelTest, ItemsFromElsewhereAreInsertedAndADraggedNodeCopied) {
    BuildSample();
    QMimeData lines;
    lines.setText("Home\n\tAbout\nMap\n");
    EXPECT_FALSE(model->canDropMimeData(&lines, Qt::CopyAction, -1, 0, model->IndexOfNode(0)))
        << "a main item with a sub item cannot go below A";
    ASSERT_TRUE(model->dropMimeData(&lines, Qt::CopyAction, 3, 0, model->RootIndex()));
    EXPECT_EQ(Shown(), QStringList({"Quillamere/0", "A/1", "A1/2", "A2/2", "B/1", "B1/2", "C/1", "Home/1",
                                    "About/2", "Map/1"}));
    EXPECT_EQ(document.UndoStack().undoText(), "Drop Items");

    // A node dragged from another window's tree arrives as a copy, whatever the action.
    TMenuDocument other;
    TMenuTreeModel otherModel(other);
    other.Agent().SetItemCaption(other.Agent().InsertNewChild(kRootNode), "Elsewhere");
    std::unique_ptr<QMimeData> drag(otherModel.mimeData({otherModel.IndexOfNode(0)}));
    ASSERT_TRUE(model->dropMimeData(drag.get(), Qt::MoveAction, -1, 0, model->IndexOfNode(3)));
    EXPECT_EQ(Shown().mid(4, 3), QStringList({"B/1", "B1/2", "Elsewhere/2"}));
    EXPECT_EQ(other.Agent().ItemCount(), 1);
}

TEST_F(TreeModelTest, ACaptionEditedInPlaceIsARename) {
    BuildSample();
    EXPECT_TRUE(model->flags(model->IndexOfNode(1)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model->flags(model->RootIndex()) & Qt::ItemIsEditable);
    EXPECT_TRUE(model->setData(model->IndexOfNode(1), "  Sailing "));
    EXPECT_EQ(Caption(model->IndexOfNode(1)), "Sailing");
    EXPECT_EQ(document.UndoStack().undoText(), "Rename Item");
    document.UndoStack().undo();
    EXPECT_EQ(Caption(model->IndexOfNode(1)), "A1");
    EXPECT_FALSE(model->setData(model->RootIndex(), "Renamed root"));
}

}  // namespace
}  // namespace qm::test
