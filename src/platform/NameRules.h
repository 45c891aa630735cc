#pragma once

#include "platform/Status.h"

#include <cstddef>
#include <string_view>

namespace quill {

// What can be wrong with a name a user gives something that becomes a file
// or a folder (a new folder, a group). Each fault has a message of its own,
// so that the user learns what to change instead of a failed write.
enum class NameFault { None = 0, Empty = 1, Separator = 2, ControlCharacter = 3, TooLong = 4 };

// Names stay well inside the 255 bytes a file name may have on disk, where
// a letter of the code page can take three bytes and a suffix follows.
inline constexpr std::size_t kMaxNameLetters = 64;

NameFault nameFault(std::string_view name);

// "\"name\" cannot be a folder name: a folder name ..." for kind "folder";
// success for a good name.
Status checkName(std::string_view name, std::string_view kind);

} // namespace quill
