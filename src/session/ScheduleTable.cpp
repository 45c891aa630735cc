#include "session/ScheduleTable.h"

#include "platform/Cp1250.h"
#include "platform/Paths.h"

namespace quill {

std::string ScheduleTable::keyOf(std::string_view documentPath) {
    return cp1250::upper(documentPath);
}

std::size_t ScheduleTable::find(std::string_view documentPath) const {
    const auto found = index_.find(keyOf(documentPath));
    return found == index_.end() ? entries_.size() : found->second;
}

ScheduleEntry& ScheduleTable::entryFor(const std::string& documentPath) {
    const auto [at, added] = index_.try_emplace(keyOf(documentPath), entries_.size());
    if (!added)
        return entries_[at->second];
    ScheduleEntry& entry = entries_.emplace_back();
    entry.documentPath = documentPath;
    return entry;
}

void ScheduleTable::remove(std::size_t index) {
    if (index >= entries_.size())
        return;
    index_.erase(keyOf(entries_[index].documentPath));
    if (index + 1 != entries_.size()) {
        entries_[index] = std::move(entries_.back());
        index_[keyOf(entries_[index].documentPath)] = index;
    }
    entries_.pop_back();
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
        index_.erase(keyOf(documentPath));
        documentPath = path::join(to, documentPath.substr(below.size()));
        index_[keyOf(documentPath)] = i;
    }
}

} // namespace quill
