// The main window's toolbar and the commands behind it: new documents and
// folders, deleting to the trash and for good, refreshing, help.
#include "DocumentListView.h"
#include "FailureMessage.h"
#include "FindView.h"
#include "MainWindow.h"
#include "ObjectEditorView.h"
#include "PrintWizard.h"
#include "QtText.h"
#include "TypedText.h"
#include "UserWizards.h"
#include "ViewSupport.h"

#include "navigation/DocumentCommands.h"
#include "navigation/DocumentList.h"
#include "navigation/NodeCommands.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/LogonContext.h"
#include "session/Menus.h"
#include "session/Session.h"
#include "session/FormHelp.h"

#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

namespace quill::ui {
void MainWindow::createToolbar() {
    auto* bar = addToolBar(toQt(session_.texts.lookup("TOOLSBAR", "TITLE", "GUI")));
    bar->setObjectName("ToolBar");
    bar->setAccessibleName(bar->windowTitle());
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    images_.loadToolbarImages(session_.context.settings.resourceDirectory);
    newObjectMenu_ = new QMenu(this);
    newFolderMenu_ = new QMenu(this);
    refreshMenu_ = new QMenu(this);
    refreshMenu_->setObjectName("RefreshMenu");
    helpMenu_ = new QMenu(this);
    helpMenu_->setObjectName("HelpDropDown");
    QMenu* refreshMenu = refreshMenu_;
    QMenu* helpMenu = helpMenu_;
    const auto text = [this](const char* section, const std::string& key) {
        return toQt(session_.texts.lookup(section, key, "GUI"));
    };
    for (const ToolbarButton button : {ToolbarButton::NewObject, ToolbarButton::NewFolder, ToolbarButton::Tasks,
                                       ToolbarButton::Publish, ToolbarButton::Delete, ToolbarButton::Find,
                                       ToolbarButton::Refresh, ToolbarButton::Print, ToolbarButton::Help}) {
        const int place = static_cast<int>(button);
        // Help, the ninth, has the caption and picture of the 19th.
        const int number = button == ToolbarButton::Help ? 19 : place;
        auto* action =
            new QAction(toolbarIcon(images_, number), text("TOOLSBAR", "TOOLBUTTON" + std::to_string(number)), this);
        action->setObjectName(QStringLiteral("ToolButton%1").arg(place));
        buttons_[button] = action;
        bar->addAction(action);
    }
    const auto withMenu = [bar](QAction* action, QMenu* menu) {
        action->setMenu(menu);
        if (auto* tool = qobject_cast<QToolButton*>(bar->widgetForAction(action)))
            tool->setPopupMode(QToolButton::MenuButtonPopup);
    };
    withMenu(buttons_[ToolbarButton::NewObject], newObjectMenu_);
    withMenu(buttons_[ToolbarButton::NewFolder], newFolderMenu_);
    withMenu(buttons_[ToolbarButton::Refresh], refreshMenu);
    withMenu(buttons_[ToolbarButton::Help], helpMenu);
    buttons_[ToolbarButton::Publish]->setVisible(false);
    buttons_[ToolbarButton::Publish]->setEnabled(false);

    buttons_[ToolbarButton::NewObject]->setShortcut(QKeySequence::New);
    buttons_[ToolbarButton::Delete]->setShortcut(QKeySequence::Delete);
    buttons_[ToolbarButton::Print]->setShortcut(QKeySequence::Print);
    buttons_[ToolbarButton::Find]->setShortcut(QKeySequence::Find);
    buttons_[ToolbarButton::Refresh]->setShortcut(QKeySequence::Refresh);
    connect(buttons_[ToolbarButton::NewObject], &QAction::triggered, this, [this] { newObject(lastObjectType_); });
    connect(buttons_[ToolbarButton::NewFolder], &QAction::triggered, this,
            [this] { newFolderFromTemplate(lastFolderTemplate_); });
    connect(buttons_[ToolbarButton::Delete], &QAction::triggered, this, [this] { deleteActual(false); });
    connect(buttons_[ToolbarButton::Tasks], &QAction::triggered, this, [this] { showScheduleEvents(false); });
    connect(buttons_[ToolbarButton::Find], &QAction::triggered, this, [this] { showFind(); });
    connect(buttons_[ToolbarButton::Print], &QAction::triggered, this, [this] { printActual(); });
    connect(buttons_[ToolbarButton::Refresh], &QAction::triggered, this, [this] { refreshFolder(); });
    connect(buttons_[ToolbarButton::Help], &QAction::triggered, this, [this] { showHelp(); });
    auto* deleteForGood = new QAction(this);
    deleteForGood->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    addAction(deleteForGood);
    connect(deleteForGood, &QAction::triggered, this, [this] { deleteActual(true); });

    refreshFolderAction_ = refreshMenu->addAction(text("MAINPOPUPMENU", "TOOL3_1"), this, [this] { refreshFolder(); });
    refreshMenu->addAction(text("MAINPOPUPMENU", "TOOL3_2"), this, [this] { refreshTasksNow(); });
    refreshMenu->addAction(text("MAINPOPUPMENU", "TOOL3_3"), this, [this] { refreshTemplates(); });
    refreshMenu->addAction(text("MAINPOPUPMENU", "TOOL3_4"), this, [this] {
        refreshTemplates();
        rebuildTree(tree_.focused ? tree_.focused->path : std::string());
        refreshTasksNow();
    });
    QMenu* resourcesMenu = refreshMenu->addMenu(text("MAINPOPUPMENU", "TOOL3_5"));
    resourcesMenu->setObjectName("ResourcesMenu");
    resourcesMenu->addAction(text("MAINPOPUPMENU", "TOOL3_5_1"), this,
                             [this] { synchronizeResourcesNow(SyncDirection::Download); });
    resourcesMenu->addAction(text("MAINPOPUPMENU", "TOOL3_5_2"), this,
                             [this] { synchronizeResourcesNow(SyncDirection::Upload); });
    helpMenu->addAction(text("MAINPOPUPMENU", "TOOL4_1"), this, [this] { hideWindow(); });
    QAction* help = helpMenu->addAction(text("MAINPOPUPMENU", "TOOL4_2"), this, [this] { showHelp(); });
    help->setObjectName("HelpContents");
    help->setShortcut(QKeySequence::HelpContents);
    helpMenu->addAction(text("MAINPOPUPMENU", "TOOL4_3"), this, [this] { showAbout(); });
}

void MainWindow::refreshTemplates() {
    const BusyCursor busy(session_.ui);
    fillNewThingsMenus();
}

void MainWindow::synchronizeResourcesNow(SyncDirection direction) {
    SyncResult result;
    {
        const BusyCursor busy(session_.ui);
        result = synchronizeResources(workingCopyOf(session_), direction);
        noteSkippedLinks(session_, result);
    }
    if (!result) {
        session_.warn(MessageKind::Error, "SYSTEM_IO", 2,
                      "the resources of " + session_.context.dataPointPath + " could not be synchronised");
        return;
    }
    // A download may bring new pictures and templates.
    if (direction == SyncDirection::Download)
        images_.reloadTreeImages(session_.context.settings.resourceDirectory);
    refreshTemplates();
}

void MainWindow::fillNewThingsMenus() {
    newObjectMenu_->clear();
    QString taken;
    const std::vector<MenuEntry> objectTypes = buildObjectTypeMenu(session_);
    for (const MenuEntry& entry : objectTypes) {
        const std::size_t type = std::stoul(entry.hint);
        QAction* action = newObjectMenu_->addAction(images_.treeIcon(tree_.images.imageIndex(entry.image)),
                                                    withAccessKey(toQt(entry.caption), taken), this,
                                                    [this, type] { newObject(type); });
        action->setData(static_cast<qulonglong>(type));
    }
    newFolderMenu_->clear();
    taken.clear();
    const FolderTemplateMenu templates = buildFolderTemplateMenu(session_);
    for (const MenuEntry& entry : templates.entries) {
        if (entry.caption == "-") {
            newFolderMenu_->addSeparator();
            continue;
        }
        const std::size_t index = std::stoul(entry.hint);
        newFolderMenu_->addAction(images_.treeIcon(tree_.images.imageIndex(entry.image)),
                                  withAccessKey(toQt(entry.caption), taken), this,
                                  [this, index] { newFolderFromTemplate(index); });
    }
    // The button runs the first entry until another is chosen.
    if (!objectTypes.empty() && lastObjectType_ == 0)
        lastObjectType_ = std::stoul(objectTypes.front().hint);
}

void MainWindow::enableCommandsFor(const TreeNode& node) {
    const NodeCommands allowed = allowedCommands(session_, &node, nullptr);
    buttons_[ToolbarButton::NewObject]->setEnabled(allowed.newObject);
    buttons_[ToolbarButton::NewFolder]->setEnabled(allowed.newFolder);
    buttons_[ToolbarButton::Delete]->setEnabled(allowed.remove);
    buttons_[ToolbarButton::Find]->setEnabled(allowed.find);
    // The refresh button stays: "My tasks" is refreshed from its menu.
    buttons_[ToolbarButton::Refresh]->setEnabled(true);
    buttons_[ToolbarButton::Print]->setEnabled(allowed.print);
    refreshFolderAction_->setEnabled(allowed.refreshFolder);
}

void MainWindow::enableDeleteButton() {
    if (QAction* remove = buttons_.value(ToolbarButton::Delete))
        remove->setEnabled(allowedCommands(session_, tree_.focused, list_->selectedDocument()).remove);
}

void MainWindow::newObject(std::size_t typeIndex) {
    TreeNode* node = tree_.focused;
    if (!node || !isFolderKind(node->kind) || node->path.empty())
        return;
    lastObjectType_ = typeIndex;
    std::string created;
    if (Status made = createObject(session_, node->path, typeIndex, created); !made) {
        reportFailure(session_, made);
        return;
    }
    showNodePage(*node);
    selectDocument(created);
    editDocument(created, true);
}

void MainWindow::selectDocument(const std::string& path) {
    list_->selectDocument(path);
}

void MainWindow::editDocument(const std::string& path, bool created) {
    if (path.empty())
        return;
    if (!editor_)
        editor_ = new ObjectEditorView(session_, images_, this);
    if (!editor_->edit(path, created)) {
        // A new document the user left unsaved is gone again.
        if (created && tree_.focused)
            showNodePage(*tree_.focused);
        return;
    }
    // The list and the page show what was saved; a copy saved beside the
    // document is the one chosen.
    if (tree_.focused)
        showNodePage(*tree_.focused);
    selectDocument(editor_->savedAs().empty() ? path : editor_->savedAs());
    if (const DocumentItem* saved = list_->currentDocument())
        tellDone("STATUS_SAVED", saved->name);
    fullRefresh();
}

void MainWindow::newFolderFromTemplate(std::size_t templateIndex) {
    TreeNode* node = tree_.focused;
    if (!node || !isFolderKind(node->kind) || node->path.empty())
        return;
    lastFolderTemplate_ = templateIndex;
    bool ok = false;
    const QString name = QInputDialog::getText(this, buttons_[ToolbarButton::NewFolder]->iconText(),
                                               toQt(session_.texts.lookup("TOOLSBAR", "TOOLBUTTON2", "GUI")),
                                               QLineEdit::Normal, {}, &ok);
    if (!ok || name.trimmed().isEmpty())
        return;
    const auto typed = storableText(session_, this, name.trimmed());
    if (!typed || refuseName(session_, "FOLDER_NAME", *typed))
        return;
    std::string created;
    if (Status made = createFolderFromTemplate(session_, node->path, templateIndex, *typed, created); !made) {
        reportFailure(session_, made);
        return;
    }
    rebuildTree(created);
}

CommandTarget MainWindow::actualTarget() const {
    return pickCommandTarget(tree_.focused, list_->selectedDocument());
}

bool MainWindow::ask(const DeleteQuestion& question) {
    QMessageBox box(question.warning ? QMessageBox::Warning : QMessageBox::Question,
                    toQt(session_.texts.lookup("GUI_FORM", "TITLE", "GUI")), toQt(question.text),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setObjectName("DeleteQuestion");
    box.setDefaultButton(question.defaultYes ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void MainWindow::deleteTarget(const CommandTarget& target, bool forGood) {
    TreeNode* node = tree_.focused;
    if (!node)
        return;
    const DeleteQuestion question = deleteQuestion(session_, target, forGood);
    if (question.action == DeleteAction::None)
        return;
    QApplication::beep();
    if (!ask(question))
        return;
    // By value: the rebuilds below drop the node.
    const std::string focusedPath = node->path;
    const std::string parentPath = node->parent ? node->parent->path : std::string();
    const bool document = target.kind == TargetKind::Document;
    Status done = Status::success();
    switch (question.action) {
    case DeleteAction::None: return;
    case DeleteAction::EmptyTrash:
        done = emptyTrash(session_);
        rebuildTree(focusedPath);
        break;
    case DeleteAction::DeleteForGood:
        if (document) {
            done = deleteDocumentForGood(session_, target.path);
            showNodePage(*node);
        } else {
            done = deleteFolderForGood(session_, tree_, target.path);
            rebuildTree(parentPath);
        }
        break;
    case DeleteAction::MoveToTrash:
        if (document) {
            done = moveDocumentToTrash(session_, target.path);
            rebuildTree(focusedPath);
        } else {
            done = moveFolderToTrash(session_, tree_, target.path);
            rebuildTree(parentPath);
        }
        break;
    }
    if (!done)
        reportFailure(session_, done);
    // A deleted task is no longer counted.
    updateTaskSummary();
}

void MainWindow::refreshFolder() {
    TreeNode* node = tree_.focused;
    if (!node)
        return;
    if (isFolderKind(node->kind) && !node->path.empty() && fs::isDirectory(node->path)) {
        reloadFolderNode(session_, tree_, *node, node->path, false);
        showTree();
    }
    showNodePage(*tree_.focused);
}

// By value: the path often belongs to a node that the rebuild drops.
void MainWindow::rebuildTree(std::string focusPath) {
    buildMainTree(session_, tree_);
    updateTrashImage(session_, tree_);
    images_.loadTreeImages(tree_.images);
    TreeNode* wanted = nullptr;
    tree_.forEach([&](const TreeNode& node, int) {
        if (!wanted && !focusPath.empty() && path::comparableFolder(node.path) == path::comparableFolder(focusPath))
            wanted = const_cast<TreeNode*>(&node);
    });
    if (wanted) {
        for (TreeNode* up = wanted->parent; up; up = up->parent)
            up->expanded = true;
        tree_.focused = wanted;
    }
    showTree();
    if (tree_.focused)
        tree_.focus(*tree_.focused);
}

void MainWindow::showFind() {
    if (!findView_) {
        findView_ = new FindView(session_, images_, tree_, this);
        findView_->editDocument = [this](const std::string& document) { editDocument(document); };
        findView_->goTo = [this](const std::string& document, const std::string& location) {
            return goToDocument(document, location);
        };
    }
    const TreeNode* node = tree_.focused;
    findView_->showFor(node && !node->path.empty() && isFolderKind(node->kind) ? node->path : std::string());
}

void MainWindow::printTarget(const CommandTarget& target) {
    if (!printWizard_)
        printWizard_ = new PrintWizard(session_, this);
    // A document's page, or the documents of a folder.
    if (target.kind != TargetKind::Document && target.kind != TargetKind::Folder)
        return;
    session_.actual.displayName = target.displayName;
    if (target.kind == TargetKind::Document)
        printWizard_->printDocument(target.path);
    else
        printWizard_->run(target.path);
}

void MainWindow::showHelp() {
    openFormHelp(session_, "GUIFORM_HELPBUTTON");
}

} // namespace quill::ui
