// The main window's place on the desktop: status bar, tray icon, the
// minute timer, the about view and the popup menus of both trees.
#include "DocumentListView.h"
#include "FailureMessage.h"
#include "MainWindow.h"
#include "PagePane.h"
#include "QtText.h"
#include "ReminderAlert.h"
#include "ScheduleEventView.h"
#include "ScheduleScanner.h"
#include "ViewSupport.h"

#include "formats/RegistryStore.h"
#include "navigation/DocumentCommands.h"
#include "navigation/MainTree.h"
#include "navigation/NodeCommands.h"
#include "session/DismissedReminders.h"
#include "session/ScheduleCache.h"
#include "session/ScheduleScan.h"
#include "session/Scheduler.h"
#include "session/Session.h"
#include "session/Visibility.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QTreeView>

#include <malloc.h>

namespace quill::ui {

void MainWindow::createStatusBar() {
    nodeStatusImage_ = new QLabel(this);
    nodeStatus_ = new QLabel(this);
    nodeStatus_->setObjectName("NodeStatus");
    taskStatus_ = new QLabel(this);
    taskStatus_->setObjectName("TaskStatus");
    taskStatus_->setToolTip(toQt(session_.texts.lookup("GUI_FORM", "STATUSBARHINT_2", "GUI")));
    auto* taskImage = new QLabel(this);
    taskImage->setPixmap(images_.treeIcon(tree_.images.imageIndex("TASKS.BMP")).pixmap(16, 16));
    statusBar()->addWidget(nodeStatusImage_);
    statusBar()->addWidget(nodeStatus_, 1);
    statusBar()->addPermanentWidget(taskImage);
    statusBar()->addPermanentWidget(taskStatus_);
    updateTaskSummary();
}

void MainWindow::updateNodeStatus(const TreeNode& node) {
    if (!nodeStatus_)
        return;
    nodeStatusImage_->setPixmap(images_.treeIcon(node.imageIndex).pixmap(16, 16));
    nodeStatus_->setText(toQt(node.caption + (node.note.empty() ? "" : ", " + node.note)));
}

void MainWindow::updateTaskSummary() {
    if (!taskStatus_)
        return;
    const QString summary = tasksCounted_ ? toQt(scheduleStatusLine(session_))
                                          : toQt(session_.texts.lookup("GUI_FORM", "STATUSBAR_COUNTING", "GUI"));
    if (summary == taskStatus_->text())
        return;
    taskStatus_->setText(summary);
    // The pages of a top folder and of the tasks show the task figures, so
    // they are shown again when the figures change, unless the user is at
    // work in the page.
    const QWidget* focus = QApplication::focusWidget();
    const TreeNode* node = tree_.focused;
    if (tasksCounted_ && shownDocument_.empty() && node && !node->url.empty() &&
        (node->kind == NodeKind::TopFolder || node->kind == NodeKind::Tasks) && !(focus && pane_->isAncestorOf(focus)))
        showNodePage(*tree_.focused);
}

void MainWindow::createTray() {
    const auto text = [this](const char* key) { return toQt(session_.texts.lookup("MAINPOPUPMENU", key, "GUI")); };
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return; // hiding then minimises, so the window is never lost
    tray_ = new QSystemTrayIcon(images_.treeIcon(tree_.images.imageIndex("QUILL.BMP")), this);
    tray_->setObjectName("TrayIcon");
    tray_->setToolTip(windowTitle());
    auto* menu = new QMenu(this);
    menu->addAction(text("TRAY_1"), this, [this] {
        showNormal();
        raise();
        activateWindow();
        rebuildTree(tree_.focused ? tree_.focused->path : std::string());
    });
    menu->addAction(text("TRAY_2"), this, [this] { hideWindow(); });
    menu->addAction(text("TRAY_3"), this, [this] { showHelp(); });
    menu->addAction(text("TRAY_4"), this, [this] { showAbout(); });
    menu->addAction(text("TRAY_5"), this, [this] { close(); });
    tray_->setContextMenu(menu);
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            toggleShown();
    });
    tray_->show();
}

