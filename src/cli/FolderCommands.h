#pragma once

namespace quill::cli {

class Call;

// folder props and folder rename: a folder's settings and name.
int folderPropsCommand(Call& call);
int folderRenameCommand(Call& call);

// history: the edit history of a document or folder.
int historyCommand(Call& call);

// folders: the folders connected at the top of the user's main tree.
int foldersCommand(Call& call);

} // namespace quill::cli
