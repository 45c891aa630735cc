#pragma once

#include "CliSupport.h"

#include <iosfwd>
#include <vector>

namespace quill::cli {

using Command = int (*)(Args, std::ostream&);

// A command of quill-cli with what its help says about it.
struct CommandInfo {
    const char* name;
    Command run;
    const char* synopsis; // the arguments after the command's name
    const char* summary;  // one line: what it does
};

// Every command, in the order the help lists them.
const std::vector<CommandInfo>& commandTable();

} // namespace quill::cli
