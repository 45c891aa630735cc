#pragma once

#include "CliSupport.h"

#include <iosfwd>

namespace quill::cli {

int expandCommand(Args args, std::ostream& out);
int collapseCommand(Args args, std::ostream& out);
int decodeFormCommand(Args args, std::ostream& out);
int logCommand(Args args, std::ostream& out);
int infoCommand(Args args, std::ostream& out);
int settingsCommand(Args args, std::ostream& out);

} // namespace quill::cli
