#include "MainTreeModel.h"

#include "ImageLists.h"
#include "QtText.h"

namespace quill::ui {

MainTreeModel::MainTreeModel(MainTree& tree, const ImageLists& images, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree), images_(images), nodesDropped_(tree.nodesDropped) {}

void MainTreeModel::reset() {
    beginResetModel();
    rowOf_.clear();
    shownRows_.clear();
    nodesDropped_ = tree_.nodesDropped;
    endResetModel();
}

void MainTreeModel::publishChildren(const QModelIndex& parent) {
    const TreeNode* node = nodeAt(parent);
    if (!node)
        return;
    publishRowsOf(node, parent);
    for (int row = 0; row < static_cast<int>(node->children.size()); ++row)
        publishRowsOf(node->children[static_cast<std::size_t>(row)].get(), index(row, 0, parent));
}

void MainTreeModel::publishRowsOf(const TreeNode* node, const QModelIndex& index) {
    const auto told = shownRows_.find(node);
    // A node the view never asked about gets its rows when it asks.
    if (told == shownRows_.end())
        return;
    const int now = static_cast<int>(node->children.size());
    if (now <= told->second)
        return;
    beginInsertRows(index, told->second, now - 1);
    told->second = now;
    endInsertRows();
}

TreeNode* MainTreeModel::nodeAt(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this || stale())
        return nullptr;
    return static_cast<TreeNode*>(index.internalPointer());
}

QModelIndex MainTreeModel::indexOf(const TreeNode* node) const {
    if (!node)
        return {};
    const NodeAddress address = addressOf(tree_, *node);
    QModelIndex found;
    for (const std::size_t row : address) {
        found = index(static_cast<int>(row), 0, found);
        if (!found.isValid())
            return {};
    }
    return found;
}

const std::vector<std::unique_ptr<TreeNode>>& MainTreeModel::childrenOf(const TreeNode* node) const {
    return node ? node->children : tree_.roots;
}

int MainTreeModel::shownRows(const TreeNode* node) const {
    if (stale())
        return 0;
    const int rows = static_cast<int>(childrenOf(node).size());
    if (!node)
        return rows;
    // The first answer holds until publishChildren tells the view of more.
    return shownRows_.try_emplace(node, rows).first->second;
}

QModelIndex MainTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0 || (parent.isValid() && parent.column() != 0))
        return {};
    const TreeNode* node = nodeAt(parent);
    if (row >= shownRows(node))
        return {};
    TreeNode* child = childrenOf(node)[static_cast<std::size_t>(row)].get();
    rowOf_[child] = row;
    return createIndex(row, column, child);
}

QModelIndex MainTreeModel::parent(const QModelIndex& index) const {
    const TreeNode* node = nodeAt(index);
    if (!node || !node->parent)
        return {};
    TreeNode* parentNode = node->parent;
    // Every index is made by index(), parents before children, so the
    // parent's row is known.
    const auto row = rowOf_.find(parentNode);
    return row == rowOf_.end() ? indexOf(parentNode) : createIndex(row->second, 0, parentNode);
}

int MainTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return shownRows(nodeAt(parent));
}

int MainTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant MainTreeModel::data(const QModelIndex& index, int role) const {
    const TreeNode* node = nodeAt(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole: return toQt(node->caption);
    case Qt::ToolTipRole: return toQt(node->note);
    case Qt::DecorationRole: return images_.treeIcon(node->imageIndex);
    default: return {};
    }
}

QVariant MainTreeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return heading_;
    return {};
}

bool MainTreeModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) {
    if (section != 0 || orientation != Qt::Horizontal || role != Qt::EditRole)
        return false;
    heading_ = value.toString();
    emit headerDataChanged(orientation, 0, 0);
    return true;
}

Qt::ItemFlags MainTreeModel::flags(const QModelIndex& index) const {
    if (!nodeAt(index))
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

Qt::DropActions MainTreeModel::supportedDragActions() const {
    return Qt::CopyAction | Qt::MoveAction;
}

Qt::DropActions MainTreeModel::supportedDropActions() const {
    return Qt::CopyAction | Qt::MoveAction;
}

} // namespace quill::ui
