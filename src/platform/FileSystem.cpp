#include "platform/FileSystem.h"

#include "platform/AtomicFile.h"
#include "platform/FileTransaction.h"
#include "platform/Cp1250.h"
#include "platform/Paths.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace stdfs = std::filesystem;

namespace quill::fs {
namespace {

std::string utf8(std::string_view path) {
    return cp1250::toUtf8(path::normalize(path));
}

bool nativeExists(const stdfs::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0;
}

// Finds the entry of directory whose name matches wanted without regard to
// case (compared in code page 1250, as the names are meant).
std::optional<std::string> findNoCase(const stdfs::path& directory, const std::string& wanted) {
    std::error_code ec;
    stdfs::directory_iterator it(directory, ec);
    if (ec)
        return std::nullopt;
    const std::string wantedText = cp1250::fromUtf8(wanted);
    for (; it != stdfs::directory_iterator(); it.increment(ec)) {
        if (ec)
            return std::nullopt;
        const std::string name = it->path().filename().string();
        // A name the code page cannot hold would match any name of the same
        // length with '?' in those places: it never matches loosely.
        if (!cp1250::holds(name))
            continue;
        if (cp1250::equalsNoCase(cp1250::fromUtf8(name), wantedText))
            return name;
    }
    return std::nullopt;
}

std::string errorText(const std::error_code& ec) {
    return ec.message();
}

// A new name is taken as written: only the directory it goes into is
// resolved, so that a rename can change the case of a name.
stdfs::path nativeNewName(std::string_view path) {
    const std::string dir = path::directory(path);
    const stdfs::path name(utf8(path::fileName(path)));
    return dir.empty() ? name : native(dir) / name;
}

// Whether a call that failed this way may succeed on the path resolved
// without regard to case.
bool missingAsSpelled(int error) {
    return error == ENOENT || error == ENOTDIR;
}

// Runs call on the path as spelt and, only when that names nothing, on the
// path resolved without regard to case: on a share every metadata call is a
// round trip, and checking a path before each use doubled them.
template <typename Call> auto onNativePath(std::string_view path, Call call) -> decltype(call(stdfs::path())) {
    const stdfs::path exact(utf8(path));
    auto result = call(exact);
    if (result.second == 0 || !missingAsSpelled(result.second))
        return result;
    const stdfs::path resolved = native(path);
    return resolved == exact ? result : call(resolved);
}

// stat() or lstat() of path; the errno of the failure, 0 on success.
std::pair<struct stat, int> statOf(std::string_view path, bool followLinks = true) {
    return onNativePath(path, [followLinks](const stdfs::path& p) {
        std::pair<struct stat, int> result{};
        const int rc = followLinks ? ::stat(p.c_str(), &result.first) : ::lstat(p.c_str(), &result.first);
        result.second = rc == 0 ? 0 : errno;
        return result;
    });
}

} // namespace

stdfs::path native(std::string_view path) {
    stdfs::path exact(utf8(path));
    if (exact.empty() || nativeExists(exact))
        return exact;
    // Walk from the root and repair each component that is missing as spelt.
    stdfs::path resolved = exact.is_absolute() ? exact.root_path() : stdfs::path();
    bool repairing = true;
    for (const auto& component : exact.relative_path()) {
        if (!repairing || component == "." || component == "..") {
            resolved /= component;
            continue;
        }
        stdfs::path candidate = resolved / component;
        if (!nativeExists(candidate)) {
            const auto match = findNoCase(resolved.empty() ? stdfs::path(".") : resolved, component.string());
            if (match) {
                candidate = resolved / *match;
            } else {
                repairing = false; // nothing below a missing directory can match
            }
        }
        resolved = candidate;
    }
    return resolved;
}

std::string fromNative(const stdfs::path& path) {
    return cp1250::fromUtf8(path.string());
}

bool exists(std::string_view path) {
    return statOf(path, false).second == 0;
}

bool existsAsSpelled(std::string_view path) {
    return nativeExists(stdfs::path(utf8(path)));
}

bool isDirectory(std::string_view path) {
    const auto [st, error] = statOf(path);
    return error == 0 && S_ISDIR(st.st_mode);
}

bool isRegularFile(std::string_view path) {
    const auto [st, error] = statOf(path);
    return error == 0 && S_ISREG(st.st_mode);
}

bool isSymlink(std::string_view path) {
    const auto [st, error] = statOf(path, false);
    return error == 0 && S_ISLNK(st.st_mode);
}

namespace {

// The entries of an open directory, which stays open. getdents64 is
// called directly: the stream functions would add a stat and two fcntl
// calls per directory, each a round trip on a share. A listing that
// fails part way is no listing: callers decide what is missing from it.
std::optional<std::vector<Entry>> readEntries(int directory) {
    std::vector<Entry> entries;
    alignas(dirent64) char buffer[32768];
    for (;;) {
        const ssize_t n = ::getdents64(directory, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            return entries;
        for (ssize_t offset = 0; offset < n;) {
            const auto* found = reinterpret_cast<const dirent64*>(buffer + offset);
            offset += found->d_reclen;
            const std::string_view nativeName = found->d_name;
            if (nativeName == "." || nativeName == "..")
                continue;
            // A name the code page cannot hold would come out with '?' for
            // some letters and then name another file, or none: such entries
            // are left out rather than approximated.
            if (!cp1250::holds(nativeName))
                continue;
            Entry entry;
            entry.name = cp1250::fromUtf8(nativeName);
            if (entry.name.empty() || isBookkeepingName(entry.name))
                continue;
            // The type the listing gives saves a call per entry; file systems
            // that do not give it are asked.
            unsigned char type = found->d_type;
            struct stat st {};
            if (type == DT_UNKNOWN && ::fstatat(directory, found->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0)
                type = S_ISLNK(st.st_mode) ? DT_LNK : S_ISDIR(st.st_mode) ? DT_DIR : DT_REG;
            entry.isSymlink = type == DT_LNK;
            entry.isDirectory =
                type == DT_DIR ||
                (entry.isSymlink && ::fstatat(directory, found->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode));
            entries.push_back(std::move(entry));
        }
    }
}

int openDirectory(std::string_view path) {
    return onNativePath(path,
                        [](const stdfs::path& p) {
                            const int opened = ::open(p.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
                            return std::pair<int, int>{opened, opened < 0 ? errno : 0};
                        })
        .first;
}

} // namespace

std::optional<std::vector<Entry>> list(std::string_view directory) {
    const int fd = openDirectory(directory);
    if (fd < 0)
        return std::nullopt;
    auto entries = readEntries(fd);
    ::close(fd);
    return entries;
}

std::optional<std::vector<Entry>> listOpen(int directory) {
    return readEntries(directory);
}

int openForReading(std::string_view path, int flags) {
    flags |= O_RDONLY | O_CLOEXEC;
    const auto [fd, error] = onNativePath(path, [flags](const stdfs::path& p) {
        const int opened = ::open(p.c_str(), flags);
        return std::pair<int, int>{opened, opened < 0 ? errno : 0};
    });
    errno = error;
    return fd;
}

namespace {

// Reads the whole of a file just opened (fd, or -1 with the open's errno)
// and closes it.
ReadResult readOpened(int fd, int openError, std::size_t maxBytes) {
    ReadResult result;
    if (fd < 0) {
        result.error = openError == ENOENT ? ReadError::Missing : ReadError::Unreadable;
        result.reason = openError == ELOOP ? "it is a loop of symbolic links" : std::strerror(openError);
        return result;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        result.reason = S_ISDIR(st.st_mode)    ? "it is a directory"
                        : S_ISFIFO(st.st_mode) ? "it is a named pipe"
                        : S_ISSOCK(st.st_mode) ? "it is a socket"
                                               : "it is no regular file";
        ::close(fd);
        result.error = ReadError::Unreadable;
        return result;
    }
    // O_NONBLOCK has no effect on reads of a regular file: it may stay set.
    result.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    result.size = static_cast<std::uintmax_t>(st.st_size);
    // The size may change while reading (another machine writes); read to
    // the end but never past the limit.
    // A read shorter than asked that reaches the size fstat gave is the
    // end of the file: asking again for the zero that says so would be one
    // more round trip per file on a share.
    const auto size = static_cast<std::size_t>(st.st_size);
    // Grown once rather than doubled and copied while a large file comes in.
    constexpr std::size_t kChunk = 65536;
    if (size > kChunk && size <= maxBytes)
        result.content.reserve(size);
    char buffer[kChunk];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            result.error = ReadError::Unreadable;
            result.reason = std::strerror(errno);
            break;
        }
        if (n == 0)
            break;
        if (result.content.size() + static_cast<std::size_t>(n) > maxBytes) {
            result.error = ReadError::TooLarge;
            result.reason = "it is larger than " + std::to_string(maxBytes) + " bytes";
            break;
        }
        result.content.append(buffer, static_cast<std::size_t>(n));
        if (static_cast<std::size_t>(n) < sizeof buffer && result.content.size() >= size)
            break;
    }
    ::close(fd);
    if (!result.ok())
        result.content.clear();
    return result;
}

} // namespace

ReadResult readFile(std::string_view path, std::size_t maxBytes) {
    // O_NONBLOCK: opening a named pipe someone left in the tree must not
    // hang the program; only regular files are read.
    const int fd = openForReading(path, O_NONBLOCK);
    return readOpened(fd, errno, maxBytes);
}

OpenDirectory::OpenDirectory(std::string_view path) : fd_(openDirectory(path)) {}

OpenDirectory::~OpenDirectory() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::optional<std::vector<Entry>>& OpenDirectory::entries() {
    if (!listed_ && fd_ >= 0) {
        listed_ = true;
        entries_ = readEntries(fd_);
    }
    return entries_;
}

namespace {

Stamp stampOf(const struct stat& st) {
    Stamp s;
    s.size = static_cast<std::uintmax_t>(st.st_size);
    s.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    s.inode = st.st_ino;
    s.device = st.st_dev;
    s.regularFile = S_ISREG(st.st_mode);
    return s;
}

} // namespace

std::optional<Stamp> OpenDirectory::stamp() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0)
        return std::nullopt;
    return stampOf(st);
}