void MainWindow::toggleShown() {
    if (isVisible() && !isMinimized()) {
        hideWindow();
        return;
    }
    showNormal();
    raise();
    activateWindow();
}

void MainWindow::hideWindow() {
    if (tray_ && tray_->isVisible())
        hide();
    else
        showMinimized();
}

void MainWindow::showAbout() {
    const auto text = [this](const char* key) { return toQt(session_.texts.lookup("ABOUT_FORM", key, "GUI")); };
    const QString version = toQt(session_.variables.expand(
        "$INFORMATION.APPLICATION_VERSION.INFORMATION$, $INFORMATION.APPLICATION_BUILD.INFORMATION$", false));
    QMessageBox::about(
        this, text("TITLE"),
        QStringLiteral("<h3>%1</h3><p>%2</p><p>%3</p>")
            .arg(text("MAINTEXT").toHtmlEscaped(), text("LABELTEXT").toHtmlEscaped(), version.toHtmlEscaped()));
}

void MainWindow::startTimer() {
    minuteTimer_ = new QTimer(this);
    minuteTimer_->setObjectName("MinuteTimer");
    minuteTimer_->setInterval(RefreshSchedule::kTick);
    connect(minuteTimer_, &QTimer::timeout, this, [this] { minuteTick(); });
    refreshSchedule_.refreshAtNextTick();
    minuteTimer_->start();
}

