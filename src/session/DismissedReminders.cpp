#include "session/DismissedReminders.h"

#include "platform/Cp1250.h"
#include "platform/DateTimeFormat.h"

#include <cstdint>
#include <cstdio>

namespace quill {

namespace {

std::string comparablePath(const std::string& documentPath) {
    return cp1250::upper(documentPath);
}

// Paths may hold any byte an ini name may not, so a name is the path's
// hash; the value holds the path itself, so that two paths of the same
// hash can never be taken for each other.
std::string storedName(const std::string& comparable) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : comparable) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    char name[24];
    std::snprintf(name, sizeof name, "R%016llx", static_cast<unsigned long long>(hash));
    return name;
}

std::string storedValue(const ScheduleEntry& entry) {
    return formatDateTime(entry.reminderTime, "yyyy-MM-dd HH:mm:ss") + " " + comparablePath(entry.documentPath);
}

} // namespace

DismissedReminders::DismissedReminders(RegistryStore store, std::string logonName)
    : key_(std::string(kRegistryKey) + "\\DismissedReminders\\" + cp1250::upper(logonName)), store_(std::move(store)) {
    for (auto& [name, value] : store_.values(key_))
        dismissed_[name] = std::move(value);
}

bool DismissedReminders::isDismissed(const ScheduleEntry& entry) const {
    const auto found = dismissed_.find(storedName(comparablePath(entry.documentPath)));
    return found != dismissed_.end() && found->second == storedValue(entry);
}

Status DismissedReminders::dismiss(const ScheduleEntry& entry) {
    const std::string name = storedName(comparablePath(entry.documentPath));
    const std::string value = storedValue(entry);
    // Put away in this run even when the file cannot take it.
    dismissed_[name] = value;
    return store_.write(key_, name, value);
}

void DismissedReminders::snooze(const ScheduleEntry& entry, const LocalDateTime& now) {
    snoozedUntil_[comparablePath(entry.documentPath)] = wallClockMilliseconds(now) + kSnoozeMinutes * 60'000LL;
}

std::vector<std::size_t> DismissedReminders::toShow(const ScheduleTable& table, const std::vector<std::size_t>& due,
                                                    const LocalDateTime& now) const {
    const std::int64_t at = wallClockMilliseconds(now);
    std::vector<std::size_t> shown;
    for (const std::size_t index : due) {
        if (index >= table.size() || isDismissed(table[index]))
            continue;
        const auto snoozed = snoozedUntil_.find(comparablePath(table[index].documentPath));
        if (snoozed != snoozedUntil_.end() && at < snoozed->second)
            continue;
        shown.push_back(index);
    }
    return shown;
}

} // namespace quill
