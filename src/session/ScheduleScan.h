#pragma once

#include "documents/Companions.h"
#include "formats/RecordFile.h"

#include <atomic>
#include <string>
#include <vector>

namespace quill {

class Session;

// What the files of one scheduled document held, read without a session so
// that a scan may run on a thread of its own and hand plain data over.
struct ScheduleReading {
    std::string documentPath;
    // Missing: the companion is gone; Failed: it exists but is no schedule
    // the data point can read.
    RecordRead scheduleRead = RecordRead::Missing;
    Schedule schedule;
    bool documentRead = false;
    std::string name;      // the document's "NAME"
    std::string imageName; // the document's "ICON", else its type's picture
    std::string rights;    // the document's "RIGHTS" where its type has any
};

// The documents of one directory that have a schedule, without looking
// below it: the document of each base name is the last file listed that is
// no companion.
std::vector<std::string> scheduledDocumentsIn(const std::string& directory);

// Reads the document's schedule companion and its record's name and picture.
ScheduleReading readScheduleFiles(const RecordFiles& records, const TypeTables& tables,
                                  const std::string& documentPath);

// Reads every document's files, stopping early when told to.
std::vector<ScheduleReading> readScheduleFiles(const RecordFiles& records, const TypeTables& tables,
                                               const std::vector<std::string>& documents,
                                               const std::atomic<bool>* stop = nullptr);

// Brings the document's entry of the session's table up to date from what
// was read (see updateScheduleEntry).
void takeScheduleReading(Session& session, const ScheduleReading& reading);

// All of it for the places at once: finds, reads and takes every schedule,
// with the folders' rights read once each.
void scanSchedules(Session& session, const std::vector<std::string>& places);

} // namespace quill
