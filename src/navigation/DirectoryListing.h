#pragma once

#include <string>
#include <string_view>

namespace quill {

class Session;

// The rows of a directory's listing page: one per file (links and the
// program's own leftovers left out), each with its type's picture, its name
// linked to "COMMAND:FILE:OPEN:" and the name percent-encoded, its size and
// its modification date, in name order. Everything from the disk is
// escaped: a name can never add markup or a command.
std::string directoryListingRows(Session& session, std::string_view directory);

// Where the rows go in the listing template.
inline constexpr std::string_view kListingRowsMarker = "<!-- FILES -->";

} // namespace quill
