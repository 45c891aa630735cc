#include "SessionCommands.h"

#include "CliSession.h"

#include "formats/FormData.h"
#include "platform/TextUtil.h"
#include "session/EventLog.h"

#include <ostream>

namespace quill::cli {
int expandCommand(Args args, std::ostream& out) {
    const bool blank = takeFlag(args, "--blank");
    const std::string recordFile = takeOption(args, "--record");
    const SessionOptions options = takeSessionOptions(args);
    expectArgs(args, 1, 1, "expand --datapoint DIR --user LOGON [--admin] [--blank] [--record FILE] TEXT");
    CliSession cli(options);
    Session& session = cli.session();
    if (!recordFile.empty() && !session.readRecord(recordFile))
        throw CliError{"cannot read record " + recordFile};
    printLine(out, session.variables.expand(args[0], blank));
    return 0;
}

int collapseCommand(Args args, std::ostream& out) {
    const SessionOptions options = takeSessionOptions(args);
    expectArgs(args, 1, 1, "collapse --datapoint DIR --user LOGON TEXT");
    CliSession cli(options);
    printLine(out, cli.session().variables.collapse(args[0]));
    return 0;
}

int decodeFormCommand(Args args, std::ostream& out) {
    expectArgs(args, 1, 1, "decode-form DATA");
    const PostedForm form = decodePostedForm(args[0]);
    for (const auto& [name, value] : form.pairs)
        printLine(out, name + "\t" + value);
    printLine(out, "LAST\t" + form.lastFieldName);
    return 0;
}

int logCommand(Args args, std::ostream& out) {
    const SessionOptions options = takeSessionOptions(args);
    expectArgs(args, 1, 1, "log --datapoint DIR --user LOGON EVENT");
    const auto number = text::parseInteger(args[0]);
    if (!number || *number < 0 || *number > 1000000)
        throw CliError{"not an event number: " + args[0]};
    CliSession cli(options);
    if (Status logged = logEvent(cli.session(), static_cast<int>(*number)); !logged)
        throw CliError{logged.message()};
    (void)out;
    return 0;
}

int infoCommand(Args args, std::ostream& out) {
    const SessionOptions options = takeSessionOptions(args);
    expectArgs(args, 1, 1, "info --datapoint DIR --user LOGON NAME");
    CliSession cli(options);
    printLine(out, cli.session().variables.informationValue(args[0]));
    return 0;
}

int settingsCommand(Args args, std::ostream& out) {
    const SessionOptions options = takeSessionOptions(args);
    expectArgs(args, 0, 0, "settings --datapoint DIR --user LOGON");
    CliSession cli(options);
    const Settings& s = cli.session().context.settings;
    printLine(out, "TEMPDIR\t" + s.temporaryDirectory);
    printLine(out, std::string("REMOVEONEXIT\t") + boolText(s.removeTemporaryOnExit));
    printLine(out, "RESOURCEDIR\t" + s.resourceDirectory);
    printLine(out, "GROUPSDIR\t" + s.userGroupsResourceDirectory);
    printLine(out, std::string("SYNCHRONIZE\t") + boolText(s.synchronizeResources));
    return 0;
}

} // namespace quill::cli
