#pragma once

#include "navigation/FolderProperties.h"
#include "platform/Status.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

class Session;

// The picture of a folder whose settings name none.
inline constexpr std::string_view kPlainFolderPicture = "FOLDER.BMP";

// The folders the user has connected to the top of the main tree, as the
// user's folder list stores them (expanded, in order). A list that was
// never written holds the shared root and the user's own folder. Folders
// that are gone stay listed until the user removes them.
std::vector<std::string> readConnectedFolders(Session& session);

// Replaces the user's folder list. Refused when empty or longer than the
// list can hold.
Status writeConnectedFolders(Session& session, const std::vector<std::string>& folders);

// Whether folder may be connected: a folder with its folder.folders, inside
// the data point or its root or users root, not connected already.
Status checkConnectableFolder(Session& session, const std::vector<std::string>& connected, std::string_view folder);

// The settings a new folder to connect starts with: owned by the user,
// locked, with the plain folder's picture.
FolderSettings newConnectableFolderSettings(const Session& session);

// Makes a new folder name in parent with its folder.folders holding
// settings, ready to be connected.
Status createConnectableFolder(Session& session, std::string_view parent, std::string_view name,
                               const FolderSettings& settings, std::string& created);

// The list with one entry moved to position to (0-based, clamped).
void moveConnectedFolder(std::vector<std::string>& folders, std::size_t from, std::size_t to);

// The picture a connected folder is listed with: the one its settings
// name, else the plain folder's. A folder that is gone, or has no settings,
// gets the plain one without any being made for it.
std::string connectedFolderPicture(Session& session, const std::string& folder);

// The index of folder in the list, compared as folders are; npos if absent.
std::size_t connectedFolderIndex(const std::vector<std::string>& folders, std::string_view folder);

} // namespace quill
