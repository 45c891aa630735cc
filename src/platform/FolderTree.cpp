#include "platform/FolderTree.h"

#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/OwnedDirectory.h"
#include "platform/Paths.h"
#include "platform/Result.h"
#include "platform/Trash.h"
#include "platform/WorkPool.h"

#include <cstdlib>
#include <unordered_map>

namespace quill {
namespace {

bool matchFrom(std::string_view name, std::string_view mask) {
    // Iterative glob with one backtrack point: linear enough for any name.
    std::size_t n = 0, m = 0, starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || cp1250::upper(static_cast<unsigned char>(mask[m])) ==
                                                      cp1250::upper(static_cast<unsigned char>(name[n])))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

bool hasWildcard(std::string_view s) {
    return s.find_first_of("*?") != std::string_view::npos;
}

// The sources a (possibly wildcarded) source names.
std::vector<std::string> expandSource(std::string_view source, bool& wildcard) {
    const std::string name = path::fileName(source);
    wildcard = hasWildcard(name);
    if (!wildcard)
        return {path::withoutTrailingSeparator(source)};
    return listFiles(path::directory(source), name);
}

Status runOne(const std::string& source, const std::string& target, FileOperation operation, const Trash& trash) {
    switch (operation) {
    case FileOperation::Copy: return fs::copyTree(source, target);
    case FileOperation::Move: return fs::move(source, target);
    case FileOperation::Rename: return fs::rename(source, target);
    case FileOperation::DeleteToTrash: return trash.moveToTrash(source);
    case FileOperation::DeleteForGood: return fs::removeAll(source);
    }
    return Status::failure("unknown file operation");
}

} // namespace

bool matchesMask(std::string_view name, std::string_view mask) {
    if (mask.empty() || mask == "*.*" || mask == "*")
        return true;
    // "*.*" style masks also match names without a dot, as on Windows.
    if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*" && name.find('.') == std::string_view::npos &&
        matchFrom(name, mask.substr(0, mask.size() - 2)))
        return true;
    return matchFrom(name, mask);
}

std::vector<std::string> listFiles(std::string_view directory, std::string_view mask) {
    std::vector<std::string> paths;
    const auto entries = fs::list(directory);
    if (!entries)
        return paths;
    for (const fs::Entry& entry : *entries) {
        if (matchesMask(entry.name, mask))
            paths.push_back(path::join(directory, entry.name));
    }
    return paths;
}

std::vector<std::string> listSubDirectories(std::string_view directory) {
    std::vector<std::string> paths;
    const auto entries = fs::list(directory);
    if (!entries)
        return paths;
    for (const fs::Entry& entry : *entries) {
        if (entry.isDirectory)
            paths.push_back(path::join(directory, entry.name));
    }
    return paths;
}

Status runFileOperation(std::string_view source, std::string_view target, FileOperation operation, const Trash& trash) {
    bool wildcard = false;
    const std::vector<std::string> sources = expandSource(source, wildcard);
    if (!wildcard && !fs::exists(sources.front()))
        return Status::failure("cannot find " + std::string(source));
    const bool intoDirectory = operation == FileOperation::Copy || operation == FileOperation::Move;
    if (wildcard && intoDirectory && !sources.empty() && !fs::createDirectories(target))
        return Status::failure("cannot create " + std::string(target));
    Status result = Status::success();
    for (const std::string& item : sources) {
        std::string destination(target);
        if (intoDirectory && (wildcard || fs::isDirectory(target)))
            destination = path::join(target, path::fileName(item));
        Status s = Status::success();
        if ((operation == FileOperation::Copy || operation == FileOperation::Move) && fs::isDirectory(item) &&
            fs::isWithin(destination, item)) {
            s = Status::failure("cannot copy or move " + item + " into itself");
        } else if (operation == FileOperation::Rename && fs::exists(destination) && !fs::isWithin(destination, item)) {
            // A rename never replaces another file; only a change of case
            // of the same name (the same file) goes through.
            s = Status::failure("cannot rename " + item + ": " + destination + " exists");
        } else {
            s = runOne(item, destination, operation, trash);
        }
        if (!s && result)
            result = std::move(s);
    }
    return result;
}

