#pragma once

#include "CliSupport.h"

#include <iosfwd>

namespace quill::cli {

int postCommand(Args args, std::ostream& out);
int documentCommand(Args args, std::ostream& out);
int folderCommand(Args args, std::ostream& out);
int newObjectCommand(Args args, std::ostream& out);
int newFolderCommand(Args args, std::ostream& out);
int trashCommand(Args args, std::ostream& out);

} // namespace quill::cli
