#include "platform/FileTransaction.h"

#include "platform/AtomicFile.h"
#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace quill {
namespace {

namespace stdfs = std::filesystem;

constexpr std::string_view kPrefix = ".~quill-";
constexpr std::string_view kIntentPrefix = ".~quill-txn-";
constexpr std::string_view kIntentSuffix = ".intent";
constexpr std::string_view kMagic = "quill-transaction 1";

using Step = FileTransaction::Step;
using Kind = Step::Kind;

std::vector<std::string_view> splitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t tab = line.find('\t');
        fields.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos)
            return fields;
        line.remove_prefix(tab + 1);
    }
}

std::string errorText(int error) {
    return std::strerror(error);
}

std::string parentOf(const std::string& native) {
    const stdfs::path p(native);
    return p.parent_path().string();
}

// The hidden names a transaction's steps use beside their files; derived
// from the transaction's id and the step's number, so that a recovery
// finds them without any other record.
std::string stagePath(const std::string& beside, const std::string& id, std::size_t step, std::string_view role) {
    const std::string dir = parentOf(beside);
    const std::string name = std::string(kPrefix) + "txn-" + id + "-" + std::to_string(step) + "." + std::string(role);
    return dir.empty() ? name : dir + "/" + name;
}

bool present(const std::string& native) {
    struct stat st {};
    return ::lstat(native.c_str(), &st) == 0;
}

bool isDirectoryNoFollow(const std::string& native) {
    struct stat st {};
    return ::lstat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Whether two names hold one file, as a link made in place of a rename
// leaves them until the old name is unlinked. A network file system may
// give each name its own inode number, so there the bytes decide; two
// files of equal size, time and bytes are the same document either way.
bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    if (::lstat(a.c_str(), &sa) != 0 || ::lstat(b.c_str(), &sb) != 0 || !S_ISREG(sa.st_mode) || !S_ISREG(sb.st_mode) ||
        sa.st_dev != sb.st_dev)
        return false;
    if (sa.st_ino == sb.st_ino)
        return true;
    if (sa.st_size != sb.st_size || sa.st_mtim.tv_sec != sb.st_mtim.tv_sec)
        return false;
    const int fa = ::open(a.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    const int fb = ::open(b.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    bool same = fa >= 0 && fb >= 0;
    static constexpr std::size_t kChunk = 1 << 16;
    std::string chunkA(kChunk, '\0'), chunkB(kChunk, '\0');
    while (same) {
        const ssize_t na = ::read(fa, chunkA.data(), kChunk);
        const ssize_t nb = ::read(fb, chunkB.data(), kChunk);
        // Both are regular files of one size, so short reads come in step.
        same = na >= 0 && na == nb &&
               chunkA.compare(0, static_cast<std::size_t>(na), chunkB, 0, static_cast<std::size_t>(nb)) == 0;
        if (na <= 0)
            break;
    }
    if (fa >= 0)
        ::close(fa);
    if (fb >= 0)
        ::close(fb);
    return same;
}

Status removeTree(const std::string& native) {
    if (!present(native))
        return Status::success();
    std::error_code ec;
    stdfs::remove_all(native, ec);
    if (ec)
        return Status::failure("cannot remove " + native + ": " + ec.message());
    return Status::success();
}

// Puts a file set aside back under its name. A link cut short leaves it
// under both; then only the set-aside name is left to go.
Status putBack(const std::string& aside, const std::string& name) {
    if (present(name) && sameFile(aside, name))
        return ::unlink(aside.c_str()) == 0 ? Status::success()
                                            : Status::failure("cannot remove " + aside + ": " + errorText(errno));
    return renameNoReplace(aside, name);
}

// Takes back a file a step placed from its staged copy; a link cut short
// leaves the copy under both names.
Status removePlaced(const std::string& staged, const std::string& placed) {
    if (present(placed) && sameFile(staged, placed)) {
        if (Status removed = removeTree(placed); !removed)
            return removed;
    }
    return removeTree(staged);
}

// A new file with content, created exclusively and flushed.
Status writeNewFile(const std::string& native, std::string_view content, mode_t mode = 0666) {
    const int fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        return Status::failure("cannot create " + native + ": " + errorText(errno));
    const bool written = writeAll(fd, content) && ::fsync(fd) == 0;
    const int error = errno;
    if (::close(fd) != 0 || !written) {
        const std::string message = "cannot write " + native + ": " + errorText(written ? errno : error);
        ::unlink(native.c_str());
        return Status::failure(message);
    }
    return Status::success();
}

// A copy of a regular file under a new name, its time kept, flushed; or a
// copy of a directory tree (links copied as links).
Status copyNew(const std::string& from, const std::string& to) {
    struct stat st {};
    if (::lstat(from.c_str(), &st) != 0)
        return Status::failure("cannot copy " + from + ": " + errorText(errno));
    if (S_ISDIR(st.st_mode)) {
        std::error_code ec;
        stdfs::copy(from, to, stdfs::copy_options::recursive | stdfs::copy_options::copy_symlinks, ec);
        if (ec) {
            std::error_code ignored;
            stdfs::remove_all(to, ignored);
            return Status::failure("cannot copy " + from + " to " + to + ": " + ec.message());
        }
        return Status::success();
    }
    if (!S_ISREG(st.st_mode))
        return Status::failure("cannot copy " + from + ": not a regular file");
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return Status::failure("cannot read " + from + ": " + errorText(errno));
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0777);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        return Status::failure("cannot create " + to + ": " + errorText(error));
    }
    std::string failure;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            failure = "cannot read " + from + ": " + errorText(errno);
            break;
        }
        if (n == 0)
            break;
        if (!writeAll(out, std::string_view(buffer, static_cast<std::size_t>(n)))) {
            failure = "cannot write " + to + ": " + errorText(errno);
            break;
        }
    }
    if (failure.empty() && ::fsync(out) != 0)
        failure = "cannot write " + to + ": " + errorText(errno);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::futimens(out, times);
    if (::close(out) != 0 && failure.empty())
        failure = "cannot write " + to + ": " + errorText(errno);
    ::close(in);
    if (!failure.empty()) {
        ::unlink(to.c_str());
        return Status::failure(failure);
    }
    return Status::success();
}

