#pragma once

#include "platform/Status.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

class Session;

// What the file facts of a document or folder show.
struct PropertyFacts {
    std::string file; // the properties file: the document, or folder.folders
    std::string fileName;
    std::string directory;
    std::string icon;
    std::string typeCaption;
    std::string typeNote;
    std::string owner;
    std::uintmax_t size = 0;
    std::string created;  // short date + ", " + long time, local time
    std::string modified; // the same
};

// A folder's own settings, as its folder.folders holds them.
struct FolderSettings {
    std::string note;
    std::string url;
    std::string icon;
    std::string owner;
    std::string rights;
    bool locked = false; // "SYSTEMFOLDERLOCK" is "TRUE": the name stays
};

// The properties file of a folder, folder.folders, made empty when the
// folder has none yet; the folder itself must exist and be no link.
Status folderPropertiesFile(Session& session, std::string_view folder, std::string& file);

// The facts of a properties file, read as the object type of its name says.
PropertyFacts propertyFacts(Session& session, const std::string& file);

Status readFolderSettings(Session& session, std::string_view folder, FolderSettings& settings);

// Writes the settings into the folder's folder.folders, notes the change
// in its history and writes the history.
Status saveFolderSettings(Session& session, std::string_view folder, const FolderSettings& settings);

// Renames a folder in its parent directory. Refused for a locked folder,
// a name that cannot be a file name or is taken, and the directories the
// data point itself names (its root, the users root, a user's own area).
// The folder lists of every user that name the folder or a folder below it
// follow it, and so do the session's tasks below it.
Status renameFolder(Session& session, std::string_view folder, std::string_view newName, std::string& newPath);

// The lines of a properties file's history, text variables expanded, in
// file order; empty when it has no history.
std::vector<std::string> historyLines(Session& session, std::string_view file);
// The one line shown when there is no history.
std::string noHistoryLine(Session& session);

// Deletes the properties file's history; success when there was none.
Status clearHistory(std::string_view file);

} // namespace quill
