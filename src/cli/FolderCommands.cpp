// A folder's settings, name and history, and the user's connected
// folders, as the properties view and the connected-folders view change
// them.
#include "FolderCommands.h"

#include "CommandRunner.h"

#include "navigation/ConnectedFolders.h"
#include "navigation/FolderProperties.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "session/Session.h"

#include <ostream>

namespace quill::cli {
namespace {

void printSettings(std::ostream& out, const FolderSettings& settings) {
    printLine(out, "NOTE=" + settings.note);
    printLine(out, "URL=" + settings.url);
    printLine(out, "ICON=" + settings.icon);
    printLine(out, "OWNER=" + settings.owner);
    printLine(out, "RIGHTS=" + settings.rights);
    printLine(out, std::string("SYSTEMFOLDERLOCK=") + text::flag(settings.locked));
}

void applySetting(FolderSettings& settings, const std::string& assignment) {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string::npos)
        throw CliError{"--set needs NAME=VALUE, not \"" + assignment + "\""};
    const std::string name = cp1250::upper(assignment.substr(0, equals));
    std::string value = assignment.substr(equals + 1);
    if (value.find_first_of("\r\n") != std::string::npos)
        throw CliError{"a setting holds one line"};
    if (name == "NOTE")
        settings.note = value;
    else if (name == "URL")
        settings.url = value;
    else if (name == "ICON")
        settings.icon = cp1250::upper(value);
    else if (name == "OWNER")
        settings.owner = value;
    else if (name == "RIGHTS")
        settings.rights = value;
    else if (name == "SYSTEMFOLDERLOCK")
        settings.locked = text::isTrue(value);
    else
        throw CliError{"a folder has no setting " + name + ": use NOTE, URL, ICON, OWNER, RIGHTS or SYSTEMFOLDERLOCK"};
}

} // namespace

int folderPropsCommand(Call& call) {
    Args assignments;
    for (std::string value; !(value = takeOption(call.args, "--set")).empty();)
        assignments.push_back(value);
    Session& session = call.session();
    const std::string folder = call.args[0];
    FolderSettings settings;
    check(readFolderSettings(session, folder, settings));
    if (!assignments.empty()) {
        for (const std::string& assignment : assignments)
            applySetting(settings, assignment);
        check(saveFolderSettings(session, folder, settings));
    }
    printSettings(call.out, settings);
    return 0;
}

int folderRenameCommand(Call& call) {
    Session& session = call.session();
    std::string renamed;
    check(renameFolder(session, call.args[0], call.args[1], renamed));
    printLine(call.out, renamed);
    return 0;
}

int historyCommand(Call& call) {
    const bool clear = takeFlag(call.args, "--clear");
    Session& session = call.session();
    std::string file = call.args[0];
    if (fs::isDirectory(file))
        check(folderPropertiesFile(session, file, file));
    if (clear) {
        check(clearHistory(file));
        return 0;
    }
    for (const std::string& line : historyLines(session, file))
        printLine(call.out, line);
    return 0;
}

int foldersCommand(Call& call) {
    const std::string to = takeOption(call.args, "--to");
    const std::string action = call.action();
    const Args& args = call.arguments();
    if ((action == "move") != !to.empty())
        throw CliError{action == "move" ? "folders move needs --to N" : "--to belongs to folders move"};
    Session& session = call.session();
    std::vector<std::string> folders = readConnectedFolders(session);
    if (action == "list") {
        for (const std::string& folder : folders)
            printLine(call.out, folder);
        return 0;
    }
    if (action == "connect") {
        const std::string folder = absolutePath(args[0]);
        check(checkConnectableFolder(session, folders, folder));
        folders.push_back(folder);
    } else {
        const std::size_t index = connectedFolderIndex(folders, absolutePath(args[0]));
        if (index == std::string::npos)
            throw CliError{args[0] + " is not connected"};
        if (action == "disconnect") {
            folders.erase(folders.begin() + static_cast<std::ptrdiff_t>(index));
        } else {
            const auto position = text::parseInteger(to);
            if (!position || *position < 1)
                throw CliError{"--to needs a position from 1 on, not \"" + to + "\""};
            moveConnectedFolder(folders, index, static_cast<std::size_t>(*position - 1));
        }
    }
    check(writeConnectedFolders(session, folders));
    return 0;
}

} // namespace quill::cli