std::string randomId() {
    std::random_device device;
    static constexpr char hex[] = "0123456789abcdef";
    std::string id;
    for (int i = 0; i < 4; ++i) {
        unsigned value = device();
        for (int k = 0; k < 4; ++k, value >>= 4)
            id += hex[value & 0xF];
    }
    return id;
}

std::string_view kindName(Kind kind) {
    switch (kind) {
    case Kind::Copy: return "copy";
    case Kind::Create: return "create";
    case Kind::Replace: return "replace";
    case Kind::Move: return "move";
    case Kind::Remove: return "remove";
    }
    return "remove";
}

bool kindOf(std::string_view name, Kind& kind) {
    for (Kind k : {Kind::Copy, Kind::Create, Kind::Replace, Kind::Move, Kind::Remove}) {
        if (kindName(k) == name) {
            kind = k;
            return true;
        }
    }
    return false;
}

// Paths inside base are stored relative to it; a recovery joins them to
// its own base, which may be another mount of the same share.
std::string storedPath(const std::string& native, const std::string& base) {
    if (!base.empty()) {
        const std::string prefix = base.back() == '/' ? base : base + "/";
        if (native.compare(0, prefix.size(), prefix) == 0)
            return "@/" + native.substr(prefix.size());
    }
    return native;
}

// A relative path that stays where it is put: no "..", no empty part.
bool staysInside(std::string_view relative) {
    if (relative.empty() || relative.front() == '/')
        return false;
    for (;;) {
        const std::size_t slash = relative.find('/');
        const std::string_view part = relative.substr(0, slash);
        if (part.empty() || part == "." || part == "..")
            return false;
        if (slash == std::string_view::npos)
            return true;
        relative.remove_prefix(slash + 1);
    }
}

// Intents lie on a share that others write: a path that would lead out of
// the base is no path of any intent this program wrote.
bool restoredPath(std::string_view stored, const std::string& base, std::string& path) {
    if (stored.substr(0, 2) != "@/" || base.empty() || !staysInside(stored.substr(2)))
        return false;
    path = base + "/" + std::string(stored.substr(2));
    return true;
}

