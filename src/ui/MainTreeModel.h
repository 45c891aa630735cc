#pragma once

#include "navigation/MainTree.h"

#include <QAbstractItemModel>
#include <QString>

#include <unordered_map>

namespace quill::ui {

class ImageLists;

// The main tree's rows: the library's nodes as they stand, one column.
//
// An index refers to its node. The library deletes nodes when it reloads a
// folder or builds the tree anew, and the window calls reset() after every
// such change; until then (a warning shown on the way runs the event loop)
// the model shows nothing and gives no node, so no index made before can
// reach a deleted one. Rows added without any deleted (the level read below
// a folder as it is expanded) are announced by publishChildren().
class MainTreeModel final : public QAbstractItemModel {
    Q_OBJECT
public:
    MainTreeModel(MainTree& tree, const ImageLists& images, QObject* parent = nullptr);

    // The tree was built or changed anew: every index is made again.
    void reset();
    // Nodes were deleted since the last reset.
    bool stale() const { return tree_.nodesDropped != nodesDropped_; }
    // The nodes added below parent and below its children since the view
    // last asked for them become rows.
    void publishChildren(const QModelIndex& parent);

    TreeNode* nodeAt(const QModelIndex& index) const;
    // The index of node, or an invalid one when it is not in the tree.
    QModelIndex indexOf(const TreeNode* node) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A node dragged onto another moves there, or is copied with Ctrl; the
    // window decides and then shows the tree anew.
    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;

private:
    const std::vector<std::unique_ptr<TreeNode>>& childrenOf(const TreeNode* node) const;
    int shownRows(const TreeNode* node) const;
    void publishRowsOf(const TreeNode* node, const QModelIndex& index);

    MainTree& tree_;
    const ImageLists& images_;
    QString heading_;
    std::uint64_t nodesDropped_ = 0;
    // Per node the view has seen: its row under its parent and how many
    // children it was told of. Cleared on reset, when the nodes may be gone.
    mutable std::unordered_map<const TreeNode*, int> rowOf_;
    mutable std::unordered_map<const TreeNode*, int> shownRows_;
};

} // namespace quill::ui
