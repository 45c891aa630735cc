#pragma once

namespace quill::cli {

class Call;

int editCommand(Call& call);

} // namespace quill::cli
