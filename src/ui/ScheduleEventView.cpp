#include "ScheduleEventView.h"

#include "FailureMessage.h"
#include "ImageLists.h"
#include "QtText.h"
#include "ViewSupport.h"

#include "navigation/GoTo.h"
#include "navigation/MainTree.h"
#include "platform/DateTimeFormat.h"
#include "platform/Paths.h"
#include "session/ScheduleTable.h"
#include "session/Session.h"
#include "session/TaskSets.h"
#include "session/FormHelp.h"

#include <QActionGroup>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quill::ui {

namespace {

constexpr int kEntryRole = Qt::UserRole;
constexpr int kPathRole = Qt::UserRole + 1;
constexpr int kKindRole = Qt::UserRole + 2;

// The lists in the order of the menu.
TaskSet taskSetOf(ScheduleEventView::TaskList list) {
    static constexpr TaskSet sets[] = {TaskSet::Due, TaskSet::Incoming, TaskSet::Open, TaskSet::Closed};
    return sets[static_cast<int>(list)];
}

} // namespace

ScheduleEventView::ScheduleEventView(Session& session, const ImageLists& images, const MainTree& tree, QWidget* parent)
    : QDialog(parent), session_(session), images_(images), mainTree_(tree), tree_(new QTreeWidget(this)),
      heading_(new QLabel(this)) {
    setObjectName("TScheduleEvent_Form");
    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    QAction* close = addToolButton(bar, session, images, 10, "Close");
    QAction* change = addToolButton(bar, session, images, 25, "ChangeList");
    QAction* refresh = addToolButton(bar, session, images, 7, "Refresh");
    goToAction_ = addToolButton(bar, session, images, 28, "GoTo");
    bar->addSeparator();
    QAction* help = addToolButton(bar, session, images, 19, "Help");
    auto* lists = new QMenu(this);
    auto* group = new QActionGroup(this);
    for (int i = 0; i < 4; ++i) {
        QAction* item = lists->addAction(languageText(session, "POPUPMENU", "SCHEDULEMENU" + std::to_string(i + 1)));
        item->setCheckable(true);
        group->addAction(item);
        listActions_.append(item);
        connect(item, &QAction::triggered, this, [this, i] { choose(static_cast<TaskList>(i)); });
    }
    // The incoming list is the task panel's; this view leaves it out.
    listActions_[1]->setVisible(false);
    listActions_[1]->setEnabled(false);
    listActions_[0]->setChecked(true);
    change->setMenu(lists);
    if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(change)))
        button->setPopupMode(QToolButton::MenuButtonPopup);
    connect(close, &QAction::triggered, this, &QDialog::accept);
    connect(change, &QAction::triggered, this, [this] {
        if (list_ == TaskList::Incoming)
            return;
        choose(list_ == TaskList::Due ? TaskList::Open : list_ == TaskList::Open ? TaskList::Closed : TaskList::Due);
    });
    connect(refresh, &QAction::triggered, this, [this] {
        if (refreshTasks)
            refreshTasks();
        rebuild();
    });
    connect(goToAction_, &QAction::triggered, this, [this] { goToFocused(); });
    connect(help, &QAction::triggered, this, [this] { openFormHelp(session_, "SCHEDULEEVENTFORM_HELPBUTTON"); });
    for (auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* closeKey = new QShortcut(QKeySequence(Qt::CTRL | key), this);
        connect(closeKey, &QShortcut::activated, this, &QDialog::accept);
    }

    tree_->setObjectName("Tasks");
    tree_->setHeaderHidden(true);
    tree_->setIconSize(QSize(16, 16));
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        // Go to needs a task to go to.
        goToAction_->setEnabled(item != nullptr);
        if (item)
            setFocusedTask(item->data(0, kEntryRole).toInt());
    });
    for (auto signal : {&QTreeWidget::itemExpanded, &QTreeWidget::itemCollapsed})
        connect(tree_, signal, this,
                [this](QTreeWidgetItem* item) { setFocusedTask(item->data(0, kEntryRole).toInt()); });
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { openFocused(item); });

    auto* fixedHeading = new QLabel(this);
    fixedHeading->setObjectName("FixedHeading");
    QFont bold = heading_->font();
    bold.setBold(true);
    heading_->setFont(bold);
    heading_->setObjectName("Heading");
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    layout->addWidget(fixedHeading);
    layout->addWidget(heading_);
    layout->addWidget(tree_);
    resize(520, 480);
    restorePlace(this, session.context.geometry.scheduleEvent);
}

