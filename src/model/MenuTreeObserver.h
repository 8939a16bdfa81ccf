#pragma once
// Told about every structural change of the menu tree, before and after it happens, so
// that a view over the document (the window's tree model) can follow it. Node ids are
// item indexes, with kRootNode for the root; rows count among a node's children. Ids
// and rows in a Begin call describe the tree as it is before the change.

namespace qm {

class IMenuTreeObserver {
public:
    virtual ~IMenuTreeObserver() = default;
    virtual void BeginInsertNodes(int parentNode, int firstRow, int lastRow) = 0;
    virtual void EndInsertNodes() = 0;
    virtual void BeginRemoveNodes(int parentNode, int firstRow, int lastRow) = 0;
    virtual void EndRemoveNodes() = 0;
    // Rows firstRow..lastRow of parentNode move to stand before the row that is
    // destinationRow now (the convention of QAbstractItemModel::beginMoveRows).
    virtual void BeginMoveNodes(int parentNode, int firstRow, int lastRow, int destinationRow) = 0;
    virtual void EndMoveNodes() = 0;
    // One node, with its subtree, moves from a row of sourceParent to stand before the
    // row that is destinationRow of destinationParent now; it may change parent and
    // level. Ended by EndMoveNodes.
    virtual void BeginMoveNodeTo(int sourceParent, int sourceRow, int destinationParent, int destinationRow) = 0;
    virtual void BeginResetTree() = 0;
    virtual void EndResetTree() = 0;
    virtual void NodeCaptionChanged(int item) = 0;
};

}  // namespace qm
