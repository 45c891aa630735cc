#include "session/FormHelp.h"

#include "platform/Paths.h"
#include "session/Session.h"

namespace quill {

void openFormHelp(Session& session, std::string_view key) {
    const std::string page = path::join(path::join(session.program.helpDirectory, "FORMS"), std::string(key) + ".htm");
    session.shell.openHelpPage(page);
}

} // namespace quill