bool isPlainId(std::string_view id) {
    return !id.empty() && id.size() <= 64 &&
           std::all_of(id.begin(), id.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

struct Intent {
    std::string id;
    std::string host;
    long pid = 0;
    bool committed = false;
    std::vector<std::string> madeDirectories;
    std::vector<Step> steps;
};

std::string intentText(const Intent& intent, const std::string& base) {
    std::string text(kMagic);
    text += "\nid\t" + intent.id + "\nhost\t" + intent.host + "\npid\t" + std::to_string(intent.pid) + "\nphase\t" +
            (intent.committed ? "commit" : "prepare") + "\n";
    for (const std::string& dir : intent.madeDirectories)
        text += "mkdir\t" + storedPath(dir, base) + "\n";
    for (const Step& step : intent.steps) {
        text += "step\t" + std::string(kindName(step.kind)) + "\t" + (step.crossDevice ? "1" : "0") + "\t" +
                storedPath(step.from, base) + "\t" + storedPath(step.to, base) + "\n";
    }
    text += "end\n";
    return text;
}

// An intent that cannot be read whole (cut off by a crash while it was
// first written) planned nothing that was done: no step starts before the
// intent is complete on disk.
bool parseIntent(const std::string& text, const std::string& base, Intent& intent) {
    const auto lines = text::splitLines(text);
    if (lines.empty() || lines.front() != kMagic || lines.back() != "end")
        return false;
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        const auto fields = splitTabs(lines[i]);
        if (fields.size() < 2)
            return false;
        const std::string_view key = fields[0];
        if (key == "id")
            intent.id = std::string(fields[1]);
        else if (key == "host")
            intent.host = std::string(fields[1]);
        else if (key == "pid")
            intent.pid = std::strtol(std::string(fields[1]).c_str(), nullptr, 10);
        else if (key == "phase")
            intent.committed = fields[1] == "commit";
        else if (key == "mkdir") {
            std::string dir;
            if (!restoredPath(fields[1], base, dir))
                return false;
            intent.madeDirectories.push_back(std::move(dir));
        } else if (key == "step" && fields.size() == 5) {
            Step step{Kind::Remove, {}, {}, {}, fields[2] == "1"};
            if (!kindOf(fields[1], step.kind) || !restoredPath(fields[4], base, step.to))
                return false;
            // A copy's source is only read, never touched by a recovery;
            // a move's source is put back, so it must lie inside too.
            if (step.kind == Kind::Move && !restoredPath(fields[3], base, step.from))
                return false;
            intent.steps.push_back(std::move(step));
        } else {
            return false;
        }
    }
    return isPlainId(intent.id);
}

// Undoes what step n may have done; safe to repeat and safe when the step
// never started. Targets never existed before the transaction (it checks
// so under the documents' locks), so a target that is there and whose
// staged file is gone was placed by the step.
Status undoStep(const Step& step, const std::string& id, std::size_t n) {
    const std::string fresh = stagePath(step.to, id, n, "new");
    switch (step.kind) {
    case Kind::Copy:
    case Kind::Create:
        if (present(fresh))
            return removePlaced(fresh, step.to);
        return removeTree(step.to);
    case Kind::Replace: {
        const std::string kept = stagePath(step.to, id, n, "keep");
        if (Status removed = removeTree(stagePath(step.to, id, n, "keep-part")); !removed)
            return removed;
        if (present(kept) && ::rename(kept.c_str(), step.to.c_str()) != 0)
            return Status::failure("cannot put back " + step.to + ": " + errorText(errno));
        return removeTree(fresh);
    }
    case Kind::Move: {
        if (step.crossDevice) {
            const std::string gone = stagePath(step.from, id, n, "gone");
            if (present(gone)) {
                if (Status back = putBack(gone, step.from); !back)
                    return back;
            }
            if (present(fresh))
                return removePlaced(fresh, step.to);
            return present(step.from) ? removeTree(step.to) : Status::success();
        }
        if (present(step.to) && (!present(step.from) || sameFile(step.to, step.from)))
            return putBack(step.to, step.from);
        return Status::success();
    }
    case Kind::Remove: {
        const std::string gone = stagePath(step.to, id, n, "gone");
        if (present(gone))
            return putBack(gone, step.to);
        return Status::success();
    }
    }
    return Status::success();
}

// After the commit only what was set aside remains to be deleted.
Status finishStep(const Step& step, const std::string& id, std::size_t n) {
    switch (step.kind) {
    case Kind::Replace: return removeTree(stagePath(step.to, id, n, "keep"));
    case Kind::Remove: return removeTree(stagePath(step.to, id, n, "gone"));
    case Kind::Move: return step.crossDevice ? removeTree(stagePath(step.from, id, n, "gone")) : Status::success();
    default: return Status::success();
    }
}

Status doStep(const Step& step, const std::string& id, std::size_t n) {
    const std::string fresh = stagePath(step.to, id, n, "new");
    switch (step.kind) {
    case Kind::Copy: {
        if (Status copied = copyNew(step.from, fresh); !copied)
            return copied;
        return renameNoReplace(fresh, step.to);
    }
    case Kind::Create: {
        if (Status written = writeNewFile(fresh, step.content); !written)
            return written;
        return renameNoReplace(fresh, step.to);
    }
    case Kind::Replace: {
        struct stat st {};
        if (::stat(step.to.c_str(), &st) != 0)
            return Status::failure("cannot replace " + step.to + ": " + errorText(errno));
        // The kept copy gets its name only once it is whole: an undo puts
        // it back over the file, so a part of one must never be taken.
        const std::string keep = stagePath(step.to, id, n, "keep");
        const std::string part = stagePath(step.to, id, n, "keep-part");
        if (Status kept = copyNew(step.to, part); !kept)
            return kept;
        if (::rename(part.c_str(), keep.c_str()) != 0)
            return Status::failure("cannot keep " + step.to + ": " + errorText(errno));
        if (Status written = writeNewFile(fresh, step.content, st.st_mode & 0777); !written)
            return written;
        if (::rename(fresh.c_str(), step.to.c_str()) != 0)
            return Status::failure("cannot replace " + step.to + ": " + errorText(errno));
        return Status::success();
    }
    case Kind::Move: {
        if (!step.crossDevice)
            return renameNoReplace(step.from, step.to);
        if (Status copied = copyNew(step.from, fresh); !copied)
            return copied;
        if (Status placed = renameNoReplace(fresh, step.to); !placed)
            return placed;
        if (::rename(step.from.c_str(), stagePath(step.from, id, n, "gone").c_str()) != 0)
            return Status::failure("cannot move " + step.from + ": " + errorText(errno));
        return Status::success();
    }
    case Kind::Remove:
        if (::rename(step.to.c_str(), stagePath(step.to, id, n, "gone").c_str()) != 0)
            return Status::failure("cannot remove " + step.to + ": " + errorText(errno));
        return Status::success();
    }
    return Status::success();
}

// Undoes every step from the last and the directories made for them;
// empty when all of it was undone.
std::string undoAll(const Intent& intent, std::size_t upTo) {
    std::string failures;
    for (std::size_t n = upTo; n-- > 0;) {
        if (Status undone = undoStep(intent.steps[n], intent.id, n); !undone)
            failures += (failures.empty() ? "" : "; ") + undone.message();
    }
    for (auto dir = intent.madeDirectories.rbegin(); dir != intent.madeDirectories.rend(); ++dir)
        ::rmdir(dir->c_str());
    return failures;
}

std::string finishAll(const Intent& intent) {
    std::string failures;
    for (std::size_t n = 0; n < intent.steps.size(); ++n) {
        if (Status done = finishStep(intent.steps[n], intent.id, n); !done)
            failures += (failures.empty() ? "" : "; ") + done.message();
    }
    return failures;
}

std::string intentPath(const std::string& journal, const std::string& id) {
    return journal + "/" + std::string(kIntentPrefix) + id + std::string(kIntentSuffix);
}

bool processEnded(const Intent& intent, const std::string& intentFile) {
    if (intent.host == thisComputerName())
        return intent.pid <= 0 || (::kill(static_cast<pid_t>(intent.pid), 0) != 0 && errno == ESRCH) ||
               intent.pid == ::getpid();
    struct stat st {};
    if (::stat(intentFile.c_str(), &st) != 0)
        return false;
    return std::time(nullptr) - st.st_mtim.tv_sec > kTransactionStaleAfter.count();
}

} // namespace

