#include "session/ScheduleTable.h"

#include "platform/Cp1250.h"
#include "platform/Paths.h"

namespace quill {

std::uint64_t ScheduleTable::keyOf(std::string_view documentPath) {
    // FNV-1a over the upper-case letters.
    std::uint64_t hash = 1469598103934665603ULL;
    for (const char c : documentPath) {
        hash ^= cp1250::upper(static_cast<unsigned char>(c));
        hash *= 1099511628211ULL;
    }
    return hash;
}

std::size_t ScheduleTable::find(std::string_view documentPath) const {
    const auto [first, last] = index_.equal_range(keyOf(documentPath));
    for (auto at = first; at != last; ++at) {
        if (cp1250::equalsNoCase(entries_[at->second].documentPath, documentPath))
            return at->second;
    }
    return entries_.size();
}

ScheduleEntry& ScheduleTable::entryFor(const std::string& documentPath) {
    if (const std::size_t found = find(documentPath); found != entries_.size())
        return entries_[found];
    index_.emplace(keyOf(documentPath), entries_.size());
    ScheduleEntry& entry = entries_.emplace_back();
    entry.documentPath = documentPath;
    return entry;
}

void ScheduleTable::unindex(std::size_t index) {
    const auto [first, last] = index_.equal_range(keyOf(entries_[index].documentPath));
    for (auto at = first; at != last; ++at) {
        if (at->second == index) {
            index_.erase(at);
            return;
        }
    }
}

void ScheduleTable::remove(std::size_t index) {
    if (index >= entries_.size())
        return;
    unindex(index);
    const std::size_t last = entries_.size() - 1;
    if (index != last) {
        unindex(last);
        entries_[index] = std::move(entries_.back());
        index_.emplace(keyOf(entries_[index].documentPath), index);
    }
    entries_.pop_back();
}

void ScheduleTable::reserve(std::size_t entries) {
    entries_.reserve(entries);
    index_.reserve(entries);
}

void ScheduleTable::clear() {
    entries_.clear();
    index_.clear();
}

void ScheduleTable::movePaths(std::string_view from, std::string_view to) {
    const std::string below = path::withTrailingSeparator(from);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        std::string& documentPath = entries_[i].documentPath;
        if (documentPath.compare(0, below.size(), below) != 0)
            continue;
        unindex(i);
        documentPath = path::join(to, documentPath.substr(below.size()));
        index_.emplace(keyOf(documentPath), i);
    }
}

} // namespace quill
