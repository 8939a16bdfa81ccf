// The agent's block edits: whole subtrees and runs of rows inserted, removed and moved
// in one step each, for undo, paste and drag and drop. Kept apart from the agent's
// other edits: they share only the item list, the derived tree and the observer.

#include <algorithm>

#include "model/TkvxAppletAgent.h"
#include "model/WholeNumber.h"

namespace qm {

namespace {

bool ReadsAsSubItem(std::string_view level) {
    return ParseWholeNumber(level).value_or(0) >= 1;
}

}  // namespace

int TkvxAppletAgent::PositionOfRow(int parentNode, int row) const {
    const int level = NodeLevel(parentNode);
    if ((level != 0 && level != 1) || row < 0 || row > ChildCount(parentNode)) return -1;
    if (row < ChildCount(parentNode)) return ChildNode(parentNode, row);
    return parentNode == kRootNode ? ItemCount() : parentNode + SubtreeSize(parentNode);
}

int TkvxAppletAgent::InsertNodes(int parentNode, int row, TItemArray block) {
    const int at = PositionOfRow(parentNode, row);
    if (at < 0 || block.empty()) return kNoNode;
    int rows = 0;
    if (parentNode == kRootNode) {
        if (ReadsAsSubItem(block.front().Level)) return kNoNode;
        for (const auto& item : block) rows += ReadsAsSubItem(item.Level) ? 0 : 1;
    } else {
        for (const auto& item : block)
            if (!ReadsAsSubItem(item.Level)) return kNoNode;
        rows = static_cast<int>(block.size());
    }
    if (observer_) observer_->BeginInsertNodes(parentNode, row, row + rows - 1);
    items_.Insert(at, block);
    Invalidate();
    if (observer_) observer_->EndInsertNodes();
    return at;
}

TItemArray TkvxAppletAgent::RemoveNodes(int parentNode, int firstRow, int lastRow) {
    if (firstRow > lastRow || lastRow >= ChildCount(parentNode)) return {};
    const int first = PositionOfRow(parentNode, firstRow);
    const int end = PositionOfRow(parentNode, lastRow + 1);
    if (first < 0 || end < first) return {};
    if (observer_) observer_->BeginRemoveNodes(parentNode, firstRow, lastRow);
    TItemArray removed;
    removed.reserve(static_cast<std::size_t>(end - first));
    for (int i = first; i < end; ++i) removed.push_back(items_.Record(i));
    items_.Erase(first, end);
    Invalidate();
    if (observer_) observer_->EndRemoveNodes();
    return removed;
}

bool TkvxAppletAgent::CanMoveNode(int node, int before, int level) const {
    if (node < 0 || !IsValidNode(node) || (level != 0 && level != 1)) return false;
    const int size = SubtreeSize(node);
    const int end = node + size;
    if (before < 0 || before > ItemCount() || (before > node && before < end)) return false;
    const bool inPlace = before == node || before == end;
    if (inPlace && level == NodeLevel(node) - 1) return false;
    if (level == 0) {
        // What follows the node there must be a main item or nothing: a main item put
        // in front of sub items would take them as its own.
        const int next = before == node ? end : before;
        return next == ItemCount() || NodeLevel(next) == 1;
    }
    if (size != 1) return false;  // a main item with sub items stays a main item
    for (int i = before - 1; i >= 0; --i) {
        if (i >= node && i < end) continue;
        if (NodeLevel(i) == 1) return true;  // the main item it comes under
    }
    return false;
}

int TkvxAppletAgent::MoveNode(int node, int before, int level, const std::string& levelText) {
    if (!CanMoveNode(node, before, level)) return kNoNode;
    const int size = SubtreeSize(node);
    const int end = node + size;
    const int oldLevel = NodeLevel(node) - 1;
    // Rows as the tree is now, the moving node among them, as a view counts them.
    const int sourceParent = ParentNode(node);
    const int sourceRow = RowOfNode(node);
    int destinationParent = kRootNode;
    int destinationRow = 0;
    if (level == 0) {
        const int next = before == node ? end : before;
        destinationRow = next == ItemCount() ? ChildCount(kRootNode) : RowOfNode(next);
    } else {
        for (int i = before - 1; i >= 0; --i)
            if ((i < node || i >= end) && NodeLevel(i) == 1) {
                destinationParent = i;
                break;
            }
        const int children = destinationParent + SubtreeSize(destinationParent);
        destinationRow = std::min(before, children) - (destinationParent + 1);
    }

    if (observer_) observer_->BeginMoveNodeTo(sourceParent, sourceRow, destinationParent, destinationRow);
    int moved = node;
    if (before < node) {
        items_.Rotate(before, node, end);
        moved = before;
    } else if (before > end) {
        items_.Rotate(node, end, before);
        moved = before - size;
    }
    // The node's Level says where it now stands (a first item reads as a main item
    // whatever its level, so that text may need saying too).
    const auto text = items_.Field(moved, ItemField::Level);
    if (!levelText.empty())
        items_.SetField(moved, ItemField::Level, levelText);
    else if (level != oldLevel || ReadsAsSubItem(text) != (level == 1))
        items_.SetField(moved, ItemField::Level, std::to_string(level));
    Invalidate();
    if (observer_) observer_->EndMoveNodes();
    return moved;
}

}  // namespace qm
