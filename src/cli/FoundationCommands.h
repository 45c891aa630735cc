#pragma once

#include "CliSupport.h"

#include <iosfwd>

namespace quill::cli {

int cipherCommand(Args args, std::ostream& out);
int langCommand(Args args, std::ostream& out);
int iniCommand(Args args, std::ostream& out);
int typesCommand(Args args, std::ostream& out);
int recordCommand(Args args, std::ostream& out);
int uniqueNameCommand(Args args, std::ostream& out);
int mainFileCommand(Args args, std::ostream& out);
int walkCommand(Args args, std::ostream& out);

} // namespace quill::cli
