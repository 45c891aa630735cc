#pragma once

namespace quill::cli {

class Call;

int logonCommand(Call& call);
int usersCommand(Call& call);
int groupsCommand(Call& call);
int accessCommand(Call& call);
int syncCommand(Call& call);
int dataPointCommand(Call& call);
int registryCommand(Call& call);
int generateCommand(Call& call);

} // namespace quill::cli
