#pragma once

#include <string_view>

namespace quill {

class Session;

// Opens the help page of a form, <help directory>/FORMS/<key>.htm, with the
// desktop's viewer. Whether a viewer took it is not known here.
void openFormHelp(Session& session, std::string_view key);

} // namespace quill
