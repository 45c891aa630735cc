#pragma once

#include "ImageLists.h"

#include "navigation/MainTree.h"
#include "navigation/PageRenderer.h"

#include <QMainWindow>

class QTreeWidget;
class QTreeWidgetItem;

namespace quill {
class Session;
}

namespace quill::ui {

class PagePane;

// The main window: the main tree on the left, the page of the focused node
// on the right. It is created before the logon and shown only after a
// successful one; closing it shuts the session down (geometry, working
// copy, logs).
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Session& session, QWidget* parent = nullptr);

    // Builds the tree for the logged-on user; called once after logon.
    void prepareForUser();

    const MainTree& tree() const { return tree_; }
    QTreeWidget* treeView() const { return treeView_; }
    PagePane* pagePane() const { return pane_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showTree();
    void addItems(QTreeWidgetItem* parentItem, const TreeNode& node);
    void showNodePage(TreeNode& node);
    void currentItemChanged(QTreeWidgetItem* item);

    Session& session_;
    MainTree tree_;
    PageRenderer renderer_;
    ImageLists images_;
    QTreeWidget* treeView_;
    PagePane* pane_;
    bool filling_ = false;
    bool shutDown_ = false;
};

} // namespace quill::ui
