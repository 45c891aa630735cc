#pragma once

#include "CliSupport.h"

#include <iosfwd>

namespace quill::cli {

int commentsCommand(Args args, std::ostream& out);
int attachmentsCommand(Args args, std::ostream& out);
int scheduleCommand(Args args, std::ostream& out);

} // namespace quill::cli
