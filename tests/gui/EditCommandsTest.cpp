// The Edit and Item commands in the window: each command's enabled state, the steps'
// names in Undo and Redo, the tree's keys, the clipboard between windows and from a
// text editor, Cut, Duplicate and Delete as one step each, and typing as one step.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include "support/WindowTest.h"
#include "gui/MenuClipboard.h"
#include "gui/TMenuTreeModel.h"
#include "gui/TPanelBinding.h"
#include "gui/TTreeCommands.h"

namespace qm::test {
namespace {

using Strings = std::vector<std::string>;

class EditCommandsTest : public WindowTest {
protected:
    QString UndoText() { return Find<QAction>("Undo1")->text(); }
    void Trigger(const char* action) { Find<QAction>(action)->trigger(); }
    int Steps() { return window->Document().UndoStack().count(); }
    void ShowActive() {
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    QTreeView* Tree() { return Find<QTreeView>("trvwDesignPanel"); }
};

TEST_F(EditCommandsTest, EachCommandIsEnabledWhereItCanAct) {
    MakeDocument({{0, "A"}, {1, "A1"}, {0, "B"}});
    QApplication::clipboard()->clear();
    const struct {
        int node;
        bool item, indent, outdent;
    } cases[] = {
        {kRootNode, false, false, false},
        {0, true, false, false},  // the first main item, and one with a sub item: stays main
        {1, true, false, true},   // a sub item
        {2, true, true, false},   // a main item without sub items after another
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.node);
        Select(c.node);
        for (const char* name : {"Cut1", "Copy1", "Duplicate1", "Rename2"})
            EXPECT_EQ(Find<QAction>(name)->isEnabled(), c.item) << name;
        for (const char* name : {"Indent1", "Indent2"}) EXPECT_EQ(Find<QAction>(name)->isEnabled(), c.indent) << name;
        for (const char* name : {"Outdent1", "Outdent2"})
            EXPECT_EQ(Find<QAction>(name)->isEnabled(), c.outdent) << name;
        EXPECT_FALSE(Find<QAction>("Paste1")->isEnabled()) << "nothing to paste";
    }
    Trigger("Copy1");
    EXPECT_TRUE(Find<QAction>("Paste1")->isEnabled());
    Select(kRootNode);
    EXPECT_TRUE(Find<QAction>("Paste1")->isEnabled()) << "items paste below the root too";
    EXPECT_TRUE(Find<QAction>("Undo1")->isEnabled());
    EXPECT_FALSE(Find<QAction>("Redo1")->isEnabled());
    Trigger("Undo1");
    EXPECT_TRUE(Find<QAction>("Redo1")->isEnabled());
}

TEST_F(EditCommandsTest, UndoAndRedoNameTheirStepAndShowWhereItHappened) {
    MakeDocument({{0, "A"}, {0, "B"}});
    window->SetModified(false);
    Select(1);
    window->TreeCommands().MoveUp1Click();
    EXPECT_EQ(UndoText(), "&Undo Move Up");
    Trigger("Undo1");
    EXPECT_EQ(Captions(), (Strings{"A", "B"}));
    EXPECT_FALSE(window->Modified()) << "back at the saved state";
    EXPECT_EQ(Find<QAction>("Redo1")->text(), "&Redo Move Up");
    Trigger("Redo1");
    EXPECT_EQ(Captions(), (Strings{"B", "A"}));
    EXPECT_EQ(window->SelectedNode(), 0) << "the moved item";

    Select(kRootNode);
    Find<QSpinBox>("spnedt__mainItemHeight")->setValue(30);
    EXPECT_EQ(UndoText(), "&Undo Change Main Item Height");
    Select(1);
    Trigger("Undo1");
    EXPECT_EQ(window->SelectedNode(), kRootNode) << "the look's page is shown";
    EXPECT_EQ(Find<QTabWidget>("pgcntrl1")->currentWidget()->objectName(), "tbshtScript");
    EXPECT_EQ(Find<QSpinBox>("spnedt__mainItemHeight")->value(), 20);
}

TEST_F(EditCommandsTest, TheTreesKeysEditWhereTheTreeHasTheFocus) {
    MakeDocument({{0, "A"}, {1, "A1"}, {0, "B"}});
    ASSERT_NO_FATAL_FAILURE(ShowActive());
    Select(2);  // B
    Tree()->setFocus();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        Strings after;
    } keys[] = {
        {Qt::Key_Up, Qt::ControlModifier, {"B:0", "A:0", "A1:1"}},
        {Qt::Key_Down, Qt::ControlModifier, {"A:0", "A1:1", "B:0"}},
        {Qt::Key_Right, Qt::ControlModifier, {"A:0", "A1:1", "B:1"}},
        {Qt::Key_Left, Qt::ControlModifier, {"A:0", "A1:1", "B:0"}},
        {Qt::Key_D, Qt::ControlModifier, {"A:0", "A1:1", "B:0", "B:0"}},
        {Qt::Key_Insert, Qt::NoModifier, {"A:0", "A1:1", "B:0", "B:0", "New item:1"}},
    };
    for (const auto& k : keys) {
        SCOPED_TRACE(QKeySequence(k.key | k.modifiers).toString().toStdString());
        QTest::keyClick(Tree(), k.key, k.modifiers);
        EXPECT_EQ(CaptionsWithLevels(), k.after);
    }
    // Insert opened the new caption; Escape closes the editor, not the window; F2 opens
    // it again.
    const auto openEditor = [this]() -> QLineEdit* {
        for (auto* open : Tree()->findChildren<QLineEdit*>("edtCaptionInPlace"))
            if (open->isVisible()) return open;
        return nullptr;
    };
    ASSERT_NE(openEditor(), nullptr);
    QTest::keyClick(openEditor(), Qt::Key_Escape);
    EXPECT_EQ(openEditor(), nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(dialogs.messages.empty());
    QTest::keyClick(Tree(), Qt::Key_F2);
    ASSERT_NE(openEditor(), nullptr);
    QTest::keyClick(openEditor(), Qt::Key_Escape);
    QTest::keyClick(Tree(), Qt::Key_Delete);
    EXPECT_TRUE(dialogs.messages.empty()) << "Undo brings it back: nothing is asked";
    EXPECT_EQ(UndoText(), "&Undo Delete New item");
    QTest::keyClick(Tree(), Qt::Key_Z, Qt::ControlModifier);

    // In a text field the keys are the field's.
    Select(kRootNode);
    auto* font = Find<QLineEdit>("edt__mainItemFont");
    font->setFocus();
    font->setCursorPosition(0);
    QTest::keyClick(font, Qt::Key_Right, Qt::ControlModifier);
    QTest::keyClick(font, Qt::Key_Delete);
    EXPECT_EQ(CaptionsWithLevels(), (Strings{"A:0", "A1:1", "B:0", "B:0", "New item:1"}));
    EXPECT_EQ(font->text(), "arial") << "at the end of the word: nothing to delete";
}

TEST_F(EditCommandsTest, ABranchTravelsToAnotherWindowAndLinesFromATextEditorBecomeItems) {
    MakeDocument({{0, "Boats"}, {1, "Sailing"}, {1, "Rowing"}, {0, "Map"}});
    Select(1);
    Find<QComboBox>("cmbx_Link")->setEditText("sail.html");
    Select(0);
    Trigger("Copy1");
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_TRUE(copied->hasFormat(kMenuStructureMimeType));
    EXPECT_EQ(copied->text(), "Boats\n\tSailing\tsail.html\n\tRowing\n");

    TMainForm other(&dialogs);
    other.SelectNode(kRootNode);
    other.TreeCommands().Paste1Click();
    ASSERT_EQ(other.Agent().ItemCount(), 3);
    EXPECT_EQ(other.Agent().Items()[1].Text, "Sailing");
    EXPECT_EQ(other.Agent().Items()[1].Level, "1");
    EXPECT_EQ(other.Agent().Items()[1].Link, "sail.html");
    other.SetModified(false);

    // Pasted on a sub item: plain lines become sub items after it; lines with an
    // indented one go after its parent, since nothing goes below a sub item.
    QApplication::clipboard()->setText("Hire\nLessons\n");
    Select(1);  // Sailing
    window->TreeCommands().Paste1Click();
    QApplication::clipboard()->setText("Home\n  About\n\n  Tom's team\nContact\n");
    window->TreeCommands().Paste1Click();
    EXPECT_EQ(CaptionsWithLevels(), (Strings{"Boats:0", "Sailing:1", "Hire:1", "Lessons:1", "Rowing:1", "Home:0",
                                             "About:1", "Toms team:1", "Contact:0", "Map:0"}));
    EXPECT_EQ(dialogs.MessageTexts().size(), 1) << "what the text check removed is said";
    EXPECT_EQ(UndoText(), "&Undo Paste");
    Trigger("Undo1");
    EXPECT_EQ(Captions().size(), 6u) << "a paste is one step";
}

// Lines from a text editor or rows from a spreadsheet: tab-separated columns are the
// caption, the link and the target; a list's markers are dropped; indentation makes
// sub items.
TEST_F(EditCommandsTest, PastedLinesGiveCaptionLinkAndTargetWithoutListMarkers) {
    const struct {
        const char* text;
        Strings items;  // caption|link|target:level
    } cases[] = {
        {"Boats\thttp://boats.example/\r\nMap\tmap.html\t_blank\r\n",
         {"Boats|http://boats.example/|_self:0", "Map|map.html|_blank:0"}},
        {"- Home\n- About\n  - Team\n* Contact\n", {"Home||_self:0", "About||_self:0", "Team||_self:1", "Contact||_self:0"}},
        {"1. First\n2) Second\n10. Tenth\n\u2022 Bullet\n", {"First||_self:0", "Second||_self:0", "Tenth||_self:0", "Bullet||_self:0"}},
        {"Boats\t/boats/\n\tSailing\t/boats/sail.html\n\t\n", {"Boats|/boats/|_self:0", "Sailing|/boats/sail.html|_self:1"}},
        {"2024 Events\n-5 % off\nDocs\t\t_top\t\n", {"2024 Events||_self:0", "-5 % off||_self:0", "Docs||_top:0"}},
    };
    const auto shown = [](const TItemArray& items) {
        Strings rows;
        for (const auto& item : items) rows.push_back(item.Text + "|" + item.Link + "|" + item.Target + ":" + item.Level);
        return rows;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const TItemArray items = ItemsOfPlainText(QString::fromUtf8(c.text), "#$@");
        EXPECT_EQ(shown(items), c.items);
        EXPECT_EQ(shown(ItemsOfPlainText(PlainTextOf(items), "#$@")), c.items) << "copied out and back";
    }
    // Through the window: a quote in a link column is checked as a typed link is.
    MakeDocument({{0, "A"}});
    QApplication::clipboard()->setText("Tom's page\tteam.html\nHire\thire.html\t_blank\n");
    Select(0);
    window->TreeCommands().Paste1Click();
    EXPECT_EQ(shown(window->Agent().Items()), (Strings{"A||_self:0", "Toms page|team.html|_self:0", "Hire|hire.html|_blank:0"}));
    EXPECT_EQ(dialogs.MessageTexts().size(), 1);
}

TEST_F(EditCommandsTest, CutDuplicateAndDeleteAreOneStepEach) {
    MakeDocument({{0, "A"}, {1, "A1"}, {0, "B"}});
    const TItemArray before = window->Agent().Items();
    const int steps = Steps();
    Select(0);
    Trigger("Duplicate1");
    EXPECT_EQ(CaptionsWithLevels(), (Strings{"A:0", "A1:1", "A:0", "A1:1", "B:0"}));
    EXPECT_EQ(window->SelectedNode(), 2) << "the copy";
    Select(0);
    Trigger("Cut1");
    EXPECT_EQ(CaptionsWithLevels(), (Strings{"A:0", "A1:1", "B:0"}));
    EXPECT_TRUE(dialogs.messages.empty()) << "a cut asks nothing: it can be undone and pasted";
    window->TreeCommands().Delete1Click();
    EXPECT_EQ(Steps(), steps + 3);
    for (const char* step : {"&Undo Delete A (1 sub item)", "&Undo Cut", "&Undo Duplicate"}) {
        EXPECT_EQ(UndoText(), step);
        Trigger("Undo1");
    }
    EXPECT_EQ(window->Agent().Items(), before);
}

TEST_F(EditCommandsTest, TypingIsOneStepUntilTheFocusMovesAndSteppingOnePerPause) {
    ASSERT_NO_FATAL_FAILURE(ShowActive());
    Select(kRootNode);
    const int steps = Steps();
    auto* font = Find<QLineEdit>("edt__mainItemFont");
    font->setFocus();
    font->selectAll();
    QTest::keyClicks(font, "Georgia");
    QTest::keyClicks(font, " Bold");
    EXPECT_EQ(Steps(), steps + 1);
    EXPECT_EQ(UndoText(), "&Undo Change Main Font");
    auto* size = Find<QSpinBox>("spnedt__mainItemFontSize");
    size->setFocus();
    // No stall of a busy machine between two key presses makes a pause.
    window->PanelBinding().SetStepPause(std::chrono::hours(1));
    for (int i = 0; i < 3; ++i) QTest::keyClick(size, Qt::Key_Up);
    EXPECT_EQ(size->value(), 14);
    EXPECT_EQ(Steps(), steps + 2) << "steps in a row are one";
    // A pause: one that ends at once, waited for.
    window->PanelBinding().SetStepPause(std::chrono::milliseconds(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->PanelBinding().Stepping(); }, 60000));
    QTest::keyClick(size, Qt::Key_Up);
    EXPECT_EQ(Steps(), steps + 3);
    // Ctrl+Z in a field undoes the document's step, not the field's own typing.
    QTest::keyClick(size, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(size->value(), 14);
    QTest::keyClick(size, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(size->value(), 11);
    font->setFocus();
    QTest::keyClick(font, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(font->text(), "arial");
    EXPECT_FALSE(window->Modified());
}

}  // namespace
}  // namespace qm::test
