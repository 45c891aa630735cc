#include "session/WindowTitle.h"

#include "formats/LanguageTexts.h"
#include "platform/Paths.h"
#include "session/Session.h"

namespace quill {

std::string loggedOnWindowTitle(Session& session) {
    std::string title = session.texts.lookup("GUI_FORM", "TITLE_LOGGED_ON", "GUI");
    if (isParror(title))
        return session.texts.lookup("GUI_FORM", "TITLE", "GUI");
    // Filled in after the text variables, so that a directory named like a
    // variable is shown as it is.
    if (const std::size_t at = title.find("%1"); at != std::string::npos)
        title.replace(at, 2, path::fileName(path::withoutTrailingSeparator(session.context.dataPointPath)));
    return title;
}

} // namespace quill
