#pragma once
// The menu document: the applet-wide parameters, the item list and the files every
// page needs.
//
// The item list, in pre-order with each item's Level, *is* the menu tree: item i is the
// node with absolute index i + 1 below the root "Quillamere". Parents, siblings and
// children are derived from the levels (a derived index is rebuilt after each change),
// so there is no second copy of the tree to keep in step. Level "0" is a main item,
// "1" a sub item under the nearest main item before it. A level that cannot stand
// where it is (a first item that is not 0, anything deeper than a sub item, a negative
// level) is read as the nearest possible parent makes it; readers rewrite such levels.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/ItemStore.h"
#include "model/MenuRecords.h"
#include "model/MenuTreeObserver.h"
#include "model/ProgressDisplay.h"
#include "model/TextFile.h"
#include "model/TextSink.h"

namespace qm {

// Node ids: an item index (0-based), or one of these.
inline constexpr int kRootNode = -1;
inline constexpr int kNoNode = -2;

// What a reader found besides the document.
struct LoadReport {
    int reattachedItems = 0;  // items whose level had to be changed to keep the tree sound
    Windows1252Bytes windows1252;  // bytes that were not UTF-8, read as Windows-1252
    // What the user should hear of, one sentence each (no full stop).
    std::vector<std::string> Warnings() const;
};

// A document as a reader hands it to the agent: the look, the items over the file's
// text, and each item's depth in the tree (0 main, 1 sub) as the reader found it.
struct ParsedDocument {
    TAppletData appletData;
    ItemStore items;
    std::vector<std::uint8_t> depths;
    // The whole text, when it is byte for byte what saving this document writes; empty
    // otherwise. A view into items' text (which moves with it).
    std::string_view savedForm;
    // Every Level and ParentIndex already says what the tree says.
    bool levelsAndParentsFresh = false;
    LoadReport report;
};

// The depth (0 main, 1 sub) of the item at index read with the given level: the nearest
// possible parent. The first item and anything not deeper than 0 are main items.
inline std::uint8_t EffectiveDepth(std::size_t index, long long level) {
    return (index > 0 && level >= 1) ? 1 : 0;
}
// The Level text that says a depth: "0" or "1".
inline std::string_view LevelText(std::uint8_t depth) {
    return depth == 0 ? "0" : "1";
}

class TkvxAppletAgent {
public:
    TkvxAppletAgent();  // empty items, all-empty AppletData, the two linked files

    // --- The records -------------------------------------------------------------
    void ResetToDefaults();  // default look, no items; linked files and lists untouched
    TAppletData GetAppletData() const { return appletData_; }
    void SetAppletData(const TAppletData& data);
    // One look field (0 <= field < TAppletData::kFieldCount).
    void SetAppletField(std::size_t field, std::string_view value);
    const TAppletData& AppletData() const { return appletData_; }
    // 0 <= index < ItemCount(); outside that range an empty record is returned and
    // SetItemData does nothing.
    TItemData GetItemData(int index) const;
    void SetItemData(const TItemData& item, int index);
    static TItemData NewItemData();  // "Item", "_self", all else empty

    // List edits of the record list, with their boundary rules: InsertItem appends at
    // index == n and does nothing beyond; DeleteItem and SwapItemWithPrevious do
    // nothing at index >= n (Swap also at 0). The tree follows, being derived.
    void InsertItem(int index, const TItemData& item);
    void DeleteItem(int index);
    void SwapItemWithPrevious(int index);

    // Every item as a record: a copy of the whole list, for tests and small documents.
    TItemArray Items() const;
    int ItemCount() const { return items_.Count(); }
    // Fields without a copy, valid until the document changes (0 <= index < n).
    std::string_view GetItemField(int index, ItemField field) const { return items_.Field(index, field); }
    std::string_view ItemText(int index) const { return items_.Field(index, ItemField::Text); }
    // All fields, or those up to last (the rest empty).
    ItemFieldViews ItemFields(int index, ItemField last = ItemField::ParentIndex) const {
        return items_.Fields(index, last);
    }
    // Sets one field as SetItemData would, telling the view of a caption or a level.
    void SetItemField(int index, ItemField field, std::string_view value);
    const TLinkedFileInfoArray& LinkedFiles() const { return linkedFiles_; }
    const std::string& Separator() const { return separator_; }

