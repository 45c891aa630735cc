#pragma once

#include "datapoint/WorkingCopy.h"
#include "session/WindowGeometry.h"

#include <string>

namespace quill {

class Session;

// Every path derived from the chosen data point and the logged-on user.
struct LogonContext {
    std::string dataPointPath;
    std::string objectsPrivateDirectory;
    std::string objectsPublicDirectory;
    std::string propertiesPrivateDirectory;
    std::string propertiesPublicDirectory;
    std::string logsDirectory;
    std::string userLogFile;
    std::string resourcesDirectory;
    std::string messagesDirectory;
    std::string tasksDirectory;
    std::string userTasksDirectory;
    std::string rootDirectory;
    std::string usersRootDirectory;
    std::string userDirectory;
    std::string userRecordsDirectory;
    std::string userRecordFile;
    std::string userFoldersFile;
    bool dataPointAutoLogon = false;

    Settings settings;
    WindowGeometry geometry;
};

enum class ContextStart {
    Started,
    NoDataPoint,        // no data point chosen: nothing was done
    MissingDirectories, // ROOT or USERS names no directory: the program must end
};

// Sets the data point's paths, reads DataPoint.info and loads the object
// and property definitions. When ROOT or USERS names no existing directory
// the warning is shown and the caller has to end the program.
ContextStart startLogonContext(Session& session);

// The paths that depend on the logon name.
void setUserPaths(Session& session);

// The user's own directory and task directory, created when missing. Only
// for a user whose record exists, so that no name typed at logon leaves
// directories behind on the data point.
void createUserDirectories(Session& session);

// Reads DataPoint.settings; missing keys take this machine's defaults.
bool readSettings(Session& session);

// The user's own part of a resource tree, relative to its top: groups,
// templates and the text cache live below "Users/<logon name>".
std::string ownResourceSubtree(const Session& session);
// The same in the local copy of the resources.
std::string ownResourceDirectory(const Session& session);

// The logged-on user's working copy of the data point's resources.
WorkingCopyPlaces workingCopyOf(const Session& session);

// Logs, once per run, that a synchronisation met symbolic links and left
// them alone.
void noteSkippedLinks(Session& session, const SyncResult& result);

// This machine's default base of temporary files: $XDG_CACHE_HOME/Quill.temp/
// (else ~/.cache/Quill.temp/).
std::string defaultTemporaryDirectory();

// The platform's own temporary directory: $TMPDIR, else /tmp.
std::string systemTemporaryDirectory();

// Ends a session: saves the text cache and the window geometry, writes the
// user's resources back, deletes the rendered pages (and the temporary
// files when so set) and logs the end.
bool shutdown(Session& session);

} // namespace quill
