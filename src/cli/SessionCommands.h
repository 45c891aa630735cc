#pragma once

namespace quill::cli {

class Call;

int expandCommand(Call& call);
int collapseCommand(Call& call);
int decodeFormCommand(Call& call);
int logCommand(Call& call);
int infoCommand(Call& call);
int settingsCommand(Call& call);

} // namespace quill::cli