bool readTransactionIntent(std::string_view text, std::string_view base, std::vector<std::string>* touched) {
    Intent intent;
    if (!parseIntent(std::string(text), std::string(base), intent))
        return false;
    if (touched) {
        touched->clear();
        for (const std::string& dir : intent.madeDirectories)
            touched->push_back(dir);
        for (std::size_t n = 0; n < intent.steps.size(); ++n) {
            const Step& step = intent.steps[n];
            touched->push_back(step.to);
            for (std::string_view role : {"new", "keep", "keep-part", "gone"})
                touched->push_back(stagePath(step.to, intent.id, n, role));
            if (step.kind == Kind::Move) {
                touched->push_back(step.from);
                touched->push_back(stagePath(step.from, intent.id, n, "gone"));
            }
        }
    }
    return true;
}

bool isBookkeepingName(std::string_view name) {
    return name.size() > kPrefix.size() && name.substr(0, kPrefix.size()) == kPrefix;
}

Status renameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return Status::success();
    const int error = errno;
    if (error == EEXIST)
        return Status::failure("cannot put " + to + " in place: it exists already");
    if (error != EINVAL && error != ENOSYS && error != EOPNOTSUPP)
        return Status::failure("cannot move " + from + " to " + to + ": " + errorText(error));
    // No RENAME_NOREPLACE here (sshfs, some NFS servers): a hard link is
    // created exclusively; a directory or a file system without links is
    // renamed after a check, which the documents' locks keep sound.
    if (!isDirectoryNoFollow(from) && ::link(from.c_str(), to.c_str()) == 0) {
        // Until the old name is gone the file stands under both: a failure
        // here is the step's failure, which its undo takes back.
        if (::unlink(from.c_str()) != 0)
            return Status::failure("cannot move " + from + " to " + to + ": " + errorText(errno));
        return Status::success();
    }
    if (errno == EEXIST || present(to))
        return Status::failure("cannot put " + to + " in place: it exists already");
    if (::rename(from.c_str(), to.c_str()) != 0)
        return Status::failure("cannot move " + from + " to " + to + ": " + errorText(errno));
    return Status::success();
}

