#pragma once

#include "formats/RegistryStore.h"
#include "platform/Clock.h"
#include "platform/Status.h"
#include "session/ScheduleTable.h"

#include <map>
#include <string>
#include <vector>

namespace quill {

// The reminders a user has put away. A dismissed reminder stays away for
// good, in this and every later run, as long as its task keeps the same
// reminder time: a task moved to another time reminds again. A snoozed one
// stays away until the snooze ends, in this run only. Dismissals are kept
// per logon name in the user's own registry file, never on the share: they
// are one person's choice on one computer.
class DismissedReminders {
public:
    // How long a snoozed reminder stays away.
    static constexpr int kSnoozeMinutes = 10;

    DismissedReminders(RegistryStore store, std::string logonName);

    bool isDismissed(const ScheduleEntry& entry) const;
    Status dismiss(const ScheduleEntry& entry);
    // The reminder comes back kSnoozeMinutes after now.
    void snooze(const ScheduleEntry& entry, const LocalDateTime& now);

    // Of the due entries (indices into table), those to remind of now.
    std::vector<std::size_t> toShow(const ScheduleTable& table, const std::vector<std::size_t>& due,
                                    const LocalDateTime& now) const;

private:
    std::string key_;
    RegistryStore store_;
    std::map<std::string, std::string> dismissed_;     // stored name -> value
    std::map<std::string, std::int64_t> snoozedUntil_; // upper-cased path -> wall-clock ms
};

} // namespace quill
