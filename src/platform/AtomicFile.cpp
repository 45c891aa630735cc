#include "platform/AtomicFile.h"

#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <cerrno>
#include <chrono>
#include <dirent.h>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace quill {
namespace {

constexpr std::string_view kTempPrefix = ".~quill-";
constexpr std::string_view kTempSuffix = ".tmp";

std::string systemError(std::string_view what, std::string_view path) {
    return std::string(what) + " " + std::string(path) + ": " + std::strerror(errno);
}

} // namespace

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

void syncDirectory(const std::string& directory) {
    const int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::string temporaryWritePath(std::string_view target) {
    std::random_device device;
    const std::string name = std::string(kTempPrefix) + std::to_string(::getpid()) + "-" + std::to_string(device()) +
                             std::string(kTempSuffix);
    const std::string dir = path::directory(target);
    return dir.empty() ? name : path::join(dir, name);
}

bool isTemporaryWriteName(std::string_view name) {
    return name.size() > kTempPrefix.size() + kTempSuffix.size() && name.substr(0, kTempPrefix.size()) == kTempPrefix &&
           name.substr(name.size() - kTempSuffix.size()) == kTempSuffix;
}

Status replaceFile(std::string_view path, std::string_view content, std::optional<unsigned> mode) {
    const std::string target = fs::native(path).string();
    const std::string directory = path::directory(target);
    unsigned permissions = 0666;
    bool explicitMode = false;
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    // The rename would replace a file the user may not write whenever the
    // directory is writable: its permissions are honoured here.
    if (replacing && ::access(target.c_str(), W_OK) != 0)
        return Status::failure(systemError("cannot replace", path) + " (you may not write this file)");
    if (mode) {
        permissions = *mode;
        explicitMode = true;
    } else if (replacing) {
        permissions = old.st_mode & 07777;
        explicitMode = true;
    }
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = temporaryWritePath(target);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, explicitMode ? 0600 : permissions);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return Status::failure(systemError("cannot write", path));
    // fchmod instead of the open mode: the umask must not widen or narrow a
    // mode that was asked for or inherited from the old file.
    // On a shared tree the replacement keeps the old file's group (and
    // owner, where allowed) so that the other users may still write it.
    // Where neither is allowed the file stays the writer's, as a new one
    // would be; the write itself goes on.
    if (replacing && ::fchown(fd, old.st_uid, old.st_gid) != 0) {
        [[maybe_unused]] const int groupKept = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    const bool written = (!explicitMode || ::fchmod(fd, permissions) == 0) && writeAll(fd, content) && ::fsync(fd) == 0;
    const int savedErrno = errno;
    if (::close(fd) != 0 || !written) {
        errno = written ? errno : savedErrno;
        const std::string message = systemError("cannot write", path);
        ::unlink(temporary.c_str());
        return Status::failure(message);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const std::string message = systemError("cannot replace", path);
        ::unlink(temporary.c_str());
        return Status::failure(message);
    }
    syncDirectory(directory);
    return Status::success();
}

Status writeScratchFile(std::string_view path, std::string_view content) {
    const std::string target = fs::native(path).string();
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return Status::failure(systemError("cannot create", path));
    const bool written = writeAll(fd, content);
    const std::string message = written ? std::string() : systemError("cannot write", path);
    ::close(fd);
    if (!written) {
        ::unlink(target.c_str());
        return Status::failure(message);
    }
    return Status::success();
}

void sweepStaleTemporaryFiles(std::string_view directory, std::chrono::seconds olderThan) {
    const std::string dir = fs::native(directory.empty() ? std::string_view(".") : directory).string();
    DIR* listing = ::opendir(dir.c_str());
    if (!listing)
        return;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    while (const dirent* entry = ::readdir(listing)) {
        if (!isTemporaryWriteName(entry->d_name))
            continue;
        const std::string item = dir + "/" + entry->d_name;
        struct stat st {};
        if (::lstat(item.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        const auto modified = std::chrono::seconds(st.st_mtim.tv_sec);
        if (now - modified > olderThan)
            ::unlink(item.c_str());
    }
    ::closedir(listing);
}

Status appendLine(std::string_view path, std::string_view line) {
    // On network file systems O_APPEND is not atomic between computers:
    // writers take turns through a lock file. Without one (a directory that
    // takes no new files, a holder that never lets go) the line is still
    // written, as a single write.
    const FileLock lock(path, std::chrono::seconds(2));
    const std::string target = fs::native(path).string();
    const int fd = ::open(target.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0)
        return Status::failure(systemError("cannot open", path));
    if (struct stat st{}; ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Status::failure("cannot append to " + std::string(path) + ": not a regular file");
    }
    std::string whole(line);
    whole += kLineBreak;
    ssize_t n = -1;
    do {
        n = ::write(fd, whole.data(), whole.size());
    } while (n < 0 && errno == EINTR);
    if (n == static_cast<ssize_t>(whole.size())) {
        ::close(fd);
        return Status::success();
    }
    std::string message = systemError("cannot append to", path);
    if (n >= 0) {
        // A part of the line went in (a full disk, a size limit): it is
        // cut off again so that the next line does not continue it. The
        // rest, written once more, tells the real cause.
        const off_t start = ::lseek(fd, 0, SEEK_CUR) - n;
        const std::size_t rest = whole.size() - static_cast<std::size_t>(n);
        const ssize_t again = ::write(fd, whole.data() + n, rest);
        if (again == static_cast<ssize_t>(rest)) {
            ::close(fd);
            return Status::success();
        }
        message = again < 0 ? systemError("cannot append to", path)
                            : "cannot append to " + std::string(path) + ": the file system took only part of the line";
        if (start < 0 || ::ftruncate(fd, start) != 0)
            message += "; the part written could not be removed";
    }
    ::close(fd);
    return Status::failure(message);
}

} // namespace quill
