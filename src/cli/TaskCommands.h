#pragma once

namespace quill::cli {

class Call;

int tasksCommand(Call& call);
int statusLineCommand(Call& call);

} // namespace quill::cli
