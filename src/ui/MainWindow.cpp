#include "MainWindow.h"

#include "DocumentListView.h"
#include "FailureMessage.h"
#include "MainTreeModel.h"
#include "MainTreeView.h"
#include "PageCommandRunner.h"
#include "PagePane.h"
#include "QtText.h"
#include "ViewSupport.h"

#include "navigation/DocumentCommands.h"
#include "navigation/DocumentList.h"
#include "navigation/MainTree.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/DismissedReminders.h"
#include "session/LogonContext.h"
#include "session/Scheduler.h"
#include "session/Session.h"
#include "session/WindowTitle.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QCloseEvent>
#include <algorithm>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QSplitter>
#include <QStatusBar>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace quill::ui {

MainWindow::MainWindow(Session& session, QWidget* parent) : QMainWindow(parent), session_(session), renderer_(session) {
    setObjectName("TGUI_Form");
    setWindowTitle(QStringLiteral("Quill!"));
    resize(1100, 720);

    pane_ = new PagePane(this);
    list_ = new DocumentListView(session_, images_, this);
    list_->setDragEnabled(true);
    list_->setDragDropMode(QAbstractItemView::DragOnly);
    // A document dragged onto a folder moves there; Ctrl makes it a copy.
    list_->setDefaultDropAction(Qt::MoveAction);
    treeModel_ = new MainTreeModel(tree_, images_, this);
    auto* mainTree = new MainTreeView(list_, this);
    mainTree->setModel(treeModel_);
    treeView_ = mainTree;
    treeView_->setObjectName("MainTreeView");
    treeView_->setHeaderHidden(true);
    treeView_->setIconSize(QSize(16, 16));
    connect(mainTree, &MainTreeView::dropRequested, this,
            [this](const QModelIndex& target, bool fromList, bool copy) { dropOnTree(target, fromList, copy); });
    rightSplitter_ = new QSplitter(Qt::Vertical, this);
    rightSplitter_->setObjectName("RightSplitter");
    rightSplitter_->addWidget(pane_);
    rightSplitter_->addWidget(list_);
    rightSplitter_->setStretchFactor(0, 1);
    mainSplitter_ = new QSplitter(Qt::Horizontal, this);
    mainSplitter_->setObjectName("MainSplitter");
    mainSplitter_->addWidget(treeView_);
    mainSplitter_->addWidget(rightSplitter_);
    mainSplitter_->setStretchFactor(1, 1);
    mainSplitter_->setSizes({280, 820});
    setCentralWidget(mainSplitter_);
    // Tab goes as the window reads: the tree, the page, the list.
    setTabOrder(treeView_, pane_);
    setTabOrder(pane_, list_);
    commands_ = std::make_unique<PageCommandRunner>(session_, this);
    commands_->dataPointCommand = [this](EmbeddedCommandKind kind) { runDataPointCommand(kind); };
    connect(treeView_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) { currentNodeChanged(index); });
    connect(treeView_, &QTreeView::expanded, this, [this](const QModelIndex& index) { showExpandedLevel(index); });
    // A folder the user closed stays closed when the tree is shown anew.
    connect(treeView_, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
        if (TreeNode* node = treeModel_->nodeAt(index); node && !filling_)
            node->expanded = false;
    });
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& index) {
        if (const DocumentItem* document = list_->documentAt(index))
            showDocumentPage(document->path);
    });
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { enableDeleteButton(); });
    connect(list_, &DocumentListView::documentActivated, this,
            [this](const QString& path) { editDocument(fromQt(path)); });
    pane_->setCommandHandler(
        [this](const QByteArray& address, const QByteArray& formBody) { runPageCommand(address, formBody); });
}

MainWindow::~MainWindow() {
    // The views are deleted after the members their signals lead to: a
    // view that emits while it goes must no longer reach this window.
    disconnect(list_, nullptr, this, nullptr);
    disconnect(list_->selectionModel(), nullptr, this, nullptr);
    disconnect(treeView_, nullptr, this, nullptr);
    disconnect(treeView_->selectionModel(), nullptr, this, nullptr);
}

void MainWindow::prepareForUser() {
    setWindowTitle(toQt(loggedOnWindowTitle(session_)));
    nameParts();
    createToolbar();
    // Where the user left the window last time, when the record says so.
    const WindowGeometry& g = session_.context.geometry;
    if (g.gui.stored())
        setGeometry(g.gui.left, g.gui.top, g.gui.width, g.gui.height);
    if (g.guiSplitter > 0)
        mainSplitter_->setSizes({g.guiSplitter, std::max(width() - g.guiSplitter, 1)});

    tree_.focusChanged = [this](TreeNode& node) {
        enableCommandsFor(node);
        showNodePage(node);
    };
    // The levels shown now; deeper ones as they are shown, the tasks on a
    // thread of their own.
    buildMainTree(session_, tree_, FolderDepth::ShownLevels);
    images_.loadTreeImages(tree_.images);
    images_.reloaded = [this] { imagesReloaded(); };
    fillNewThingsMenus();
    createStatusBar();
    createTray();
    createPopupMenus();
    createMenuBar();
    showTree();
    startTimer();
    startTaskCount();
    startFollowingChanges();
    if (tree_.focused)
        updateNodeStatus(*tree_.focused);
}

