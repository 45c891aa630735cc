#pragma once

#include "platform/Clock.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
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

// The user's tasks, one entry per document, found by path without regard
// to case in constant time: the walk of a large tree looks up every
// schedule it meets, and a search through the whole table each time made
// the walk grow with the square of the tasks. The entries' order is no
// order: removing one moves the last into its place.
class ScheduleTable {
public:
    using Entries = std::vector<ScheduleEntry>;

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    Entries::const_iterator begin() const { return entries_.begin(); }
    Entries::const_iterator end() const { return entries_.end(); }
    const ScheduleEntry& operator[](std::size_t index) const { return entries_[index]; }
    // For the entry's state; a path changes only through movePaths, which
    // keeps the index right.
    ScheduleEntry& operator[](std::size_t index) { return entries_[index]; }
    const Entries& entries() const { return entries_; }

    // The index of the document's entry; size() when it has none.
    std::size_t find(std::string_view documentPath) const;
    // The document's entry, made empty when it had none.
    ScheduleEntry& entryFor(const std::string& documentPath);
    // Adds the entry, or replaces the one of the same document.
    void put(ScheduleEntry entry) { entryFor(entry.documentPath) = std::move(entry); }
    void remove(std::size_t index);
    void reserve(std::size_t entries);
    void clear();
    // Every entry below the directory from now lies below to instead.
    void movePaths(std::string_view from, std::string_view to);

private:
    // A hash of the path that ignores letter case: the index keeps no copy
    // of the paths, which on a share with many tasks would double their
    // memory.
    static std::uint64_t keyOf(std::string_view documentPath);
    void unindex(std::size_t index);

    Entries entries_;
    std::unordered_multimap<std::uint64_t, std::size_t> index_;
};

} // namespace quill
