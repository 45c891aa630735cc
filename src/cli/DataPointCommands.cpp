#include "DataPointCommands.h"

#include "AdministrationCommands.h"
#include "CliSupport.h"
#include "CommandRunner.h"

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

int logonCommand(Call& call) {
    const std::string dataPoint = takeOption(call.args, "--datapoint");
    const std::string logon = takeOption(call.args, "--user");
    call.arguments();
    std::ostream& out = call.out;
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

int usersCommand(Call& call) {
    Session& session = call.session();
    loadUsers(session);
    for (const UserEntry& user : session.users)
        printLine(call.out, user.logonName + "\t" + user.name + "\t" + user.surname);
    return 0;
}

int groupsCommand(Call& call) {
    Session& session = call.session();
    // The groups live in the local copy of the resources, brought up to
    // date as at a logon.
    loadUserData(session);
    loadGroups(session);
    for (std::size_t g = 0; g < session.groups.size(); ++g)
        printLine(call.out,
                  session.groups[g].name + "\t" + session.groups[g].path + "\t" + commaList(groupMembers(session, g)));
    return 0;
}

int accessCommand(Call& call) {
    const bool named = takeFlag(call.args, "--named");
    const ProgramValues& program = call.session().program;
    const std::string& users = call.args[0];
    printLine(call.out, text::flag(named ? namedTest(program, users) : rightsAdmit(program, users)));
    return 0;
}

int syncCommand(Call& call) {
    const std::string& way = call.arguments()[0];
    SyncDirection direction;
    if (way == "download")
        direction = SyncDirection::Download;
    else if (way == "upload")
        direction = SyncDirection::Upload;
    else
        throw CliError{"sync goes either download or upload, not " + way};
    Session& session = call.session();
    const SyncResult result = synchronizeResources(workingCopyOf(session), direction);
    noteSkippedLinks(session, result);
    if (!result)
        throw CliError{"the resources could not be synchronised"};
    return 0;
}

int dataPointCommand(Call& call) {
    // Its own options come before the session's.
    if (!call.args.empty() && call.args[0] == "create")
        return dataPointCreateCommand(call);
    const std::string dataPoint = call.arguments()[0];
    // The info's values may name the user, so a session of the running
    // user reads them as the program would.
    CliSession cli({dataPoint, machineUserName(), false, true, std::nullopt});
    for (const auto& [key, value] : readDataPointInfo(cli.session().texts, cli.session().context.dataPointPath))
        printLine(call.out, key + "\t" + value);
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

int generateCommand(Call& call) {
    Args& args = call.args;
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
    call.arguments();
    if (shape.depth < 1)
        throw CliError{"--depth is at least 1"};
    if (Status generated = generateDataPoint(args[0], sample, shape); !generated)
        throw CliError{generated.message()};
    printLine(call.out, args[0]);
    return 0;
}

int registryCommand(Call& call) {
    call.arguments();
    const RegistryStore registry(RegistryStore::defaultPath());
    for (const auto& [name, value] : registry.values(kRegistryKey))
        printLine(call.out, name + "\t" + value);
    return 0;
}

} // namespace quill::cli
