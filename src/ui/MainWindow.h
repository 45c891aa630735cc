#pragma once

#include "ImageLists.h"

#include "datapoint/WorkingCopy.h"
#include "documents/DocumentTransfer.h"
#include "navigation/CommandTarget.h"
#include "navigation/EmbeddedCommand.h"
#include "navigation/LiveChanges.h"
#include "navigation/MainTree.h"
#include "navigation/PageRenderer.h"
#include "session/RefreshSchedule.h"
#include "session/ScheduleScan.h"

#include <QMainWindow>
#include <QMap>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QLabel;
class QSystemTrayIcon;
class QTimer;
class QFileSystemWatcher;
class QMenu;
class QSplitter;
class QToolButton;
class QModelIndex;
class QTreeView;

namespace quill {
class DismissedReminders;
class Session;
} // namespace quill

namespace quill::ui {

class DocumentListView;
class MainTreeModel;
class ObjectEditorView;
class FindView;
class PrintWizard;
class ReminderAlert;
class ScheduleEventView;
class ScheduleScanner;
class PagePane;
class PageCommandRunner;

// The main window's toolbar buttons, in toolbar order; the number of each
// is its place on the toolbar, which its object name "ToolButton<n>" keeps.
enum class ToolbarButton { NewObject = 1, NewFolder, Tasks, Publish, Delete, Find, Refresh, Print, Help };

// The main window: the main tree on the left; on the right the page of the
// focused node or document above the list of the focused folder's
// documents. It is created before the logon and shown only after a
// successful one; closing it shuts the session down (geometry, working
// copy, logs).
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Session& session, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Builds the tree for the logged-on user; called once after logon.
    void prepareForUser();

    // Shows a help page in the page pane, for a desktop that cannot; while
    // a modal view is open, in a window beside it.
    void showHelpPage(const std::string& page);

    const MainTree& tree() const { return tree_; }
    QTreeView* treeView() const { return treeView_; }
    PagePane* pagePane() const { return pane_; }
    DocumentListView* documentList() const { return list_; }
    // The document whose page is shown, or "" for a node's page.
    const std::string& shownDocument() const { return shownDocument_; }