FileTransaction::FileTransaction(std::string journalDirectory, std::string base)
    : journal_(fs::native(journalDirectory).string()), base_(base.empty() ? std::string() : fs::native(base).string()) {
    while (base_.size() > 1 && base_.back() == '/')
        base_.pop_back();
}

void FileTransaction::copy(std::string_view from, std::string_view to) {
    steps_.push_back({Step::Kind::Copy, fs::native(from).string(), fs::native(to).string(), {}, false});
}

void FileTransaction::create(std::string_view to, std::string content) {
    steps_.push_back({Step::Kind::Create, {}, fs::native(to).string(), std::move(content), false});
}

void FileTransaction::replace(std::string_view to, std::string content) {
    steps_.push_back({Step::Kind::Replace, {}, fs::native(to).string(), std::move(content), false});
}

void FileTransaction::move(std::string_view from, std::string_view to) {
    steps_.push_back({Step::Kind::Move, fs::native(from).string(), fs::native(to).string(), {}, false});
}

void FileTransaction::remove(std::string_view path) {
    steps_.push_back({Step::Kind::Remove, {}, fs::native(path).string(), {}, false});
}

Status FileTransaction::run() {
    if (steps_.empty())
        return Status::success();
    Intent intent;
    intent.id = randomId();
    intent.host = thisComputerName();
    intent.pid = ::getpid();
    // What must be there and what must not, checked before anything is
    // written; the directories the targets need are made in the plan.
    for (Step& step : steps_) {
        // Whatever a recovery may have to put back lies inside the base.
        std::string unused;
        if (!restoredPath(storedPath(step.to, base_), base_, unused) ||
            (step.kind == Kind::Move && !restoredPath(storedPath(step.from, base_), base_, unused)))
            return Status::failure("cannot change " + (step.kind == Kind::Move ? step.from : step.to) +
                                   ": it lies outside " + (base_.empty() ? std::string("the data point") : base_));
        const bool needsSource = step.kind == Kind::Copy || step.kind == Kind::Move;
        const bool needsTarget = step.kind == Kind::Replace || step.kind == Kind::Remove;
        if (needsSource && !present(step.from))
            return Status::failure("cannot find " + step.from);
        if (needsTarget && !present(step.to))
            return Status::failure("cannot find " + step.to);
        if (!needsTarget && present(step.to))
            return Status::failure("cannot create " + step.to + ": it exists already");
        if (step.kind == Kind::Remove)
            continue;
        std::vector<std::string> missing;
        for (stdfs::path dir = stdfs::path(step.to).parent_path(); !dir.empty() && !present(dir.string());
             dir = dir.parent_path()) {
            missing.push_back(dir.string());
            if (dir == dir.parent_path())
                break;
        }
        for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
            if (std::find(intent.madeDirectories.begin(), intent.madeDirectories.end(), *it) ==
                intent.madeDirectories.end())
                intent.madeDirectories.push_back(*it);
        }
        if (step.kind == Kind::Move) {
            struct stat a {
            }, b{};
            stdfs::path toDir = stdfs::path(step.to).parent_path();
            while (!toDir.empty() && !present(toDir.string()))
                toDir = toDir.parent_path();
            if (::lstat(step.from.c_str(), &a) == 0 && ::stat(toDir.empty() ? "." : toDir.c_str(), &b) == 0)
                step.crossDevice = a.st_dev != b.st_dev;
        }
    }
    intent.steps = steps_;

    const std::string intentFile = intentPath(journal_, intent.id);
    Status written = writeNewFile(intentFile, intentText(intent, base_), 0666);
    // The journal is made on first use, and again when another computer
    // took it away (a share may still tell this one that it is there).
    if (!written && !present(journal_ + "/.")) {
        std::error_code ec;
        stdfs::create_directories(journal_, ec);
        written = writeNewFile(intentFile, intentText(intent, base_), 0666);
    }
    if (!written)
        return Status::failure("nothing was changed: " + written.message());
    syncDirectory(journal_);

    std::size_t done = 0;
    Status outcome = Status::success();
    for (const std::string& dir : intent.madeDirectories) {
        if (::mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST) {
            outcome = Status::failure("cannot create " + dir + ": " + errorText(errno));
            break;
        }
    }
    for (; outcome && done < steps_.size(); ++done) {
        if (Status step = doStep(steps_[done], intent.id, done); !step) {
            outcome = std::move(step);
            ++done; // a failed step may have done a part: undo it too
            break;
        }
    }
    if (outcome) {
        intent.committed = true;
        if (Status committed = replaceFile(intentFile, intentText(intent, base_)); !committed) {
            outcome = committed;
            done = steps_.size();
        }
    }
    if (!outcome) {
        const std::string undoFailures = undoAll(intent, done);
        if (!undoFailures.empty())
            return Status::failure(outcome.message() + "; what was done could not be undone yet (" + undoFailures +
                                   "): it will be undone at the next start");
        ::unlink(intentFile.c_str());
        return Status::failure(outcome.message() + "; nothing was changed");
    }
    for (const Step& step : steps_)
        syncDirectory(parentOf(step.to));
    if (const std::string leftovers = finishAll(intent); !leftovers.empty())
        return Status::failure("the change was made, but " + leftovers + "; it will be removed at the next start");
    ::unlink(intentFile.c_str());
    return Status::success();
}

