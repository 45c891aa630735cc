#pragma once

#include "CliSupport.h"

#include <iosfwd>

namespace quill::cli {

int tasksCommand(Args args, std::ostream& out);
int statusLineCommand(Args args, std::ostream& out);

} // namespace quill::cli
