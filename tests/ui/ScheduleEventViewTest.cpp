// A reminder falling due while the program runs: the minute timer beeps and
// shows the reminder alert beside the window, only once; from it the tasks
// view lists the due task, and "My tasks" lists it too. Snoozed, the
// reminder comes back after the snooze; dismissed, it does not come back.
#include "ViewTestSupport.h"

#include "ui/DocumentListView.h"
#include "ui/ObjectEditorView.h"
#include "ui/PagePane.h"
#include "ui/ReminderAlert.h"
#include "ui/ScheduleEventView.h"

#include "formats/RegistryStore.h"
#include "session/DismissedReminders.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include <filesystem>

namespace quill::ui {

using namespace test;

namespace {

// Lets the minute timer tick more than count times. The window took the
// timer's ticks before the count did, so each counted tick has been handled.
bool ticksPass(QTimer* timer, int count) {
    QSignalSpy ticks(timer, &QTimer::timeout);
    return QTest::qWaitFor([&] { return ticks.size() > count; }, kTimeout);
}

// Hands ANNA a task at 9:30 with its reminder an hour before; the test
// clock stands at 9:05. The task's document.
std::string handDueTask(Session& session) {
    const std::string tasks = session.context.userTasksDirectory;
    std::filesystem::create_directories(tasks);
    writeBytes(tasks + "/Call the supplier.note", "Call the supplier\r\nAbout the toner\r\n");
    writeBytes(tasks + "/Call the supplier.scheduler",
               "System Administrator (ADMINISTRATOR)\r\nAnna Novak (ANNA); \r\n8.12.2026\r\n9:30:00\r\n5\r\n");
    return tasks + "/Call the supplier.note";
}

} // namespace

class ScheduleEventViewTest : public QObject {
    Q_OBJECT

private slots:
    void aDueReminderAlertsOnceAndTheTaskIsListed() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        Session& session = *shown.f.session;
        handDueTask(session);
        const int beepsBefore = shown.f.ui.beeps;

        // The minute timer, made fast: its first tick refreshes fully. The
        // alert comes beside the window without taking its keys, and the
        // status line already counts the due task.
        auto* timer = window.findChild<QTimer*>("MinuteTimer");
        QVERIFY(timer);
        timer->start(100);
        QTRY_VERIFY_WITH_TIMEOUT(window.reminderAlert() && window.reminderAlert()->isVisible(), kTimeout);
        ReminderAlert* alert = window.reminderAlert();
        QVERIFY(shown.f.ui.beeps > beepsBefore);
        QVERIFY(!alert->isActiveWindow());
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(alert->taskList()->count(), 1);
        QCOMPARE(alert->taskList()->item(0)->text(), QStringLiteral("Call the supplier"));
        QVERIFY(window.findChild<QLabel*>("TaskStatus")->text().endsWith(QStringLiteral(": 1, 1, 3.")));

        // Its Show button opens the tasks view on the due tasks.
        bool listed = false;
        whenShown<ScheduleEventView>([&](ScheduleEventView* view) {
            listed = view->shownList() == ScheduleEventView::TaskList::Due;
            QTreeWidget* list = view->tree();
            QCOMPARE(list->topLevelItemCount(), 1);
            QVERIFY(list->topLevelItem(0)->text(0).endsWith(QStringLiteral("Call the supplier")));
            QCOMPARE(list->topLevelItem(0)->childCount(), 4);
            // Go to goes to the task the list has current, and only then.
            QAction* goTo = view->findChild<QAction*>("GoTo");
            QVERIFY(goTo);
            QCOMPARE(goTo->isEnabled(), list->currentItem() != nullptr);
            clickItem(list, list->topLevelItem(0));
            QVERIFY(goTo->isEnabled());
            saveShot(view, "schedule-event-view");
            clickAction(view, "Close");
        });
        QTest::mouseClick(alert->showButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(listed, kTimeout);
        QVERIFY(!alert->isVisible());

        // Listed once, it does not come back at the next ticks.
        QVERIFY(ticksPass(timer, 5));
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!alert->isVisible());
        timer->stop();

        QVERIFY(openFolder(window, QStringLiteral("Current tasks"), 1));
        DocumentListView* list = window.documentList();
        QCOMPARE(rowText(list, 0), QStringLiteral("Call the supplier"));
        QVERIFY(!list->isColumnHidden(5));
        QVERIFY(window.findChild<QLabel*>("TaskStatus")->text().endsWith(QStringLiteral(": 1, 1, 3.")));
        saveShot(&window, "current-tasks");
        QVERIFY(window.close());
    }

    void theAlertIsSnoozedAndDismissedWithItsButtons() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        Session& session = *shown.f.session;
        const std::string document = handDueTask(session);
        auto* timer = window.findChild<QTimer*>("MinuteTimer");
        QVERIFY(timer);
        timer->start(100);
        QTRY_VERIFY_WITH_TIMEOUT(window.reminderAlert() && window.reminderAlert()->isVisible(), kTimeout);
        ReminderAlert* alert = window.reminderAlert();

        // Snoozed, it stays away for the snooze and comes back after it.
        QTest::mouseClick(alert->snoozeButton(), Qt::LeftButton);
        QVERIFY(!alert->isVisible());
        QVERIFY(ticksPass(timer, 5));
        QVERIFY(!alert->isVisible());
        shown.f.clock.set({2026, 12, 8, 9, 16, 0, 0});
        QTRY_VERIFY_WITH_TIMEOUT(alert->isVisible(), kTimeout);

        // Dismissed, it stays away also where a new start would show it
        // again, and the user's own settings keep it.
        QTest::mouseClick(alert->dismissButton(), Qt::LeftButton);
        QVERIFY(!alert->isVisible());
        const std::size_t entry = session.schedule.find(document);
        QVERIFY(entry < session.schedule.size());
        session.schedule[entry].seen = false;
        QVERIFY(ticksPass(timer, 5));
        QVERIFY(!alert->isVisible());
        const DismissedReminders kept(RegistryStore(RegistryStore::defaultPath()), "ANNA");
        QVERIFY(kept.isDismissed(session.schedule[entry]));
        timer->stop();
        QVERIFY(window.close());
    }

    void theAlertWaitsUntilTheEditorIsClosed() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        handDueTask(*shown.f.session);
        DocumentListView* list = window.documentList();
        QVERIFY(openFolder(window, QStringLiteral("Meetings"), 6));
        auto* timer = window.findChild<QTimer*>("MinuteTimer");
        QVERIFY(timer);

        bool waited = false;
        whenShown<ObjectEditorView>([&](ObjectEditorView* editor) {
            // Ticks while the user types: nothing comes over the editor.
            timer->start(100);
            QVERIFY(ticksPass(timer, 10));
            waited = !window.reminderAlert() || !window.reminderAlert()->isVisible();
            QVERIFY(editor->isActiveWindow());
            clickAction(editor, "Close");
        });
        const QPoint at = centreOfRow(list, 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(waited);
        QTRY_VERIFY_WITH_TIMEOUT(window.reminderAlert() && window.reminderAlert()->isVisible(), kTimeout);
        timer->stop();
        QVERIFY(window.close());
    }
};

} // namespace quill::ui

QUILL_VIEW_TEST_MAIN(quill::ui::ScheduleEventViewTest)

#include "ScheduleEventViewTest.moc"
