#pragma once

#include "platform/Clock.h"
#include "session/ScheduleTable.h"

#include <string>
#include <vector>

namespace quill {

// The tasks as an iCalendar file (RFC 5545, UTF-8, CRLF, lines folded at
// 75 octets): one event per task at its local time, with its reminder as
// a display alarm. stamp is when the file is made, in local time.
std::string tasksAsICalendar(const std::vector<const ScheduleEntry*>& tasks, const LocalDateTime& stamp);

} // namespace quill
