// The user's tasks as the program sees them after logon: the schedule
// table built by the folder walk and the scan of the task directory.
#include "TaskCommands.h"

#include "CommandRunner.h"

#include "navigation/MainTree.h"
#include "platform/DateTimeFormat.h"
#include "session/Logon.h"
#include "session/ScheduleScan.h"
#include "session/Scheduler.h"
#include "session/Session.h"
#include "session/TaskCalendar.h"
#include "session/TaskSets.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <string_view>
#include <utility>

namespace quill::cli {
namespace {

void buildScheduleTable(Session& session) {
    loadUserData(session);
    // The tasks need the places to look in, not the folders below them.
    MainTree tree;
    buildMainTree(session, tree, FolderDepth::TopFolders);
    scanSchedules(session, scheduleScanPlaces(tree));
    scanTaskDirectory(session);
}

// I: handed to the user; O or C: open (with a reminder) or closed; D: due.
std::string stateFlags(const ScheduleEntry& entry) {
    return std::string(inTaskSet(entry, TaskSet::Incoming) ? "I" : "-") + (isOpenTask(entry) ? "O" : "C") +
           (inTaskSet(entry, TaskSet::Due) ? "D" : "-");
}

std::optional<TaskSet> taskSetNamed(std::string_view name) {
    static constexpr std::pair<std::string_view, TaskSet> names[] = {
        {"all", TaskSet::All},       {"incoming", TaskSet::Incoming}, {"open", TaskSet::Open},
        {"closed", TaskSet::Closed}, {"due", TaskSet::Due},
    };
    for (const auto& [known, set] : names) {
        if (name == known)
            return set;
    }
    return std::nullopt;
}

} // namespace

int tasksCommand(Call& call) {
    const bool ics = takeFlag(call.args, "--ics");
    const std::string state = takeOption(call.args, "--state", "all");
    const auto at = takeMoment(call.args);
    call.sessionOptions().at = at;
    call.arguments();
    const std::optional<TaskSet> set = taskSetNamed(state);
    if (!set)
        throw CliError{"--state takes all, incoming, open, closed or due, not " + state};
    Session& session = call.session();
    std::ostream& out = call.out;
    buildScheduleTable(session);
    std::vector<const ScheduleEntry*> tasks;
    tasks.reserve(session.schedule.size());
    for (const ScheduleEntry& entry : session.schedule) {
        if (inTaskSet(entry, *set))
            tasks.push_back(&entry);
    }
    // The table's own order is no order; scripts get the tasks by time.
    std::sort(tasks.begin(), tasks.end(), [](const ScheduleEntry* a, const ScheduleEntry* b) {
        const auto first = wallClockMilliseconds(a->eventTime), second = wallClockMilliseconds(b->eventTime);
        return first != second ? first < second : a->documentPath < b->documentPath;
    });
    if (ics) {
        // Already UTF-8.
        out << tasksAsICalendar(tasks, session.clock.now());
        return 0;
    }
    const auto moment = [&session](const LocalDateTime& value) {
        return formatDate(value, session.formats) + " " + formatTime(value, session.formats);
    };
    for (const ScheduleEntry* task : tasks)
        printLine(out, stateFlags(*task) + "\t" + task->name + "\t" + task->owner + "\t" + task->team + "\t" +
                           moment(task->eventTime) + "\t" + moment(task->reminderTime) + "\t" + task->documentPath);
    return 0;
}

int statusLineCommand(Call& call) {
    const auto at = takeMoment(call.args);
    call.sessionOptions().at = at;
    Session& session = call.session();
    buildScheduleTable(session);
    printLine(call.out, scheduleStatusLine(session));
    return 0;
}

} // namespace quill::cli
