#pragma once

#include "platform/FileSystem.h"
#include "platform/Status.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

class Trash;

// Windows-style name pattern: '*' any run, '?' one character, compared in
// any case; "*.*" and "" match every name.
bool matchesMask(std::string_view name, std::string_view mask);

// Full paths of the entries of directory matching mask (files and
// sub-directories alike), in the order the file system gives them.
// Empty when the directory does not exist.
std::vector<std::string> listFiles(std::string_view directory, std::string_view mask = "*.*");

// Full paths of the sub-directories of directory.
std::vector<std::string> listSubDirectories(std::string_view directory);

enum class FileOperation {
    Copy = 0,
    Move = 1,
    Rename = 2,
    DeleteToTrash = 3,
    DeleteForGood = 4,
};

// One file operation, silent and without confirmation. The source may end
// in a name pattern ("dir/*.*"); its matches then go into target as a
// directory. A single source copied or moved onto an existing directory
// goes inside it. Fails when any part failed; what could be done is done.
Status runFileOperation(std::string_view source, std::string_view target, FileOperation operation, const Trash& trash);

// Whether two file times stand for the same version of a file. Copies
// keep times only to the millisecond on some file systems, so closer
// times are equal.
bool sameFileTime(std::int64_t a, std::int64_t b);

// A regular file of a source tree beside its counterpart in a target tree.
struct SyncedFile {
    std::string from;     // in the source tree
    std::string to;       // where it lies, or would lie, in the target
    std::string relative; // from the roots, '/' between names
    std::int64_t fromTime = 0;
    std::optional<std::int64_t> toTime; // nullopt: no such file in the target
};

// Walks the regular files of source beside target, directory by
// directory, handing each to visit. Symbolic links are skipped on both
// sides: a link planted in a shared tree must not carry what it points to
// into the copy, and a link in the target is never written through.
// Returns how many links were skipped.
std::size_t walkTreeBeside(std::string_view source, std::string_view target,
                           const std::function<void(const SyncedFile&)>& visit);

// Copies every file of source into target whose copy is missing or whose
// modification time differs by a millisecond or more, either way; recurses
// into sub-directories. Target directories are created only for files.
// Links are skipped as walkTreeBeside skips them; returns how many.
std::size_t mirrorTree(std::string_view source, std::string_view target);

// Deletes every file and directory of source that reference lacks.
// A link is never walked into; one that the reference lacks is removed as
// itself. The mark of a directory the program owns stays. Returns how many
// links were met.
std::size_t pruneTree(std::string_view source, std::string_view reference);

} // namespace quill
