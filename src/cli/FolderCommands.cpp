// A folder's settings, name and history, and the user's connected
// folders, as the properties view and the connected-folders view change
// them.
#include "FolderCommands.h"

#include "CliSession.h"

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
    printLine(out, std::string("SYSTEMFOLDERLOCK=") + boolText(settings.locked));
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
        settings.locked = cp1250::upper(value) == "TRUE";
    else
        throw CliError{"a folder has no setting " + name + ": use NOTE, URL, ICON, OWNER, RIGHTS or SYSTEMFOLDERLOCK"};
}

} // namespace

int folderPropsCommand(Args args, std::ostream& out) {
    Args assignments;
    for (std::string value; !(value = takeOption(args, "--set")).empty();)
        assignments.push_back(value);
    const SessionOptions options = takeSessionOptions(args);
    expectArgs(args, 1, 1, "folder props --datapoint DIR --user LOGON FOLDER [--set NAME=VALUE]...");
    CliSession cli(options);
    Session& session = cli.session();
    const std::string folder = placeInDataPoint(session, args[0]);
    expectShown(session, folder);
    FolderSettings settings;
    check(readFolderSettings(session, folder, settings));
    if (!assignments.empty()) {
        for (const std::string& assignment : assignments)
            applySetting(settings, assignment);
        check(saveFolderSettings(session, folder, settings));
    }
    printSettings(out, settings);
    return 0;
}

int folderRenameCommand(Args args, std::ostream& out) {
    const SessionOptions options = takeSessionOptions(args);
    expectArgs(args, 2, 2, "folder rename --datapoint DIR --user LOGON FOLDER NEWNAME");
    CliSession cli(options);
    Session& session = cli.session();
    std::string renamed;
    const std::string folder = placeInDataPoint(session, args[0]);
    expectShown(session, folder);
    check(renameFolder(session, folder, args[1], renamed));
    printLine(out, renamed);
    return 0;
}

int historyCommand(Args args, std::ostream& out) {
    const bool clear = takeFlag(args, "--clear");
    const SessionOptions options = takeSessionOptions(args);
    expectArgs(args, 1, 1, "history --datapoint DIR --user LOGON PATH [--clear]");
    CliSession cli(options);
    Session& session = cli.session();
    std::string file = placeInDataPoint(session, args[0]);
    expectShown(session, file);
    if (fs::isDirectory(file))
        check(folderPropertiesFile(session, file, file));
    if (clear) {
        check(clearHistory(file));
        return 0;
    }
    for (const std::string& line : historyLines(session, file))
        printLine(out, line);
    return 0;
}

int foldersCommand(Args args, std::ostream& out) {
    constexpr const char* kUsage = "folders list|connect|disconnect|move --datapoint DIR --user LOGON [PATH] [--to N]";
    const std::string to = takeOption(args, "--to");
    const SessionOptions options = takeSessionOptions(args);
    if (args.empty() || (args[0] != "list" && args[0] != "connect" && args[0] != "disconnect" && args[0] != "move"))
        throw CliError{std::string("usage: ") + kUsage};
    const std::string action = args[0];
    args.erase(args.begin());
    expectArgs(args, action == "list" ? 0 : 1, action == "list" ? 0 : 1, kUsage);
    if ((action == "move") != !to.empty())
        throw CliError{action == "move" ? "folders move needs --to N" : "--to belongs to folders move"};
    CliSession cli(options);
    Session& session = cli.session();
    std::vector<std::string> folders = readConnectedFolders(session);
    if (action == "list") {
        for (const std::string& folder : folders)
            printLine(out, folder);
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
