#pragma once

#include "CliSupport.h"

#include <cstddef>
#include <limits>
#include <string_view>
#include <vector>

namespace quill::cli {

class Call;

using Command = int (*)(Call&);

// No upper bound on a command's positional arguments.
inline constexpr std::size_t kAnyNumber = std::numeric_limits<std::size_t>::max();

// What is checked of a positional argument that names a file, once the
// session is open.
enum class PathCheck {
    ShownIfThere,   // when it exists, the user must be shown it
    InDataPoint,    // must exist in the data point and be shown; made absolute
    NewInDataPoint, // may be new, but its directory lies in the data point; made absolute
};

struct PathArgument {
    std::size_t index; // among the positional arguments
    PathCheck check;
};

// What a command, or one of its actions, takes besides its own options.
struct CommandShape {
    // "--datapoint DIR --user LOGON [--admin]" and a session opened on them.
    bool session = false;
    std::size_t minArgs = 0;
    std::size_t maxArgs = 0;
    std::vector<PathArgument> paths;
};

// A sub-command named by the first positional argument, as in
// "document copy".
struct CommandAction {
    const char* name;
    CommandShape shape;
};

// A command of quill-cli with what its help says about it and what is
// checked before it runs.
struct CommandInfo {
    const char* name;
    Command run;
    const char* synopsis; // the arguments after the command's name
    const char* summary;  // one line: what it does
    CommandShape shape;
    // When there are actions, the first positional argument names one and
    // its shape applies to the arguments after it.
    std::vector<CommandAction> actions = {};
};

// Every command, in the order the help lists them.
const std::vector<CommandInfo>& commandTable();

// The command of that name, or null.
const CommandInfo* commandNamed(std::string_view name);

} // namespace quill::cli