void MainWindow::nameParts() {
    const auto text = [this](const char* key) { return toQt(session_.texts.lookup("GUI_FORM", key, "GUI")); };
    treeView_->setAccessibleName(text("FOLDERS"));
    // A screen reader announces the hidden heading as the column's name.
    treeModel_->setHeaderData(0, Qt::Horizontal, text("FOLDERS"));
    list_->setAccessibleName(text("DOCUMENTS"));
    pane_->setAccessibleName(text("PAGE"));
    pane_->view()->setAccessibleName(text("PAGE"));
    statusBar()->setAccessibleName(text("STATUSBAR"));
}

void MainWindow::showTree() {
    filling_ = true;
    treeModel_->reset();
    expandAsTheNodesSay({});
    treeView_->setCurrentIndex(treeModel_->indexOf(tree_.focused));
    filling_ = false;
}

void MainWindow::expandAsTheNodesSay(const QModelIndex& parent) {
    for (int row = 0; row < treeModel_->rowCount(parent); ++row) {
        const QModelIndex index = treeModel_->index(row, 0, parent);
        const TreeNode* node = treeModel_->nodeAt(index);
        if (!node || !node->expanded)
            continue;
        treeView_->setExpanded(index, true);
        expandAsTheNodesSay(index);
    }
}

void MainWindow::showExpandedLevel(const QModelIndex& index) {
    TreeNode* node = treeModel_->nodeAt(index);
    if (filling_ || !node)
        return;
    node->expanded = true;
    if (!readShownLevel(session_, tree_, *node))
        return;
    // The folders just read below become rows; a level read anew in place
    // of one already shown makes every row anew.
    if (treeModel_->stale())
        showTree();
    else
        treeModel_->publishChildren(index);
}

void MainWindow::currentNodeChanged(const QModelIndex& index) {
    TreeNode* node = treeModel_->nodeAt(index);
    if (filling_ || !node)
        return;
    // A folder whose sub-folders changed on the share is reloaded first;
    // its rows are then made anew.
    if (followsShare(node->kind) && !node->path.empty()) {
        bool reloaded = false;
        checkFolderChanged(session_, tree_, *node, &reloaded);
        if (reloaded) {
            tree_.focused = node;
            showTree();
        }
    }
    tree_.focus(*node);
}

void MainWindow::showNodePage(TreeNode& node) {
    updateNodeStatus(node);
    session_.actual.mainPath = node.path;
    shownDocument_.clear();
    fillDocumentList(node);
    const std::string page = ownPageOf(node, list_->items().empty());
    if (page.empty()) {
        if (!list_->items().empty()) {
            setListShown(true);
            // The first document's page, but no row is selected: the folder
            // stays what commands act on until the user picks a document.
            if (const DocumentItem* first = list_->documentAt(0))
                showDocumentPage(first->path);
            watchShown();
            return;
        }
        setListShown(false);
        // The page of an empty folder stands for no record and shows none.
        showAddress(renderer_.render(session_.variables.expand(
            "$DATA_POINT_PATH$/DataPoint.system/Resources/HTML/Template.EmptyFolder.htm", false)));
        watchShown();
        return;
    }
    setListShown(false);
    // Pages of the tree may show the user's own fields.
    Record user;
    ignoreOutcome(session_.readRecord(session_.context.userRecordFile, user));
    showAddress(renderer_.render(session_.variables.expand(page, user, false), user));
    watchShown();
}

void MainWindow::fillDocumentList(const TreeNode& node) {
    std::vector<DocumentItem> items;
    const bool tasks = node.kind == NodeKind::Tasks;
    if (tasks) {
        items = listTasks(session_, tree_.images, node.subKind);
        // Where a task lies, as the tree names the place.
        for (DocumentItem& item : items) {
            if (std::string place = locationText(session_, tree_, item.location); !place.empty())
                item.location = std::move(place);
        }
    } else if (listsDirectory(node.kind) && !node.path.empty() && fs::isDirectory(node.path))
        items = listFolderDocuments(session_, tree_.images, node.path,
                                    [this](const std::string& document) { updateScheduleEntry(session_, document); });
    list_->showItems(std::move(items), tasks);
}

void MainWindow::showDocumentPage(const std::string& document) {
    if (document.empty())
        return;
    shownDocument_ = document;
    showAddress(renderer_.render(document));
    watchShown();
}

