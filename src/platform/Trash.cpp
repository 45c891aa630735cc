#include "platform/Trash.h"

#include "platform/AtomicFile.h"
#include "platform/Cp1250.h"
#include "platform/DateTimeFormat.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Result.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace quill {
namespace {

// Percent-encodes a UTF-8 path as a .trashinfo "Path=" value wants it.
std::string encodeTrashPath(const std::string& utf8) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : utf8) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' || c == '-' ||
            c == '_' || c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0x0F];
        }
    }
    return out;
}

// Reserves a name in info/ by creating its .trashinfo exclusively; the
// freedesktop rules make that file the lock on the name.
bool reserveInfoFile(const std::string& infoPath, const std::string& content) {
    const int fd = ::open(fs::native(infoPath).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    ::close(fd);
    return ok;
}

} // namespace

std::string Trash::defaultDirectory() {
    return path::join(fs::userDataDirectory(), "Trash");
}

Trash::Trash(std::string directory, const Clock& clock) : directory_(std::move(directory)), clock_(clock) {}

Status Trash::moveToTrash(std::string_view path) const {
    const std::filesystem::path source = fs::native(path::withoutTrailingSeparator(path));
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(source, ec)))
        return Status::failure("cannot move " + std::string(path) + " to the trash: no such file");
    const std::string filesDir = path::join(directory_, "files");
    const std::string infoDir = path::join(directory_, "info");
    if (!fs::createDirectories(filesDir) || !fs::createDirectories(infoDir))
        return Status::failure("cannot create the trash in " + directory_);

    const std::filesystem::path absolute = std::filesystem::absolute(source, ec);
    const std::string info = "[Trash Info]\nPath=" + encodeTrashPath(absolute.string()) +
                             "\nDeletionDate=" + formatDateTime(clock_.now(), "yyyy-MM-ddTHH:mm:ss") + "\n";
    const std::string name = path::fileName(path::withoutTrailingSeparator(fs::fromNative(source)));
    std::string trashName;
    std::string infoPath;
    for (int n = 1; n < 10000; ++n) {
        const std::string candidate =
            n == 1 ? name : path::withoutExtension(name) + "." + std::to_string(n) + path::extension(name);
        infoPath = path::join(infoDir, candidate + ".trashinfo");
        if (!fs::exists(path::join(filesDir, candidate)) && reserveInfoFile(infoPath, info)) {
            trashName = candidate;
            break;
        }
    }
    if (trashName.empty())
        return Status::failure("cannot find a free name in the trash for " + std::string(path));

    const std::string target = path::join(filesDir, trashName);
    Status moved = fs::move(fs::fromNative(source), target);
    if (!moved) {
        ignoreOutcome(fs::removeFile(infoPath));
        return Status::failure("cannot move " + std::string(path) + " to the trash: " + moved.message());
    }
    return Status::success();
}

} // namespace quill
