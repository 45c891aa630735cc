#pragma once

#include "platform/Clock.h"
#include "session/ScheduleTable.h"

#include <cstddef>
#include <string_view>

namespace quill {

// The lists the user's tasks are shown in. Every list, count and filter
// asks inTaskSet, so that a task is never in a list whose count leaves
// it out.
enum class TaskSet {
    All,
    Incoming, // handed to the user: the document lies in the task directory
    Open,     // with a reminder
    Closed,   // without one
    Due,      // the reminder has fallen due, as last checked
};

// Handed to the user: the document lies in the user's task directory.
bool isIncomingTask(const ScheduleEntry& entry, std::string_view userTasksDirectory);
// A reminder is set: reminder and event time differ.
bool isOpenTask(const ScheduleEntry& entry);
// The reminder is due at now: from two minutes before it on, with no end,
// so that a task whose event has passed stays due until it is dealt with.
// A task without a reminder is never due.
bool isDueAt(const ScheduleEntry& entry, const LocalDateTime& now);

// Whether the entry belongs to the set. The incoming and due sets go by
// the entry's flags, which the scheduler sets when it updates the entry
// and checks the reminders.
bool inTaskSet(const ScheduleEntry& entry, TaskSet set);
std::size_t countTasks(const ScheduleTable& table, TaskSet set);

// The entry has been listed in the set. Listing a due task shows its
// reminder, so it does not alert again; other lists change nothing.
void markListed(ScheduleEntry& entry, TaskSet listed);

} // namespace quill
