// The main window's menu bar: every toolbar command within reach of the
// keyboard, and cut, copy and paste of documents and folders.
#include "DocumentListView.h"
#include "MainWindow.h"
#include "QtText.h"

#include "navigation/CommandTarget.h"
#include "navigation/MainTree.h"
#include "platform/Paths.h"
#include "session/Session.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTreeView>

namespace quill::ui {

void MainWindow::createMenuBar() {
    const auto text = [this](const char* key) { return toQt(session_.texts.lookup("MAINMENU", key, "GUI")); };
    const auto popupText = [this](const char* key) { return toQt(session_.texts.lookup("MAINPOPUPMENU", key, "GUI")); };
    // One action for the button and the menu item, so that both are
    // enabled alike: the button shows its caption, the menu its text with
    // the access key.
    const auto addToolbarAction = [&](QMenu* menu, ToolbarButton button, const char* key) {
        QAction* action = buttons_[button];
        const QString caption = action->text();
        action->setIconText(caption);
        action->setToolTip(caption);
        action->setText(text(key));
        menu->addAction(action);
    };
    QMenuBar* bar = menuBar();
    bar->setObjectName("MenuBar");
    bar->setAccessibleName(text("TITLE"));

    QMenu* document = bar->addMenu(text("DOCUMENT"));
    document->setObjectName("DocumentMenu");
    // The same lists as the toolbar's drop-downs and the tree's popup menu.
    newObjectMenu_->setTitle(popupText("VIEW1_1"));
    document->addMenu(newObjectMenu_);
    newFolderMenu_->setTitle(popupText("VIEW1_2"));
    document->addMenu(newFolderMenu_);
    document->addSeparator();
    addToolbarAction(document, ToolbarButton::Print, "PRINT");
    addToolbarAction(document, ToolbarButton::Delete, "DELETE");
    document->addSeparator();
    document->addAction(text("CLOSE"), this, [this] { close(); });

    QMenu* edit = bar->addMenu(text("EDIT"));
    edit->setObjectName("EditMenu");
    const auto addClipboardAction = [&](const char* key, QKeySequence::StandardKey keys, auto run) {
        QAction* action = edit->addAction(text(key), this, run);
        action->setObjectName(QString::fromLatin1(key));
        action->setShortcut(keys);
        // The keys act where folders and documents are chosen; in the page
        // they copy its text.
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        treeView_->addAction(action);
        list_->addAction(action);
    };
    addClipboardAction("CUT", QKeySequence::Cut, [this] { holdForPaste(TransferMode::Move); });
    addClipboardAction("COPY", QKeySequence::Copy, [this] { holdForPaste(TransferMode::Copy); });
    addClipboardAction("PASTE", QKeySequence::Paste, [this] { pasteIntoFocused(); });
    edit->addSeparator();
    addToolbarAction(edit, ToolbarButton::Find, "FIND");

    QMenu* view = bar->addMenu(text("VIEW"));
    view->setObjectName("ViewMenu");
    addToolbarAction(view, ToolbarButton::Tasks, "TASKS");
    refreshMenu_->setTitle(text("REFRESH"));
    view->addMenu(refreshMenu_);

    // The entries of the Help button's drop-down, under a title of its own:
    // the drop-down's title is the button's, with its picture.
    QMenu* help = bar->addMenu(text("HELP"));
    help->setObjectName("HelpMenu");
    help->addActions(helpMenu_->actions());
}

void MainWindow::holdForPaste(TransferMode mode) {
    // In the tree the folder is meant, even while a document of the list
    // still shows as selected.
    const CommandTarget target = treeView_->hasFocus() ? pickCommandTarget(tree_.focused, nullptr) : actualTarget();
    if (target.kind == TargetKind::Document)
        held_ = HeldForPaste{{}, target.path, mode, target.displayName};
    else if (target.kind == TargetKind::Folder)
        held_ = HeldForPaste{target.path, {}, mode, target.displayName};
    else
        session_.ui.beep();
}

void MainWindow::pasteIntoFocused() {
    TreeNode* target = tree_.focused;
    if (!held_ || !target) {
        session_.ui.beep();
        return;
    }
    const HeldForPaste held = *held_;
    // The checks of a document do not look at the folder it comes from.
    TreeNode* source = target;
    if (!held.folder.empty()) {
        source = nullptr;
        tree_.forEach([&](const TreeNode& node, int) {
            if (!source && path::comparableFolder(node.path) == path::comparableFolder(held.folder))
                source = const_cast<TreeNode*>(&node);
        });
        if (!source) {
            // Gone from the tree since it was cut or copied.
            held_.reset();
            session_.ui.beep();
            return;
        }
    }
    // What was cut is no longer where it was: it is pasted once.
    if (transferOnto(*source, held.document, held.name, *target, held.mode, true) && held.mode == TransferMode::Move)
        held_.reset();
}

} // namespace quill::ui
