#include "MainWindow.h"

#include "PagePane.h"
#include "QtText.h"

#include "platform/FileSystem.h"
#include "session/LogonContext.h"
#include "session/Session.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QSplitter>
#include <QStatusBar>
#include <QTreeWidget>
#include <QUrl>
#include <QWebEngineView>

namespace quill::ui {
namespace {

TreeNode* nodeOf(QTreeWidgetItem* item) {
    return item ? static_cast<TreeNode*>(item->data(0, Qt::UserRole).value<void*>()) : nullptr;
}

} // namespace

MainWindow::MainWindow(Session& session, QWidget* parent) : QMainWindow(parent), session_(session), renderer_(session) {
    setObjectName("TGUI_Form");
    setWindowTitle(QStringLiteral("Quill!"));
    resize(1100, 720);

    treeView_ = new QTreeWidget(this);
    treeView_->setObjectName("MainTreeView");
    treeView_->setHeaderHidden(true);
    treeView_->setIconSize(QSize(16, 16));
    pane_ = new PagePane(this);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(treeView_);
    splitter->addWidget(pane_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({280, 820});
    setCentralWidget(splitter);
    connect(treeView_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { currentItemChanged(item); });
}

void MainWindow::prepareForUser() {
    setWindowTitle(toQt(session_.texts.lookup("GUI_FORM", "TITLE", "GUI")));
    // Where the user left the window last time, when the record says so.
    const WindowGeometry& g = session_.context.geometry;
    if (g.guiWidth > 0 && g.guiHeight > 0)
        setGeometry(g.guiLeft, g.guiTop, g.guiWidth, g.guiHeight);

    tree_.focusChanged = [this](TreeNode& node) { showNodePage(node); };
    buildMainTree(session_, tree_);
    images_.loadTreeImages(tree_.images);
    showTree();
}

void MainWindow::showTree() {
    filling_ = true;
    treeView_->clear();
    for (const auto& root : tree_.roots)
        addItems(nullptr, *root);
    filling_ = false;
    for (QTreeWidgetItemIterator it(treeView_); *it; ++it) {
        if (nodeOf(*it) == tree_.focused) {
            filling_ = true;
            treeView_->setCurrentItem(*it);
            filling_ = false;
        }
    }
}

void MainWindow::addItems(QTreeWidgetItem* parentItem, const TreeNode& node) {
    auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(treeView_);
    item->setText(0, toQt(node.caption));
    item->setToolTip(0, toQt(node.note));
    item->setIcon(0, images_.treeIcon(node.imageIndex));
    item->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void*>(const_cast<TreeNode*>(&node))));
    for (const auto& child : node.children)
        addItems(item, *child);
    item->setExpanded(node.expanded);
}

void MainWindow::currentItemChanged(QTreeWidgetItem* item) {
    TreeNode* node = nodeOf(item);
    if (filling_ || !node)
        return;
    // A folder whose sub-folders changed on the share is reloaded first;
    // its items are then built again.
    if ((node->kind.empty() || node->kind == "ROOT") && !node->path.empty()) {
        bool reloaded = false;
        checkFolderChanged(session_, tree_, *node, &reloaded);
        if (reloaded) {
            // The items below it point at the children just dropped.
            tree_.focused = node;
            showTree();
        }
    }
    tree_.focus(*node);
}

void MainWindow::showNodePage(TreeNode& node) {
    statusBar()->showMessage(toQt(node.note));
    session_.actual.mainPath = node.path;
    // Pages of the tree may show the user's own fields.
    session_.readRecord(session_.context.userRecordFile);
    const std::string address = renderer_.render(session_.variables.expand(node.url, false));
    if (address.empty()) {
        pane_->view()->setHtml(QString());
    } else if (isOutsideAddress(address)) {
        pane_->view()->setUrl(QUrl::fromUserInput(toQt(address)));
    } else if (fs::isDirectory(address)) {
        pane_->view()->setUrl(QUrl::fromLocalFile(toQt(address)));
    } else {
        pane_->showPage(toQt(address));
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!shutDown_ && session_.program.loggedOn) {
        shutDown_ = true;
        WindowGeometry& g = session_.context.geometry;
        const QRect frame = geometry();
        g.guiLeft = frame.left();
        g.guiTop = frame.top();
        g.guiWidth = frame.width();
        g.guiHeight = frame.height();
        saveFolderList(session_, tree_);
        shutdown(session_);
    }
    event->accept();
}

} // namespace quill::ui
