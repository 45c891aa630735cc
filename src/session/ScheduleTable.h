#pragma once

#include "platform/Clock.h"

#include <string>
#include <string_view>
#include <vector>

namespace quill {

// One scheduled document that concerns the logged-on user.
struct ScheduleEntry {
    std::string documentPath;
    std::string name;
    std::string imageName; // the document's "ICON"
    std::string owner;
    std::string team;
    LocalDateTime eventTime;
    LocalDateTime reminderTime;
    bool due = false;
    bool seen = false;
    // The document lies in the user's task directory (isIncomingTask), as
    // found when the entry was last updated.
    bool incoming = false;
};

enum class TaskCount { All = 0, Incoming = 1, Open = 2, Closed = 3, Actual = 4 };

// Handed to the user: the document lies in the user's task directory.
bool isIncomingTask(const ScheduleEntry& entry, std::string_view userTasksDirectory);
// A reminder is set: reminder and event time differ.
bool isOpenTask(const ScheduleEntry& entry);

std::size_t countTasks(const std::vector<ScheduleEntry>& table, TaskCount which);

} // namespace quill
