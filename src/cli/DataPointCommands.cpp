#include "DataPointCommands.h"

#include "AdministrationCommands.h"
#include "CliSession.h"

#include "datapoint/DataPointGenerator.h"
#include "datapoint/DataPointInfo.h"
#include "datapoint/WorkingCopy.h"
#include "formats/RegistryStore.h"
#include "platform/Cp1250.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "session/Logon.h"
#include "session/ProgramStart.h"
#include "session/UsersAndGroups.h"
#include "session/Visibility.h"

#include <iostream>
#include <ostream>

namespace quill::cli {
namespace {

// The password is the first line of standard input, so that it never shows
// in the process list; a CR of a CR LF line is not part of it.
std::string readPasswordLine() {
    std::string line;
    std::getline(std::cin, line);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    // A letter the code page lacks would become '?' and could match a
    // stored password it is not.
    if (!cp1250::holds(line))
        throw CliError{"the password has letters the data point cannot store"};
    return cp1250::fromUtf8(line);
}

} // namespace

int logonCommand(Args args, std::ostream& out) {
    const std::string dataPoint = takeOption(args, "--datapoint");
    const std::string logon = takeOption(args, "--user");
    expectArgs(args, 0, 0, "logon --datapoint DIR --user LOGON  (password on standard input)");
    if (dataPoint.empty() || logon.empty())
        throw CliError{"logon needs --datapoint DIR and --user LOGON"};
    const std::string password = readPasswordLine();

    SystemClock clock;
    TerminalUi ui;
    XdgShell shell;
    RegistryStore registry(RegistryStore::defaultPath());
    ProgramValues program = ProgramValues::forProgram(executableDirectory());
    if (initialiseProgram(program, registry) == ProgramStart::NoLanguageDirectory)
        throw CliError{std::string(kNoLanguageDirectoryMessage)};
    if (chooseDataPoint(program, path::withoutTrailingSeparator(dataPoint)) == DataPointChoice::NotADataPoint) {
        printLine(out, outcomeName(LogonOutcome::NotADataPoint));
        return 1;
    }
    Session session(std::move(program), clock, ui, shell);
    session.formats = machineDateTimeFormats(registry);
    int failedAttempts = 0;
    const LogonOutcome outcome = attemptLogon(session, registry, {logon, password, false}, failedAttempts);
    printLine(out, outcomeName(outcome));
    return outcome == LogonOutcome::LoggedOn ? 0 : 1;
}

int usersCommand(Args args, std::ostream& out) {
    const SessionOptions options = takeSessionOptions(args);
    expectArgs(args, 0, 0, "users --datapoint DIR --user LOGON");
    CliSession cli(options);
    Session& session = cli.session();
    loadUsers(session);
    for (const UserEntry& user : session.users)
        printLine(out, user.logonName + "\t" + user.name + "\t" + user.surname);
    return 0;
}

int groupsCommand(Args args, std::ostream& out) {
    const SessionOptions options = takeSessionOptions(args);
    expectArgs(args, 0, 0, "groups --datapoint DIR --user LOGON");
    CliSession cli(options);
    Session& session = cli.session();
    // The groups live in the local copy of the resources, brought up to
    // date as at a logon.
    loadUserData(session);
    loadGroups(session);
    for (std::size_t g = 0; g < session.groups.size(); ++g) {
        std::string members;
        for (const UserEntry& user : session.users) {
            if (g < user.membership.size() && user.membership[g])
                members += (members.empty() ? "" : ",") + cp1250::upper(user.logonName);
        }
        printLine(out, session.groups[g].name + "\t" + session.groups[g].path + "\t" + members);
    }
    return 0;
}

int accessCommand(Args args, std::ostream& out) {
    const bool named = takeFlag(args, "--named");
    const SessionOptions options = takeSessionOptions(args);
    expectArgs(args, 1, 1, "access --datapoint DIR --user LOGON [--admin] [--named] TEXT");
    CliSession cli(options);
    const ProgramValues& program = cli.session().program;
    printLine(out, boolText(named ? namedTest(program, args[0]) : rightsAdmit(program, args[0])));
    return 0;
}

int syncCommand(Args args, std::ostream& out) {
    const SessionOptions options = takeSessionOptions(args);
    expectArgs(args, 1, 1, "sync --datapoint DIR --user LOGON download|upload");
    SyncDirection direction;
    if (args[0] == "download")
        direction = SyncDirection::Download;
    else if (args[0] == "upload")
        direction = SyncDirection::Upload;
    else
        throw CliError{"sync goes either download or upload, not " + args[0]};
    CliSession cli(options);
    const SyncResult result = synchronizeResources(workingCopyOf(cli.session()), direction);
    noteSkippedLinks(cli.session(), result);
    if (!result)
        throw CliError{"the resources could not be synchronised"};
    (void)out;
    return 0;
}

int dataPointCommand(Args args, std::ostream& out) {
    if (!args.empty() && args[0] == "create")
        return dataPointCreateCommand(std::move(args), out);
    expectArgs(args, 2, 2, "datapoint info DIR | datapoint create ...");
    if (args[0] != "info")
        throw CliError{"usage: quill-cli datapoint info DIR | datapoint create --datapoint DIR --user ADMIN TARGET "
                       "[--creator NAME] [--mail M] [--phone P] [--www W] [--autologon]"};
    // The info's values may name the user, so a session of the running
    // user reads them as the program would.
    CliSession cli({args[1], machineUserName(), false, true, std::nullopt});
    for (const auto& [key, value] : readDataPointInfo(cli.session().texts, cli.session().context.dataPointPath))
        printLine(out, key + "\t" + value);
    return 0;
}

namespace {

int numberOption(Args& args, std::string_view name, int fallback, int max) {
    const std::string text = takeOption(args, name);
    if (text.empty())
        return fallback;
    const auto number = text::parseInteger(text);
    if (!number || *number < 0 || *number > max)
        throw CliError{"option " + std::string(name) + " needs a whole number from 0 to " + std::to_string(max)};
    return static_cast<int>(*number);
}

} // namespace

int generateCommand(Args args, std::ostream& out) {
    GeneratorShape shape;
    shape.folders = numberOption(args, "--folders", shape.folders, 10000000);
    shape.documents = numberOption(args, "--documents", shape.documents, 100000000);
    shape.depth = numberOption(args, "--depth", shape.depth, 64);
    shape.users = numberOption(args, "--users", shape.users, 1000000);
    shape.commentsPercent = numberOption(args, "--comments", shape.commentsPercent, 100);
    shape.attachmentsPercent = numberOption(args, "--attachments", shape.attachmentsPercent, 100);
    shape.schedulesPercent = numberOption(args, "--schedules", shape.schedulesPercent, 100);
    shape.seed = static_cast<unsigned>(numberOption(args, "--seed", static_cast<int>(shape.seed), 2000000000));
    const std::string sample = takeOption(args, "--sample", path::join(executableDirectory(), "DataPoint"));
    expectArgs(args, 1, 1,
               "generate DIR --folders N --documents M [--seed S] [--depth D] [--users U] [--comments P] "
               "[--attachments P] [--schedules P] [--sample DATAPOINT]");
    if (shape.depth < 1)
        throw CliError{"--depth is at least 1"};
    if (Status generated = generateDataPoint(args[0], sample, shape); !generated)
        throw CliError{generated.message()};
    printLine(out, args[0]);
    return 0;
}

int registryCommand(Args args, std::ostream& out) {
    expectArgs(args, 0, 0, "registry");
    const RegistryStore registry(RegistryStore::defaultPath());
    for (const auto& [name, value] : registry.values(kRegistryKey))
        printLine(out, name + "\t" + value);
    return 0;
}

} // namespace quill::cli
