#pragma once

#include <map>
#include <string>

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

enum class SyncDirection { Download, Upload };

// At logon: brings the local resource copy up to date with the data point
// when synchronisation is on or the copy is new, and creates the local
// working directories.
bool prepareDataPointFolders(const WorkingCopyPlaces& places, Ui& ui);

// At shutdown: with synchronisation on, writes the user's templates, file
// templates and own resources back to the data point; always empties the
// local attachments area.
bool cleanUpDataPointFolders(const WorkingCopyPlaces& places);

// The tool menu's download and upload of resources. False when the data
// point's resources or the local copy's directory are not there, so nothing
// was synchronised.
bool synchronizeResources(const WorkingCopyPlaces& places, SyncDirection direction);

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
