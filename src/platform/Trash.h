#pragma once

#include "platform/Clock.h"
#include "platform/Status.h"

#include <string>
#include <string_view>

namespace quill {

// The user's freedesktop trash: deleted files go to files/ with a
// .trashinfo beside them in info/, so file managers can restore them.
class Trash {
public:
    // $XDG_DATA_HOME/Trash, else ~/.local/share/Trash.
    static std::string defaultDirectory();

    Trash(std::string directory, const Clock& clock);

    // Moves a file or a directory tree into the trash.
    Status moveToTrash(std::string_view path) const;

private:
    std::string directory_;
    const Clock& clock_;
};

} // namespace quill
