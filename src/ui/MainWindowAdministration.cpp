// What the main window opens to set things up: the properties of folders
// and documents, the top folders, and the administrators' wizards.
#include "MainWindow.h"

#include "ConnectFoldersView.h"
#include "DataPointWizard.h"
#include "DocumentListView.h"
#include "FailureMessage.h"
#include "PropertiesView.h"
#include "UserFoldersWizard.h"
#include "UserWizards.h"

#include "navigation/ConnectedFolders.h"
#include "navigation/DocumentList.h"
#include "navigation/MainTree.h"
#include "session/Session.h"

#include <QTreeView>

namespace quill::ui {

void MainWindow::showProperties(bool forItem) {
    TreeNode* node = tree_.focused;
    const DocumentItem* item = forItem ? list_->selectedDocument() : nullptr;
    if (forItem && !item)
        return;
    if (!forItem && (!node || node->path.empty() || !isFolderKind(node->kind)))
        return;
    const std::string path = item ? item->path : node->path;
    std::string renamed;
    const PropertiesAnswer answer = PropertiesView(session_, images_, this).show(path, !item, &renamed);
    if (answer == PropertiesAnswer::Renamed) {
        session_.actual.mainPath = renamed;
        rebuildTree(renamed);
    } else if (answer == PropertiesAnswer::Saved && node && !item) {
        refreshFolderNode(session_, tree_, *node);
        showTree();
        showNodePage(*tree_.focused);
    }
}

void MainWindow::connectTopFolder() {
    std::vector<std::string> folders = readConnectedFolders(session_);
    const auto folder = UserFoldersWizard(session_, images_, this).run(folders);
    if (!folder)
        return;
    folders.push_back(*folder);
    if (const Status status = writeConnectedFolders(session_, folders); !status) {
        reportFailure(session_, status);
        return;
    }
    rebuildTree(*folder);
}

void MainWindow::manageTopFolders() {
    if (ConnectFoldersView(session_, images_, this).run())
        rebuildTree(tree_.focused ? tree_.focused->path : std::string());
}

void MainWindow::runDataPointCommand(EmbeddedCommandKind kind) {
    // Only administrators see these commands on their pages.
    if (!session_.program.isAdministrator)
        return;
    UserWizardAnswer answer = UserWizardAnswer::Nothing;
    if (kind == EmbeddedCommandKind::CreateUser)
        answer = CreateUserWizard(session_, this).run();
    else if (kind == EmbeddedCommandKind::DeleteUser)
        answer = DeleteUserWizard(session_, images_, this).run();
    else if (kind == EmbeddedCommandKind::CreateDataPoint)
        CreateDataPointWizard(session_, this).run();
    // The tree shows the users' folders: it is built again for a change.
    if (answer != UserWizardAnswer::Nothing) {
        rebuildTree(tree_.focused ? tree_.focused->path : std::string());
        tellDone(answer == UserWizardAnswer::UserCreated ? "STATUS_USER_CREATED" : "STATUS_USER_DELETED", {});
    }
}

// Added or deleted pictures change every image index: the tree's own table
// follows the loaded pictures, and what is shown takes its pictures again.
void MainWindow::imagesReloaded() {
    tree_.images = images_.names();
    const std::function<void(TreeNode&)> reindex = [&](TreeNode& node) {
        node.imageIndex = tree_.images.imageIndex(node.imageName);
        for (auto& child : node.children)
            reindex(*child);
    };
    for (auto& root : tree_.roots)
        reindex(*root);
    showTree();
    if (tree_.focused)
        fillDocumentList(*tree_.focused);
}

} // namespace quill::ui
