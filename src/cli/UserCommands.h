#pragma once

#include "CliSupport.h"

#include <iosfwd>

namespace quill::cli {

int userCommand(Args args, std::ostream& out);

} // namespace quill::cli
