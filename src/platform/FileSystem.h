#pragma once

#include "platform/Status.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// File system access for code page 1250 paths. Names on disk are UTF-8;
// the conversion happens here and nowhere else. Where a path names nothing
// exactly, each component is matched without regard to case, because data
// points written on case-insensitive systems spell names in any case.
namespace quill::fs {

// The native path for a library path: separators normalised, converted to
// UTF-8, and resolved case-insensitively when the exact spelling is missing.
std::filesystem::path native(std::string_view path);

// The library form of a native name or path (UTF-8 to code page 1250).
std::string fromNative(const std::filesystem::path& path);

bool exists(std::string_view path);
// Exists with exactly this spelling, letter case included.
bool existsAsSpelled(std::string_view path);
bool isDirectory(std::string_view path);
bool isRegularFile(std::string_view path);
// The path itself is a symbolic link (whatever it points to, if anything).
bool isSymlink(std::string_view path);

struct Entry {
    std::string name;
    bool isDirectory = false; // also for a symbolic link to a directory
    bool isSymlink = false;
};

// The entries of a directory in the order the file system returns them,
// without "." and "..". Leftovers of interrupted atomic writes are skipped,
// and so are names with letters code page 1250 cannot hold.
// nullopt when the directory cannot be read.
std::optional<std::vector<Entry>> list(std::string_view directory);
// The same for a directory just opened (a descriptor from openForReading
// with O_DIRECTORY), which stays open; it is read from where it stands.
std::optional<std::vector<Entry>> listOpen(int directory);

// Opens a file for reading (O_RDONLY | O_CLOEXEC and the given flags),
// trying the name as spelt before resolving its letter case, so that the
// usual case costs the open alone. -1 with errno set when it fails.
int openForReading(std::string_view path, int flags = 0);

enum class ReadError { None, Missing, TooLarge, Unreadable };

struct ReadResult {
    ReadError error = ReadError::None;
    std::string content;
    std::int64_t modifiedNs = 0; // of the file as it was opened
    std::uintmax_t size = 0;     // likewise
    std::string reason;          // why it could not be read, for messages
    bool ok() const { return error == ReadError::None; }
};

// Reads a whole file; files larger than maxBytes are refused rather than
// loaded, since any file of a shared tree may be huge or binary.
ReadResult readFile(std::string_view path, std::size_t maxBytes);

// Identity of a file's content as far as the file system can tell: any
// write changes at least one of these.
struct Stamp {
    std::uintmax_t size = 0;
    std::int64_t modifiedNs = 0;
    std::uintmax_t inode = 0;
    std::uintmax_t device = 0;
    bool regularFile = false;
    bool operator==(const Stamp&) const = default;
};
std::optional<Stamp> stamp(std::string_view path);

// A directory held open while the files in it are looked at by name, so
// that a walk looks each directory's path up once rather than once for the
// listing and again for every file it reads or stats there.
class OpenDirectory {
public:
    explicit OpenDirectory(std::string_view path);
    ~OpenDirectory();
    OpenDirectory(const OpenDirectory&) = delete;
    OpenDirectory& operator=(const OpenDirectory&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // As list gives them, listed at the first call; nullopt when the
    // directory could not be read.
    std::optional<std::vector<Entry>>& entries();
    // As readFile, for a name in this directory; a symbolic link is not
    // followed.
    ReadResult readFile(std::string_view name, std::size_t maxBytes) const;
    // The directory's own stamp, and that of a file in it (as stamp).
    std::optional<Stamp> stamp() const;
    std::optional<Stamp> stamp(std::string_view name) const;

private:
    int fd_ = -1;
    bool listed_ = false;
    std::optional<std::vector<Entry>> entries_;
};

// A file as it was read: its identity and, for a small file, its bytes.
// The bytes tell a change by another computer from none even where the
// file system keeps times and sizes in a cache for a while (sshfs, SMB).
struct Snapshot {
    std::optional<Stamp> stamp; // nullopt: the file did not exist
    std::optional<std::string> content;
};
Snapshot snapshot(std::string_view path, std::size_t maxContent = 1 << 20);
// Whether path still holds what before saw.
bool unchangedSince(const Snapshot& before, std::string_view path);

// Modification time in nanoseconds since the epoch; 0 when unknown.
std::int64_t modificationTime(std::string_view path);
bool setModificationTime(std::string_view path, std::int64_t ns);
// When the file was made, in nanoseconds since the epoch, where the file
// system records it; else its last status change; 0 when unknown.
std::int64_t creationTime(std::string_view path);

bool createDirectories(std::string_view path);
Status removeFile(std::string_view path);
Status removeAll(std::string_view path);
Status rename(std::string_view from, std::string_view to);

// Copies a regular file through a temporary file and a rename, keeping the
// source's modification time, so that the target is never half-written.
Status copyFile(std::string_view from, std::string_view to);

// Copies a regular file to a name that is new in its directory, keeping the
// source's modification time, without a temporary file: for filling a tree
// that nobody uses yet and that is removed whole when filling it fails.
// Refused when the target exists.
Status copyNewFile(std::string_view from, std::string_view to);

// Copies a file or a whole directory tree; symbolic links are copied as
// links, not followed.
Status copyTree(std::string_view from, std::string_view to);

// Renames; across file systems copies and then deletes the original. A
// failed copy leaves nothing behind at the target.
Status move(std::string_view from, std::string_view to);

// Whether path lies on a file system reached over the network (NFS, SMB,
// FUSE such as sshfs), where every call waits a round trip.
bool isNetworkFileSystem(std::string_view path);

// Whether inner is outer itself or lies below it, comparing the real paths
// (links resolved, names as the file system spells them).
bool isWithin(std::string_view inner, std::string_view outer);

// The value of an environment variable, converted to code page 1250;
// empty when unset.
std::string environment(const char* name);

// The current user's home directory.
std::string homeDirectory();

// Where the user's own data files go: $XDG_DATA_HOME, else ~/.local/share.
std::string userDataDirectory();

} // namespace quill::fs
