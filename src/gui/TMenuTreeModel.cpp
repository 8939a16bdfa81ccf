#include "gui/TMenuTreeModel.h"

#include <QApplication>
#include <QStyle>
#include <algorithm>

#include "gui/MenuClipboard.h"
#include "gui/TMenuDocument.h"
#include "model/TkvxAppletAgent.h"

namespace qm {

TMenuTreeModel::TMenuTreeModel(TMenuDocument& document, QObject* parent)
    : QAbstractItemModel(parent), document_(document), agent_(document.Agent()) {
    keys_.Reset(agent_.ItemCount());
    agent_.SetTreeObserver(this);
}

TMenuTreeModel::~TMenuTreeModel() {
    agent_.SetTreeObserver(nullptr);
}

void TMenuTreeModel::SetNodeImages(const QIcon& itemImage, const QIcon& rootImage) {
    itemImage_ = itemImage;
    rootImage_ = rootImage;
    if (agent_.ItemCount() == 0) {
        emit dataChanged(RootIndex(), RootIndex(), {Qt::DecorationRole});
        return;
    }
    emit layoutAboutToBeChanged();
    emit layoutChanged();
}

QModelIndex TMenuTreeModel::RootIndex() const {
    return createIndex(0, 0, kRootKey);
}

QModelIndex TMenuTreeModel::IndexOfNode(int node) const {
    if (node == kRootNode) return RootIndex();
    if (node < 0 || node >= agent_.ItemCount() || node >= keys_.Count()) return {};
    return createIndex(agent_.RowOfNode(node), 0, keys_.KeyOf(node));
}

QModelIndex TMenuTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column != 0) return {};
    if (!parent.isValid()) return row == 0 ? RootIndex() : QModelIndex();
    if (parent.column() != 0) return {};
    const int node = NodeOfIndex(parent);
    if (node == kNoNode) return {};
    const int child = agent_.ChildNode(node, row);
    if (child == kNoNode) return {};
    return createIndex(row, 0, keys_.KeyOf(child));
}

QModelIndex TMenuTreeModel::parent(const QModelIndex& child) const {
    const int node = NodeOfIndex(child);
    if (node == kNoNode || node == kRootNode) return {};
    return IndexOfNode(agent_.ParentNode(node));
}

int TMenuTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return 1;
    if (parent.column() != 0) return 0;
    const int node = NodeOfIndex(parent);
    return node == kNoNode ? 0 : agent_.ChildCount(node);
}

bool TMenuTreeModel::hasChildren(const QModelIndex& parent) const {
    return rowCount(parent) > 0;
}

int TMenuTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

void TMenuTreeModel::SetItemWarnings(std::map<int, QString> warnings) {
    if (warningImage_.isNull()) warningImage_ = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    std::swap(warnings_, warnings);
    // Rows that gained or lost a warning are painted again.
    for (const auto* marks : {&warnings, &warnings_})
        for (const auto& [item, text] : *marks)
            if (agent_.IsValidNode(item)) {
                const QModelIndex index = IndexOfNode(item);
                emit dataChanged(index, index, {Qt::DecorationRole, Qt::ToolTipRole});
            }
}

QVariant TMenuTreeModel::data(const QModelIndex& index, int role) const {
    const int node = NodeOfIndex(index);
    if (node == kNoNode) return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (node == kRootNode) return QString::fromLatin1(kRootCaption);
        {
            const auto text = agent_.ItemText(node);
            return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        }
    case Qt::DecorationRole:
        if (warnings_.count(node)) return warningImage_;
        return node == kRootNode ? rootImage_ : itemImage_;
    case Qt::ToolTipRole:
        if (const auto warning = warnings_.find(node); warning != warnings_.end()) return warning->second;
        return QString::fromLatin1(kTreeHint);
    default:
        return {};
    }
}

Qt::ItemFlags TMenuTreeModel::flags(const QModelIndex& index) const {
    const int node = NodeOfIndex(index);
    if (node == kNoNode) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (node != kRootNode) flags |= Qt::ItemIsEditable | Qt::ItemIsDragEnabled;
    // Items go below the root and the main items, never below a sub item.
    if (agent_.NodeLevel(node) <= 1) flags |= Qt::ItemIsDropEnabled;
    return flags;
}

bool TMenuTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const int node = NodeOfIndex(index);
    if (role != Qt::EditRole || node < 0) return false;
    document_.SetItemValue(node, 0, value.toString().trimmed().toStdString());
    return true;
}

// --- Drag and drop ---------------------------------------------------------------------------

QStringList TMenuTreeModel::mimeTypes() const {
    return {QString::fromLatin1(kMenuStructureMimeType), QStringLiteral("text/plain")};
}

QMimeData* TMenuTreeModel::mimeData(const QModelIndexList& indexes) const {
    const int node = indexes.isEmpty() ? kNoNode : NodeOfIndex(indexes.front());
    if (node < 0) return nullptr;
    auto* data = new TDraggedNodeMimeData;
    data->sourceModel = this;
    data->node = indexes.front();
    PutItems(*data, document_.SubtreeItems(node));
    return data;
}

