#include "session/LogonContext.h"

#include "platform/Cp1250.h"
#include "session/EventLog.h"
#include "platform/FileSystem.h"
#include "platform/FolderTree.h"
#include "formats/LanguageTexts.h"
#include "platform/Paths.h"
#include "session/Session.h"
#include "datapoint/DataPointInfo.h"
#include "datapoint/WorkingCopy.h"

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

// Deletes everything inside directory, but never the file system's root,
// the user's home or a directory above it, whatever a settings file on the
// shared data point says. Real paths are compared: names resolve in any
// case and through links.
void emptyDirectory(const std::string& directory) {
    const std::string dir = path::withoutTrailingSeparator(directory);
    if (dir.empty() || !fs::isDirectory(dir) || fs::isWithin("/", dir) || fs::isWithin(fs::homeDirectory(), dir))
        return;
    for (const std::string& item : listFiles(dir))
        fs::removeAll(item).ok();
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
    s.temporaryDirectory =
        tempPath.empty() ? defaultTemporaryDirectory() : path::withTrailingSeparator(path::join(tempPath, logon));
    s.removeTemporaryOnExit = cp1250::upper(settingsValue(session, "TEMPREMOVEONEXIT")) == "TRUE";
    const std::string resourcePath = settingsValue(session, "RESOURCEPATH");
    s.resourceDirectory =
        path::withTrailingSeparator(resourcePath.empty() ? defaultTemporaryDirectory() + "Resources" : resourcePath);
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

WorkingCopyPlaces workingCopyOf(const Session& session) {
    return {session.context.resourcesDirectory, session.context.settings, ownResourceSubtree(session)};
}

bool shutdown(Session& session) {
    const Settings& s = session.context.settings;
    saveWindowGeometry(session);
    cleanUpDataPointFolders(workingCopyOf(session));
    if (!s.temporaryDirectory.empty()) {
        if (s.removeTemporaryOnExit)
            emptyDirectory(s.temporaryDirectory);
        emptyDirectory(path::join(s.temporaryDirectory, "HTMLparse"));
    }
    logEvent(session, 6).ok();
    logEvent(session, 54).ok();
    return true;
}

} // namespace quill
