// What the main window does to documents and folders, and with the forms
// that pages post.
#include "OperationCommands.h"

#include "CommandRunner.h"
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

int postCommand(Call& call) {
    const std::string recordFile = takeOption(call.args, "--record");
    const std::string address = takeOption(call.args, "--address");
    call.arguments();
    if (recordFile.empty())
        call.refuseUsage();
    Session& session = call.session();
    const std::string record = placeInDataPoint(session, recordFile);
    expectShown(session, record);
    Record shown;
    if (session.readRecord(record, shown) != RecordRead::Ok)
        throw CliError{"cannot read record " + recordFile};
    const Status stored = handlePostedForm(session, address, call.args[0], shown);
    printLine(call.out, stored ? "STORED" : "NOTHING");
    if (!stored)
        std::cerr << "quill-cli: " << cp1250::toUtf8(stored.message()) << '\n';
    return 0;
}

int documentCommand(Call& call) {
    const std::string action = call.action();
    // The source is placed in the data point and shown to the user, the
    // target placed: the session checks both as it opens.
    Session& session = call.session();
    const Args& args = call.args;
    if (action == "delete")
        check(deleteDocumentForGood(session, args[0]));
    else
        check(transferDocumentInDataPoint(session, args[0], args[1],
                                          action == "copy" ? TransferMode::Copy : TransferMode::Move));
    return 0;
}

int folderCommand(Call& call) {
    const std::string action = call.action();
    if (action == "props")
        return folderPropsCommand(call);
    if (action == "rename")
        return folderRenameCommand(call);
    Session& session = call.session();
    loadUserData(session);
    MainTree tree;
    buildMainTree(session, tree);
    check(deleteFolderForGood(session, tree, call.args[0]));
    return 0;
}

int newObjectCommand(Call& call) {
    const std::string folder = takeOption(call.args, "--folder");
    const std::size_t type = numberOption(call.args, "--type");
    std::string created;
    check(createObject(call.session(), folder, type, created));
    printLine(call.out, created);
    return 0;
}

int newFolderCommand(Call& call) {
    const std::string folder = takeOption(call.args, "--folder");
    const std::size_t templateIndex = numberOption(call.args, "--template");
    const std::string name = takeOption(call.args, "--name");
    Session& session = call.session();
    loadUserData(session);
    std::string created;
    check(createFolderFromTemplate(session, folder, templateIndex, name, created));
    printLine(call.out, created);
    return 0;
}

int trashCommand(Call& call) {
    const std::string action = call.action();
    Session& session = call.session();
    const Args& args = call.args;
    // The trash lies in the temporary directory the logon prepares.
    loadUserData(session);
    if (action == "list") {
        for (const std::string& item : trashContents(session))
            printLine(call.out, item);
    } else if (action == "empty") {
        check(emptyTrash(session));
    } else if (fs::isDirectory(args[0])) {
        MainTree tree;
        buildMainTree(session, tree);
        check(moveFolderToTrash(session, tree, args[0]));
    } else {
        check(moveDocumentToTrash(session, placeInDataPoint(session, args[0])));
    }
    return 0;
}

} // namespace quill::cli
