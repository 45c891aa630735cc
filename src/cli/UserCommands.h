#pragma once

namespace quill::cli {

class Call;

int userCommand(Call& call);

} // namespace quill::cli
