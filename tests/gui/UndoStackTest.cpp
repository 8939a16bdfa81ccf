// The document's undo stack by its properties: any sequence of edits, undone, gives
// back the saved document byte for byte, and redone, the edited one; steps of one typing
// session merge, and typing back to the start leaves no step. Qt's model tester
// watches the tree model through every step.

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>
#include <random>

#include "model/DocumentFiles.h"
#include "support/WindowTest.h"
#include "model/LookValues.h"
#include "gui/TMenuDocument.h"
#include "gui/TMenuTreeModel.h"

namespace qm::test {
namespace {

std::string ProjectText(const TMenuDocument& document) {
    NullProgressDisplay quiet;
    ItemStore items;
    items.Insert(0, document.Agent().Items());
    return WriteProjectText(document.Agent().AppletData(), items, quiet);
}

// One random edit through the document's operations; most are allowed, some refused.
void RandomEdit(TMenuDocument& document, std::mt19937& random) {
    const auto& agent = document.Agent();
    const auto pick = [&](int count) { return count > 0 ? static_cast<int>(random() % count) : 0; };
    const int node = agent.ItemCount() > 0 ? pick(agent.ItemCount()) : kRootNode;
    const int session = static_cast<int>(random() % 3);  // 0 never merges
    switch (random() % 11) {
    case 0: {
        const std::size_t field = random() % TAppletData::kFieldCount;
        const LookField& look = LookFieldAt(field);
        const std::string value = look.kind == LookValueKind::Integer ? std::to_string(look.minimum + pick(50))
                                  : look.kind == LookValueKind::Colour ? ColourToText(random() & 0xFFFFFF)
                                  : look.kind == LookValueKind::Flag   ? std::to_string(pick(2))
                                                                       : "text " + std::to_string(pick(5));
        document.SetLookValue(field, value, session);
        break;
    }
    case 1: document.SetItemValue(node, std::size_t{random() % 2 ? 0u : 2u}, "v" + std::to_string(pick(4)), session); break;
    case 2: document.InsertNewItem(random() % 2 ? kRootNode : node); break;
    case 3: document.DeleteNode(node, "Delete Item"); break;
    case 4: document.MoveNodeUp(node); break;
    case 5: document.MoveNodeDown(node); break;
    case 6: document.Indent(node); break;
    case 7: document.Outdent(node); break;
    case 8: {
        const int parent = random() % 2 ? kRootNode : node;
        document.MoveNode(node, parent, pick(agent.ChildCount(parent) + 1), "Move Item");
        break;
    }
    case 9: document.InsertItemsAfter(node, MakeItems({{0, "P", "P.html"}, {1, "P1", "P1.html"}}), "Paste"); break;
    default: document.InsertItemsAfter(node, document.SubtreeItems(node), "Duplicate"); break;
    }
}

TEST(UndoStack, EditsUndoneGiveTheSavedDocumentByteForByteAndRedoneTheEditedOne) {
    std::mt19937 random(20260611);
    int steps = 0;
    for (int trial = 0; trial < 40; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        TMenuDocument document;
        TMenuTreeModel model(document);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
        MakeDocument(document.Agent(), {{0, "A", "A.html"}, {1, "A1", "A1.html"}, {1, "A2", "A2.html"},
                                        {0, "B", "B.html"}, {0, "C", "C.html"}, {1, "C1", "C1.html"}});
        document.MarkSaved();
        const std::string saved = ProjectText(document);
        for (int edit = 0; edit < 30; ++edit) RandomEdit(document, random);
        const std::string edited = ProjectText(document);
        steps += document.UndoStack().count();
        EXPECT_EQ(document.Modified(), document.UndoStack().count() > 0);
        while (document.UndoStack().canUndo()) document.UndoStack().undo();
        EXPECT_EQ(ProjectText(document), saved);
        EXPECT_FALSE(document.Modified()) << "back at the saved state";
        while (document.UndoStack().canRedo()) document.UndoStack().redo();
        EXPECT_EQ(ProjectText(document), edited);
        const QStringList warnings = TakeQtWarnings();
        ASSERT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
    }
    EXPECT_GT(steps, 600) << "the random edits were mostly done, not refused";
}

TEST(UndoStack, OneTypingSessionIsOneStepAndTypingBackLeavesNone) {
    TMenuDocument document;
    constexpr std::size_t kMainFont = 2;
    for (const char* typed : {"G", "Ge", "Geo"}) document.SetLookValue(kMainFont, typed, 7);
    EXPECT_EQ(document.UndoStack().count(), 1);
    EXPECT_EQ(document.UndoStack().undoText(), "Change Main Font");
    document.SetLookValue(kMainFont, "Geor", 8);  // another session
    EXPECT_EQ(document.UndoStack().count(), 2);
    document.SetLookValue(kMainFont, "Geo", 8);
    EXPECT_EQ(document.UndoStack().count(), 1) << "typed back to where the session began";
    document.UndoStack().undo();
    EXPECT_EQ(document.Agent().AppletData().mainItemFont, "arial");
    EXPECT_FALSE(document.Modified());
    EXPECT_FALSE(document.SetLookValue(kMainFont, "arial", 9)) << "no step for the same value";
}

}  // namespace
}  // namespace qm::test
