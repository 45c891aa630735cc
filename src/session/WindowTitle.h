#pragma once

#include <string>

namespace quill {

class Session;

// The main window's title once a user is logged on: who is logged on to
// which data point, so that two sessions on one desktop are told apart.
// The text is "TITLE_LOGGED_ON" of section "GUI_FORM" in "GUI", with "%1"
// standing for the data point's directory name; the plain "TITLE" when the
// language files lack it.
std::string loggedOnWindowTitle(Session& session);

} // namespace quill
