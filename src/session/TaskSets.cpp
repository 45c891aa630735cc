#include "session/TaskSets.h"

#include "platform/Cp1250.h"
#include "platform/Paths.h"

#include <cstdint>

namespace quill {

namespace {

constexpr std::int64_t kMinute = 60'000;
// A reminder falls due this long before its time.
constexpr std::int64_t kDueEarly = 2 * kMinute;

} // namespace

bool isIncomingTask(const ScheduleEntry& entry, std::string_view userTasksDirectory) {
    // With its separator, so that Tasks/ANNABELLE is not taken for Tasks/ANNA.
    const std::string directory = path::withTrailingSeparator(userTasksDirectory);
    return directory.size() > 1 &&
           cp1250::findNoCase(path::normalize(entry.documentPath), directory) != std::string::npos;
}

bool isOpenTask(const ScheduleEntry& entry) {
    // Times carry milliseconds: equal fields mean equal within a millisecond.
    return !(entry.reminderTime == entry.eventTime);
}

bool isDueAt(const ScheduleEntry& entry, const LocalDateTime& now) {
    const std::int64_t reminder = wallClockMilliseconds(entry.reminderTime);
    return reminder != wallClockMilliseconds(entry.eventTime) && wallClockMilliseconds(now) >= reminder - kDueEarly;
}

bool inTaskSet(const ScheduleEntry& entry, TaskSet set) {
    switch (set) {
    case TaskSet::All: return true;
    case TaskSet::Incoming: return entry.incoming;
    case TaskSet::Open: return isOpenTask(entry);
    case TaskSet::Closed: return !isOpenTask(entry);
    case TaskSet::Due: return entry.due;
    }
    return false;
}

std::size_t countTasks(const ScheduleTable& table, TaskSet set) {
    std::size_t n = 0;
    for (const ScheduleEntry& entry : table)
        n += inTaskSet(entry, set);
    return n;
}

void markListed(ScheduleEntry& entry, TaskSet listed) {
    if (listed == TaskSet::Due)
        entry.seen = true;
}

} // namespace quill