    // --- The menu tree ---------------------------------------------------------------
    int NodeCount() const { return ItemCount() + 1; }
    bool IsValidNode(int node) const { return node == kRootNode || (node >= 0 && node < ItemCount()); }
    static int AbsoluteIndex(int node) { return node + 1; }
    static int NodeOfAbsoluteIndex(int absoluteIndex) { return absoluteIndex - 1; }
    int NodeLevel(int node) const;          // root 0, main items 1, sub items 2
    int ParentNode(int node) const;         // kNoNode for the root
    int PreviousSibling(int node) const;    // kNoNode when none
    int NextSibling(int node) const;        // kNoNode when none
    int ChildCount(int node) const;
    int ChildNode(int node, int row) const; // kNoNode when out of range
    std::vector<int> ChildNodes(int node) const;
    int RowOfNode(int node) const;          // position among its siblings; 0 for the root
    int SubtreeSize(int node) const;        // the node and all its descendants
    int CountDescendants(int node) const { return SubtreeSize(node) - 1; }
    // The node that follows in pre-order; kNoNode after the last one.
    int NextNodeInPreOrder(int node) const;

    // Tree edits; each is one step that a view can follow (and later undo).
    // Appends a new item ("Item", "_self") as the last child of a node at level 0 or 1
    // and returns it; returns kNoNode for a sub item or an invalid node.
    int InsertNewChild(int parentNode);
    // Deletes an item node with its subtree. Returns false for the root.
    bool DeleteNode(int node);
    // Moves a node with its subtree before its previous sibling, or after its next one,
    // at the cost of the two subtrees. Returns false when there is no such sibling.
    bool MoveNodeUp(int node);
    bool MoveNodeDown(int node);
    // Renames an item (its Text) and tells the view.
    void SetItemCaption(int item, const std::string& text);

    // --- Block edits: undo, paste, drag and drop ------------------------------------
    // Each is one step that a view can follow, and each has an exact inverse: what
    // RemoveNodes returns, InsertNodes puts back byte for byte, and a move is undone by
    // the move back. Levels: 0 is a main item, 1 a sub item.

    // The item position where child row `row` of a node starts, or would start (row ==
    // its child count: after its last descendant). -1 for a sub item or a bad row.
    int PositionOfRow(int parentNode, int row) const;
    // Inserts block as rows row.. of parentNode. The block is in pre-order with its
    // levels: under the root its first item reads as a main item and each sub item
    // belongs to the main item before it; under a main item all are sub items. Levels
    // are kept as written. Returns the first inserted item; kNoNode, with nothing
    // changed, for an empty block, a bad place or levels that do not fit there.
    int InsertNodes(int parentNode, int row, TItemArray block);
    // Removes rows firstRow..lastRow of parentNode with their subtrees and returns their
    // items; returns nothing, with nothing changed, for bad rows.
    TItemArray RemoveNodes(int parentNode, int firstRow, int lastRow);
    // Whether a node, with its subtree, may move to stand before item position `before`
    // (0..ItemCount(), not inside the subtree) with level `level`. The two-level rule
    // holds: a main item with sub items stays a main item; a sub item needs a main item
    // before it; a main item lands only where it takes no other item's sub items. Its
    // own place with its own level is no move.
    bool CanMoveNode(int node, int before, int level) const;
    // Moves it there and returns its new item index, or kNoNode (nothing changed) where
    // CanMoveNode says no. The node's Level becomes levelText when one is given (it must
    // read as `level` where the node lands: undo gives back the text it had), else the
    // level's number where its level changes.
    int MoveNode(int node, int before, int level, const std::string& levelText = {});

    // The depth of every item (0 main, 1 sub), by item index. The stored Level and
    // ParentIndex are not kept up to date by the edits: the writers take these.
    const std::vector<std::uint8_t>& Depths() const { return Tree().depth; }
    // The parent of every item (kRootNode or its main item), by item index.
    const std::vector<int>& Parents() const { return Tree().parent; }

    // --- Files -----------------------------------------------------------------------
    // Each reader parses and checks the whole file first and replaces the document only
    // when it passes; on any error (qm::Error naming the file and the line) the
    // document is exactly as it was.
    // The writers read the document and never change it.
    // `seen` gets the file's bytes as they are read (TextFile::Read).
    LoadReport LoadProject(const std::filesystem::path& path, const TextFile::ByteObserver& seen = {});
    // The document as it stands (ProjectText).
    void SaveProject(const std::filesystem::path& path) const;
    // The project file's text with the items as stored, advancing the progress display
    // as saving does: the bytes the project was read from while nothing has changed
    // since, else the writer's text, made into `scratch`. The view is valid while
    // `scratch` and the document are. What a recovery copy keeps.
    std::string_view ProjectText(std::string& scratch) const { return ProjectText(scratch, Progress()); }
    // The same, reporting to another display (a recovery copy shows no progress).
    std::string_view ProjectText(std::string& scratch, IProgressDisplay& progress) const;
    // The same text handed to sink in parts, never held whole.
    void WriteProject(const TextSink& sink) const;
    // The project file as it is published beside its page (PublishedItemFields: levels
    // and parents as the tree says, links through the path replacement), handed to sink
    // in parts; the bytes read when they say all that already.
    void WritePublishedProject(const TextSink& sink) const;
    LoadReport ImportMenuStructure(const std::filesystem::path& path);
    // Levels as the tree says.
    void ExportMenuStructure(const std::filesystem::path& path) const;

