#include "session/DismissedReminders.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace quill {
namespace {

using test::TempDir;

ScheduleEntry task(const std::string& path, int reminderHour) {
    ScheduleEntry entry;
    entry.documentPath = path;
    entry.name = "Call the supplier";
    entry.eventTime = {2026, 12, 8, reminderHour + 1, 0, 0, 0};
    entry.reminderTime = {2026, 12, 8, reminderHour, 0, 0, 0};
    entry.due = true;
    return entry;
}

LocalDateTime at(int hour, int minute) {
    return {2026, 12, 8, hour, minute, 0, 0};
}

// Which of a due task's reminders shows, after what the user did with it.
TEST(DismissedRemindersTest, KeepsAwayWhatWasPutAway) {
    enum class Did { Nothing, Dismissed, Snoozed };
    struct Case {
        const char* what;
        Did did;
        int doneAtMinute;      // when the user did it, at 9:xx
        std::string shownPath; // the task as the table has it now
        int shownReminderHour;
        int nowMinute; // when the reminders are checked, at 9:xx
        bool shown;
    };
    const std::string path = "/dp/Root/Orders/Call the supplier.note";
    const Case cases[] = {
        {"nothing done: shown", Did::Nothing, 0, path, 8, 5, true},
        {"dismissed: not shown", Did::Dismissed, 0, path, 8, 5, false},
        {"dismissed, path in other case: not shown", Did::Dismissed, 0, "/DP/root/orders/CALL THE SUPPLIER.NOTE", 8, 5,
         false},
        {"dismissed, task moved to another time: shown", Did::Dismissed, 0, path, 7, 5, true},
        {"dismissed, another task: shown", Did::Dismissed, 0, "/dp/Root/Orders/Pay the supplier.note", 8, 5, true},
        {"snoozed, within the snooze: not shown", Did::Snoozed, 0, path, 8, 9, false},
        {"snoozed, snooze over: shown", Did::Snoozed, 0, path, 8, 10, true},
        {"snoozed, another task: shown", Did::Snoozed, 0, "/dp/Root/Orders/Pay the supplier.note", 8, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        DismissedReminders reminders(RegistryStore(dir / "registry.ini"), "anna");
        if (c.did == Did::Dismissed) {
            ASSERT_TRUE(reminders.dismiss(task(path, 8)).ok());
        } else if (c.did == Did::Snoozed) {
            reminders.snooze(task(path, 8), at(9, c.doneAtMinute));
        }
        ScheduleTable table;
        table.put(task("/dp/Root/Orders/Other.note", 8));
        table.put(task(c.shownPath, c.shownReminderHour));
        const std::vector<std::size_t> expected =
            c.shown ? std::vector<std::size_t>{0, 1} : std::vector<std::size_t>{0};
        EXPECT_EQ(reminders.toShow(table, {0, 1}, at(9, c.nowMinute)), expected);
    }
}

// A dismissal outlives the run, for the user who made it only; a snooze
// ends with the run.
TEST(DismissedRemindersTest, DismissalsLastPerUserAndSnoozesDoNot) {
    TempDir dir;
    const std::string file = dir / "registry.ini";
    const ScheduleEntry dismissed = task("/dp/Root/A.note", 8);
    const ScheduleEntry snoozed = task("/dp/Root/B.note", 8);
    {
        DismissedReminders anna(RegistryStore(file), "ANNA");
        ASSERT_TRUE(anna.dismiss(dismissed).ok());
        anna.snooze(snoozed, at(9, 0));
    }
    ScheduleTable table;
    table.put(dismissed);
    table.put(snoozed);
    const DismissedReminders annaAgain(RegistryStore(file), "anna");
    EXPECT_TRUE(annaAgain.isDismissed(dismissed));
    EXPECT_EQ(annaAgain.toShow(table, {0, 1}, at(9, 1)), std::vector<std::size_t>{1});
    const DismissedReminders bob(RegistryStore(file), "BOB");
    EXPECT_FALSE(bob.isDismissed(dismissed));
    EXPECT_EQ(bob.toShow(table, {0, 1}, at(9, 1)), (std::vector<std::size_t>{0, 1}));
}

} // namespace
} // namespace quill
