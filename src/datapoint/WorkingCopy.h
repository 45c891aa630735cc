#pragma once

#include "platform/Status.h"

#include <map>
#include <string>
#include <string_view>

namespace quill {

class Ui;

// Where the local working copy of a data point lives on this machine.
struct Settings {
    std::string temporaryDirectory; // always ends in a separator
    bool removeTemporaryOnExit = false;
    std::string resourceDirectory; // always ends in a separator
    std::string userGroupsResourceDirectory;
    bool synchronizeResources = true;
};

// One user's working copy: the data point's shared resources and this
// machine's copy of them.
struct WorkingCopyPlaces {
    std::string sharedResources; // the data point's resources directory
    Settings settings;
    std::string ownSubtree; // the user's own part, "Users/<logon name>"
};

// Whether directory may serve as a local working directory (the temporary
// directory or the resource copy) for dataPoint: never the data point, a
// directory inside it or one holding it, nor one that the program may not
// take as its own (see claimOwnedDirectory). The program's own default
// places are taken even when they hold files of an earlier version.
Status checkWorkingDirectory(std::string_view directory, std::string_view dataPoint, bool programDefault);

enum class SyncDirection { Download, Upload };

// Whether a synchronisation ran, and how many symbolic links it met and
// left alone (none is ever followed, in either direction).
struct SyncResult {
    bool done = false;
    std::size_t linksSkipped = 0;
    explicit operator bool() const { return done; }
};

// At logon: brings the local resource copy up to date with the data point
// when synchronisation is on or the copy is new, and creates the local
// working directories.
SyncResult prepareDataPointFolders(const WorkingCopyPlaces& places, Ui& ui);

// At shutdown: with synchronisation on, writes the user's templates, file
// templates and own resources back to the data point; always empties the
// local attachments area.
SyncResult cleanUpDataPointFolders(const WorkingCopyPlaces& places);

// The tool menu's download and upload of resources. False when the data
// point's resources or the local copy's directory are not there, so nothing
// was synchronised.
SyncResult synchronizeResources(const WorkingCopyPlaces& places, SyncDirection direction);

// What the local resource copy held after the last download: each file's
// path relative to the resource directory and its modification time
// (directories end in '/' and have no time). An upload copies only files
// changed or added here since then, and deletes from the data point only
// files that were downloaded and then deleted here: so one user's upload
// never undoes what others changed or added in the shared resources
// meanwhile.
using ResourceManifest = std::map<std::string, long long>;

// Where the manifest of a resource directory is kept: beside it, since
// everything inside is an image of the data point.
std::string resourceManifestPath(const std::string& resourceDirectory);
ResourceManifest readResourceManifest(const std::string& resourceDirectory);

} // namespace quill
