#include "platform/OwnedDirectory.h"

#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <string>

namespace quill {
namespace {

std::string markOf(std::string_view directory) {
    return path::join(path::withoutTrailingSeparator(directory), kOwnedDirectoryMark);
}

Status refused(std::string_view directory, std::string_view why) {
    return Status::failure(std::string(directory) + " is not a directory of this program's own: " + std::string(why));
}

} // namespace

bool isOwnedDirectory(std::string_view directory) {
    return !directory.empty() && fs::isDirectory(directory) && fs::isRegularFile(markOf(directory));
}

Status checkOwnableDirectory(std::string_view directory) {
    const std::string dir = path::withoutTrailingSeparator(directory);
    if (dir.empty())
        return refused(directory, "no directory is named");
    if (fs::isWithin("/", dir))
        return refused(directory, "it is the root of the file system");
    // The home directory itself, or a directory holding it.
    if (fs::isWithin(fs::homeDirectory(), dir))
        return refused(directory, "it holds the home directory");
    if (!fs::exists(dir) || isOwnedDirectory(dir))
        return Status::success();
    if (!fs::isDirectory(dir))
        return refused(directory, "it is no directory");
    const auto entries = fs::list(dir);
    if (!entries)
        return refused(directory, "it cannot be read");
    if (!entries->empty())
        return refused(directory, "it holds files the program did not put there");
    return Status::success();
}

Status claimOwnedDirectory(std::string_view directory) {
    if (Status ownable = checkOwnableDirectory(directory); !ownable)
        return ownable;
    if (isOwnedDirectory(directory))
        return Status::success();
    if (!fs::createDirectories(directory))
        return Status::failure("cannot create " + std::string(directory));
    return markOwnedDirectory(directory);
}

Status markOwnedDirectory(std::string_view directory) {
    return replaceFile(markOf(directory), "This directory holds files of Quill! only; they may be deleted.\n");
}

} // namespace quill
