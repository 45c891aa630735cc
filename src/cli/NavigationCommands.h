#pragma once

#include "CliSupport.h"

#include <iosfwd>

namespace quill::cli {

int treeCommand(Args args, std::ostream& out);
int renderCommand(Args args, std::ostream& out);
int locationCommand(Args args, std::ostream& out);
int findCommand(Args args, std::ostream& out);
int printFileCommand(Args args, std::ostream& out);
int documentsCommand(Args args, std::ostream& out);

} // namespace quill::cli
