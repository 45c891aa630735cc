#include "session/LogonContext.h"

#include "datapoint/DataPointInfo.h"
#include "datapoint/WorkingCopy.h"
#include "formats/LanguageTexts.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/FolderTree.h"
#include "platform/OwnedDirectory.h"
#include "platform/Paths.h"
#include "platform/Result.h"
#include "platform/TextUtil.h"
#include "session/EventLog.h"
#include "session/Session.h"

namespace quill {
namespace {

std::string dataPointInfo(const Session& session) {
    return path::join(session.context.dataPointPath, "DataPoint.info");
}

// A value read from DataPoint.settings; a missing key or file is empty.
std::string settingsValue(Session& session, const char* key) {
    const std::string value =
        session.texts.readPlain("SETTINGS_IO", key, path::join(session.context.dataPointPath, "DataPoint.settings"));
    return isParror(value) ? std::string() : value;
}

// Deletes everything inside directory, which lies in owner, a directory
// the program made for itself: whatever a settings file on the shared data
// point says, nothing else is ever emptied. Real paths are compared: names
// resolve in any case and through links.
void emptyDirectory(const std::string& directory, const std::string& owner) {
    const std::string dir = path::withoutTrailingSeparator(directory);
    if (dir.empty() || !fs::isDirectory(dir) || !isOwnedDirectory(owner) || !fs::isWithin(dir, owner) ||
        fs::isWithin("/", dir) || fs::isWithin(fs::homeDirectory(), dir))
        return;
    for (const std::string& item : listFiles(dir)) {
        if (path::fileName(item) != kOwnedDirectoryMark)
            ignoreOutcome(fs::removeAll(item));
    }
}

// A directory from DataPoint.settings that cannot be the program's own
// gives way to this computer's default, with a warning and a log line.
std::string acceptedWorkingDirectory(Session& session, const std::string& named, const std::string& fallback) {
    const std::string& dataPoint = session.context.dataPointPath;
    if (named != fallback) {
        const Status usable = checkWorkingDirectory(named, dataPoint, false);
        if (usable)
            return named;
        ignoreOutcome(logEvent(session, 56));
        session.warn(MessageKind::Warning, "SYSTEM_IO", 4, usable.message());
    }
    // The default of an earlier version holds files but no mark: it is
    // taken over as it is.
    if (checkWorkingDirectory(fallback, dataPoint, true) && fs::isDirectory(fallback) && !isOwnedDirectory(fallback))
        ignoreOutcome(markOwnedDirectory(fallback));
    return fallback;
}

} // namespace

std::string defaultTemporaryDirectory() {
    std::string cache = fs::environment("XDG_CACHE_HOME");
    if (cache.empty())
        cache = path::join(fs::homeDirectory(), ".cache");
    return path::withTrailingSeparator(path::join(cache, "Quill.temp"));
}

std::string systemTemporaryDirectory() {
    const std::string tmp = fs::environment("TMPDIR");
    return tmp.empty() ? std::string("/tmp") : tmp;
}

ContextStart startLogonContext(Session& session) {
    LogonContext& c = session.context;
    if (c.dataPointPath.empty())
        return ContextStart::NoDataPoint;
    const std::string system = path::join(c.dataPointPath, "DataPoint.system");
    c.objectsPrivateDirectory = path::join(system, "Objects/Private");
    c.objectsPublicDirectory = path::join(system, "Objects/Public");
    c.propertiesPrivateDirectory = path::join(system, "Property/Private");
    c.propertiesPublicDirectory = path::join(system, "Property/Public");
    c.logsDirectory = path::join(system, "Logs");
    c.resourcesDirectory = path::join(system, "Resources");

    const auto requireDirectory = [&](const char* key, std::string& target) {
        const std::string value = session.texts.readPlain("DATAPOINT", key, dataPointInfo(session));
        if (isParror(value) || !fs::isDirectory(value)) {
            session.warn(MessageKind::Information, "LOGIN", 4);
            return false;
        }
        target = path::withoutTrailingSeparator(value);
        return true;
    };
    if (!requireDirectory("ROOT", c.rootDirectory) || !requireDirectory("USERS", c.usersRootDirectory))
        return ContextStart::MissingDirectories;
    c.dataPointAutoLogon = dataPointAllowsAutoLogon(c.dataPointPath);

    // Type captions may use text variables, so the tables are built after
    // the paths they can refer to are set.
    session.tables = loadTypeTables(
        c.dataPointPath, [&session](const std::string& text) { return session.variables.expand(text, true); });
    return ContextStart::Started;
}

void setUserPaths(Session& session) {
    LogonContext& c = session.context;
    const std::string& logon = session.program.logonName;
    const std::string system = path::join(c.dataPointPath, "DataPoint.system");
    c.userLogFile = path::join(c.logsDirectory, logon + ".log");
    c.messagesDirectory = path::join(system, "Messages");
    c.tasksDirectory = path::join(c.messagesDirectory, "Tasks");
    c.userTasksDirectory = path::join(c.tasksDirectory, logon);
    c.userDirectory = path::join(c.usersRootDirectory, logon);
    c.userRecordsDirectory = path::join(system, "Users");
    c.userRecordFile = path::join(c.userRecordsDirectory, logon + ".user");
    c.userFoldersFile = path::join(c.userRecordsDirectory, logon + ".usrfolders");
}

void createUserDirectories(Session& session) {
    fs::createDirectories(session.context.userDirectory);
    fs::createDirectories(session.context.userTasksDirectory);
}

bool readSettings(Session& session) {
    Settings& s = session.context.settings;
    const std::string& logon = session.program.logonName;

    const std::string tempPath = settingsValue(session, "TEMPPATH");
    const std::string defaultTemporary = defaultTemporaryDirectory();
    s.temporaryDirectory = acceptedWorkingDirectory(
        session, tempPath.empty() ? defaultTemporary : path::withTrailingSeparator(path::join(tempPath, logon)),
        defaultTemporary);
    s.removeTemporaryOnExit = text::isTrue(settingsValue(session, "TEMPREMOVEONEXIT"));
    const std::string resourcePath = settingsValue(session, "RESOURCEPATH");
    const std::string defaultResources = path::withTrailingSeparator(defaultTemporary + "Resources");
    s.resourceDirectory = acceptedWorkingDirectory(
        session, resourcePath.empty() ? defaultResources : path::withTrailingSeparator(resourcePath), defaultResources);
    s.synchronizeResources = cp1250::upper(settingsValue(session, "RESOURCESYNCHRONIZE")) != "FALSE";
    s.userGroupsResourceDirectory = path::join(ownResourceDirectory(session), "Groups");
    return true;
}

std::string ownResourceSubtree(const Session& session) {
    return "Users/" + session.program.logonName;
}

std::string ownResourceDirectory(const Session& session) {
    return path::join(session.context.settings.resourceDirectory, ownResourceSubtree(session));
}

void noteSkippedLinks(Session& session, const SyncResult& result) {
    if (result.linksSkipped == 0 || session.linksSkippedLogged)
        return;
    session.linksSkippedLogged = true;
    ignoreOutcome(logEvent(session, 55));
}

WorkingCopyPlaces workingCopyOf(const Session& session) {
    return {session.context.resourcesDirectory, session.context.settings, ownResourceSubtree(session)};
}

bool shutdown(Session& session) {
    const Settings& s = session.context.settings;
    saveWindowGeometry(session);
    noteSkippedLinks(session, cleanUpDataPointFolders(workingCopyOf(session)));
    if (!s.temporaryDirectory.empty()) {
        if (s.removeTemporaryOnExit)
            emptyDirectory(s.temporaryDirectory, s.temporaryDirectory);
        emptyDirectory(path::join(s.temporaryDirectory, "HTMLparse"), s.temporaryDirectory);
    }
    ignoreOutcome(logEvent(session, 6));
    ignoreOutcome(logEvent(session, 54));
    return true;
}

} // namespace quill
