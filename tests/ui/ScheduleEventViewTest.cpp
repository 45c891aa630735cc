// A reminder falling due while the program runs: the minute timer beeps and
// opens the tasks and reminders view with the due task, only once, and
// "My tasks" lists the task.
#include "ViewTestSupport.h"

#include "ui/DocumentListView.h"
#include "ui/PagePane.h"
#include "ui/ScheduleEventView.h"

#include <QLabel>
#include <QTimer>

#include <filesystem>

namespace quill::ui {

using namespace test;

class ScheduleEventViewTest : public QObject {
    Q_OBJECT

private slots:
    void aDueReminderAlertsOnceAndTheTaskIsListed() {
        LoggedOnWindow shown;
        QVERIFY(shown.ready);
        MainWindow& window = *shown.window;
        Session& session = *shown.f.session;
        // Handed to ANNA: a task at 9:30 with its reminder an hour before;
        // the test clock stands at 9:05.
        const std::string tasks = session.context.userTasksDirectory;
        std::filesystem::create_directories(tasks);
        writeBytes(tasks + "/Call the supplier.note", "Call the supplier\r\nAbout the toner\r\n");
        writeBytes(tasks + "/Call the supplier.scheduler",
                   "System Administrator (ADMINISTRATOR)\r\nAnna Novak (ANNA); \r\n8.12.2026\r\n9:30:00\r\n5\r\n");
        const int beepsBefore = shown.f.ui.beeps;

        bool alerted = false;
        whenShown<ScheduleEventView>([&](ScheduleEventView* view) {
            alerted = view->shownList() == ScheduleEventView::TaskList::Due;
            QTreeWidget* list = view->tree();
            QCOMPARE(list->topLevelItemCount(), 1);
            QVERIFY(list->topLevelItem(0)->text(0).endsWith(QStringLiteral("Call the supplier")));
            QCOMPARE(list->topLevelItem(0)->childCount(), 4);
            QTest::qWait(200); // painted
            saveShot(view, "schedule-event-view");
            QTest::mouseClick(buttonFor(view, view->findChild<QAction*>("Close")), Qt::LeftButton, {}, QPoint(8, 8));
        });
        // The minute timer, made fast: its first tick refreshes fully.
        auto* timer = window.findChild<QTimer*>("MinuteTimer");
        QVERIFY(timer);
        timer->start(100);
        QTRY_VERIFY_WITH_TIMEOUT(alerted, kTimeout);
        QVERIFY(shown.f.ui.beeps > beepsBefore);

        // Listed once, it does not come back at the next ticks.
        QTest::qWait(500);
        QVERIFY(!QApplication::activeModalWidget());
        timer->stop();

        clickItem(window.treeView(), findItem(window.treeView(), QStringLiteral("Current tasks")));
        DocumentListView* list = window.documentList();
        QTRY_COMPARE_WITH_TIMEOUT(list->topLevelItemCount(), 1, kTimeout);
        QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("Call the supplier"));
        QVERIFY(!list->isColumnHidden(5));
        QVERIFY(window.findChild<QLabel*>("TaskStatus")->text().endsWith(QStringLiteral(": 1, 1, 3.")));
        QTest::qWait(300); // painted
        saveShot(&window, "current-tasks");
        QVERIFY(window.close());
    }
};

} // namespace quill::ui

int main(int argc, char** argv) {
    quill::ui::PagePane::registerSchemes();
    QApplication app(argc, argv);
    quill::ui::ScheduleEventViewTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "ScheduleEventViewTest.moc"