void ScheduleEventView::showTasks(bool alert) {
    // The texts are read each time, so a changed language shows at once.
    setWindowTitle(languageText(session_, "SCHEDULEEVENT_FORM", "TITLE"));
    findChild<QLabel*>("FixedHeading")->setText(languageText(session_, "SCHEDULEEVENT_FORM", "LABEL2"));
    alertRequested_ = alert;
    rebuild();
    if (!isVisible())
        exec();
}

void ScheduleEventView::choose(TaskList list) {
    list_ = list;
    listActions_[static_cast<int>(list)]->setChecked(true);
    rebuild();
}

void ScheduleEventView::rebuild() {
    BusyCursor busy(session_.ui);
    if (alertRequested_) {
        list_ = TaskList::Due;
        listActions_[0]->setChecked(true);
        alertRequested_ = false;
    }
    static constexpr const char* headings[] = {"LABEL1A", "LABEL1B", "LABEL1C", "LABEL1D"};
    heading_->setText(languageText(session_, "SCHEDULEEVENT_FORM", headings[static_cast<int>(list_)]));
    const QSignalBlocker quiet(tree_);
    tree_->clear();
    const auto text = [this](const char* key) { return languageText(session_, "SCHEDULEEVENT_FORM", key) + " "; };
    QTreeWidgetItem* first = nullptr;
    ScheduleTable& table = session_.schedule;
    const TaskSet set = taskSetOf(list_);
    for (std::size_t i = 0; i < table.size(); ++i) {
        ScheduleEntry& entry = table[i];
        if (!inTaskSet(entry, set))
            continue;
        const QString path = toQt(entry.documentPath);
        const auto addRow = [&](QTreeWidgetItem* row, int kind) {
            row->setData(0, kEntryRole, static_cast<int>(i));
            row->setData(0, kPathRole, path);
            row->setData(0, kKindRole, kind);
            return row;
        };
        auto* task = addRow(new QTreeWidgetItem(tree_, {text("TASKNAME") + toQt(entry.name)}), 0);
        task->setIcon(0, images_.treeIcon(entry.imageName));
        QFont bold = task->font(0);
        bold.setBold(true);
        task->setFont(0, bold);
        const std::string when =
            formatDate(entry.eventTime, session_.formats) + ", " + formatTime(entry.eventTime, session_.formats);
        const std::string location = locationText(session_, mainTree_, path::directory(entry.documentPath));
        const std::pair<QString, const char*> details[] = {
            {text("TASKOWNER") + toQt(entry.owner), "OWNER.BMP"},
            {text("TASKTEAM") + toQt(entry.team), "USERS.BMP"},
            {text("TASKTIME") + toQt(when), "DATE.BMP"},
            {text("TASKGO") + toQt(location), "GO.BMP"},
        };
        int kind = 1;
        for (const auto& [caption, image] : details)
            addRow(new QTreeWidgetItem(task, {caption}), kind++)->setIcon(0, images_.treeIcon(image));
        markListed(entry, set);
        first = first ? first : task;
    }
    if (first) {
        tree_->setCurrentItem(first);
        first->setExpanded(true);
        setFocusedTask(first->data(0, kEntryRole).toInt());
    }
    goToAction_->setEnabled(tree_->currentItem() != nullptr);
}

void ScheduleEventView::setFocusedTask(int entry) {
    highlightGroup(tree_, kEntryRole, entry);
}

void ScheduleEventView::goToFocused() {
    QTreeWidgetItem* row = tree_->currentItem();
    if (!row || !goTo)
        return;
    const Result<GoToTarget> target = goToTarget(session_, mainTree_, fromQt(row->data(0, kPathRole).toString()));
    if (!target) {
        reportFailure(session_, target, "SCHEDULEEVENT_FORM", 1, MessageKind::Warning);
        return;
    }
    if (!goTo(target->document, target->location)) {
        session_.warn(MessageKind::Warning, "SCHEDULEEVENT_FORM", 1);
        return;
    }
    accept();
}

void ScheduleEventView::openFocused(QTreeWidgetItem* item) {
    if (!item || !editDocument)
        return;
    editDocument(fromQt(item->data(0, kPathRole).toString()));
    rebuild();
}

void ScheduleEventView::done(int result) {
    session_.context.geometry.scheduleEvent = placeOf(this);
    QDialog::done(result);
}

} // namespace quill::ui
