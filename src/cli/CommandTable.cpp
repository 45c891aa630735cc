#include "CommandTable.h"

#include "AdministrationCommands.h"
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

namespace quill::cli {

#define SESSION "--datapoint DIR --user LOGON"

const std::vector<CommandInfo>& commandTable() {
    static const std::vector<CommandInfo> table = {
        // Working with documents and folders.
        {"tree", treeCommand, SESSION " [--admin]", "the user's main tree, one node per line"},
        {"documents", documentsCommand, SESSION " FOLDER", "the documents of a folder"},
        {"render", renderCommand, SESSION " [--admin] [--record FILE] URL", "renders a page as the page pane shows it"},
        {"location", locationCommand, SESSION " PATH", "where a folder lies in the tree, as a location text"},
        {"comments", commentsCommand, SESSION " DOCUMENT", "a document's comments"},
        {"attachments", attachmentsCommand, SESSION " DOCUMENT", "a document's attached files"},
        {"schedule", scheduleCommand, SESSION " DOCUMENT", "a document's schedule"},
        {"edit", editCommand,
         SESSION
         " DOCUMENT [--set NAME=VALUE]... [--comment TEXT]... [--remove-comment N]... "
         "[--attach FILE[=DISPLAYNAME]]... [--remove-attachment N]... [--schedule DATE TIME EVENT|--unschedule] "
         "[--no-merge]",
         "edits a document and saves it in one pass, as the editor does"},
        {"new-object", newObjectCommand, SESSION " --folder FOLDER --type N", "makes a new document of a type"},
        {"new-folder", newFolderCommand, SESSION " --folder FOLDER --template N --name NAME",
         "makes a new folder from a folder template"},
        {"document", documentCommand, "copy|move|delete " SESSION " SOURCE [TARGET]",
         "copies, moves or deletes a document with its companions and attached files"},
        {"folder", folderCommand, "delete|props|rename " SESSION " FOLDER [--set NAME=VALUE]... [NEWNAME]",
         "deletes a folder for good, shows or changes its settings, or renames it"},
        {"history", historyCommand, SESSION " PATH [--clear]", "the edit history of a document or folder"},
        {"trash", trashCommand, "list|empty|put " SESSION " [PATH]", "the user's trash"},
        {"post", postCommand, SESSION " --record FILE [--address ADDRESS] BODY", "stores a form posted by a page"},
        {"find", findCommand, SESSION " [--kind N] [--folder PATH [--no-subfolders]] TEXT",
         "finds the documents that hold a text"},
        {"print-file", printFileCommand, SESSION " FOLDER [DOCUMENT...] [--pdf OUT]",
         "joins documents' pages into one print file, in the folder's list order; --pdf also writes it as PDF "
         "(needs quill beside quill-cli)"},
        // Tasks.
        {"tasks", tasksCommand, SESSION " [--state all|incoming|open|closed|due] [--at \"D.M.YYYY H:MM\"] [--ics]",
         "the user's tasks, or an iCalendar file of them"},
        {"status-line", statusLineCommand, SESSION " [--at \"D.M.YYYY H:MM\"]", "the task counts of the status bar"},
        // Users, groups, folders and data points.
        {"logon", logonCommand, SESSION " (the password on standard input)", "tries a logon"},
        {"users", usersCommand, SESSION, "the users of the data point"},
        {"user", userCommand,
         "create|delete " SESSION " LOGON [NAME SURNAME] [--admin] [--mail M] [--phone P] [--with-data]",
         "creates a user (the password on standard input) or deletes one; administrators only"},
        {"groups", groupsCommand, SESSION, "the user's groups with their record paths and members"},
        {"group", groupCommand, "list|set|delete " SESSION " [NAME] [MEMBER...]",
         "lists, makes or changes, and deletes the user's groups"},
        {"folders", foldersCommand, "list|connect|disconnect|move " SESSION " [PATH] [--to N]",
         "the folders at the top of the user's tree"},
        {"access", accessCommand, SESSION " [--admin] [--named] TEXT", "whether a user list text admits the user"},
        {"datapoint", dataPointCommand,
         "info DIR | create " SESSION " TARGET [--creator NAME] [--mail M] [--phone P] [--www W] [--autologon] "
         "[--root DIR] [--users DIR]",
         "what DataPoint.info says, or a new data point from this one; administrators only"},
        {"info", infoCommand, SESSION " NAME", "one value of DataPoint.info"},
        {"settings", settingsCommand, SESSION, "the data point's settings"},
        {"sync", syncCommand, SESSION " download|upload", "synchronises the user's copy of the resources"},
        {"registry", registryCommand, "", "the values Quill! keeps for this user"},
        {"log", logCommand, SESSION " EVENT", "writes an event to the logs"},
        // Files and formats.
        {"record", recordCommand, "read DATAPOINT FILE | set DATAPOINT FILE NAME=VALUE...",
         "reads or writes a record file"},
        {"types", typesCommand, "DATAPOINT", "the object types of a data point"},
        {"walk", walkCommand, "DIR", "the folders below a directory"},
        {"unique-name", uniqueNameCommand, "PATH [EXT]", "a file name that is not taken yet"},
        {"main-file", mainFileCommand, "PATH", "the document a companion file belongs to"},
        {"expand", expandCommand, SESSION " [--admin] [--blank] [--record FILE] TEXT", "expands text variables"},
        {"collapse", collapseCommand, SESSION " TEXT", "puts text variables back into a path"},
        {"decode-form", decodeFormCommand, "DATA", "decodes posted form data"},
        {"lang", langCommand, "LANGUAGE_DIR FILE SECTION KEY", "a text of the language files"},
        {"ini", iniCommand, "PATH SECTION KEY", "a value of an ini file"},
        {"cipher", cipherCommand, "encode|decode TEXT [--key K]", "enciphers or deciphers a field value"},
        {"generate", generateCommand,
         "DIR --folders N --documents M [--seed S] [--depth D] [--users U] [--comments P] [--attachments P] "
         "[--schedules P] [--sample DATAPOINT]",
         "makes a large data point for trials and benchmarks"},
    };
    return table;
}

#undef SESSION

} // namespace quill::cli
