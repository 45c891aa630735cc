#pragma once

#include "platform/FileSystem.h"

#include <optional>
#include <string_view>
#include <vector>

namespace quill {

// What the window shows from disk, in a form that is cheap to take again
// and compare: the folder's directory, whose time changes with every save
// in it (files are replaced by renaming), and the shown document's record
// and companions. A few metadata calls, so that a share that sends no
// change notifications can be asked every few seconds.
struct OnScreenState {
    std::optional<fs::Stamp> folder;
    std::vector<std::optional<fs::Stamp>> documentFiles;
    bool operator==(const OnScreenState&) const = default;
};

// folder or document may be empty when nothing of that kind is shown.
OnScreenState onScreenState(std::string_view folder, std::string_view document);

// The files a change notification should be asked for: the folder and the
// document's files that exist.
std::vector<std::string> watchedPaths(std::string_view folder, std::string_view document);

} // namespace quill