Status recoverFileTransactions(std::string_view journalDirectory, std::string_view base, std::size_t* recovered) {
    if (recovered)
        *recovered = 0;
    const std::string journal = fs::native(journalDirectory).string();
    std::string root = base.empty() ? std::string() : fs::native(base).string();
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    std::vector<std::string> intents;
    if (DIR* listing = ::opendir(journal.c_str())) {
        while (const dirent* entry = ::readdir(listing)) {
            const std::string_view name = entry->d_name;
            if (name.size() > kIntentPrefix.size() + kIntentSuffix.size() &&
                name.substr(0, kIntentPrefix.size()) == kIntentPrefix &&
                name.substr(name.size() - kIntentSuffix.size()) == kIntentSuffix)
                intents.push_back(journal + "/" + std::string(name));
        }
        ::closedir(listing);
    }
    std::string failures;
    for (const std::string& file : intents) {
        const fs::ReadResult read = fs::readFile(fs::fromNative(file), 1 << 20);
        if (!read.ok())
            continue;
        Intent intent;
        if (!parseIntent(read.content, root, intent)) {
            // Cut off while it was first written: nothing was done yet.
            struct stat st {};
            if (::stat(file.c_str(), &st) == 0 &&
                std::time(nullptr) - st.st_mtim.tv_sec > kTransactionStaleAfter.count())
                ::unlink(file.c_str());
            continue;
        }
        if (!processEnded(intent, file))
            continue;
        // Two programs recovering at once take turns; the second finds the
        // intent gone.
        const FileLock lock(fs::fromNative(file), std::chrono::seconds(5));
        if (!lock.held() || !present(file))
            continue;
        const std::string problems = intent.committed ? finishAll(intent) : undoAll(intent, intent.steps.size());
        if (!problems.empty()) {
            failures += (failures.empty() ? "" : "; ") + problems;
            continue;
        }
        ::unlink(file.c_str());
        if (recovered)
            ++*recovered;
    }
    if (!failures.empty())
        return Status::failure("cannot finish an interrupted change: " + failures);
    return Status::success();
}

} // namespace quill
