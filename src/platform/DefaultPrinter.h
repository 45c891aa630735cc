#pragma once

#include <string>
#include <string_view>

namespace quill {

// The printer lp prints on when given none: the destination "lpstat -d"
// names. Empty when lp is not installed, lpstat fails or takes longer than
// a few seconds, or there is no default. The name as lpstat writes it
// (UTF-8 on a usual desktop).
std::string queryDefaultPrinter();

// The printer named in an answer of "lpstat -d" ("system default
// destination: NAME"); empty for "no system default destination" and for
// an answer without a name.
std::string printerFromLpstatAnswer(std::string_view answer);

} // namespace quill
