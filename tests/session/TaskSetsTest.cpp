// The task sets every list, count and filter of the user's tasks goes by:
// which entries each set holds at a moment, how the counts follow, and
// which listing marks a reminder as shown.
#include "session/TaskSets.h"

#include "session/Scheduler.h"

#include <gtest/gtest.h>

#include <string>

namespace quill {
namespace {

constexpr const char* kTasksDirectory = "/share/DataPoint.root/Tasks/ANNA";

LocalDateTime at(int day, int hour, int minute, int second = 0, int millisecond = 0) {
    return {2026, 12, day, hour, minute, second, millisecond};
}

struct Case {
    const char* what;
    std::string documentPath;
    LocalDateTime eventTime;
    LocalDateTime reminderTime;
    bool incoming;
    bool open;
    bool due;
};

// The clock stands at 8.12.2026 9:05:00.000.
const LocalDateTime kNow = at(8, 9, 5);

const Case kCases[] = {
    {"own, reminder passed, event ahead", "/share/DataPoint.root/Projects/Plan.note", at(8, 9, 15), at(8, 9, 0), false,
     true, true},
    {"handed over, reminder exactly two minutes ahead", std::string(kTasksDirectory) + "/Call.note", at(8, 9, 22),
     at(8, 9, 7), true, true, true},
    {"reminder a millisecond past the two minutes", "/share/DataPoint.root/Projects/Late.note", at(8, 9, 22),
     at(8, 9, 7, 0, 1), false, true, false},
    {"reminder exactly now", "/share/DataPoint.root/Projects/Now.note", at(8, 9, 20), at(8, 9, 5), false, true, true},
    {"event three days past, still due", "/share/DataPoint.root/Projects/Old.note", at(5, 9, 0), at(5, 8, 0), false,
     true, true},
    {"closed, event past", std::string(kTasksDirectory) + "/Done.note", at(5, 9, 0), at(5, 9, 0), true, false, false},
    {"closed, event exactly now", "/share/DataPoint.root/Projects/Meeting.note", kNow, kNow, false, false, false},
    {"another user's task directory with the same start", "/share/DataPoint.root/Tasks/ANNABELLE/Other.note",
     at(9, 9, 0), at(9, 8, 0), false, true, false},
    {"task directory in other letter case", "/share/DataPoint.root/tasks/anna/Mail.note", at(9, 9, 0), at(9, 8, 0),
     true, true, false},
};

// As the scheduler has it after the update and the reminder check at now.
ScheduleEntry entryOf(const Case& c) {
    ScheduleEntry entry;
    entry.documentPath = c.documentPath;
    entry.eventTime = c.eventTime;
    entry.reminderTime = c.reminderTime;
    entry.incoming = isIncomingTask(entry, kTasksDirectory);
    dueTest(entry, kNow);
    return entry;
}

TEST(TaskSetsTest, EachSetHoldsItsEntriesAndTheCountsFollow) {
    ScheduleTable table;
    std::size_t incoming = 0, open = 0, due = 0;
    for (const Case& c : kCases) {
        const ScheduleEntry entry = entryOf(c);
        EXPECT_EQ(isDueAt(entry, kNow), c.due) << c.what;
        EXPECT_TRUE(inTaskSet(entry, TaskSet::All)) << c.what;
        EXPECT_EQ(inTaskSet(entry, TaskSet::Incoming), c.incoming) << c.what;
        EXPECT_EQ(inTaskSet(entry, TaskSet::Open), c.open) << c.what;
        EXPECT_EQ(inTaskSet(entry, TaskSet::Closed), !c.open) << c.what;
        EXPECT_EQ(inTaskSet(entry, TaskSet::Due), c.due) << c.what;
        table.put(entry);
        incoming += c.incoming;
        open += c.open;
        due += c.due;
    }
    const std::size_t all = std::size(kCases);
    EXPECT_EQ(countTasks(table, TaskSet::All), all);
    EXPECT_EQ(countTasks(table, TaskSet::Incoming), incoming);
    EXPECT_EQ(countTasks(table, TaskSet::Open), open);
    EXPECT_EQ(countTasks(table, TaskSet::Closed), all - open);
    EXPECT_EQ(countTasks(table, TaskSet::Due), due);
}

TEST(TaskSetsTest, TheDueSetFollowsTheClockThroughTheReminderCheck) {
    const struct {
        const char* what;
        LocalDateTime now;
        bool due;
    } moments[] = {
        {"a millisecond before two minutes early", at(8, 8, 57, 59, 999), false},
        {"two minutes early", at(8, 8, 58), true},
        {"at the reminder", at(8, 9, 0), true},
        {"after the event", at(9, 12, 0), true},
        {"back before the reminder", at(8, 8, 0), false},
    };
    ScheduleEntry entry;
    entry.eventTime = at(8, 9, 15);
    entry.reminderTime = at(8, 9, 0);
    for (const auto& m : moments) {
        EXPECT_EQ(dueTest(entry, m.now), m.due) << m.what;
        EXPECT_EQ(inTaskSet(entry, TaskSet::Due), m.due) << m.what;
    }
}

TEST(TaskSetsTest, OnlyListingTheDueSetMarksTheReminderShown) {
    for (TaskSet set : {TaskSet::All, TaskSet::Incoming, TaskSet::Open, TaskSet::Closed, TaskSet::Due}) {
        ScheduleEntry entry = entryOf(kCases[0]);
        markListed(entry, set);
        EXPECT_EQ(entry.seen, set == TaskSet::Due) << static_cast<int>(set);
    }
}

} // namespace
} // namespace quill
