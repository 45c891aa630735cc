#include "session/ScheduleTable.h"

#include "platform/Cp1250.h"
#include "platform/Paths.h"

namespace quill {

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

std::size_t countTasks(const std::vector<ScheduleEntry>& table, TaskCount which) {
    std::size_t n = 0;
    for (const ScheduleEntry& entry : table) {
        switch (which) {
        case TaskCount::All: ++n; break;
        case TaskCount::Incoming: n += entry.incoming; break;
        case TaskCount::Open: n += isOpenTask(entry); break;
        case TaskCount::Closed: n += !isOpenTask(entry); break;
        case TaskCount::Actual: n += entry.due; break;
        }
    }
    return n;
}

} // namespace quill
