#pragma once

namespace quill::cli {

class Call;

int treeCommand(Call& call);
int renderCommand(Call& call);
int locationCommand(Call& call);
int findCommand(Call& call);
int printFileCommand(Call& call);
int documentsCommand(Call& call);

} // namespace quill::cli
