// The window follows what other users and other programs change on disk:
// the actual folder's documents and sub-folders and the shown document's
// page, without a refresh.
#include "MainWindow.h"

#include "DocumentListView.h"
#include "QtText.h"

#include "navigation/LiveChanges.h"
#include "platform/FileSystem.h"
#include "session/Scheduler.h"
#include "session/Session.h"

#include <QFileSystemWatcher>
#include <QTimer>

namespace quill::ui {
namespace {

// How often what is on screen is compared with the disk where no
// notification comes (network shares): a few metadata calls each time.
constexpr int kChangePollMs = 3000;

std::string shownFolderOf(const TreeNode* node) {
    return node && isFolderKind(node->kind) ? node->path : std::string();
}

} // namespace

void MainWindow::startFollowingChanges() {
    watcher_ = new QFileSystemWatcher(this);
    // Notifications come in bursts while a save replaces several files;
    // one look after the burst is enough.
    auto* settle = new QTimer(this);
    settle->setSingleShot(true);
    settle->setInterval(150);
    connect(settle, &QTimer::timeout, this, [this] { followChanges(); });
    connect(watcher_, &QFileSystemWatcher::directoryChanged, settle, qOverload<>(&QTimer::start));
    connect(watcher_, &QFileSystemWatcher::fileChanged, settle, qOverload<>(&QTimer::start));
    changePoll_ = new QTimer(this);
    changePoll_->setObjectName("ChangePoll");
    changePoll_->setInterval(kChangePollMs);
    connect(changePoll_, &QTimer::timeout, this, [this] { followChanges(); });
    changePoll_->start();
    watchShown();
}

void MainWindow::watchShown() {
    if (!watcher_)
        return;
    const std::string folder = shownFolderOf(tree_.focused);
    shownState_ = onScreenState(folder, shownDocument_);
    const QStringList watched = watcher_->files() + watcher_->directories();
    if (!watched.isEmpty())
        watcher_->removePaths(watched);
    QStringList paths;
    for (const std::string& path : watchedPaths(folder, shownDocument_))
        paths << QString::fromStdString(fs::native(path).string());
    if (!paths.isEmpty())
        watcher_->addPaths(paths);
}

void MainWindow::followChanges() {
    TreeNode* node = tree_.focused;
    if (!node || filling_)
        return;
    const std::string folder = shownFolderOf(node);
    const OnScreenState now = onScreenState(folder, shownDocument_);
    if (now == shownState_)
        return;
    const bool folderChanged = now.folder != shownState_.folder;
    const std::string shown = shownDocument_;
    const DocumentItem* selected = list_->selectedDocument();
    const std::string keep = selected ? selected->path : std::string();
    if (!shown.empty())
        updateScheduleEntry(session_, shown);
    if (!shown.empty() && !fs::isRegularFile(shown)) {
        // The shown document went (deleted or moved by someone else).
        showNodePage(*node);
    } else if (folderChanged && !folder.empty()) {
        bool reloaded = false;
        checkFolderChanged(session_, tree_, *node, &reloaded);
        if (reloaded) {
            tree_.focused = node;
            showTree();
        }
        if (node->url.empty() || !list_->items().empty()) {
            fillDocumentList(*node);
            setListShown(!list_->items().empty());
        }
        if (!keep.empty())
            selectDocument(keep);
        if (!shown.empty() && shownDocument_ == shown)
            showDocumentPage(shown);
        else if (shown.empty())
            showNodePage(*node);
    } else if (!shown.empty()) {
        showDocumentPage(shown);
    }
    updateTaskSummary();
    watchShown();
}

} // namespace quill::ui
