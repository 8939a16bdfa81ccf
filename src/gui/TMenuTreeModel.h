#pragma once
// The tree view's model over the document. The agent's item list is the tree; this
// model only presents it and follows the agent's structural edits through
// IMenuTreeObserver, wrapping each in Qt's begin/end calls, so the view can never
// disagree with the list.
//
// Indexes carry a key per item rather than the item index itself: item indexes shift
// when nodes are inserted, deleted or moved, while the view's persistent indexes (the
// selection, the expanded nodes, the window's current item) must keep naming the same
// node. The keys travel with their items through every edit, and a key leads back to
// its item through a dense table (NodeKeys): the view asks for it on every row it lays
// out or paints.
//
// Edits made in the view go to the document as undo steps: a caption edited in place
// is a rename, and drag and drop carries the dragged node as menu items (the
// clipboard's forms): dropped in the same tree it moves there as one step (the
// two-level rule decides where it may go, and a refused place is no drop target);
// dropped from another window, or copied, its items are inserted.

#include <QAbstractItemModel>
#include <QIcon>
#include <QMimeData>
#include <QPersistentModelIndex>
#include <map>

#include "model/MenuTreeObserver.h"
#include "model/TkvxAppletAgent.h"
#include "gui/NodeKeys.h"

namespace qm {

class TkvxAppletAgent;
class TMenuDocument;

// The drag of a node: its items in the clipboard's forms, and the node itself for a
// move within the tree it came from.
class TDraggedNodeMimeData final : public QMimeData {
public:
    const QAbstractItemModel* sourceModel = nullptr;
    QPersistentModelIndex node;
};

class TMenuTreeModel final : public QAbstractItemModel, private IMenuTreeObserver {
    Q_OBJECT
public:
    // Registers itself as the document agent's tree observer; unregisters when destroyed.
    explicit TMenuTreeModel(TMenuDocument& document, QObject* parent = nullptr);
    ~TMenuTreeModel() override;

    static constexpr const char* kRootCaption = "Quillamere";
    static constexpr const char* kTreeHint = "Add, remove or move items by right-clicking the mouse.";

    // The node images: image 0 for items, image 1 for the root.
    void SetNodeImages(const QIcon& itemImage, const QIcon& rootImage);
    // Items that need the user's attention (a link that leads nowhere), by item index:
    // each shows the warning image, and its tooltip says why. Replaces the earlier ones.
    void SetItemWarnings(std::map<int, QString> warnings);
    const std::map<int, QString>& ItemWarnings() const { return warnings_; }

    QModelIndex RootIndex() const;
    // kRootNode or an item index -> its index; an invalid index for anything else.
    QModelIndex IndexOfNode(int node) const;
    // kRootNode, an item index, or kNoNode for an invalid index.
    int NodeOfIndex(const QModelIndex& index) const {
        if (!index.isValid() || index.model() != this) return kNoNode;
        if (index.internalId() == kRootKey) return kRootNode;
        const int item = keys_.ItemOf(index.internalId());
        return item >= 0 ? item : kNoNode;
    }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A caption edited in place: the item renamed, one undo step.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;
    // row -1 is a drop on the node itself: its items go in as its last children.
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

private:
    std::map<int, QString> warnings_;
    QIcon warningImage_;
    void BeginInsertNodes(int parentNode, int firstRow, int lastRow) override;
    void EndInsertNodes() override;
    void BeginRemoveNodes(int parentNode, int firstRow, int lastRow) override;
    void EndRemoveNodes() override;
    void BeginMoveNodes(int parentNode, int firstRow, int lastRow, int destinationRow) override;
    void BeginMoveNodeTo(int sourceParent, int sourceRow, int destinationParent, int destinationRow) override;
    void EndMoveNodes() override;
    void BeginResetTree() override;
    void EndResetTree() override;
    void NodeCaptionChanged(int item) override;

    // One past the last item of the subtree of child row `row` of parentNode.
    int ItemEndOfRow(int parentNode, int row) const;
    static constexpr quintptr kRootKey = NodeKeys::kNoItemKey;
    static_assert(sizeof(quintptr) >= sizeof(NodeKeys::Key), "an index carries a whole key");

    // What a drop there does: the dragged node moved within this tree, or items
    // inserted. node is kNoNode for an insert.
    struct Drop {
        int node = -2;
        int parent = -2;
        int row = 0;
    };
    bool DropTarget(const QMimeData* data, Qt::DropAction action, int row, const QModelIndex& parent,
                    Drop& drop) const;

    TMenuDocument& document_;
    TkvxAppletAgent& agent_;
    NodeKeys keys_;

    // The edit announced by a Begin call, applied to the keys by its End call.
    struct PendingEdit {
        int first = 0;  // item positions
        int end = 0;
        int destination = 0;
    } pending_;

    QIcon itemImage_;
    QIcon rootImage_;
};

}  // namespace qm
