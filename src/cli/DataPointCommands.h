#pragma once

#include "CliSupport.h"

#include <iosfwd>

namespace quill::cli {

int logonCommand(Args args, std::ostream& out);
int usersCommand(Args args, std::ostream& out);
int groupsCommand(Args args, std::ostream& out);
int accessCommand(Args args, std::ostream& out);
int syncCommand(Args args, std::ostream& out);
int dataPointCommand(Args args, std::ostream& out);
int registryCommand(Args args, std::ostream& out);
int generateCommand(Args args, std::ostream& out);

} // namespace quill::cli
