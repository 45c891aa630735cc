#pragma once

#include "platform/Status.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace quill {

// Replaces the whole file: writes a temporary file in the same directory,
// flushes it to disk, renames it over the target and flushes the directory.
// A crash or a full disk leaves either the old or the new content, never a
// torn file. The new file keeps the old one's permissions unless mode is
// given.
Status replaceFile(std::string_view path, std::string_view content, std::optional<unsigned> mode = std::nullopt);

// Writes a new file that nothing depends on after a crash (a page written
// for the page pane): created exclusively, so an existing file is never
// overwritten, and not flushed to disk.
Status writeScratchFile(std::string_view path, std::string_view content);

// Appends one whole line (the line break is added) with a single write on
// an O_APPEND descriptor, under the file's lock, so that lines of several
// writers never interleave. A line the file system takes only in part is
// cut off again. The file is created when missing.
Status appendLine(std::string_view path, std::string_view line);

// Removes the leftovers of interrupted writes (and of locks) in directory
// that are older than olderThan: a write that old has been killed.
void sweepStaleTemporaryFiles(std::string_view directory, std::chrono::seconds olderThan = std::chrono::minutes(5));

// Writes all of data to the descriptor, going on after interruptions;
// false on a failure, with errno telling why.
bool writeAll(int fd, std::string_view data);

// Flushes a directory's entries (new names, renames) to disk; a native
// path, empty for the working directory.
void syncDirectory(const std::string& directory);

// A fresh temporary name beside target for a write that ends in a rename.
std::string temporaryWritePath(std::string_view target);

// True for names made by temporaryWritePath: leftovers of an interrupted
// write, never documents.
bool isTemporaryWriteName(std::string_view name);

// The line break of every text file the program writes.
inline constexpr std::string_view kLineBreak = "\r\n";

} // namespace quill
