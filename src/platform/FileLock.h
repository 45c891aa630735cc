#pragma once

#include "platform/Status.h"

#include <chrono>
#include <string>
#include <string_view>

namespace quill {

// An exclusive lock on one file among all copies of the program, on this
// computer and on others that share the directory: a lock file beside the
// file, created with O_EXCL (which network file systems keep exclusive),
// holding the computer's name and the process id. A lock whose process has
// ended on this computer, or that is older than kStaleAfter anywhere, was
// left by a crash and is taken over.
class FileLock {
public:
    static constexpr std::chrono::seconds kStaleAfter{60};

    // Waits up to timeout for the lock. Check held() or the status.
    explicit FileLock(std::string_view path, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool held() const { return held_; }
    // Why the lock could not be taken.
    const Status& status() const { return status_; }

private:
    std::string lockPath_;
    bool held_ = false;
    Status status_ = Status::success();
};

// The name by which locks and intents tell this computer's holders from
// other computers'.
std::string thisComputerName();

// The lock file's name for path: hidden from listings like the leftovers
// of interrupted writes.
std::string lockFilePath(std::string_view path);

} // namespace quill
