// The user's list of folders at the top of the main tree.
#include "navigation/ConnectedFolders.h"

#include "formats/CompanionNames.h"
#include "navigation/MainTree.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/Session.h"

#include <algorithm>

namespace quill {
namespace {

std::string listKey(std::size_t n) {
    return "USRFOLDER" + std::to_string(n);
}

bool insideDataPoint(const Session& session, const std::string& folder) {
    const auto& c = session.context;
    for (const std::string* place : {&c.dataPointPath, &c.rootDirectory, &c.usersRootDirectory}) {
        if (!place->empty() && fs::isWithin(folder, *place))
            return true;
    }
    return false;
}

} // namespace

std::vector<std::string> readConnectedFolders(Session& session) {
    std::vector<std::string> folders;
    Record list;
    if (!fs::exists(session.context.userFoldersFile) ||
        session.readRecord(session.context.userFoldersFile, list) != RecordRead::Ok) {
        folders.push_back(path::withoutTrailingSeparator(session.context.rootDirectory));
        folders.push_back(path::withoutTrailingSeparator(session.context.userDirectory));
        return folders;
    }
    for (std::size_t n = 1; n <= kMaxFolderListEntries; ++n) {
        const std::string stored = list.value(listKey(n));
        if (stored.empty())
            break;
        folders.push_back(path::withoutTrailingSeparator(path::normalize(session.variables.expand(stored, true))));
    }
    return folders;
}

Status writeConnectedFolders(Session& session, const std::vector<std::string>& folders) {
    if (folders.empty())
        return Status::failure("at least one folder must stay connected");
    if (folders.size() > kMaxFolderListEntries)
        return Status::failure("at most " + std::to_string(kMaxFolderListEntries) + " folders can be connected");
    const std::string& file = session.context.userFoldersFile;
    if (!fs::exists(file) && !session.recordFiles().createEmpty(file))
        return Status::failure("the folder list " + file + " cannot be made");
    Record list;
    if (session.readRecord(file, list) != RecordRead::Ok)
        return Status::failure("the folder list " + file + " cannot be read");
    for (std::size_t n = 1; n <= kMaxFolderListEntries; ++n) {
        std::string stored;
        if (n <= folders.size()) {
            // Stored with '\' between the parts, as every copy of the
            // program reads them, whatever system it runs on.
            stored = session.variables.collapse(folders[n - 1]);
            std::replace(stored.begin(), stored.end(), '/', '\\');
        }
        list.setValue(listKey(n), stored);
    }
    if (Status written = session.storeRecord(list, file); !written)
        return Status::failure("the folder list " + file + " cannot be written: " + written.message());
    return Status::success();
}

std::size_t connectedFolderIndex(const std::vector<std::string>& folders, std::string_view folder) {
    const std::string wanted = path::comparableFolder(folder);
    for (std::size_t i = 0; i < folders.size(); ++i) {
        if (path::comparableFolder(folders[i]) == wanted)
            return i;
    }
    return std::string::npos;
}

Status checkConnectableFolder(Session& session, const std::vector<std::string>& connected, std::string_view folder) {
    const std::string directory = path::withoutTrailingSeparator(path::normalize(folder));
    if (directory.empty() || !fs::isRegularFile(path::join(directory, kFolderRecordName)))
        return Status::failure((directory.empty() ? std::string("no directory") : directory) + " holds no " +
                               std::string(kFolderRecordName));
    if (fs::isSymlink(directory) || !insideDataPoint(session, directory))
        return Status::failure(directory + " does not belong to this data point");
    if (connectedFolderIndex(connected, directory) != std::string::npos)
        return Status::failure(directory + " is connected already");
    return Status::success();
}

Status createConnectableFolder(Session& session, std::string_view parent, std::string_view name,
                               const FolderSettings& settings, std::string& created) {
    const std::string directory = path::withoutTrailingSeparator(path::normalize(parent));
    if (directory.empty())
        return Status::failure("no directory was given for the new folder");
    if (name.empty() || !path::isPlainFileName(name))
        return Status::failure("\"" + std::string(name) + "\" cannot be the name of a folder");
    if (!fs::isDirectory(directory) || fs::isSymlink(directory) || !insideDataPoint(session, directory))
        return Status::failure(directory + " is no folder of this data point");
    created = path::join(directory, name);
    if (fs::exists(path::join(created, kFolderRecordName)))
        return Status::failure(created + " exists already");
    if (!fs::createDirectories(created))
        return Status::failure("the folder " + created + " cannot be made");
    // The new folder's history starts with its settings.
    if (const Status status = saveFolderSettings(session, created, settings); !status)
        return status;
    if (!fs::isRegularFile(path::join(created, kFolderRecordName)))
        return Status::failure("the folder " + created + " got no " + std::string(kFolderRecordName));
    return Status::success();
}

void moveConnectedFolder(std::vector<std::string>& folders, std::size_t from, std::size_t to) {
    if (from >= folders.size())
        return;
    to = std::min(to, folders.size() - 1);
    std::string moved = std::move(folders[from]);
    folders.erase(folders.begin() + static_cast<std::ptrdiff_t>(from));
    folders.insert(folders.begin() + static_cast<std::ptrdiff_t>(to), std::move(moved));
}

FolderSettings newConnectableFolderSettings(const Session& session) {
    FolderSettings settings;
    settings.owner = session.program.fullName + " (" + session.program.logonName + ")";
    settings.icon = kPlainFolderPicture;
    settings.locked = true;
    return settings;
}

std::string connectedFolderPicture(Session& session, const std::string& folder) {
    FolderSettings settings;
    // Reading the settings of a folder without any would make them.
    if (fs::isRegularFile(path::join(folder, kFolderRecordName)))
        ignoreOutcome(readFolderSettings(session, folder, settings));
    return settings.icon.empty() ? std::string(kPlainFolderPicture) : settings.icon;
}

} // namespace quill
