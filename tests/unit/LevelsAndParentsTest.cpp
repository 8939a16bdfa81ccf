// Making the page refreshes every item's Level and ParentIndex in the document. A file
// that lacks them (an older or hand-made one) gets them as numbers beside its items;
// they must read, move, change and be saved exactly as fields of their own would.
#include <gtest/gtest.h>

#include <functional>

#include "model/DocumentFiles.h"
#include "model/FieldLine.h"
#include "support/TestSupport.h"

namespace qm::test {
namespace {

// A project whose item lines carry no parent index: A; B(C, D); E(F).
std::string HandMadeProject() {
    std::vector<std::string> lines = {"<Product_Name>", "Quillamere", "</Product_Name>", "<Product_Version>", "1.0",
                                      "</Product_Version>", "<Applet_Parameters>", kDefaultParameterLine,
                                      "</Applet_Parameters>", "<Item_Parameters>"};
    for (const auto* item : {"A#$@#$@#$@#$@#$@#$@0#$@#$@#$@#$@", "B#$@#$@#$@#$@#$@#$@0#$@#$@#$@#$@",
                             "C#$@#$@#$@#$@#$@#$@1#$@#$@#$@#$@", "D#$@#$@#$@#$@#$@#$@7#$@#$@#$@#$@",
                             "E#$@#$@#$@#$@#$@#$@0#$@#$@#$@#$@", "F#$@#$@#$@#$@#$@#$@1#$@#$@#$@#$@"})
        lines.emplace_back(item);
    lines.emplace_back("</Item_Parameters>");
    return CrLfText(lines);
}

TItemData Item(const std::string& text, const std::string& level, const std::string& parent) {
    TItemData item;
    item.Text = text;
    item.Level = level;
    item.ParentIndex = parent;
    return item;
}

// The item lines a save writes.
std::string SavedItems(TkvxAppletAgent& agent) {
    std::string scratch;
    const auto text = std::string(agent.ProjectText(scratch));
    const auto from = text.find("<Item_Parameters>\r\n") + 19;
    return text.substr(from, text.find("</Item_Parameters>") - from);
}

std::string LinesOf(const TItemArray& items) {
    std::string lines;
    for (const auto& item : items) {
        for (std::size_t f = 0; f < TItemData::kFieldCount; ++f) lines += item.Field(f) + std::string(kFieldSeparator);
        lines += "\r\n";
    }
    return lines;
}

TEST(LevelsAndParents, RefreshedOnesReadMoveChangeAndSaveAsFields) {
    // After the refresh: each says its place; an edit afterwards moves them with their
    // items and leaves them as they were, until the next refresh.
    const TItemArray refreshed = {Item("A", "0", "-1"), Item("B", "0", "-1"), Item("C", "1", "1"),
                                  Item("D", "1", "1"),  Item("E", "0", "-1"), Item("F", "1", "4")};
    struct Case {
        const char* edit;
        std::function<void(TkvxAppletAgent&)> apply;
        std::function<void(TItemArray&)> expect;  // the same edit on a plain list
    };
    const std::vector<Case> cases = {
        {"none", [](TkvxAppletAgent&) {}, [](TItemArray&) {}},
        {"insert", [](TkvxAppletAgent& a) { a.InsertItem(1, Item("N", "0", "")); },
         [](TItemArray& l) { l.insert(l.begin() + 1, Item("N", "0", "")); }},
        {"delete", [](TkvxAppletAgent& a) { a.DeleteItem(0); }, [](TItemArray& l) { l.erase(l.begin()); }},
        {"swap", [](TkvxAppletAgent& a) { a.SwapItemWithPrevious(3); }, [](TItemArray& l) { std::swap(l[2], l[3]); }},
        {"move a subtree", [](TkvxAppletAgent& a) { a.MoveNodeDown(1); },
         [](TItemArray& l) { std::rotate(l.begin() + 1, l.begin() + 4, l.end()); }},
        {"remove a subtree", [](TkvxAppletAgent& a) { a.DeleteNode(1); },
         [](TItemArray& l) { l.erase(l.begin() + 1, l.begin() + 4); }},
        {"set the fields", [](TkvxAppletAgent& a) {
             a.SetItemField(5, ItemField::ParentIndex, "9");
             a.SetItemField(2, ItemField::Level, "1");
             a.SetItemData(Item("D2", "1", "x"), 3);
         },
         [](TItemArray& l) {
             l[5].ParentIndex = "9";
             l[3] = Item("D2", "1", "x");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edit);
        TkvxAppletAgent agent;
        agent.ReplaceDocument(ParseProjectFile(TextFile::FromBytes(HandMadeProject()), "menu.zorbel"));
        agent.RefreshLevelsAndParents();
        c.apply(agent);
        auto expected = refreshed;
        c.expect(expected);
        ASSERT_EQ(agent.Items(), expected);
        for (int i = 0; i < agent.ItemCount(); ++i) {
            EXPECT_EQ(agent.GetItemField(i, ItemField::Level), expected[i].Level) << i;
            EXPECT_EQ(agent.ItemFields(i)[FieldIndex(ItemField::ParentIndex)], expected[i].ParentIndex) << i;
        }
        EXPECT_EQ(SavedItems(agent), LinesOf(expected));
    }
}

}  // namespace
}  // namespace qm::test
