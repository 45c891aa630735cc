#pragma once

namespace quill::cli {

class Call;

// group list|set|delete: the logged-on user's groups of users.
int groupCommand(Call& call);

// datapoint create: a new data point from the system part of this one.
int dataPointCreateCommand(Call& call);

} // namespace quill::cli
