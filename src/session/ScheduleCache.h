#pragma once

#include "platform/FileSystem.h"
#include "platform/Status.h"
#include "session/ScheduleScan.h"
#include "session/Visibility.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quill {

// What the directories and schedules below a data point held when they
// were last read, kept on this machine and never on the share, so that a
// later logon asks the share only whether something changed: one status
// call per directory, its folder record and each file of a scheduled
// document, instead of listing every directory and reading every schedule
// and folder record again.
//
// A directory is taken from the cache when its modification time is the
// one kept and lies clearly before the cache was written: some shares keep
// times in whole seconds, and a change in the second the cache was written
// would otherwise go unseen. Any fault in the file makes an empty cache.
class ScheduleCache {
public:
    struct Stamp {
        std::uint64_t size = 0;
        std::int64_t modifiedNs = 0;
        bool present = false;
        bool operator==(const Stamp&) const = default;
    };
    struct Directory {
        std::int64_t modifiedNs = 0;
        std::vector<std::string> subdirectories;     // names
        std::vector<std::string> scheduledDocuments; // names
        // The folder record as listed ("" for none), its stamp when it was
        // read and the RIGHTS it gave.
        std::string folderRecord;
        Stamp folderRecordStamp;
        std::string rights;
    };
    struct Reading {
        Stamp schedule;
        Stamp document;
        ScheduleReading reading;
    };

    // The cache of dataPoint from the file's content, written at writtenNs
    // (the file's modification time); empty when the content is not a
    // cache of that data point.
    static ScheduleCache parse(std::string_view content, std::string_view dataPoint, std::int64_t writtenNs);
    static ScheduleCache load(const std::string& file, std::string_view dataPoint);
    std::string serialize() const;
    Status save(const std::string& file) const;

    std::string dataPoint;
    std::int64_t writtenNs = 0; // not kept in the content
    // Something was read anew while filling this cache; not kept either.
    bool changed = false;
    std::unordered_map<std::string, Directory> directories; // by path as met
    std::unordered_map<std::string, Reading> readings;      // by document path
};

// A document found with a schedule, and the stamps of both files as the
// walk found them.
struct ScheduledDocument {
    std::string path;
    ScheduleCache::Stamp schedule;
    ScheduleCache::Stamp document;
};

// Every document below the places that has a schedule companion, in the
// order of the walk; links are not followed and stores of attached files
// are left out. Unchanged directories are taken from previous (moved out
// of it); everything met goes into next, with the rights of each folder
// record (read again where it changed) also into rights when given.
// Returns early when stop is set.
std::vector<ScheduledDocument> findScheduledDocuments(const RecordFiles& records, const TypeTables& tables,
                                                      const std::vector<std::string>& places, ScheduleCache& previous,
                                                      ScheduleCache& next, FolderRightsTexts* rights = nullptr,
                                                      const std::atomic<bool>* stop = nullptr);

// Both, with the cache file loaded first and written after: the readings
// of every schedule below the places, and the folders' rights into rights
// when given.
std::vector<ScheduleReading> readSchedulesBelow(const RecordFiles& records, const TypeTables& tables,
                                                const std::vector<std::string>& places, const std::string& cacheFile,
                                                std::string_view dataPoint, const std::atomic<bool>* stop = nullptr,
                                                FolderRightsTexts* rights = nullptr);

// This user's cache file for a data point: in $XDG_CACHE_HOME (else
// ~/.cache), named after the data point's path.
std::string scheduleCacheFile(std::string_view dataPoint);

} // namespace quill