void MainWindow::changeEvent(QEvent* event) {
    // Coming back to the window refreshes the tasks at the next tick.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && minuteTimer_) {
        refreshSchedule_.refreshAtNextTick();
        if (!minuteTimer_->isActive())
            minuteTimer_->start();
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::minuteTick() {
    if (refreshSchedule_.tick())
        fullRefresh();
    // Reminders wait for the tasks to be counted.
    if (!tasksCounted_)
        return;
    checkReminders();
    if (isVisible())
        updateTaskSummary();
}

void MainWindow::scanTasksAway(std::function<ScheduleScanResult(const std::atomic<bool>*)> find) {
    if (!scheduleScanner_)
        scheduleScanner_ = new ScheduleScanner(this);
    scheduleScanner_->start(std::move(find), [this](ScheduleScanResult result) {
        takeScheduleScan(session_, std::move(result));
        // What the scan kept of a large data point goes back to the system,
        // not only to the heap.
        ::malloc_trim(0);
        tasksCounted_ = true;
        updateTaskSummary();
        checkReminders();
        if (minuteTimer_ && !minuteTimer_->isActive())
            minuteTimer_->start();
    });
}

void MainWindow::startTaskCount() {
    // Everything below the places the tree shows, and the tasks handed to
    // the user.
    const std::string& dataPoint = session_.context.dataPointPath;
    scanTasksAway([places = scheduleScanPlaces(tree_), tasks = session_.context.userTasksDirectory,
                   rightsPlaces = rightsPlaces(session_.context), records = session_.recordFiles(),
                   &tables = session_.tables, cacheFile = scheduleCacheFile(dataPoint),
                   dataPoint](const std::atomic<bool>* stop) {
        ScheduleScanResult result;
        result.readings = readSchedulesBelow(records, tables, places, cacheFile, dataPoint, stop, &result.folderRights);
        for (ScheduleReading& reading : readScheduleFiles(records, tables, scheduledDocumentsIn(tasks), stop))
            result.readings.push_back(std::move(reading));
        if (!*stop)
            addFolderRightsAbove(records, tables, rightsPlaces, result);
        return result;
    });
}

void MainWindow::fullRefresh() {
    // Each task read again (a gone schedule drops its task) and the tasks
    // handed over meanwhile, all off the window's thread: on a share with
    // many tasks the reads take long.
    if (!tasksCounted_)
        return;
    std::vector<std::string> known;
    for (const ScheduleEntry& entry : session_.schedule)
        known.push_back(entry.documentPath);
    scanTasksAway([known = std::move(known), tasks = session_.context.userTasksDirectory,
                   rightsPlaces = rightsPlaces(session_.context), records = session_.recordFiles(),
                   &tables = session_.tables](const std::atomic<bool>* stop) mutable {
        for (std::string& document : scheduledDocumentsIn(tasks))
            known.push_back(std::move(document));
        ScheduleScanResult result;
        result.readings = readScheduleFiles(records, tables, known, stop);
        if (!*stop)
            addFolderRightsAbove(records, tables, rightsPlaces, result);
        return result;
    });
}

void MainWindow::refreshTasksNow() {
    fullRefresh();
    refreshSchedule_.userRefreshed();
}

void MainWindow::tellDone(std::string_view key, const std::string& what) {
    // Long enough to be read, short enough not to be taken for news later.
    constexpr int kShownMilliseconds = 6000;
    QString text = toQt(session_.texts.lookup("GUI_FORM", key, "GUI"));
    if (!what.empty())
        text += QLatin1Char(' ') + toQt(what);
    statusBar()->showMessage(text, kShownMilliseconds);
}

void MainWindow::checkReminders() {
    const LocalDateTime now = session_.clock.now();
    std::vector<std::size_t> due = quill::checkReminders(session_, now);
    // The view lists them while it is open; its listing marks them seen.
    if (due.empty() || (eventView_ && eventView_->isVisible()))
        return;
    // An open editor or question waits undisturbed: the alert comes at the
    // first tick after it closed.
    if (QApplication::activeModalWidget())
        return;
    if (!dismissedReminders_)
        dismissedReminders_ = std::make_unique<DismissedReminders>(RegistryStore(RegistryStore::defaultPath()),
                                                                   session_.program.logonName);
    due = dismissedReminders_->toShow(session_.schedule, due, now);
    if (due.empty())
        return;
    session_.ui.beep();
    // Hidden in the tray, the window also tells the desktop, so that the
    // reminder is not missed.
    if (tray_ && !isVisible()) {
        QStringList names;
        for (std::size_t index : due)
            names << toQt(session_.schedule[index].name);
        tray_->showMessage(toQt(session_.texts.lookup("SCHEDULEEVENT_FORM", "LABEL1A", "GUI")), names.join('\n'),
                           QSystemTrayIcon::Information);
    }
    if (isMinimized())
        showNormal();
    if (!reminderAlert_) {
        reminderAlert_ = new ReminderAlert(session_, *dismissedReminders_, this);
        reminderAlert_->showTasks = [this] { showScheduleEvents(true); };
    }
    // The status line counts the due task before the alert tells of it.
    updateTaskSummary();
    reminderAlert_->alert(due);
}

void MainWindow::showScheduleEvents(bool alert) {
    if (!eventView_) {
        eventView_ = new ScheduleEventView(session_, images_, tree_, this);
        eventView_->editDocument = [this](const std::string& document) { editDocument(document); };
        eventView_->refreshTasks = [this] { refreshTasksNow(); };
        eventView_->goTo = [this](const std::string& document, const std::string& location) {
            return goToDocument(document, location);
        };
    }
    eventView_->showTasks(alert);
    updateTaskSummary();
}

bool MainWindow::goToDocument(const std::string& document, const std::string& location) {
    TreeNode* node = navigateToLocation(session_, tree_, location);
    if (!node)
        return false;
    showTree();
    showNodePage(*node);
    selectDocument(document);
    const DocumentItem* chosen = list_->currentDocument();
    return chosen && chosen->path == document;
}

void MainWindow::createPopupMenus() {
    const auto text = [this](const std::string& key) {
        return toQt(session_.texts.lookup("MAINPOPUPMENU", key, "GUI"));
    };
    auto* treeMenu = new QMenu(this);
    treeMenu->setObjectName("TreeMenu");
    QAction* newObject = treeMenu->addMenu(newObjectMenu_);
    newObject->setText(text("VIEW1_1"));
    QAction* newTemplate = treeMenu->addMenu(newFolderMenu_);
    newTemplate->setText(text("VIEW1_2"));
    auto* folders = treeMenu->addMenu(text("VIEW1_3"));
    QAction* disconnect = folders->addAction(text("VIEW1_3_1"), this, [this] {
        if (!tree_.focused)
            return;
        if (Status removed = removeTopFolder(session_, tree_, *tree_.focused); !removed)
            reportFailure(session_, removed);
        else
            rebuildTree({});
    });
    folders->addAction(text("VIEW1_3_2"), this, [this] { connectTopFolder(); });
    folders->addAction(text("VIEW1_3_3"), this, [this] { manageTopFolders(); });
    // The tree's menu acts on the node it was opened on, whatever the list
    // shows.
    QAction* remove = treeMenu->addAction(text("VIEW1_4"), this,
                                          [this] { deleteTarget(pickCommandTarget(tree_.focused, nullptr), false); });
    QAction* print =
        treeMenu->addAction(text("VIEW1_5"), this, [this] { printTarget(pickCommandTarget(tree_.focused, nullptr)); });
    QAction* refresh = treeMenu->addAction(text("VIEW1_7"), this, [this] { refreshFolder(); });
    QAction* treeProperties = treeMenu->addAction(text("VIEW1_8"), this, [this] { showProperties(false); });
    treeMenu->setDefaultAction(treeProperties);
    treeView_->setContextMenuPolicy(Qt::CustomContextMenu);
    openContextMenuByKeyboard(treeView_);
    connect(treeView_, &QWidget::customContextMenuRequested, this, [=, this](const QPoint& at) {
        if (!tree_.focused)
            return;
        // The node's kind decides, as it does for the toolbar; the menu acts
        // on the node whatever the list has selected.
        const NodeCommands allowed = allowedCommands(session_, tree_.focused, nullptr);
        newObject->setEnabled(allowed.newObject);
        newTemplate->setEnabled(allowed.newFolder);
        remove->setEnabled(allowed.remove);
        print->setEnabled(allowed.print);
        refresh->setEnabled(allowed.refreshFolder);
        disconnect->setEnabled(allowed.disconnect);
        treeProperties->setEnabled(allowed.folderProperties);
        treeMenu->popup(treeView_->viewport()->mapToGlobal(at));
    });

    auto* listMenu = new QMenu(this);
    listMenu->setObjectName("ListMenu");
    QAction* listNewTemplate = listMenu->addMenu(newFolderMenu_);
    listNewTemplate->setText(text("VIEW2_1"));
    QAction* edit = listMenu->addAction(text("VIEW2_2"), this, [this] {
        if (const DocumentItem* item = list_->selectedDocument())
            editDocument(item->path);
    });
    QAction* listRemove = listMenu->addAction(text("VIEW2_3"), this, [this] { deleteActual(false); });
    QAction* listPrint = listMenu->addAction(text("VIEW2_4"), this, [this] { printActual(); });
    listMenu->addAction(text("VIEW2_7"), this, [this] {
        if (tree_.focused)
            showNodePage(*tree_.focused);
    });
    QAction* listProperties = listMenu->addAction(text("VIEW2_8"), this, [this] { showProperties(true); });
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    openContextMenuByKeyboard(list_);
    connect(list_, &QWidget::customContextMenuRequested, this, [=, this](const QPoint& at) {
        const NodeCommands allowed = allowedCommands(session_, tree_.focused, list_->selectedDocument());
        listNewTemplate->setEnabled(allowed.newFolderInList);
        for (QAction* action : {edit, listRemove, listPrint, listProperties})
            action->setEnabled(allowed.documentCommands);
        listMenu->popup(list_->viewport()->mapToGlobal(at));
    });
}

} // namespace quill::ui