Qt::DropActions TMenuTreeModel::supportedDragActions() const {
    return Qt::MoveAction | Qt::CopyAction;
}

Qt::DropActions TMenuTreeModel::supportedDropActions() const {
    return Qt::MoveAction | Qt::CopyAction;
}

bool TMenuTreeModel::DropTarget(const QMimeData* data, Qt::DropAction action, int row, const QModelIndex& parent,
                                Drop& drop) const {
    drop.parent = NodeOfIndex(parent);
    if (!data || drop.parent == kNoNode || agent_.NodeLevel(drop.parent) > 1) return false;
    drop.row = row < 0 ? agent_.ChildCount(drop.parent) : row;
    const auto* dragged = dynamic_cast<const TDraggedNodeMimeData*>(data);
    if (action == Qt::MoveAction && dragged && dragged->sourceModel == this) {
        drop.node = NodeOfIndex(dragged->node);
        return drop.node >= 0 && document_.CanMoveNode(drop.node, drop.parent, drop.row);
    }
    drop.node = kNoNode;
    if (action != Qt::MoveAction && action != Qt::CopyAction) return false;
    if (!HoldsItems(*data)) return false;
    return document_.CanInsertItems(
        drop.parent, ItemsOf(*data, QString::fromStdString(agent_.Separator())));
}

bool TMenuTreeModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int,
                                     const QModelIndex& parent) const {
    Drop drop;
    return DropTarget(data, action, row, parent, drop);
}

bool TMenuTreeModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int,
                                  const QModelIndex& parent) {
    Drop drop;
    if (!DropTarget(data, action, row, parent, drop)) return false;
    if (drop.node >= 0) return document_.MoveNode(drop.node, drop.parent, drop.row, QStringLiteral("Move Item")) != kNoNode;
    // Items from elsewhere, or a copy: what the text check removes goes unsaid here,
    // as in a file that is imported.
    auto items = ItemsOf(*data, QString::fromStdString(agent_.Separator()));
    return document_.InsertItems(drop.parent, drop.row, std::move(items), QStringLiteral("Drop Items")) != kNoNode;
}

int TMenuTreeModel::ItemEndOfRow(int parentNode, int row) const {
    const int node = agent_.ChildNode(parentNode, row);
    return node + agent_.SubtreeSize(node);
}

void TMenuTreeModel::BeginInsertNodes(int parentNode, int firstRow, int lastRow) {
    pending_ = {agent_.PositionOfRow(parentNode, firstRow), 0, 0};
    beginInsertRows(IndexOfNode(parentNode), firstRow, lastRow);
}

void TMenuTreeModel::EndInsertNodes() {
    // The rows came with their subtrees: as many keys as the list has grown.
    keys_.Insert(pending_.first, agent_.ItemCount() - keys_.Count());
    endInsertRows();
}

void TMenuTreeModel::BeginRemoveNodes(int parentNode, int firstRow, int lastRow) {
    pending_ = {agent_.ChildNode(parentNode, firstRow), ItemEndOfRow(parentNode, lastRow), 0};
    beginRemoveRows(IndexOfNode(parentNode), firstRow, lastRow);
}

void TMenuTreeModel::EndRemoveNodes() {
    keys_.Erase(pending_.first, pending_.end);
    endRemoveRows();
}

void TMenuTreeModel::BeginMoveNodes(int parentNode, int firstRow, int lastRow, int destinationRow) {
    pending_ = {agent_.ChildNode(parentNode, firstRow), ItemEndOfRow(parentNode, lastRow),
                agent_.PositionOfRow(parentNode, destinationRow)};
    const QModelIndex parent = IndexOfNode(parentNode);
    beginMoveRows(parent, firstRow, lastRow, parent, destinationRow);
}

void TMenuTreeModel::BeginMoveNodeTo(int sourceParent, int sourceRow, int destinationParent, int destinationRow) {
    pending_ = {agent_.ChildNode(sourceParent, sourceRow), ItemEndOfRow(sourceParent, sourceRow),
                agent_.PositionOfRow(destinationParent, destinationRow)};
    beginMoveRows(IndexOfNode(sourceParent), sourceRow, sourceRow, IndexOfNode(destinationParent), destinationRow);
}

void TMenuTreeModel::EndMoveNodes() {
    // A node that stays in place and changes only its parent (Indent) keeps its keys.
    if (pending_.destination < pending_.first)
        keys_.Rotate(pending_.destination, pending_.first, pending_.end);
    else if (pending_.destination > pending_.end)
        keys_.Rotate(pending_.first, pending_.end, pending_.destination);
    endMoveRows();
}

void TMenuTreeModel::BeginResetTree() {
    beginResetModel();
}

void TMenuTreeModel::EndResetTree() {
    keys_.Reset(agent_.ItemCount());
    endResetModel();
}

void TMenuTreeModel::NodeCaptionChanged(int item) {
    const QModelIndex changed = IndexOfNode(item);
    if (changed.isValid()) emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

}  // namespace qm