std::optional<Stamp> OpenDirectory::stamp(std::string_view name) const {
    struct stat st {};
    if (fd_ < 0 || ::fstatat(fd_, utf8(name).c_str(), &st, 0) != 0)
        return std::nullopt;
    return stampOf(st);
}

ReadResult OpenDirectory::readFile(std::string_view name, std::size_t maxBytes) const {
    if (fd_ < 0)
        return readOpened(-1, ENOENT, maxBytes);
    const int fd = ::openat(fd_, utf8(name).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
    return readOpened(fd, errno, maxBytes);
}

std::optional<Stamp> stamp(std::string_view path) {
    const auto [st, error] = statOf(path);
    if (error != 0)
        return std::nullopt;
    return stampOf(st);
}

std::int64_t modificationTime(std::string_view path) {
    const auto s = stamp(path);
    return s ? s->modifiedNs : 0;
}

std::int64_t creationTime(std::string_view path) {
    struct statx facts {};
    if (::statx(AT_FDCWD, native(path).c_str(), AT_SYMLINK_NOFOLLOW, STATX_BTIME | STATX_CTIME, &facts) != 0)
        return 0;
    const struct statx_timestamp& at = (facts.stx_mask & STATX_BTIME) ? facts.stx_btime : facts.stx_ctime;
    return static_cast<std::int64_t>(at.tv_sec) * 1000000000LL + at.tv_nsec;
}

bool setModificationTime(std::string_view path, std::int64_t ns) {
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(ns / 1000000000LL);
    times[1].tv_nsec = static_cast<long>(ns % 1000000000LL);
    if (times[1].tv_nsec < 0) {
        times[1].tv_nsec += 1000000000L;
        times[1].tv_sec -= 1;
    }
    return ::utimensat(AT_FDCWD, native(path).c_str(), times, 0) == 0;
}

Snapshot snapshot(std::string_view path, std::size_t maxContent) {
    Snapshot taken;
    taken.stamp = stamp(path);
    if (taken.stamp && taken.stamp->regularFile && taken.stamp->size <= maxContent) {
        ReadResult read = readFile(path, maxContent);
        if (read.ok())
            taken.content = std::move(read.content);
    }
    return taken;
}

bool unchangedSince(const Snapshot& before, std::string_view path) {
    const Snapshot now = snapshot(path);
    if (!before.stamp || !now.stamp)
        return !before.stamp && !now.stamp;
    if (before.content && now.content)
        return *before.content == *now.content;
    return before.stamp == now.stamp;
}

bool createDirectories(std::string_view path) {
    std::error_code ec;
    const stdfs::path p = native(path);
    stdfs::create_directories(p, ec);
    return stdfs::is_directory(p, ec);
}

Status removeFile(std::string_view path) {
    std::error_code ec;
    if (!stdfs::remove(native(path), ec) || ec)
        return Status::failure("cannot delete " + std::string(path) + ": " +
                               (ec ? errorText(ec) : std::string("no such file")));
    return Status::success();
}

Status removeAll(std::string_view path) {
    std::error_code ec;
    const stdfs::path p = native(path);
    if (!nativeExists(p))
        return Status::failure("cannot delete " + std::string(path) + ": no such file or directory");
    stdfs::remove_all(p, ec);
    if (ec)
        return Status::failure("cannot delete " + std::string(path) + ": " + errorText(ec));
    return Status::success();
}

Status rename(std::string_view from, std::string_view to) {
    std::error_code ec;
    stdfs::rename(native(from), nativeNewName(to), ec);
    if (ec)
        return Status::failure("cannot rename " + std::string(from) + " to " + std::string(to) + ": " + errorText(ec));
    return Status::success();
}

namespace {

// Copies the regular file from to target, a name nothing takes yet, with
// from's modification time; messages call the copy shownAs.
Status copyToNewName(std::string_view from, std::string_view target, std::string_view shownAs) {
    std::error_code ec;
    const stdfs::path source = native(from);
    if (!stdfs::is_regular_file(source, ec))
        return Status::failure("cannot copy " + std::string(from) + ": not a file");
    const std::int64_t modified = modificationTime(from);
    // A new name is never another spelling of a file: only its directory
    // is looked up, not the directory's whole listing.
    stdfs::copy_file(source, nativeNewName(target), stdfs::copy_options::none, ec);
    if (ec)
        return Status::failure("cannot copy " + std::string(from) + " to " + std::string(shownAs) + ": " +
                               errorText(ec));
    setModificationTime(target, modified);
    return Status::success();
}

} // namespace

Status copyFile(std::string_view from, std::string_view to) {
    // Stream through a temporary file beside the target, then rename it
    // into place: readers never see a partial copy.
    const std::string temporary = temporaryWritePath(to);
    const stdfs::path tempNative = nativeNewName(temporary);
    std::error_code ec;
    if (const Status copied = copyToNewName(from, temporary, to); !copied) {
        stdfs::remove(tempNative, ec);
        return copied;
    }
    stdfs::rename(tempNative, native(to), ec);
    if (ec) {
        std::error_code ignored;
        stdfs::remove(tempNative, ignored);
        return Status::failure("cannot copy " + std::string(from) + " to " + std::string(to) + ": " + errorText(ec));
    }
    return Status::success();
}

Status copyNewFile(std::string_view from, std::string_view to) {
    return copyToNewName(from, to, to);
}

Status copyTree(std::string_view from, std::string_view to) {
    std::error_code ec;
    const stdfs::path source = native(from);
    if (stdfs::is_symlink(stdfs::symlink_status(source, ec))) {
        stdfs::copy_symlink(source, native(to), ec);
        if (ec)
            return Status::failure("cannot copy " + std::string(from) + " to " + std::string(to) + ": " +
                                   errorText(ec));
        return Status::success();
    }
    if (!isDirectory(from))
        return copyFile(from, to);
    if (!createDirectories(to))
        return Status::failure("cannot create " + std::string(to));
    const auto entries = list(from);
    if (!entries)
        return Status::failure("cannot read " + std::string(from));
    Status result = Status::success();
    for (const Entry& entry : *entries) {
        Status s = copyTree(path::join(from, entry.name), path::join(to, entry.name));
        if (!s && result)
            result = std::move(s);
    }
    return result;
}

Status move(std::string_view from, std::string_view to) {
    std::error_code ec;
    stdfs::rename(native(from), nativeNewName(to), ec);
    if (!ec)
        return Status::success();
    // Only another file system is worth a copy; any other refusal (a
    // directory moved into itself, no permission) would fail the same way.
    if (ec != std::errc::cross_device_link)
        return Status::failure("cannot move " + std::string(from) + " to " + std::string(to) + ": " + errorText(ec));
    if (Status copied = copyTree(from, to); !copied) {
        std::error_code ignored;
        stdfs::remove_all(native(to), ignored);
        return copied;
    }
    return removeAll(from);
}

bool isNetworkFileSystem(std::string_view path) {
    struct statfs facts {};
    if (::statfs(native(path).c_str(), &facts) != 0)
        return false;
    switch (static_cast<unsigned long>(facts.f_type)) {
    case 0x6969UL:     // NFS
    case 0x517BUL:     // SMB
    case 0xFF534D42UL: // CIFS
    case 0xFE534D42UL: // SMB2
    case 0x65735546UL: // FUSE: sshfs and the like
    case 0x564C7A83UL: // Ceph
    case 0x47504653UL: // GPFS
        return true;
    default: return false;
    }
}

bool isWithin(std::string_view inner, std::string_view outer) {
    std::error_code ec;
    const stdfs::path in = stdfs::weakly_canonical(native(inner), ec);
    if (ec)
        return false;
    const stdfs::path out = stdfs::weakly_canonical(native(outer), ec);
    if (ec)
        return false;
    auto i = in.begin();
    for (auto o = out.begin(); o != out.end(); ++o, ++i) {
        if (o->empty())
            continue; // a trailing separator
        if (i == in.end() || *i != *o)
            return false;
    }
    return true;
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? cp1250::fromUtf8(value) : std::string();
}

std::string userDataDirectory() {
    const std::string base = environment("XDG_DATA_HOME");
    return base.empty() ? path::join(homeDirectory(), ".local/share") : base;
}

std::string homeDirectory() {
    std::string home = environment("HOME");
    if (!home.empty())
        return home;
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_dir)
        return cp1250::fromUtf8(pw->pw_dir);
    return "/";
}

} // namespace quill::fs
