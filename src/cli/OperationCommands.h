#pragma once

namespace quill::cli {

class Call;

int postCommand(Call& call);
int documentCommand(Call& call);
int folderCommand(Call& call);
int newObjectCommand(Call& call);
int newFolderCommand(Call& call);
int trashCommand(Call& call);

} // namespace quill::cli
