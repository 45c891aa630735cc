#pragma once

#include <map>
#include <string>

namespace quill {

class Session;

enum class SyncDirection { Download, Upload };

// At logon: brings the local resource copy up to date with the data point
// when synchronisation is on or the copy is new, and creates the local
// working directories.
bool prepareDataPointFolders(Session& session);

// At shutdown: with synchronisation on, writes the user's templates, file
// templates and own resources back to the data point; always empties the
// local attachments area.
bool cleanUpDataPointFolders(Session& session);

// The tool menu's download and upload of resources. False when the data
// point's resources or the local copy's directory are not there, so nothing
// was synchronised.
bool synchronizeResources(Session& session, SyncDirection direction);

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
