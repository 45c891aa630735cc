#include "SessionCommands.h"

#include "CommandRunner.h"

#include "formats/FormData.h"
#include "platform/TextUtil.h"
#include "session/EventLog.h"
#include "session/InformationValues.h"

#include <ostream>

namespace quill::cli {
int expandCommand(Call& call) {
    const bool blank = takeFlag(call.args, "--blank");
    const std::string recordFile = takeOption(call.args, "--record");
    Session& session = call.session();
    Record record;
    if (!recordFile.empty() && session.readRecord(recordFile, record) != RecordRead::Ok)
        throw CliError{"cannot read record " + recordFile};
    printLine(call.out, session.variables.expand(call.args[0], record, blank));
    return 0;
}

int collapseCommand(Call& call) {
    Session& session = call.session();
    printLine(call.out, session.variables.collapse(call.args[0]));
    return 0;
}

int decodeFormCommand(Call& call) {
    const PostedForm form = decodePostedForm(call.arguments()[0]);
    for (const auto& [name, value] : form.pairs)
        printLine(call.out, name + "\t" + value);
    printLine(call.out, "LAST\t" + form.lastFieldName);
    return 0;
}

int logCommand(Call& call) {
    const std::string& event = call.arguments()[0];
    const auto number = text::parseInteger(event);
    if (!number || *number < 0 || *number > 1000000)
        throw CliError{"not an event number: " + event};
    if (Status logged = logEvent(call.session(), static_cast<int>(*number)); !logged)
        throw CliError{logged.message()};
    return 0;
}

int infoCommand(Call& call) {
    Session& session = call.session();
    printLine(call.out, informationValue(session, call.args[0]));
    return 0;
}

int settingsCommand(Call& call) {
    const Settings& s = call.session().context.settings;
    std::ostream& out = call.out;
    printLine(out, "TEMPDIR\t" + s.temporaryDirectory);
    printLine(out, std::string("REMOVEONEXIT\t") + text::flag(s.removeTemporaryOnExit));
    printLine(out, "RESOURCEDIR\t" + s.resourceDirectory);
    printLine(out, "GROUPSDIR\t" + s.userGroupsResourceDirectory);
    printLine(out, std::string("SYNCHRONIZE\t") + text::flag(s.synchronizeResources));
    return 0;
}

} // namespace quill::cli
