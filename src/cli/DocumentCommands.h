#pragma once

namespace quill::cli {

class Call;

int commentsCommand(Call& call);
int attachmentsCommand(Call& call);
int scheduleCommand(Call& call);

} // namespace quill::cli
