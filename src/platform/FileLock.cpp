#include "platform/FileLock.h"

#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace quill {
namespace {

// What a lock file says of its holder: "host pid".
bool heldByEndedProcess(const std::string& lockPath) {
    const fs::ReadResult read = fs::readFile(lockPath, 512);
    if (!read.ok())
        return false;
    const std::size_t blank = read.content.rfind(' ');
    if (blank == std::string::npos || read.content.substr(0, blank) != thisComputerName())
        return false;
    const long pid = std::strtol(read.content.c_str() + blank + 1, nullptr, 10);
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// A holder writes its name into the lock file right after making it; an
// empty lock file that stays empty this long lost its holder in between.
constexpr std::chrono::seconds kEmptyStaleAfter{3};

bool isStale(const std::string& lockPath) {
    const std::int64_t modified = fs::modificationTime(lockPath);
    const auto age = std::chrono::system_clock::now().time_since_epoch() - std::chrono::nanoseconds(modified);
    if (modified != 0 && age > kEmptyStaleAfter) {
        if (const auto stamp = fs::stamp(lockPath); stamp && stamp->size == 0)
            return true;
    }
    return (modified != 0 && age > FileLock::kStaleAfter) || heldByEndedProcess(lockPath);
}

enum class Taken { Yes, No, Unsupported };

// Makes the lock file whole at once: the holder's name is written to a
// temporary file that is then linked to the lock's name, which fails when
// the lock exists. No one ever sees a lock file without its holder.
Taken takeByLink(const std::string& native, const std::string& holder, int& error) {
    const std::string temporary = temporaryWritePath(native);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = errno;
        return Taken::Unsupported;
    }
    const bool written = ::write(fd, holder.data(), holder.size()) == static_cast<ssize_t>(holder.size());
    ::close(fd);
    if (!written) {
        error = errno;
        ::unlink(temporary.c_str());
        return Taken::Unsupported;
    }
    const int linked = ::link(temporary.c_str(), native.c_str());
    error = errno;
    ::unlink(temporary.c_str());
    if (linked == 0)
        return Taken::Yes;
    if (error == EEXIST)
        return Taken::No;
    return Taken::Unsupported;
}

} // namespace

std::string thisComputerName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return "unknown";
    return name;
}

std::string lockFilePath(std::string_view path) {
    const std::string resolved = fs::fromNative(fs::native(path));
    const std::string name = ".~quill-lock-" + path::fileName(resolved) + ".tmp";
    const std::string dir = path::directory(resolved);
    return dir.empty() ? name : path::join(dir, name);
}

FileLock::FileLock(std::string_view path, std::chrono::milliseconds timeout) : lockPath_(lockFilePath(path)) {
    const std::string native = fs::native(lockPath_).string();
    const std::string holder = thisComputerName() + " " + std::to_string(::getpid());
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    auto pause = std::chrono::milliseconds(1);
    bool links = true;
    for (;;) {
        if (links) {
            int error = 0;
            const Taken taken = takeByLink(native, holder, error);
            if (taken == Taken::Yes) {
                held_ = true;
                return;
            }
            if (taken == Taken::Unsupported) {
                links = false;
                continue;
            }
            errno = EEXIST;
        }
        const int fd = links ? -1 : ::open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            const bool written = ::write(fd, holder.data(), holder.size()) == static_cast<ssize_t>(holder.size());
            ::close(fd);
            if (written) {
                held_ = true;
                return;
            }
            ::unlink(native.c_str());
            status_ = Status::failure("cannot lock " + std::string(path) + ": " + std::strerror(errno));
            return;
        }
        // sshfs answers an exclusive create of an existing file with EPERM.
        if (errno != EEXIST && !(errno == EPERM && fs::exists(lockPath_))) {
            status_ = Status::failure("cannot lock " + std::string(path) + ": " + std::strerror(errno));
            return;
        }
        if (isStale(lockPath_)) {
            ::unlink(native.c_str());
            continue;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            status_ = Status::failure("cannot lock " + std::string(path) +
                                      ": another program is saving it; try again in a moment");
            return;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
}

FileLock::~FileLock() {
    if (held_)
        ::unlink(fs::native(lockPath_).c_str());
}

} // namespace quill
