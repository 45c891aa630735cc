#include "session/Logon.h"

#include "datapoint/DataPointInfo.h"
#include "datapoint/WorkingCopy.h"
#include "documents/DocumentFiles.h"
#include "formats/RegistryStore.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Result.h"
#include "session/EventLog.h"
#include "session/LogonContext.h"
#include "session/ProgramStart.h"
#include "session/Session.h"
#include "session/TextCache.h"
#include "session/UsersAndGroups.h"
#include "session/WindowGeometry.h"

#include <optional>

namespace quill {
namespace {

// Ends a failed attempt as the user sees it: cursor back, start-up view
// closed, the event logged and the logon warning shown with its beep.
void refuse(Session& session, int event, int warning) {
    session.ui.setCursor(CursorShape::Default);
    session.ui.closeStartup();
    ignoreOutcome(logEvent(session, event));
    session.warn(MessageKind::Error, "LOGIN", warning);
}

} // namespace

bool endsProgram(LogonOutcome outcome) {
    return outcome == LogonOutcome::MissingDirectories || outcome == LogonOutcome::UnreadableUser ||
           outcome == LogonOutcome::TooManyFailures;
}

std::string_view outcomeName(LogonOutcome outcome) {
    switch (outcome) {
    case LogonOutcome::LoggedOn: return "OK";
    case LogonOutcome::NotADataPoint: return "NO_DATAPOINT";
    case LogonOutcome::NoUser: return "NO_USER";
    case LogonOutcome::WrongPassword: return "WRONG_PASSWORD";
    case LogonOutcome::MissingDirectories: return "MISSING_DIRECTORIES";
    case LogonOutcome::UnreadableUser: return "UNREADABLE_USER";
    case LogonOutcome::TooManyFailures: return "TOO_MANY_FAILURES";
    }
    return "";
}

std::chrono::milliseconds failedLogonDelay(int failedAttempts) {
    switch (failedAttempts) {
    case 0:
    case 1: return std::chrono::milliseconds(0);
    case 2: return std::chrono::milliseconds(1500);
    case 3: return std::chrono::milliseconds(4000);
    case 4: return std::chrono::milliseconds(8000);
    default: return std::chrono::milliseconds(12000);
    }
}

bool loadUserData(Session& session) {
    noteSkippedLinks(session, prepareDataPointFolders(workingCopyOf(session), session.ui));
    loadTextCache(session);
    loadUsers(session);
    return true;
}

LogonOutcome attemptLogon(Session& session, RegistryStore& registry, const LogonRequest& request, int& failedAttempts) {
    Ui& ui = session.ui;
    ui.setCursor(CursorShape::Busy);
    session.program.loggedOn = false;
    session.context = LogonContext{};
    session.context.dataPointPath = path::withoutTrailingSeparator(session.program.actualDataPointPath());
    if (!isDataPoint(session.context.dataPointPath)) {
        ui.setCursor(CursorShape::Default);
        session.warn(MessageKind::Information, "LOGIN", 2);
        return LogonOutcome::NotADataPoint;
    }

    ui.showStartupStep(0);
    if (startLogonContext(session) != ContextStart::Started) {
        ui.setCursor(CursorShape::Default);
        ui.closeStartup();
        return LogonOutcome::MissingDirectories;
    }
    ui.showStartupStep(1);

    session.program.logonName = request.logonName;
    setUserPaths(session);
    // A name that cannot be a file name has no record; it must not reach
    // paths outside the users directory either.
    const bool plainName = path::isPlainFileName(request.logonName + ".user");
    if (!plainName || !fs::exists(session.context.userRecordFile)) {
        session.clock.wait(kUnknownUserDelay);
        refuse(session, 1, 3);
        return LogonOutcome::NoUser;
    }

    Record user;
    if (session.recordFiles().read(session.context.userRecordFile, user) != RecordRead::Ok) {
        refuse(session, 0, 5);
        return LogonOutcome::UnreadableUser;
    }
    // From here on the user is named as the users store spells the name,
    // not as it was typed: "anna" logs on as ANNA, owns what ANNA owns and
    // is shown as ANNA.
    if (const std::string stored = user.value("LOGON_NAME");
        stored != request.logonName && cp1250::equalsNoCase(stored, request.logonName)) {
        session.program.logonName = stored;
        setUserPaths(session);
    }
    session.program.fullName = user.value("NAME") + " " + user.value("SURNAME");
    session.program.isAdministrator = isAdministratorRecord(user);
    createUserDirectories(session);

    readSettings(session);
    readWindowGeometry(session);
    loadUserData(session);
    ui.showStartupStep(2);

    if (user.value("PASSWORD") != request.password) {
        ++failedAttempts;
        ui.setCursor(CursorShape::Busy);
        session.clock.wait(failedLogonDelay(failedAttempts));
        refuse(session, 3, 3);
        if (failedAttempts >= kMaxFailedAttempts) {
            ignoreOutcome(logEvent(session, 4));
            session.warn(MessageKind::Error, "LOGIN", 6);
            return LogonOutcome::TooManyFailures;
        }
        return LogonOutcome::WrongPassword;
    }

    ignoreOutcome(logEvent(session, 2));
    ignoreOutcome(logEvent(session, 51));
    // Changes that a killed program left half done are finished or undone
    // before the user sees any document.
    if (Status recovered = recoverInterruptedChanges(session); !recovered)
        session.warn(MessageKind::Warning, "SYSTEM_IO", 5, recovered.message());
    // A registry that cannot be written costs only the remembered choices;
    // the user is logged on all the same.
    ignoreOutcome(writeRegistryValues(registry, session.program,
                                      request.autoLogon && session.context.dataPointAutoLogon, request.password));
    session.program.loggedOn = true;
    ui.setCursor(CursorShape::Default);
    return LogonOutcome::LoggedOn;
}

DataPointChoice chooseDataPoint(ProgramValues& program, const std::string& folder) {
    if (!isDataPoint(folder))
        return DataPointChoice::NotADataPoint;
    // On a case-sensitive file system /x/dp and /x/DP are two data points:
    // spellings that differ in case name one only when one of them does not
    // exist as spelled (it then resolves to the other).
    const std::string wanted = path::withoutTrailingSeparator(folder);
    const auto sameDataPoint = [&](const std::string& known) {
        const std::string candidate = path::withoutTrailingSeparator(known);
        if (candidate == wanted)
            return true;
        return path::comparableFolder(candidate) == path::comparableFolder(wanted) &&
               (!fs::existsAsSpelled(candidate) || !fs::existsAsSpelled(wanted));
    };
    std::optional<std::size_t> known;
    for (std::size_t i = 0; i < program.knownDataPoints.size() && !known; ++i) {
        if (!program.knownDataPoints[i].empty() && program.knownDataPoints[i] == folder)
            known = i;
    }
    for (std::size_t i = 0; i < program.knownDataPoints.size() && !known; ++i) {
        if (!program.knownDataPoints[i].empty() && sameDataPoint(program.knownDataPoints[i]))
            known = i;
    }
    if (known) {
        program.actualDataPoint = *known;
        return DataPointChoice::Selected;
    }
    // The one empty entry of a first run without a data point gives way.
    if (program.knownDataPoints.size() == 1 && program.knownDataPoints[0].empty())
        program.knownDataPoints.clear();
    program.knownDataPoints.push_back(folder);
    program.actualDataPoint = program.knownDataPoints.size() - 1;
    return DataPointChoice::Added;
}

} // namespace quill
