#pragma once

namespace quill::cli {

class Call;

int cipherCommand(Call& call);
int langCommand(Call& call);
int iniCommand(Call& call);
int typesCommand(Call& call);
int recordCommand(Call& call);
int uniqueNameCommand(Call& call);
int mainFileCommand(Call& call);
int walkCommand(Call& call);

} // namespace quill::cli
