// The user's tasks as the program sees them after logon: the schedule
// table built by the folder walk and the scan of the task directory.
#include "TaskCommands.h"

#include "CliSession.h"

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

int tasksCommand(Args args, std::ostream& out) {
    const bool ics = takeFlag(args, "--ics");
    const std::string state = takeOption(args, "--state", "all");
    const auto at = takeMoment(args);
    SessionOptions options = takeSessionOptions(args);
    options.at = at;
    expectArgs(args, 0, 0,
               "tasks --datapoint DIR --user LOGON [--state all|incoming|open|closed|due] [--at \"D.M.YYYY H:MM\"] "
               "[--ics]");
    const std::optional<TaskSet> set = taskSetNamed(state);
    if (!set)
        throw CliError{"--state takes all, incoming, open, closed or due, not " + state};
    CliSession cli(options);
    Session& session = cli.session();
    buildScheduleTable(session);
    std::vector<ScheduleEntry> tasks;
    for (const ScheduleEntry& entry : session.schedule) {
        if (inTaskSet(entry, *set))
            tasks.push_back(entry);
    }
    // The table's own order is no order; scripts get the tasks by time.
    std::sort(tasks.begin(), tasks.end(), [](const ScheduleEntry& a, const ScheduleEntry& b) {
        const auto at = wallClockMilliseconds(a.eventTime), bt = wallClockMilliseconds(b.eventTime);
        return at != bt ? at < bt : a.documentPath < b.documentPath;
    });
    if (ics) {
        // Already UTF-8.
        out << tasksAsICalendar(tasks, session.clock.now());
        return 0;
    }
    const auto moment = [&session](const LocalDateTime& value) {
        return formatDate(value, session.formats) + " " + formatTime(value, session.formats);
    };
    for (const ScheduleEntry& task : tasks)
        printLine(out, stateFlags(task) + "\t" + task.name + "\t" + task.owner + "\t" + task.team + "\t" +
                           moment(task.eventTime) + "\t" + moment(task.reminderTime) + "\t" + task.documentPath);
    return 0;
}

int statusLineCommand(Args args, std::ostream& out) {
    const auto at = takeMoment(args);
    SessionOptions options = takeSessionOptions(args);
    options.at = at;
    expectArgs(args, 0, 0, "status-line --datapoint DIR --user LOGON [--at \"D.M.YYYY H:MM\"]");
    CliSession cli(options);
    buildScheduleTable(cli.session());
    printLine(out, scheduleStatusLine(cli.session()));
    return 0;
}

} // namespace quill::cli