void MainWindow::setListShown(bool shown) {
    const int total = rightSplitter_->height();
    if (!shown) {
        keepListHeight();
        rightSplitter_->setSizes({total, 0});
        return;
    }
    if (rightSplitter_->sizes().value(1) > 0)
        return;
    const int wanted = session_.context.geometry.guiSplitter1 > 0 ? session_.context.geometry.guiSplitter1 : total / 3;
    rightSplitter_->setSizes({std::max(total - wanted, 0), wanted});
}

void MainWindow::keepListHeight() {
    // A collapsed list keeps the height it had last.
    if (const int height = rightSplitter_->sizes().value(1); height > 0)
        session_.context.geometry.guiSplitter1 = height;
}

void MainWindow::dropOnTree(const QModelIndex& targetIndex, bool fromList, bool copy) {
    TreeNode* target = treeModel_->nodeAt(targetIndex);
    TreeNode* source = tree_.focused;
    const DocumentItem* item = fromList ? list_->currentDocument() : nullptr;
    if (!target || !source || (fromList && !item))
        return;
    transferOnto(*source, item ? item->path : std::string(), item ? item->name : source->caption, *target,
                 copy ? TransferMode::Copy : TransferMode::Move, false);
}

bool MainWindow::transferOnto(TreeNode& source, std::string document, std::string name, TreeNode& target,
                              TransferMode mode, bool showTarget) {
    const DropCheck check = checkDrop(source, document, target);
    if (!check.accepted) {
        if (check.warning)
            session_.warn(MessageKind::Error, "GUI_FORM", check.warning);
        return false;
    }
    const std::string sourcePath = source.path;
    const std::string parentPath = source.parent ? source.parent->path : std::string();
    // Whatever goes onto the trash is moved into it, as Delete does, under
    // a name the trash does not hold yet.
    const bool toTrash = target.kind == NodeKind::Trash;
    const std::string targetFolder = target.path;
    Status done = Status::success();
    if (toTrash)
        done =
            document.empty() ? moveFolderToTrash(session_, tree_, sourcePath) : moveDocumentToTrash(session_, document);
    else
        done = document.empty() ? transferFolder(session_, tree_, sourcePath, check.target, mode)
                                : transferDocumentInDataPoint(session_, document, check.target, mode);
    if (!done)
        reportFailure(session_, done);
    if (!document.empty() && !toTrash) {
        updateScheduleEntry(session_, document);
        updateScheduleEntry(session_, check.target);
    }
    // The item acted on stays the one selected: a moved document where it
    // went, a copied one where it was.
    const bool movedDocument = done && !document.empty() && !toTrash && mode == TransferMode::Move;
    if (document.empty() && done)
        rebuildTree(toTrash ? parentPath : check.target);
    else if (showTarget && done) {
        rebuildTree(targetFolder);
        selectDocument(check.target);
    } else
        rebuildTree(movedDocument ? path::directory(check.target) : sourcePath);
    if (!showTarget && movedDocument)
        selectDocument(check.target);
    else if (!showTarget && done && !document.empty() && !toTrash)
        selectDocument(document);
    if (done)
        tellDone(toTrash ? "STATUS_TRASHED" : mode == TransferMode::Copy ? "STATUS_COPIED" : "STATUS_MOVED", name);
    refreshTasksNow();
    return static_cast<bool>(done);
}

void MainWindow::runPageCommand(const QByteArray& address, const QByteArray& formBody) {
    if (!commands_->run(address, formBody, shownDocument_, renderer_.shownRecord()))
        return;
    if (!shownDocument_.empty())
        showDocumentPage(shownDocument_);
    else if (tree_.focused)
        showNodePage(*tree_.focused);
}

void MainWindow::showAddress(const std::string& address) {
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

void MainWindow::showHelpPage(const std::string& page) {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        // An open editor or wizard covers the window's pane and takes all
        // input: the page comes beside it, in a window of its own.
        auto* window = new QDialog(modal);
        window->setObjectName("HelpPage");
        window->setAttribute(Qt::WA_DeleteOnClose);
        auto* pane = new PagePane(window);
        connect(pane->view(), &QWebEngineView::titleChanged, window, &QWidget::setWindowTitle);
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(pane);
        window->resize(720, 560);
        pane->showPage(toQt(page));
        window->show();
        return;
    }
    if (isMinimized() || !isVisible())
        showNormal();
    showAddress(page);
    raise();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!shutDown_ && session_.program.loggedOn) {
        shutDown_ = true;
        WindowGeometry& g = session_.context.geometry;
        g.gui = placeOf(this);
        g.guiSplitter = mainSplitter_->sizes().value(0);
        keepListHeight();
        reportFailure(session_, saveFolderList(session_, tree_));
        shutdown(session_);
    }
    event->accept();
}

} // namespace quill::ui