    // A toolbar button's action; nullptr before the toolbar is made.
    QAction* toolbarAction(ToolbarButton button) const { return buttons_.value(button); }
    QSystemTrayIcon* trayIcon() const { return tray_; }
    // The object editor, once it was opened.
    ObjectEditorView* objectEditor() const { return editor_; }
    // The tasks and reminders view, once it was opened.
    ScheduleEventView* scheduleEvents() const { return eventView_; }
    // The alert of due reminders, once one fell due.
    ReminderAlert* reminderAlert() const { return reminderAlert_; }
    FindView* findView() const { return findView_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The names a screen reader gives the tree, the list and the page.
    void nameParts();
    // Shows tree_ anew, as expanded as its nodes say, the focused node
    // current; called after every change of tree_ that replaces nodes.
    void showTree();
    void expandAsTheNodesSay(const QModelIndex& parent);
    void showNodePage(TreeNode& node);
    void currentNodeChanged(const QModelIndex& index);
    void fillDocumentList(const TreeNode& node);
    // Shows a document's page; the document stays what page commands act on.
    void showDocumentPage(const std::string& document);
    void showAddress(const std::string& address);
    void setListShown(bool shown);
    void runPageCommand(const QByteArray& address, const QByteArray& formBody);
    void runDataPointCommand(EmbeddedCommandKind kind);
    void dropOnTree(const QModelIndex& target, bool fromList, bool copy);
    // Moves or copies a folder node (document empty) or a document onto
    // target, with the checks of a drop; false when refused or failed.
    // showTarget: a moved or copied document is then shown where it went,
    // else the source folder stays focused, as after a drop.
    // name: what the status bar calls what was moved or copied. Both are
    // taken by value: the list they may come from is filled anew on the way.
    bool transferOnto(TreeNode& source, std::string document, std::string name, TreeNode& target, TransferMode mode,
                      bool showTarget);

    // The toolbar, its drop-downs and the commands they run
    // (MainWindowCommands.cpp).
    void createToolbar();
    void fillNewThingsMenus();
    void refreshTemplates();
    // The refresh menu's download or upload of the data point's resources.
    void synchronizeResourcesNow(SyncDirection direction);
    void enableCommandsFor(const TreeNode& node);
    // Delete is offered for the focused node's kind and for any document
    // the user selected in the list.
    void enableDeleteButton();
    // Keeps the document list's height for the next folder and the next start.
    void keepListHeight();
    void newObject(std::size_t typeIndex);
    // created: the document was just made for this edit, and goes again
    // when the editor closes without saving it.
    void editDocument(const std::string& path, bool created = false);
    void selectDocument(const std::string& path);
    void newFolderFromTemplate(std::size_t templateIndex);
    // What the user visibly chose: the selected document, else the focused
    // node.
    CommandTarget actualTarget() const;
    void deleteActual(bool forGood) { deleteTarget(actualTarget(), forGood); }
    void deleteTarget(const CommandTarget& target, bool forGood);
    void refreshFolder();
    void rebuildTree(std::string focusPath);
    void showHelp();
    bool ask(const DeleteQuestion& question);

    // The status bar, the tray icon, the minute timer, the about view and
    // the popup menus of both trees (MainWindowDesktop.cpp).
    void createStatusBar();
    void createTray();
    void createPopupMenus();
    void startTimer();
    void minuteTick();
    void fullRefresh();
    // Reads schedules on the scanner's thread and takes them in when done.
    void scanTasksAway(std::function<ScheduleScanResult(const std::atomic<bool>*)> read);
    void startTaskCount();
    // Reads and shows the level a newly expanded folder shows.
    void showExpandedLevel(const QModelIndex& index);
    void checkReminders();
    // A full refresh the user asked for; the next timed one waits longer.
    void refreshTasksNow();
    void showScheduleEvents(bool alert);
    void showFind();
    void printActual() { printTarget(actualTarget()); }
    void printTarget(const CommandTarget& target);
    bool goToDocument(const std::string& document, const std::string& location);
    void updateNodeStatus(const TreeNode& node);
    // A short word in the status bar that an operation was done: the text
    // of key, then what it was done to.
    void tellDone(std::string_view key, const std::string& what);
    void updateTaskSummary();
    void toggleShown();
    void hideWindow();
    void showAbout();

    // Following what other users and programs change on disk: the actual
    // folder and the shown document, by notification where the file
    // system gives one and by a cheap poll where it does not
    // (MainWindowLive.cpp).
    void startFollowingChanges();
    void watchShown();
    void followChanges();

    // Folder properties, top folders and the administrators' wizards
    // (MainWindowAdministration.cpp).
    void showProperties(bool forItem);
    void connectTopFolder();
    void manageTopFolders();
    void imagesReloaded();

    // The menu bar, which reaches every toolbar command from the keyboard,
    // and cut, copy and paste of documents and folders, which move and copy
    // them as a drop does (MainWindowMenuBar.cpp).
    void createMenuBar();
    void holdForPaste(TransferMode mode);
    void pasteIntoFocused();

    Session& session_;
    MainTree tree_;
    PageRenderer renderer_;
    ImageLists images_;
    MainTreeModel* treeModel_;
    QTreeView* treeView_;
    PagePane* pane_;
    DocumentListView* list_;
    QAction* refreshFolderAction_ = nullptr;
    QSplitter* mainSplitter_;  // the main tree beside the page and list
    QSplitter* rightSplitter_; // the page above the document list
    std::unique_ptr<PageCommandRunner> commands_;
    std::string shownDocument_;
    ObjectEditorView* editor_ = nullptr;
    ScheduleEventView* eventView_ = nullptr;
    ReminderAlert* reminderAlert_ = nullptr;
    std::unique_ptr<DismissedReminders> dismissedReminders_;
    FindView* findView_ = nullptr;
    PrintWizard* printWizard_ = nullptr;
    QMap<ToolbarButton, QAction*> buttons_;
    QLabel* nodeStatus_ = nullptr;
    QLabel* nodeStatusImage_ = nullptr;
    QLabel* taskStatus_ = nullptr;
    QSystemTrayIcon* tray_ = nullptr;
    QTimer* minuteTimer_ = nullptr;
    QTimer* changePoll_ = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
    OnScreenState shownState_;
    RefreshSchedule refreshSchedule_;
    ScheduleScanner* scheduleScanner_ = nullptr;
    // The first scan of the tasks after logon has ended.
    bool tasksCounted_ = false;
    // What Cut or Copy took: a folder's path, or a document; a cut moves it
    // on Paste, a copy copies it.
    struct HeldForPaste {
        std::string folder;
        std::string document;
        TransferMode mode = TransferMode::Copy;
        std::string name;
    };
    std::optional<HeldForPaste> held_;
    QMenu* newObjectMenu_ = nullptr;
    QMenu* refreshMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QMenu* newFolderMenu_ = nullptr;
    std::size_t lastObjectType_ = 0;
    std::size_t lastFolderTemplate_ = 0;
    bool filling_ = false;
    bool shutDown_ = false;
};

} // namespace quill::ui
