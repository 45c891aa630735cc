#pragma once

#include "platform/Status.h"

#include <string_view>

namespace quill {

// Directories the program keeps only its own files in (temporary files, the
// local copy of a data point's resources) carry a small mark file. Nothing
// is ever pruned or emptied in a directory without it, so that a path
// named by shared settings cannot turn the program against other files.
inline constexpr std::string_view kOwnedDirectoryMark = ".quill-owned";

bool isOwnedDirectory(std::string_view directory);

// Makes directory the program's own: creates it with the mark when missing,
// marks it when it exists empty, and accepts it when marked already. A
// directory with other content and no mark, the file system's root, and
// the home directory or any directory above it are refused untouched.
Status claimOwnedDirectory(std::string_view directory);

// Marks an existing directory as the program's own whatever it holds: only
// for the program's own default places.
Status markOwnedDirectory(std::string_view directory);

// The same test as claimOwnedDirectory's, without creating or marking anything.
Status checkOwnableDirectory(std::string_view directory);

} // namespace quill
