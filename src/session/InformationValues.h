#pragma once

#include <string>
#include <string_view>

namespace quill {

class Session;

// The value behind "$INFORMATION." name ".INFORMATION$": a fact of the data
// point (from its DataPoint.info), of this program, of the user's tasks or
// of the clock. The name matches in any case; an unknown name gives "".
std::string informationValue(Session& session, std::string_view name);

} // namespace quill
