#include "session/Scheduler.h"

#include "documents/Companions.h"
#include "formats/CompanionNames.h"
#include "platform/Cp1250.h"
#include "platform/DateTimeFormat.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Result.h"
#include "platform/TextUtil.h"
#include "session/EventLog.h"
#include "session/EventTable.h"
#include "session/ScheduleScan.h"
#include "session/Session.h"
#include "session/UsersAndGroups.h"
#include "session/Visibility.h"

namespace quill {

namespace {

constexpr std::int64_t kMinute = 60'000;
// Logged when a schedule that cannot be read is left out.
constexpr int kUnreadableScheduleEvent = 57;

std::optional<int> reminderMinutes(Session& session, const std::string& indexText) {
    if (session.events.empty())
        session.events = readEventTable(session.texts);
    const std::string_view text = text::trim(indexText);
    const auto index = text.empty() ? std::optional<long long>(0) : text::parseInteger(text);
    if (!index || *index < 0 || static_cast<std::size_t>(*index) >= session.events.size())
        return std::nullopt;
    return session.events[static_cast<std::size_t>(*index)].minutes;
}

void logUnreadableOnce(Session& session, const std::string& documentPath) {
    if (!session.unreadableSchedulesLogged.insert(cp1250::upper(documentPath)).second)
        return;
    ignoreOutcome(logEvent(session, kUnreadableScheduleEvent, documentPath));
}

} // namespace

bool dueTest(ScheduleEntry& entry, const LocalDateTime& now) {
    // Without a reminder the flag stays as the update left it.
    if (!isOpenTask(entry))
        return false;
    entry.due = isDueAt(entry, now);
    return entry.due;
}

void updateScheduleEntry(Session& session, const std::string& documentPath) {
    takeScheduleReading(session, readScheduleFiles(session.recordFiles(), session.tables, documentPath));
}

void takeScheduleReading(Session& session, ScheduleReading reading) {
    ScheduleTable& table = session.schedule;
    const std::string& documentPath = reading.documentPath;
    const std::size_t found = table.find(documentPath);
    if (reading.scheduleRead == RecordRead::Missing) {
        table.remove(found);
        return;
    }
    if (reading.scheduleRead != RecordRead::Ok) {
        const std::string companion = companionPath(documentPath, Companion::Schedule);
        session.reportUnreadable(typeDefinedFor(session.tables, companion) ? std::string()
                                                                           : objectTypeNameOf(companion));
        return;
    }
    Schedule& schedule = reading.schedule;
    if (!namedTest(session.program, schedule.owner) && !namedTest(session.program, schedule.team))
        return;
    // A task on a document the user is not shown is no task of the user's.
    // The document's own rights came with the reading; an unreadable
    // document restricts nothing, as everywhere else.
    const bool shown = session.program.isAdministrator || (rightsAdmit(session.program, reading.rights) &&
                                                           foldersAdmit(session, path::directory(documentPath)));
    if (!shown) {
        table.remove(found);
        return;
    }
    const auto date = parseDateTime(schedule.date, session.formats.shortDate);
    const auto time = parseTime(schedule.time, session.formats);
    const auto minutes = reminderMinutes(session, schedule.event);
    // Shown nowhere as due rather than guessed at.
    if (!date || !time || !minutes) {
        table.remove(found);
        logUnreadableOnce(session, documentPath);
        return;
    }
    ScheduleEntry& entry = found != table.size() ? table[found] : table.entryFor(documentPath);
    entry.documentPath = documentPath; // the spelling met last; the key is the same
    entry.eventTime = {date->year, date->month, date->day, time->hour, time->minute, time->second, 0};
    if (*minutes != 0) {
        entry.reminderTime = fromWallClockMilliseconds(wallClockMilliseconds(entry.eventTime) - *minutes * kMinute);
        entry.due = dueTest(entry, session.clock.now());
    } else {
        entry.reminderTime = entry.eventTime;
        entry.due = false;
    }
    entry.incoming = isIncomingTask(entry, session.context.userTasksDirectory);
    entry.owner = std::move(schedule.owner);
    entry.team = std::move(schedule.team);
    if (reading.documentRead) {
        entry.name = std::move(reading.name);
        entry.imageName = std::move(reading.imageName);
    }
}

void pruneSchedule(Session& session) {
    ScheduleTable& table = session.schedule;
    for (std::size_t i = table.size(); i-- > 0;) {
        if (!fs::isRegularFile(companionPath(table[i].documentPath, Companion::Schedule)))
            table.remove(i);
    }
}

void scanTaskDirectory(Session& session) {
    for (const std::string& document : scheduledDocumentsIn(session.context.userTasksDirectory))
        updateScheduleEntry(session, document);
}

void refreshSchedule(Session& session) {
    pruneSchedule(session);
    scanTaskDirectory(session);
}

std::vector<std::size_t> checkReminders(Session& session, const LocalDateTime& now) {
    std::vector<std::size_t> alerts;
    for (std::size_t i = 0; i < session.schedule.size(); ++i) {
        ScheduleEntry& entry = session.schedule[i];
        if (dueTest(entry, now) && !entry.seen)
            alerts.push_back(i);
    }
    return alerts;
}

std::string scheduleStatusLine(Session& session) {
    const auto count = [&](TaskSet set) { return std::to_string(countTasks(session.schedule, set)); };
    return session.texts.lookup("GUI_FORM", "STATUSBAR_2", "GUI") + " " + count(TaskSet::Incoming) + ", " +
           count(TaskSet::Due) + ", " + count(TaskSet::All) + ".";
}

} // namespace quill
