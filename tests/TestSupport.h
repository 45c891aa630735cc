#pragma once

#include "platform/Clock.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <string_view>

namespace quill::test {

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() joined with a relative name.
    std::string operator/(std::string_view name) const;

private:
    std::string path_;
};

// Points HOME, QUILL_CONFIG_HOME, XDG_CONFIG_HOME, XDG_CACHE_HOME and
// XDG_DATA_HOME into a temporary directory for its lifetime, so that no test
// touches the real user's files.
class IsolatedHome {
public:
    IsolatedHome();
    ~IsolatedHome();
    const TempDir& dir() const { return dir_; }

private:
    TempDir dir_;
};

// The source tree's resources directory.
std::string resourcesDir();

// Copies the shipped sample data point into dir/DataPoint and returns its path.
std::string copySampleDataPoint(const TempDir& dir);

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, std::string_view content);

// Every file below dir with its content, by full path; with directories,
// each directory too, with no content.
std::map<std::string, std::string> snapshotOf(const std::string& dir, bool withDirectories = true);

// How often part occurs in text, overlapping occurrences included.
std::size_t occurrences(std::string_view text, std::string_view part);

// The lines of text, each ended by separator; what follows the last
// separator is no line.
std::vector<std::string> linesOf(std::string_view text, std::string_view separator = "\r\n");

// Runs check in a child process and tells whether it returned true: under
// a file size limit in bytes (0: none), which stands for a full disk for
// root too; or as an ordinary user, who does not pass every permission
// test as root does.
enum class ChildUser { Same, Ordinary };
bool passesInChild(const std::function<bool()>& check, std::uint64_t fileSizeLimit = 0,
                   ChildUser user = ChildUser::Same);

// The id of a process that has ended: one no process has.
long endedProcessId();
std::string hostName();

// A clock that stands still until it is set.
class FixedClock final : public Clock {
public:
    explicit FixedClock(LocalDateTime now = {2026, 12, 8, 9, 5, 7, 250}) : now_(now) {}
    LocalDateTime now() const override { return now_; }
    void set(LocalDateTime now) { now_ = now; }
    // Waits are recorded, not waited.
    void wait(std::chrono::milliseconds duration) override { waits.push_back(duration.count()); }
    std::vector<long long> waits;

private:
    LocalDateTime now_;
};

// text as one word for /bin/sh.
std::string shellWord(const std::string& text);

// Runs quill-cli with the arguments (each passed as one word) and returns
// its standard output; the exit status goes to *status.
std::string runCli(const std::string& arguments, int* status = nullptr, std::string* errors = nullptr);
// Whether this test program was built beside quill-cli.
bool cliAvailable();
// The windowed program where it was built beside quill-cli, else empty.
std::string quillProgram();

} // namespace quill::test