    // Replaces the whole document in one step: with records made in memory, or with what
    // a reader parsed (the document then keeps the file's text as its storage).
    void ReplaceDocument(TAppletData appletData, TItemArray items);
    void ReplaceDocument(ParsedDocument&& document);

    // --- Collaborators -----------------------------------------------------------------
    void SetTreeObserver(IMenuTreeObserver* observer) { observer_ = observer; }
    void SetProgressDisplay(IProgressDisplay* display) { progress_ = display; }
    IProgressDisplay& Progress() const;

private:
    struct TreeIndex {
        bool valid = false;
        std::vector<std::uint8_t> depth;  // 0 main, 1 sub (effective, from the levels)
        std::vector<int> parent;     // kRootNode or the main item
        std::vector<int> row;        // position among its siblings
        std::vector<int> mainItems;  // the root's children in order
    };
    const TreeIndex& Tree() const { return tree_.valid ? tree_ : RebuildTree(); }
    const TreeIndex& RebuildTree() const;
    // parent, row and main items from depth.
    void DeriveTree() const;
    void Invalidate() {
        tree_.valid = false;
        Changed();
    }
    // Something in the document changed: the bytes read are no longer what a save writes,
    // and Level and ParentIndex must be looked at again before they are relied on.
    void Changed() {
        savedForm_ = {};
        levelsAndParentsFresh_ = false;
    }
    void RotateRange(int first, int middle, int last);  // items [first,last) with middle first
    // The bytes read stand for the document, with progress shown as for writing them.
    std::string_view SavedForm(IProgressDisplay& progress) const;

    TAppletData appletData_;
    ItemStore items_;
    // While nothing has changed since a project was read, the bytes read when they were
    // what saving this document writes: a save writes them again as they are.
    std::string_view savedForm_;
    // Set when every Level and ParentIndex says what the tree says, until a change.
    bool levelsAndParentsFresh_ = false;
    TLinkedFileInfoArray linkedFiles_;
    std::string separator_ = "#$@";

    mutable TreeIndex tree_;
    IMenuTreeObserver* observer_ = nullptr;
    IProgressDisplay* progress_ = nullptr;
};

// The tree queries the view asks for every row it lays out or paints.

inline int TkvxAppletAgent::NodeLevel(int node) const {
    if (node == kRootNode) return 0;
    if (!IsValidNode(node)) return -1;
    return Tree().depth[node] + 1;
}

inline int TkvxAppletAgent::ParentNode(int node) const {
    if (!IsValidNode(node) || node == kRootNode) return kNoNode;
    return Tree().parent[node];
}

inline int TkvxAppletAgent::ChildCount(int node) const {
    if (node == kRootNode) return static_cast<int>(Tree().mainItems.size());
    if (!IsValidNode(node) || Tree().depth[node] != 0) return 0;
    return SubtreeSize(node) - 1;
}

inline int TkvxAppletAgent::ChildNode(int node, int row) const {
    if (row < 0 || row >= ChildCount(node)) return kNoNode;
    if (node == kRootNode) return Tree().mainItems[row];
    return node + 1 + row;  // the sub items follow their main item directly
}

inline int TkvxAppletAgent::RowOfNode(int node) const {
    if (!IsValidNode(node) || node == kRootNode) return 0;
    return Tree().row[node];
}

inline int TkvxAppletAgent::SubtreeSize(int node) const {
    if (node == kRootNode) return NodeCount();
    if (!IsValidNode(node)) return 0;
    const auto& tree = Tree();
    if (tree.depth[node] != 0) return 1;
    const int row = tree.row[node];
    const int end = row + 1 < static_cast<int>(tree.mainItems.size()) ? tree.mainItems[row + 1] : ItemCount();
    return end - node;
}

// Effective depths (0 or 1) of a list of items read from their levels by the
// attach-to-the-nearest-possible-parent rule. levels[i] is the parsed Level.
std::vector<int> EffectiveDepths(const std::vector<long long>& levels);

}  // namespace qm
