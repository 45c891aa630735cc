// A user's groups and new data points, as the users view and the
// create-data-point wizard make them.
#include "AdministrationCommands.h"

#include "CliSupport.h"
#include "CommandRunner.h"

#include "datapoint/WorkingCopy.h"
#include "formats/RegistryStore.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/DataPointSetup.h"
#include "session/Logon.h"
#include "session/LogonContext.h"
#include "session/ProgramStart.h"
#include "session/Session.h"
#include "session/UserAccounts.h"
#include "session/UsersAndGroups.h"

#include <ostream>

namespace quill::cli {

int groupCommand(Call& call) {
    const std::string action = call.action();
    Session& session = call.session();
    const Args& args = call.args;
    // Groups live in the user's copy of the resources: brought up to date
    // first, and written back to the data point after a change.
    loadUserData(session);
    loadGroups(session);
    if (action == "list") {
        for (std::size_t g = 0; g < session.groups.size(); ++g)
            printLine(call.out, session.groups[g].name + "\t" + commaList(groupMembers(session, g)));
        return 0;
    }
    const std::string name = args[0];
    Result<std::size_t> group = findGroup(session, name);
    if (action == "delete") {
        if (!group)
            throw CliError{group.message()};
        check(deleteGroup(session, *group));
    } else {
        if (!group)
            group = addGroup(session, name);
        if (!group)
            throw CliError{group.message()};
        check(setGroupMembers(session, *group, Args(args.begin() + 1, args.end())));
    }
    if (!saveGroups(session))
        throw CliError{"the groups could not be written"};
    if (!cleanUpDataPointFolders(workingCopyOf(session)))
        throw CliError{"the groups could not be written back to the data point"};
    return 0;
}

int dataPointCreateCommand(Call& call) {
    Args& args = call.args;
    DataPointDescription description;
    description.creator = takeOption(args, "--creator");
    description.mail = takeOption(args, "--mail");
    description.phone = takeOption(args, "--phone");
    description.www = takeOption(args, "--www");
    description.autoLogon = takeFlag(args, "--autologon");
    if (std::string root = takeOption(args, "--root"); !root.empty())
        description.rootDirectory = root;
    if (std::string users = takeOption(args, "--users"); !users.empty())
        description.usersDirectory = users;
    Session& session = call.session();
    const SessionOptions& options = call.sessionOptions();
    if (!isAdministratorAccount(session, options.logon))
        throw CliError{options.logon + " is no administrator of the data point"};
    if (description.creator.empty())
        description.creator = options.logon;
    // Stored as an absolute path: the known list is read from anywhere.
    const std::string target = absolutePath(args[0]);
    // Known first, then put in place: a creation killed in between is
    // simply made again, and no data point exists that nobody knows.
    RegistryStore registry(RegistryStore::defaultPath());
    const auto makeKnown = [&]() -> Status {
        if (Status stored = storeNewKnownDataPoint(registry, target); !stored)
            return Status::failure("the list of data points cannot be written: " + stored.message());
        return Status::success();
    };
    if (const Status status = createNewDataPoint(session, target, description, {}, makeKnown); !status)
        throw CliError{status.message()};
    printLine(call.out, target);
    return 0;
}

} // namespace quill::cli
