#pragma once

#include "documents/Companions.h"
#include "formats/RecordFile.h"
#include "session/Visibility.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
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

// Reads the schedule companions of documents and their records' name,
// picture and rights: only those lines of each file, with the places of
// the fields found once per object type, so that one reader serves a scan
// of many documents (also from several threads at once).
class ScheduleFileReader {
public:
    ScheduleFileReader(const RecordFiles& records, const TypeTables& tables);
    ~ScheduleFileReader();

    // What a read told of a file: known when the file was read or found
    // missing, with its stamp as it was opened (none when missing).
    struct Seen {
        bool known = false;
        std::optional<fs::Stamp> stamp;
    };

    // The files of the document at documentPath, looked up by name in
    // directory (the document's own, held open) when given; what the reads
    // told of the two files goes into schedule and document when given.
    ScheduleReading read(const std::string& documentPath, const fs::OpenDirectory* directory = nullptr,
                         Seen* schedule = nullptr, Seen* document = nullptr) const;

private:
    struct Picks;
    const Picks& picksOf(std::size_t type) const;

    const RecordFiles& records_;
    const TypeTables& tables_;
    mutable std::mutex mutex_;
    mutable std::vector<std::unique_ptr<Picks>> picks_; // by object type, made when first needed
};

// Reads the document's schedule companion and its record's name and picture.
ScheduleReading readScheduleFiles(const RecordFiles& records, const TypeTables& tables,
                                  const std::string& documentPath);

// Reads every document's files, stopping early when told to.
std::vector<ScheduleReading> readScheduleFiles(const RecordFiles& records, const TypeTables& tables,
                                               const std::vector<std::string>& documents,
                                               const std::atomic<bool>* stop = nullptr);

// Brings the document's entry of the session's table up to date from what
// was read (see updateScheduleEntry).
void takeScheduleReading(Session& session, ScheduleReading reading);

// What a scan hands over: the readings, and the "RIGHTS" of the folder
// records that decide whether their documents are shown.
struct ScheduleScanResult {
    std::vector<ScheduleReading> readings;
    FolderRightsTexts folderRights;
};

// Adds to the result the rights of every folder from the readings'
// directories up to the places (rightsPlaces) that it does not hold yet,
// read here, without a session: taking the result then reads no file, so
// a scan run on another thread leaves the taking thread no file call.
void addFolderRightsAbove(const RecordFiles& records, const TypeTables& tables, const std::vector<std::string>& places,
                          ScheduleScanResult& result);

// Takes every reading into the session's table, the folder rights from
// the result.
void takeScheduleScan(Session& session, ScheduleScanResult result);

// All of it for the places at once: finds, reads and takes every schedule,
// with the folders' rights read once each.
void scanSchedules(Session& session, const std::vector<std::string>& places);

} // namespace quill
