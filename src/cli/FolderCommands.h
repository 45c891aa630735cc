#pragma once

#include "CliSupport.h"

#include <iosfwd>

namespace quill::cli {

// folder props and folder rename: a folder's settings and name.
int folderPropsCommand(Args args, std::ostream& out);
int folderRenameCommand(Args args, std::ostream& out);

// history: the edit history of a document or folder.
int historyCommand(Args args, std::ostream& out);

// folders: the folders connected at the top of the user's main tree.
int foldersCommand(Args args, std::ostream& out);

} // namespace quill::cli
