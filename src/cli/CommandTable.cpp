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
namespace {

CommandShape withSession(std::size_t minArgs, std::size_t maxArgs, std::vector<PathArgument> paths = {}) {
    return {true, minArgs, maxArgs, std::move(paths)};
}

CommandShape withoutSession(std::size_t minArgs, std::size_t maxArgs) {
    return {false, minArgs, maxArgs, {}};
}

// The whole shape lies with the actions.
const CommandShape kActionsWithSession{true, 0, 0, {}};
const CommandShape kActionsOnly{false, 0, 0, {}};

constexpr PathCheck kShownIfThere = PathCheck::ShownIfThere;
constexpr PathCheck kInDataPoint = PathCheck::InDataPoint;
constexpr PathCheck kNewInDataPoint = PathCheck::NewInDataPoint;

} // namespace

#define SESSION "--datapoint DIR --user LOGON"

const std::vector<CommandInfo>& commandTable() {
    static const std::vector<CommandInfo> table = {
        // Working with documents and folders.
        {"tree", treeCommand, SESSION " [--admin]", "the user's main tree, one node per line", withSession(0, 0)},
        {"documents", documentsCommand, SESSION " FOLDER", "the documents of a folder",
         withSession(1, 1, {{0, kShownIfThere}})},
        {"render", renderCommand, SESSION " [--admin] [--record FILE] URL", "renders a page as the page pane shows it",
         withSession(1, 1)},
        {"location", locationCommand, SESSION " PATH", "where a folder lies in the tree, as a location text",
         withSession(1, 1)},
        {"comments", commentsCommand, SESSION " DOCUMENT", "a document's comments",
         withSession(1, 1, {{0, kShownIfThere}})},
        {"attachments", attachmentsCommand, SESSION " DOCUMENT", "a document's attached files",
         withSession(1, 1, {{0, kShownIfThere}})},
        {"schedule", scheduleCommand, SESSION " DOCUMENT", "a document's schedule",
         withSession(1, 1, {{0, kShownIfThere}})},
        {"edit", editCommand,
         SESSION
         " DOCUMENT [--set NAME=VALUE]... [--comment TEXT]... [--remove-comment N]... "
         "[--attach FILE[=DISPLAYNAME]]... [--remove-attachment N]... [--schedule DATE TIME EVENT|--unschedule] "
         "[--no-merge]",
         "edits a document and saves it in one pass, as the editor does", withSession(1, 1, {{0, kInDataPoint}})},
        {"new-object", newObjectCommand, SESSION " --folder FOLDER --type N", "makes a new document of a type",
         withSession(0, 0)},
        {"new-folder", newFolderCommand, SESSION " --folder FOLDER --template N --name NAME",
         "makes a new folder from a folder template", withSession(0, 0)},
        {"document",
         documentCommand,
         "copy|move|delete " SESSION " SOURCE [TARGET]",
         "copies, moves or deletes a document with its companions and attached files",
         kActionsWithSession,
         {{"copy", withSession(2, 2, {{0, kInDataPoint}, {1, kNewInDataPoint}})},
          {"move", withSession(2, 2, {{0, kInDataPoint}, {1, kNewInDataPoint}})},
          {"delete", withSession(1, 1, {{0, kInDataPoint}})}}},
        {"folder",
         folderCommand,
         "delete|props|rename " SESSION " FOLDER [--set NAME=VALUE]... [NEWNAME]",
         "deletes a folder for good, shows or changes its settings, or renames it",
         kActionsWithSession,
         {{"delete", withSession(1, 1, {{0, kShownIfThere}})},
          {"props", withSession(1, 1, {{0, kInDataPoint}})},
          {"rename", withSession(2, 2, {{0, kInDataPoint}})}}},
        {"history", historyCommand, SESSION " PATH [--clear]", "the edit history of a document or folder",
         withSession(1, 1, {{0, kInDataPoint}})},
        {"trash",
         trashCommand,
         "list|empty|put " SESSION " [PATH]",
         "the user's trash",
         kActionsWithSession,
         {{"list", withSession(0, 0)}, {"empty", withSession(0, 0)}, {"put", withSession(1, 1, {{0, kShownIfThere}})}}},
        {"post", postCommand, SESSION " --record FILE [--address ADDRESS] BODY", "stores a form posted by a page",
         withSession(1, 1)},
        {"find", findCommand, SESSION " [--kind N] [--folder PATH [--no-subfolders]] TEXT",
         "finds the documents that hold a text", withSession(1, 1)},
        {"print-file", printFileCommand, SESSION " FOLDER [DOCUMENT...] [--pdf OUT]",
         "joins documents' pages into one print file, in the folder's list order; --pdf also writes it as PDF "
         "(needs quill beside quill-cli)",
         withSession(1, 1000, {{0, kShownIfThere}})},
        // Tasks.
        {"tasks", tasksCommand, SESSION " [--state all|incoming|open|closed|due] [--at \"D.M.YYYY H:MM\"] [--ics]",
         "the user's tasks, or an iCalendar file of them", withSession(0, 0)},
        {"status-line", statusLineCommand, SESSION " [--at \"D.M.YYYY H:MM\"]", "the task counts of the status bar",
         withSession(0, 0)},
        // Users, groups, folders and data points.
        {"logon", logonCommand, SESSION " (the password on standard input)", "tries a logon", withoutSession(0, 0)},
        {"users", usersCommand, SESSION, "the users of the data point", withSession(0, 0)},
        {"user",
         userCommand,
         "create|delete " SESSION " LOGON [NAME SURNAME] [--admin] [--mail M] [--phone P] [--with-data]",
         "creates a user (the password on standard input) or deletes one; administrators only",
         kActionsOnly,
         {{"create", withSession(3, 3)}, {"delete", withSession(1, 1)}}},
        {"groups", groupsCommand, SESSION, "the user's groups with their record paths and members", withSession(0, 0)},
        {"group",
         groupCommand,
         "list|set|delete " SESSION " [NAME] [MEMBER...]",
         "lists, makes or changes, and deletes the user's groups",
         kActionsWithSession,
         {{"list", withSession(0, 0)}, {"set", withSession(1, kAnyNumber)}, {"delete", withSession(1, 1)}}},
        {"folders",
         foldersCommand,
         "list|connect|disconnect|move " SESSION " [PATH] [--to N]",
         "the folders at the top of the user's tree",
         kActionsWithSession,
         {{"list", withSession(0, 0)},
          {"connect", withSession(1, 1)},
          {"disconnect", withSession(1, 1)},
          {"move", withSession(1, 1)}}},
        {"access", accessCommand, SESSION " [--admin] [--named] TEXT", "whether a user list text admits the user",
         withSession(1, 1)},
        {"datapoint",
         dataPointCommand,
         "info DIR | create " SESSION " TARGET [--creator NAME] [--mail M] [--phone P] [--www W] [--autologon] "
         "[--root DIR] [--users DIR]",
         "what DataPoint.info says, or a new data point from this one; administrators only",
         kActionsOnly,
         {{"info", withoutSession(1, 1)}, {"create", withSession(1, 1)}}},
        {"info", infoCommand, SESSION " NAME", "one value of DataPoint.info", withSession(1, 1)},
        {"settings", settingsCommand, SESSION, "the data point's settings", withSession(0, 0)},
        {"sync", syncCommand, SESSION " download|upload", "synchronises the user's copy of the resources",
         withSession(1, 1)},
        {"registry", registryCommand, "", "the values Quill! keeps for this user", withoutSession(0, 0)},
        {"log", logCommand, SESSION " EVENT", "writes an event to the logs", withSession(1, 1)},
        // Files and formats.
        {"record",
         recordCommand,
         "read DATAPOINT FILE | set DATAPOINT FILE NAME=VALUE...",
         "reads or writes a record file",
         kActionsOnly,
         {{"read", withoutSession(2, 2)}, {"set", withoutSession(2, kAnyNumber)}}},
        {"types", typesCommand, "DATAPOINT", "the object types of a data point", withoutSession(1, 1)},
        {"walk", walkCommand, "DIR", "the folders below a directory", withoutSession(1, 1)},
        {"unique-name", uniqueNameCommand, "PATH [EXT]", "a file name that is not taken yet", withoutSession(1, 2)},
        {"main-file", mainFileCommand, "PATH", "the document a companion file belongs to", withoutSession(1, 1)},
        {"expand", expandCommand, SESSION " [--admin] [--blank] [--record FILE] TEXT", "expands text variables",
         withSession(1, 1)},
        {"collapse", collapseCommand, SESSION " TEXT", "puts text variables back into a path", withSession(1, 1)},
        {"decode-form", decodeFormCommand, "DATA", "decodes posted form data", withoutSession(1, 1)},
        {"lang", langCommand, "LANGUAGE_DIR FILE SECTION KEY", "a text of the language files", withoutSession(4, 4)},
        {"ini", iniCommand, "PATH SECTION KEY", "a value of an ini file", withoutSession(3, 3)},
        {"cipher", cipherCommand, "encode|decode TEXT [--key K]", "enciphers or deciphers a field value",
         withoutSession(2, 2)},
        {"generate", generateCommand,
         "DIR --folders N --documents M [--seed S] [--depth D] [--users U] [--comments P] [--attachments P] "
         "[--schedules P] [--sample DATAPOINT]",
         "makes a large data point for trials and benchmarks", withoutSession(1, 1)},
    };
    return table;
}

#undef SESSION

const CommandInfo* commandNamed(std::string_view name) {
    for (const CommandInfo& command : commandTable()) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

} // namespace quill::cli
