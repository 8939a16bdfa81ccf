// Random edits of the menu tree, as the tree editor and the list operations make them,
// against a plain model of the tree (main items, each with its sub items). After every
// edit the document's items read as a tree are the model (count, captions, depths);
// every few edits and at the end every tree query answers as the model does and the
// levels it holds say the same; at the end the published project carries the tree's
// levels and parents, and a document rebuilt from its items agrees too.
#include <algorithm>

#include "FuzzInput.h"
#include "model/DocumentFiles.h"
#include "model/TkvxAppletAgent.h"
#include "model/WholeNumber.h"

using namespace qm;

namespace {

constexpr const char* kLevels[] = {"0", "1", "2", "-1", "x", "", "+1", "01"};
// A dozen items give every shape of a two-level tree room to change, and some thirty
// edits build one and rearrange it. Every query is a function of the levels alone (the
// index is rebuilt from them after a change), so the queries the items do not answer
// are asked only every few edits and after the last: the trees between are no others
// than those the fuzzer reaches at a check. The published project is read back once,
// after the last edit.
constexpr int kMostItems = 12;
constexpr int kMostEdits = 32;
constexpr int kQueriesEvery = 8;

// The checking code is left out of the coverage: what guides the fuzzer is the code
// under test, not how often the model was walked.
// Only clang knows the attribute; the replay build (gcc) has no coverage to leave out.
#if defined(__clang__)
#define QM_NOT_COVERED __attribute__((no_sanitize("coverage")))
#else
#define QM_NOT_COVERED
#endif

struct MainItem {
    std::string text;
    std::vector<std::string> subs;
};
using Model = std::vector<MainItem>;

// The tree the levels describe: the first item and every item whose level is no whole
// number of at least 1 is a main item; any other hangs under the nearest main item
// before it.
template <class Levels, class Texts>
QM_NOT_COVERED Model ModelFromLevels(std::size_t count, Levels level, Texts text) {
    Model model;
    for (std::size_t i = 0; i < count; ++i) {
        const auto depth = ParseWholeNumber(level(i)).value_or(0);
        if (i == 0 || depth < 1)
            model.push_back({std::string(text(i)), {}});
        else
            model.back().subs.emplace_back(text(i));
    }
    return model;
}
// An item as this target makes every one: a new item with a caption and a level.
struct ListItem {
    std::string text, level;
};
using List = std::vector<ListItem>;
QM_NOT_COVERED Model ModelFromLevels(const List& list) {
    return ModelFromLevels(
        list.size(), [&](std::size_t i) -> std::string_view { return list[i].level; },
        [&](std::size_t i) -> std::string_view { return list[i].text; });
}
QM_NOT_COVERED List ListOf(const TkvxAppletAgent& agent) {
    List list(static_cast<std::size_t>(agent.ItemCount()));
    for (int i = 0; i < agent.ItemCount(); ++i)
        list[static_cast<std::size_t>(i)] = {std::string(agent.GetItemField(i, ItemField::Text)),
                                             std::string(agent.GetItemField(i, ItemField::Level))};
    return list;
}
// The same read from the document's fields, without copying its records.
QM_NOT_COVERED Model ModelFromLevels(const TkvxAppletAgent& agent) {
    const auto field = [&agent](ItemField which) {
        return [&agent, which](std::size_t i) { return agent.GetItemField(static_cast<int>(i), which); };
    };
    return ModelFromLevels(static_cast<std::size_t>(agent.ItemCount()), field(ItemField::Level),
                           field(ItemField::Text));
}

struct Node {
    std::string text;
    int parent, row, depth, children, subtree;
};

// The model's nodes in pre-order, with what every query should answer.
QM_NOT_COVERED std::vector<Node> NodesOf(const Model& model, std::vector<int>& mains) {
    std::vector<Node> nodes;
    mains.clear();
    for (int row = 0; row < static_cast<int>(model.size()); ++row) {
        const int main = static_cast<int>(nodes.size());
        const int subs = static_cast<int>(model[row].subs.size());
        mains.push_back(main);
        nodes.push_back({model[row].text, kRootNode, row, 1, subs, subs + 1});
        for (int sub = 0; sub < subs; ++sub) nodes.push_back({model[row].subs[sub], main, sub, 2, 0, 1});
    }
    return nodes;
}

// The items as the tree: their count, captions and depths as the model has them (the
// parents and rows follow from the depths). No copies, no message made: after every edit.
QM_NOT_COVERED void CheckItems(const TkvxAppletAgent& agent, const Model& model, std::string_view what) {
    const auto& depths = agent.Depths();
    std::size_t node = 0;
    bool holds = true;
    for (const auto& main : model) {
        holds = holds && node < depths.size() && depths[node] == 0 && agent.ItemText(static_cast<int>(node)) == main.text;
        ++node;
        for (const auto& sub : main.subs) {
            holds = holds && node < depths.size() && depths[node] == 1 && agent.ItemText(static_cast<int>(node)) == sub;
            ++node;
        }
    }
    fuzz::Check(holds && node == depths.size() && agent.ItemCount() == static_cast<int>(node), "the items", what);
}

// Every tree query against the model, and the tree the stored levels rebuild.
QM_NOT_COVERED void CheckAgainst(const TkvxAppletAgent& agent, const Model& model, std::string_view what) {
    CheckItems(agent, model, what);
    std::vector<int> mains;
    const auto nodes = NodesOf(model, mains);
    const int n = static_cast<int>(nodes.size());
    const std::string context(what);
    fuzz::Check(agent.ItemCount() == n, "item count", context);
    fuzz::Check(agent.ChildNodes(kRootNode) == mains, "the root's children", context);
    fuzz::Check(agent.ChildCount(kRootNode) == static_cast<int>(mains.size()), "the root's child count", context);
    fuzz::Check(agent.SubtreeSize(kRootNode) == n + 1 && agent.NodeLevel(kRootNode) == 0 &&
                    agent.ParentNode(kRootNode) == kNoNode,
                "the root", context);
    for (int node = 0; node < n; ++node) {
        const auto& expected = nodes[node];
        const auto expect = [&](bool holds, const char* query) {
            if (!holds) fuzz::Check(false, query, context + ", node " + std::to_string(node));
        };
        expect(agent.GetItemField(node, ItemField::Text) == expected.text, "caption");
        expect(agent.NodeLevel(node) == expected.depth, "level");
        expect(agent.ParentNode(node) == expected.parent, "parent");
        expect(agent.RowOfNode(node) == expected.row, "row");
        // An edit that forgot to rebuild the index would leave it apart from the levels.
        const auto stored = ParseWholeNumber(agent.GetItemField(node, ItemField::Level)).value_or(0);
        expect(EffectiveDepth(static_cast<std::size_t>(node), stored) + 1 == expected.depth, "stored level");
        expect(agent.ChildCount(node) == expected.children, "child count");
        expect(agent.SubtreeSize(node) == expected.subtree, "subtree size");
        expect(agent.NextNodeInPreOrder(node) == (node + 1 < n ? node + 1 : kNoNode), "next in pre-order");
        std::vector<int> children;
        for (int row = 0; row < expected.children; ++row) children.push_back(node + 1 + row);
        expect(agent.ChildNodes(node) == children, "children");
        for (int row = -1; row <= expected.children; ++row)
            expect(agent.ChildNode(node, row) ==
                            (row >= 0 && row < expected.children ? children[static_cast<std::size_t>(row)] : kNoNode),
                        "child by row");
        // Siblings: main items are listed in mains; sub items follow their main item.
        const bool main = expected.parent == kRootNode;
        const int count = main ? static_cast<int>(mains.size()) : nodes[expected.parent].children;
        const auto sibling = [&](int row) { return main ? mains[row] : expected.parent + 1 + row; };
        expect(agent.PreviousSibling(node) == (expected.row > 0 ? sibling(expected.row - 1) : kNoNode),
                    "previous sibling");
        expect(agent.NextSibling(node) == (expected.row + 1 < count ? sibling(expected.row + 1) : kNoNode),
                    "next sibling");
    }
    const auto fromLevels = ModelFromLevels(agent);
    fuzz::Check(fromLevels.size() == model.size(), "the levels rebuild another tree", context);
    for (std::size_t row = 0; row < model.size(); ++row)
        fuzz::Check(fromLevels[row].text == model[row].text && fromLevels[row].subs == model[row].subs,
                    "the levels rebuild another tree", context);
}

// (main row, sub row or -1) of a node of the model; (-1, -1) for the root.
QM_NOT_COVERED std::pair<int, int> Place(const Model& model, int node) {
    if (node < 0) return {-1, -1};
    for (int row = 0; row < static_cast<int>(model.size()); ++row) {
        if (node == 0) return {row, -1};
        --node;
        if (node < static_cast<int>(model[row].subs.size())) return {row, node};
        node -= static_cast<int>(model[row].subs.size());
    }
    return {-1, -1};
}

// Every field of every item as the list edit left it, read in place: the caption and
// the level as listed, all else as a new item has it.
QM_NOT_COVERED void CheckList(const TkvxAppletAgent& agent, const List& list, std::string_view what) {
    fuzz::Check(agent.ItemCount() == static_cast<int>(list.size()), "the list edit", what);
    auto expected = TkvxAppletAgent::NewItemData();
    for (int i = 0; i < agent.ItemCount(); ++i) {
        expected.Text = list[static_cast<std::size_t>(i)].text;
        expected.Level = list[static_cast<std::size_t>(i)].level;
        const auto fields = agent.ItemFields(i);
        for (std::size_t field = 0; field < TItemData::kFieldCount; ++field)
            if (fields[field] != expected.Field(field)) fuzz::Check(false, "the list edit", what);
    }
}

// The project as published beside the page: every level and parent as the tree says.
QM_NOT_COVERED void CheckPublished(const TkvxAppletAgent& agent) {
    const std::string_view what = "the published levels and parents";
    std::string text;
    agent.WritePublishedProject([&text](std::string_view part) { text += part; });
    const auto published = ParseProjectFile(TextFile::FromBytes(text), "published.zorbel");
    for (int i = 0; i < agent.ItemCount(); ++i) {
        fuzz::Check(published.items.Field(i, ItemField::Level) == std::to_string(agent.NodeLevel(i) - 1), what);
        const int parent = agent.ParentNode(i);
        fuzz::Check(published.items.Field(i, ItemField::ParentIndex) == std::to_string(parent == kRootNode ? -1 : parent),
                    what);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    TkvxAppletAgent agent;
    agent.ResetToDefaults();
    Model model;
    int captions = 0;
    for (int edit = 0; edit < kMostEdits && !input.Empty(); ++edit) {
        const int n = agent.ItemCount();
        const int node = static_cast<int>(input.Choice(static_cast<unsigned>(n + 1))) - 1;  // kRootNode too
        const int index = static_cast<int>(input.Choice(static_cast<unsigned>(n + 2)));    // one past the end too
        const auto [row, sub] = Place(model, node);
        const auto caption = "c" + std::to_string(++captions);
        const auto kind = input.Choice(9);
        const bool listEdit = kind >= 5 && kind <= 8;
        // What a plain list becomes under the list edits (read only for them).
        auto list = listEdit ? ListOf(agent) : List();
        std::string what;
        switch (kind) {
        case 0: {
            what = "insert under " + std::to_string(node);
            if (n >= kMostItems) break;
            const int added = agent.InsertNewChild(node);
            fuzz::Check((added == kNoNode) == (sub >= 0), what);
            if (added == kNoNode) break;
            fuzz::Check(agent.GetItemField(added, ItemField::Text) == "Item", what);
            agent.SetItemCaption(added, caption);
            if (node == kRootNode)
                model.push_back({caption, {}});
            else
                model[row].subs.push_back(caption);
            break;
        }
        case 1:
            what = "delete " + std::to_string(node);
            fuzz::Check(agent.DeleteNode(node) == (node != kRootNode), what);
            if (node == kRootNode) break;
            if (sub >= 0)
                model[row].subs.erase(model[row].subs.begin() + sub);
            else
                model.erase(model.begin() + row);
            break;
        case 2:
        case 3: {
            const bool up = input.Choice(2) == 0;
            what = std::string(up ? "move up " : "move down ") + std::to_string(node);
            const bool moved = up ? agent.MoveNodeUp(node) : agent.MoveNodeDown(node);
            if (node == kRootNode) {
                fuzz::Check(!moved, what);
                break;
            }
            const int at = sub >= 0 ? sub : row;
            const int siblings = static_cast<int>(sub >= 0 ? model[row].subs.size() : model.size());
            const int other = up ? at - 1 : at + 1;
            fuzz::Check(moved == (other >= 0 && other < siblings), what);
            if (!moved) break;
            if (sub >= 0)
                std::swap(model[row].subs[sub], model[row].subs[other]);
            else
                std::swap(model[row], model[other]);
            break;
        }
        case 4:
            what = "caption of " + std::to_string(node);
            if (node == kRootNode) break;
            agent.SetItemCaption(node, caption);
            (sub >= 0 ? model[row].subs[sub] : model[row].text) = caption;
            break;
        case 5: {
            what = "insert item at " + std::to_string(index);
            if (n >= kMostItems) break;
            auto item = TkvxAppletAgent::NewItemData();
            item.Text = caption;
            item.Level = kLevels[input.Choice(std::size(kLevels))];
            agent.InsertItem(index, item);
            if (index <= n) list.insert(list.begin() + index, {item.Text, item.Level});
            break;
        }
        case 6:
            what = "delete item " + std::to_string(index);
            agent.DeleteItem(index);
            if (index < n) list.erase(list.begin() + index);
            break;
        case 7:
            what = "swap item " + std::to_string(index);
            agent.SwapItemWithPrevious(index);
            if (index > 0 && index < n) std::swap(list[index], list[index - 1]);
            break;
        case 8: {
            what = "level of " + std::to_string(node);
            if (node == kRootNode) break;
            auto item = agent.GetItemData(node);
            item.Level = kLevels[input.Choice(std::size(kLevels))];
            agent.SetItemData(item, node);
            list[node].level = item.Level;
            break;
        }
        }
        if (listEdit) {
            CheckList(agent, list, what);
            model = ModelFromLevels(list);
        }
        if ((edit + 1) % kQueriesEvery == 0)
            CheckAgainst(agent, model, what);
        else
            CheckItems(agent, model, what);
    }
    CheckAgainst(agent, model, "the document after the last edit");
    CheckPublished(agent);
    TkvxAppletAgent rebuilt;
    rebuilt.ReplaceDocument(agent.AppletData(), agent.Items());
    CheckAgainst(rebuilt, model, "a document rebuilt from the items");
    return 0;
}