bool sameFileTime(std::int64_t a, std::int64_t b) {
    return std::llabs(a - b) < 1000000LL;
}

namespace {

std::size_t walkBeside(const std::string& source, const std::string& target, const std::string& relative,
                       const std::function<void(const SyncedFile&)>& visit, WorkPool* pool) {
    std::size_t linksSkipped = 0;
    const auto entries = fs::list(source);
    if (!entries)
        return linksSkipped;
    // The times of the source's files first: on a share they are asked for
    // side by side.
    std::vector<std::string> files;
    for (const fs::Entry& entry : *entries) {
        if (!entry.isSymlink && !entry.isDirectory)
            files.push_back(path::join(source, entry.name));
    }
    const std::vector<std::int64_t> times =
        mapInOrder(pool, files, [](const std::string& file) { return fs::modificationTime(file); });
    std::size_t file = 0;
    for (const fs::Entry& entry : *entries) {
        const bool regular = !entry.isSymlink && !entry.isDirectory;
        SyncedFile found{path::join(source, entry.name), path::join(target, entry.name), relative + entry.name,
                         regular ? times[file++] : 0, std::nullopt};
        if (entry.isSymlink || fs::isSymlink(found.to)) {
            ++linksSkipped;
            continue;
        }
        if (entry.isDirectory) {
            linksSkipped += walkBeside(found.from, found.to, found.relative + "/", visit, pool);
            continue;
        }
        if (const auto there = fs::stamp(found.to))
            found.toTime = there->modifiedNs;
        visit(found);
    }
    return linksSkipped;
}

} // namespace

std::size_t walkTreeBeside(std::string_view source, std::string_view target,
                           const std::function<void(const SyncedFile&)>& visit) {
    const std::unique_ptr<WorkPool> pool = poolForShare(source);
    return walkBeside(std::string(source), std::string(target), {}, visit, pool.get());
}

std::size_t mirrorTree(std::string_view source, std::string_view target) {
    return walkTreeBeside(source, target, [&](const SyncedFile& file) {
        if (file.toTime && sameFileTime(file.fromTime, *file.toTime))
            return;
        fs::createDirectories(path::directory(file.to));
        // A file that cannot be copied stays as it was; the walk goes on.
        ignoreOutcome(fs::copyFile(file.from, file.to));
    });
}

std::size_t pruneTree(std::string_view source, std::string_view reference) {
    std::size_t linksSkipped = 0;
    const auto entries = fs::list(source);
    // What the reference holds, from one listing rather than a call per
    // name (names match in any case, as paths do). A reference that
    // cannot be listed says nothing about what it lacks: nothing is
    // deleted on its word.
    const auto held = fs::list(reference);
    if (!entries || !held)
        return linksSkipped;
    std::unordered_map<std::string, fs::Entry> counterparts;
    for (const fs::Entry& entry : *held)
        counterparts.emplace(cp1250::upper(entry.name), entry);
    for (const fs::Entry& entry : *entries) {
        const std::string item = path::join(source, entry.name);
        if (entry.name == kOwnedDirectoryMark)
            continue;
        const auto counterpart = counterparts.find(cp1250::upper(entry.name));
        const bool present = counterpart != counterparts.end();
        // A link is pruned as itself, never walked into: what it points to
        // may lie outside the tree.
        if (entry.isSymlink) {
            ++linksSkipped;
            if (!present)
                ignoreOutcome(fs::removeFile(item));
            continue;
        }
        if (entry.isDirectory) {
            if (present && counterpart->second.isDirectory)
                linksSkipped += pruneTree(item, path::join(reference, counterpart->second.name));
            else
                ignoreOutcome(fs::removeAll(item));
        } else if (!present) {
            ignoreOutcome(fs::removeFile(item));
        }
    }
    return linksSkipped;
}

} // namespace quill
