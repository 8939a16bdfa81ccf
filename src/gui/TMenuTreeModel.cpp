#include "TMenuTreeModel.h"

#include <algorithm>

#include "TkvxAppletAgent.h"

namespace qm {

TMenuTreeModel::TMenuTreeModel(TkvxAppletAgent& agent, QObject* parent) : QAbstractItemModel(parent), agent_(agent) {
    RenewAllKeys();
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
    if (node < 0 || node >= agent_.ItemCount() || node >= static_cast<int>(keys_.size())) return {};
    return createIndex(agent_.RowOfNode(node), 0, keys_[node]);
}

int TMenuTreeModel::NodeOfIndex(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) return kNoNode;
    if (index.internalId() == kRootKey) return kRootNode;
    const int item = ItemOfKey(index.internalId());
    return item >= 0 ? item : kNoNode;
}

int TMenuTreeModel::ItemOfKey(quintptr key) const {
    if (!itemOfKeyValid_) {
        itemOfKey_.clear();
        itemOfKey_.reserve(keys_.size());
        for (std::size_t i = 0; i < keys_.size(); ++i) itemOfKey_.emplace(keys_[i], static_cast<int>(i));
        itemOfKeyValid_ = true;
    }
    const auto found = itemOfKey_.find(key);
    return found == itemOfKey_.end() ? -1 : found->second;
}

void TMenuTreeModel::RenewAllKeys() {
    keys_.resize(static_cast<std::size_t>(agent_.ItemCount()));
    for (auto& key : keys_) key = nextKey_++;
    itemOfKeyValid_ = false;
}

QModelIndex TMenuTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column != 0) return {};
    if (!parent.isValid()) return row == 0 ? RootIndex() : QModelIndex();
    if (parent.column() != 0) return {};
    const int node = NodeOfIndex(parent);
    if (node == kNoNode) return {};
    const int child = agent_.ChildNode(node, row);
    if (child == kNoNode) return {};
    return createIndex(row, 0, keys_[child]);
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

int TMenuTreeModel::columnCount(const QModelIndex&) const {
    return 1;
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
        return node == kRootNode ? rootImage_ : itemImage_;
    case Qt::ToolTipRole:
        return QString::fromLatin1(kTreeHint);
    default:
        return {};
    }
}

Qt::ItemFlags TMenuTreeModel::flags(const QModelIndex& index) const {
    if (NodeOfIndex(index) == kNoNode) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

int TMenuTreeModel::ItemPositionOfRow(int parentNode, int row) const {
    if (row < agent_.ChildCount(parentNode)) return agent_.ChildNode(parentNode, row);
    if (parentNode == kRootNode) return agent_.ItemCount();
    return parentNode + agent_.SubtreeSize(parentNode);
}

int TMenuTreeModel::ItemEndOfRow(int parentNode, int row) const {
    const int node = agent_.ChildNode(parentNode, row);
    return node + agent_.SubtreeSize(node);
}

void TMenuTreeModel::BeginInsertNodes(int parentNode, int firstRow, int lastRow) {
    pending_ = {ItemPositionOfRow(parentNode, firstRow), 0, 0};
    pending_.end = pending_.first + (lastRow - firstRow + 1);
    beginInsertRows(IndexOfNode(parentNode), firstRow, lastRow);
}

void TMenuTreeModel::EndInsertNodes() {
    std::vector<quintptr> fresh(static_cast<std::size_t>(pending_.end - pending_.first));
    for (auto& key : fresh) key = nextKey_++;
    keys_.insert(keys_.begin() + pending_.first, fresh.begin(), fresh.end());
    itemOfKeyValid_ = false;
    endInsertRows();
}

void TMenuTreeModel::BeginRemoveNodes(int parentNode, int firstRow, int lastRow) {
    pending_ = {agent_.ChildNode(parentNode, firstRow), ItemEndOfRow(parentNode, lastRow), 0};
    beginRemoveRows(IndexOfNode(parentNode), firstRow, lastRow);
}

void TMenuTreeModel::EndRemoveNodes() {
    keys_.erase(keys_.begin() + pending_.first, keys_.begin() + pending_.end);
    itemOfKeyValid_ = false;
    endRemoveRows();
}

void TMenuTreeModel::BeginMoveNodes(int parentNode, int firstRow, int lastRow, int destinationRow) {
    pending_ = {agent_.ChildNode(parentNode, firstRow), ItemEndOfRow(parentNode, lastRow),
                ItemPositionOfRow(parentNode, destinationRow)};
    const QModelIndex parent = IndexOfNode(parentNode);
    beginMoveRows(parent, firstRow, lastRow, parent, destinationRow);
}

void TMenuTreeModel::EndMoveNodes() {
    const auto at = [this](int position) { return keys_.begin() + position; };
    if (pending_.destination < pending_.first)
        std::rotate(at(pending_.destination), at(pending_.first), at(pending_.end));
    else
        std::rotate(at(pending_.first), at(pending_.end), at(pending_.destination));
    itemOfKeyValid_ = false;
    endMoveRows();
}

void TMenuTreeModel::BeginResetTree() {
    beginResetModel();
}

void TMenuTreeModel::EndResetTree() {
    RenewAllKeys();
    endResetModel();
}

void TMenuTreeModel::NodeCaptionChanged(int item) {
    const QModelIndex changed = IndexOfNode(item);
    if (changed.isValid()) emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

}  // namespace qm
