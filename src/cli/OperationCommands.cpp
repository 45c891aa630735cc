// What the main window does to documents and folders, and with the forms
// that pages post.
#include "OperationCommands.h"

#include "CliSession.h"
#include "FolderCommands.h"

#include "navigation/DocumentCommands.h"
#include "navigation/MainTree.h"
#include "navigation/PostedForms.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/FolderTree.h"
#include "platform/TextUtil.h"
#include "session/Logon.h"
#include "session/Session.h"

#include <iostream>
#include <ostream>

namespace quill::cli {
namespace {

std::size_t numberOption(Args& args, std::string_view name) {
    const std::string text = takeOption(args, name);
    const auto number = text::parseInteger(text);
    if (!number || *number < 0)
        throw CliError{std::string(name) + " needs a number, not \"" + text + "\""};
    return static_cast<std::size_t>(*number);
}

} // namespace

int postCommand(Args args, std::ostream& out) {
    const std::string recordFile = takeOption(args, "--record");
    const std::string address = takeOption(args, "--address");
    const SessionOptions options = takeSessionOptions(args);
    const char* usage = "post --datapoint DIR --user LOGON --record FILE [--address ADDRESS] BODY";
    expectArgs(args, 1, 1, usage);
    if (recordFile.empty())
        throw CliError{std::string("usage: ") + usage};
    CliSession cli(options);
    Session& session = cli.session();
    const std::string record = placeInDataPoint(session, recordFile);
    expectShown(session, record);
    if (!session.readRecord(record))
        throw CliError{"cannot read record " + recordFile};
    Status why = Status::success();
    const PostResult result = handlePostedForm(session, address, args[0], why);
    printLine(out, result == PostResult::Stored ? "STORED" : "NOTHING");
    if (!why)
        std::cerr << "quill-cli: " << cp1250::toUtf8(why.message()) << '\n';
    return 0;
}

int documentCommand(Args args, std::ostream& out) {
    const SessionOptions options = takeSessionOptions(args);
    const char* usage = "document copy|move|delete --datapoint DIR --user LOGON SOURCE [TARGET]";
    expectArgs(args, 2, 3, usage);
    const std::string action = args[0];
    CliSession cli(options);
    const auto shownSource = [&cli, &args] {
        const std::string source = placeInDataPoint(cli.session(), args[1]);
        expectShown(cli.session(), source);
        return source;
    };
    if (action == "delete") {
        expectArgs(args, 2, 2, usage);
        check(deleteDocumentForGood(cli.session(), shownSource()));
    } else if (action == "copy" || action == "move") {
        expectArgs(args, 3, 3, usage);
        check(transferDocumentInDataPoint(cli.session(), shownSource(), placeInDataPoint(cli.session(), args[2], true),
                                          action == "copy" ? TransferMode::Copy : TransferMode::Move));
    } else {
        throw CliError{"unknown document action " + action + ": use copy, move or delete"};
    }
    (void)out;
    return 0;
}

int folderCommand(Args args, std::ostream& out) {
    if (!args.empty() && (args[0] == "props" || args[0] == "rename")) {
        const bool props = args[0] == "props";
        args.erase(args.begin());
        return props ? folderPropsCommand(std::move(args), out) : folderRenameCommand(std::move(args), out);
    }
    const SessionOptions options = takeSessionOptions(args);
    expectArgs(args, 2, 2, "folder delete|props|rename --datapoint DIR --user LOGON PATH ...");
    if (args[0] != "delete")
        throw CliError{"unknown folder action " + args[0] + ": use delete, props or rename"};
    CliSession cli(options);
    if (fs::exists(args[1]))
        expectShown(cli.session(), args[1]);
    loadUserData(cli.session());
    MainTree tree;
    buildMainTree(cli.session(), tree);
    check(deleteFolderForGood(cli.session(), tree, args[1]));
    (void)out;
    return 0;
}

int newObjectCommand(Args args, std::ostream& out) {
    const std::string folder = takeOption(args, "--folder");
    const std::size_t type = numberOption(args, "--type");
    const SessionOptions options = takeSessionOptions(args);
    expectArgs(args, 0, 0, "new-object --datapoint DIR --user LOGON --folder FOLDER --type N");
    CliSession cli(options);
    std::string created;
    check(createObject(cli.session(), folder, type, created));
    printLine(out, created);
    return 0;
}

int newFolderCommand(Args args, std::ostream& out) {
    const std::string folder = takeOption(args, "--folder");
    const std::size_t templateIndex = numberOption(args, "--template");
    const std::string name = takeOption(args, "--name");
    const SessionOptions options = takeSessionOptions(args);
    expectArgs(args, 0, 0, "new-folder --datapoint DIR --user LOGON --folder FOLDER --template N --name NAME");
    CliSession cli(options);
    loadUserData(cli.session());
    std::string created;
    check(createFolderFromTemplate(cli.session(), folder, templateIndex, name, created));
    printLine(out, created);
    return 0;
}

int trashCommand(Args args, std::ostream& out) {
    const SessionOptions options = takeSessionOptions(args);
    const char* usage = "trash list|empty|put --datapoint DIR --user LOGON [PATH]";
    expectArgs(args, 1, 2, usage);
    const std::string action = args[0];
    CliSession cli(options);
    Session& session = cli.session();
    // The trash lies in the temporary directory the logon prepares.
    loadUserData(session);
    if (action == "list") {
        expectArgs(args, 1, 1, usage);
        for (const std::string& item : trashContents(session))
            printLine(out, item);
    } else if (action == "empty") {
        expectArgs(args, 1, 1, usage);
        check(emptyTrash(session));
    } else if (action == "put") {
        expectArgs(args, 2, 2, usage);
        if (fs::exists(args[1]))
            expectShown(session, args[1]);
        if (fs::isDirectory(args[1])) {
            MainTree tree;
            buildMainTree(session, tree);
            check(moveFolderToTrash(session, tree, args[1]));
        } else {
            check(moveDocumentToTrash(session, placeInDataPoint(session, args[1])));
        }
    } else {
        throw CliError{"unknown trash action " + action + ": use list, empty or put"};
    }
    return 0;
}

} // namespace quill::cli
