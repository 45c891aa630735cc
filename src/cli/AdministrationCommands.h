#pragma once

#include "CliSupport.h"

#include <iosfwd>

namespace quill::cli {

// group list|set|delete: the logged-on user's groups of users.
int groupCommand(Args args, std::ostream& out);

// datapoint create: a new data point from the system part of this one.
int dataPointCreateCommand(Args args, std::ostream& out);

} // namespace quill::cli
