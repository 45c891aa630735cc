// quill-cli: the library driven from a terminal, for scripts, administration
// and end-to-end tests.

#include "AdministrationCommands.h"
#include "CliSupport.h"
#include "DataPointCommands.h"
#include "DocumentCommands.h"
#include "EditCommand.h"
#include "FolderCommands.h"
#include "FoundationCommands.h"
#include "NavigationCommands.h"
#include "OperationCommands.h"
#include "SessionCommands.h"
#include "TaskCommands.h"
#include "UserCommands.h"

#include "platform/Cp1250.h"

#include <cstring>
#include <iostream>
#include <map>

namespace {

using Command = int (*)(quill::cli::Args, std::ostream&);

const std::map<std::string, Command>& commands() {
    static const std::map<std::string, Command> table = {
        {"cipher", quill::cli::cipherCommand},
        {"lang", quill::cli::langCommand},
        {"ini", quill::cli::iniCommand},
        {"types", quill::cli::typesCommand},
        {"record", quill::cli::recordCommand},
        {"unique-name", quill::cli::uniqueNameCommand},
        {"main-file", quill::cli::mainFileCommand},
        {"walk", quill::cli::walkCommand},
        {"expand", quill::cli::expandCommand},
        {"collapse", quill::cli::collapseCommand},
        {"decode-form", quill::cli::decodeFormCommand},
        {"log", quill::cli::logCommand},
        {"info", quill::cli::infoCommand},
        {"settings", quill::cli::settingsCommand},
        {"logon", quill::cli::logonCommand},
        {"users", quill::cli::usersCommand},
        {"groups", quill::cli::groupsCommand},
        {"access", quill::cli::accessCommand},
        {"sync", quill::cli::syncCommand},
        {"datapoint", quill::cli::dataPointCommand},
        {"registry", quill::cli::registryCommand},
        {"generate", quill::cli::generateCommand},
        {"tree", quill::cli::treeCommand},
        {"render", quill::cli::renderCommand},
        {"location", quill::cli::locationCommand},
        {"comments", quill::cli::commentsCommand},
        {"attachments", quill::cli::attachmentsCommand},
        {"schedule", quill::cli::scheduleCommand},
        {"documents", quill::cli::documentsCommand},
        {"post", quill::cli::postCommand},
        {"document", quill::cli::documentCommand},
        {"folder", quill::cli::folderCommand},
        {"new-object", quill::cli::newObjectCommand},
        {"new-folder", quill::cli::newFolderCommand},
        {"trash", quill::cli::trashCommand},
        {"edit", quill::cli::editCommand},
        {"tasks", quill::cli::tasksCommand},
        {"status-line", quill::cli::statusLineCommand},
        {"find", quill::cli::findCommand},
        {"print-file", quill::cli::printFileCommand},
        {"user", quill::cli::userCommand},
        {"group", quill::cli::groupCommand},
        {"history", quill::cli::historyCommand},
        {"folders", quill::cli::foldersCommand},
    };
    return table;
}

void usage(std::ostream& out) {
    out << "usage: quill-cli COMMAND ARGS...\ncommands:";
    for (const auto& [name, command] : commands())
        out << ' ' << name;
    out << '\n';
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        usage(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? 1 : 0;
    }
    const auto command = commands().find(argv[1]);
    if (command == commands().end()) {
        std::cerr << "quill-cli: unknown command " << argv[1] << '\n';
        usage(std::cerr);
        return 1;
    }
    quill::cli::Args args;
    for (int i = 2; i < argc; ++i) {
        // Names and values are stored in code page 1250: a letter it cannot
        // hold would become '?' and could name another file.
        if (!quill::cp1250::holds(argv[i])) {
            std::cerr << "quill-cli: \"" << argv[i]
                      << "\" holds letters that code page 1250 cannot store; use other letters\n";
            return 1;
        }
        args.push_back(quill::cp1250::fromUtf8(argv[i]));
    }
    try {
        return command->second(std::move(args), std::cout);
    } catch (const quill::cli::CliError& error) {
        std::cout.flush();
        std::cerr << "quill-cli: " << quill::cp1250::toUtf8(error.message) << '\n';
        return 1;
    }
}
