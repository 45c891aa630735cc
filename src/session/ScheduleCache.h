#pragma once

#include "platform/FileSystem.h"
#include "platform/Status.h"
#include "session/ScheduleScan.h"
#include "session/Visibility.h"

#include <cstdint>
#include <memory>
#include <optional>
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
// would otherwise go unseen.
//
// The cache keeps the file's text and an index of where each directory's
// entry lies in it; an entry is read out only when its directory is met,
// and one where nothing changed goes into the next cache as it stands. A
// damaged entry is no entry; a file of another kind or data point is no
// cache.
class ScheduleCache {
public:
    struct Stamp {
        std::uint64_t size = 0;
        std::int64_t modifiedNs = 0;
        bool present = false;
        bool operator==(const Stamp&) const = default;
    };
    // A scheduled document as kept: the stamps of both files when they
    // were read and what the read gave, as readingText writes it.
    struct Document {
        std::string_view name;
        Stamp schedule;
        Stamp document;
        std::string_view reading;
    };
    // A directory as kept; every view points into the cache's text.
    struct Directory {
        std::int64_t modifiedNs = 0;
        std::vector<std::string_view> subdirectories;
        std::vector<Document> documents;
        // The folder record as listed ("" for none), its stamp when it was
        // read and the "RIGHTS" it gave.
        std::string_view folderRecord;
        Stamp folderRecordStamp;
        std::string_view rights;
        std::string_view entry; // the whole entry, as written
    };

    ScheduleCache() = default;
    // The cache of dataPoint from the file's content, written at writtenNs
    // (the file's modification time); empty when the content is not a
    // cache of that data point.
    static ScheduleCache parse(std::string content, std::string_view dataPoint, std::int64_t writtenNs);
    static ScheduleCache load(const std::string& file, std::string_view dataPoint);

    const std::string& dataPoint() const { return dataPoint_; }
    std::int64_t writtenNs() const { return writtenNs_; }
    std::size_t size() const { return index_.size(); }
    // The directory at path as met; none when it is not kept or its entry
    // is damaged.
    std::optional<Directory> directory(std::string_view path) const;
    // Every entry that reads, written anew in the order of their paths.
    std::string serialize() const;

    // The text of an entry and of a reading, for the next cache.
    static std::string startText(std::string_view dataPoint);
    static std::string directoryEntry(std::string_view path, const Directory& directory);
    static std::string readingText(const ScheduleReading& reading);
    // The reading a text from readingText gives back for the document at
    // documentPath; none when the text is damaged.
    static std::optional<ScheduleReading> readingFrom(std::string_view text, std::string documentPath);

private:
    std::string dataPoint_;
    std::int64_t writtenNs_ = 0;
    // Held apart so that the views below stay where they are when the
    // cache is moved.
    std::shared_ptr<const std::string> text_;
    struct Place {
        std::string_view entry;
        std::string_view body;
    };
    std::unordered_map<std::string_view, Place> index_; // by path as met
};

// Every document below the places with a schedule companion, read (or
// taken from the cache file, loaded first and written after where
// something changed), in the order of the walk; links are not followed
// and stores of attached files are left out. The folders' rights go into
// rights when given. Returns early, writing no cache, when stop is set.
std::vector<ScheduleReading> readSchedulesBelow(const RecordFiles& records, const TypeTables& tables,
                                                const std::vector<std::string>& places, const std::string& cacheFile,
                                                std::string_view dataPoint, const std::atomic<bool>* stop = nullptr,
                                                FolderRightsTexts* rights = nullptr);

// This user's cache file for a data point: in $XDG_CACHE_HOME (else
// ~/.cache), named after the data point's path.
std::string scheduleCacheFile(std::string_view dataPoint);

} // namespace quill
