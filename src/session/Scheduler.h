#pragma once

#include "platform/Clock.h"
#include "session/ScheduleTable.h"
#include "session/TaskSets.h"

#include <string>
#include <vector>

namespace quill {

class Session;

// The due test of one entry at a moment (isDueAt). Changes the entry's due
// flag as it answers, so that the due set follows the clock.
bool dueTest(ScheduleEntry& entry, const LocalDateTime& now);

// Brings the entry of a document up to date from its schedule companion:
// removed when the companion is gone; left as it is when the schedule does
// not name the user as owner or in the team; removed when the rights hide
// the document from the user; added or refreshed otherwise. A schedule whose date, time or reminder cannot be read is
// left out (and logged once per document and run).
void updateScheduleEntry(Session& session, const std::string& documentPath);

// Drops the entries whose schedule companion no longer exists.
void pruneSchedule(Session& session);

// Offers every scheduled document of the user's task directory.
void scanTaskDirectory(Session& session);

// Prune and scan: the table as the files are now.
void refreshSchedule(Session& session);

// Runs the due test for every entry at now. The entries that are due and
// not yet shown to the user, in table order.
std::vector<std::size_t> checkReminders(Session& session, const LocalDateTime& now);

// The status line: "STATUSBAR_2", then the incoming, due and all counts.
std::string scheduleStatusLine(Session& session);

} // namespace quill
