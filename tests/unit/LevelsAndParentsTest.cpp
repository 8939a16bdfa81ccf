// The project published with a page says every item's Level and ParentIndex as the tree
// says, whatever the document holds: a file that lacks them (an older or hand-made one)
// keeps its fields as read, through any edit, and a plain save (a recovery copy) writes
// them so; the published project has them as the edited tree has them.
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

// The item lines of a project text.
std::string ItemLines(const std::string& text) {
    const auto from = text.find("<Item_Parameters>\r\n") + 19;
    return text.substr(from, text.find("</Item_Parameters>") - from);
}
std::string SavedItems(const TkvxAppletAgent& agent) {
    std::string scratch;
    return ItemLines(std::string(agent.ProjectText(scratch)));
}

std::string LinesOf(const TItemArray& items) {
    std::string lines;
    for (const auto& item : items) {
        for (std::size_t f = 0; f < TItemData::kFieldCount; ++f) lines += item.Field(f) + std::string(kFieldSeparator);
        lines += "\r\n";
    }
    return lines;
}

// The list as published: each Level and ParentIndex from the parents (kRootNode for a
// main item).
TItemArray Published(TItemArray items, const std::vector<int>& parents) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i].Level = parents[i] == kRootNode ? "0" : "1";
        items[i].ParentIndex = std::to_string(parents[i]);
    }
    return items;
}

TEST(LevelsAndParents, PublishedAsTheTreeSaysAfterAnyEditAndStoredAsRead) {
    // As read: A; B(C, D); E(F), D's level 7 read as a sub item's.
    const TItemArray read = {Item("A", "0", ""), Item("B", "0", ""), Item("C", "1", ""),
                             Item("D", "1", ""), Item("E", "0", ""), Item("F", "1", "")};
    struct Case {
        const char* edit;
        std::function<void(TkvxAppletAgent&)> apply;
        std::function<void(TItemArray&)> expect;  // the same edit on a plain list
        std::vector<int> parents;                 // the tree's after the edit
    };
    const std::vector<Case> cases = {
        {"none", [](TkvxAppletAgent&) {}, [](TItemArray&) {}, {-1, -1, 1, 1, -1, 4}},
        {"insert", [](TkvxAppletAgent& a) { a.InsertItem(1, Item("N", "0", "")); },
         [](TItemArray& l) { l.insert(l.begin() + 1, Item("N", "0", "")); }, {-1, -1, -1, 2, 2, -1, 5}},
        {"delete", [](TkvxAppletAgent& a) { a.DeleteItem(0); }, [](TItemArray& l) { l.erase(l.begin()); },
         {-1, 0, 0, -1, 3}},
        {"swap", [](TkvxAppletAgent& a) { a.SwapItemWithPrevious(3); }, [](TItemArray& l) { std::swap(l[2], l[3]); },
         {-1, -1, 1, 1, -1, 4}},
        {"move a subtree", [](TkvxAppletAgent& a) { a.MoveNodeDown(1); },
         [](TItemArray& l) { std::rotate(l.begin() + 1, l.begin() + 4, l.end()); }, {-1, -1, 1, -1, 3, 3}},
        {"remove a subtree", [](TkvxAppletAgent& a) { a.DeleteNode(1); },
         [](TItemArray& l) { l.erase(l.begin() + 1, l.begin() + 4); }, {-1, -1, 1}},
        {"set the fields", [](TkvxAppletAgent& a) {
             a.SetItemField(5, ItemField::ParentIndex, "9");
             a.SetItemField(2, ItemField::Level, "1");
             a.SetItemData(Item("D2", "1", "x"), 3);
         },
         [](TItemArray& l) {
             l[5].ParentIndex = "9";
             l[3] = Item("D2", "1", "x");
         },
         {-1, -1, 1, 1, -1, 4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edit);
        TkvxAppletAgent agent;
        agent.ReplaceDocument(ParseProjectFile(TextFile::FromBytes(HandMadeProject()), "menu.zorbel"));
        c.apply(agent);
        auto expected = read;
        c.expect(expected);
        ASSERT_EQ(agent.Items(), expected);
        for (int i = 0; i < agent.ItemCount(); ++i) {
            EXPECT_EQ(agent.GetItemField(i, ItemField::Level), expected[i].Level) << i;
            EXPECT_EQ(agent.ItemFields(i)[FieldIndex(ItemField::ParentIndex)], expected[i].ParentIndex) << i;
        }
        EXPECT_EQ(SavedItems(agent), LinesOf(expected));
        EXPECT_EQ(ItemLines(PublishedProject(agent)), LinesOf(Published(expected, c.parents)));
    }
}

}  // namespace
}  // namespace qm::test
