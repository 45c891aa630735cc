#include "session/EventLog.h"

#include "platform/AtomicFile.h"
#include "platform/DateTimeFormat.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/Session.h"

namespace quill {

std::string logFileFor(const Session& session, int number) {
    return number >= 51 ? session.context.userLogFile : path::join(session.context.logsDirectory, "system.log");
}

namespace {

// The lookup expands the text variables once; expanding the result again
// would read variables into what a user typed, such as a logon name.
template <class LookUp> Status appendEvent(Session& session, int number, LookUp&& lookUp) {
    const std::string file = logFileFor(session, number);
    if (file.empty() || session.context.logsDirectory.empty())
        return Status::failure("cannot log event " + std::to_string(number) + ": no data point is open");
    std::string line = lookUp(std::to_string(number));
    // One event, one line, whatever the expanded values held.
    for (char& c : line) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return appendLine(file, line);
}

} // namespace

Status logEvent(Session& session, int number) {
    return appendEvent(session, number,
                       [&](const std::string& key) { return session.texts.lookup("LOG", key, "LOG"); });
}

Status logEvent(Session& session, int number, std::string_view actualName) {
    return appendEvent(session, number, [&](const std::string& key) {
        return session.variables.lookupAbout(actualName, "LOG", key, "LOG");
    });
}

void PendingEdits::note(int code, std::string who, std::string date, std::string time) {
    if (code >= 0 && code < 50) {
        bool& noted = groupNoted_[static_cast<std::size_t>(code / 10)];
        if (noted)
            return;
        noted = true;
    }
    entries_.push_back({code, std::move(who), std::move(date), std::move(time)});
}

void PendingEdits::forget() {
    entries_.clear();
    groupNoted_.fill(false);
}

void noteEdit(Session& session, int code) {
    const LocalDateTime now = session.clock.now();
    session.pendingEdits.note(code, session.program.fullName + " (" + session.program.logonName + ")",
                              formatDate(now, session.formats), formatTime(now, session.formats));
}

std::string editHistoryLine(const PendingEdit& edit) {
    return edit.date + ", " + edit.time + ": $EDITHISTORY." + std::to_string(edit.code) + ".EDITHISTORY$ " + edit.who;
}

bool writeEditHistory(Session& session, const std::string& recordPath) {
    if (session.pendingEdits.empty() || !fs::isRegularFile(recordPath))
        return false;
    const std::string history = path::changeExtension(recordPath, ".history");
    fs::createDirectories(path::directory(history));
    for (const PendingEdit& edit : session.pendingEdits.entries()) {
        if (!appendLine(history, editHistoryLine(edit)))
            return false;
    }
    session.pendingEdits.forget();
    return true;
}

} // namespace quill
