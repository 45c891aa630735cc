// A new data point made from the system part of the current one.
#include "datapoint/DataPointCreation.h"

#include "formats/CompanionNames.h"
#include "platform/AtomicFile.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Result.h"
#include "platform/TextUtil.h"

#include <algorithm>

#include <set>
#include <vector>

namespace quill {
namespace {

// One thing to make in the target, by its path relative to the target;
// a file is copied from from.
struct Item {
    std::string relative;
    bool directory = false;
    std::string from;
};

// Where the new data point keeps its root or users root directory: inside
// it (relative names the place) or an existing directory elsewhere, used
// as it is.
struct NewPlace {
    std::string relative;
    std::string outside;
};

// The directory a DataPoint.info value names for a data point at target,
// as a logon on it will read it.
Status placeOf(std::string_view key, std::string_view value, const std::string& target, NewPlace& place) {
    std::string text(value);
    constexpr std::string_view marker = "$DATA_POINT_PATH$";
    for (std::size_t at = cp1250::upper(text).find(marker); at != std::string::npos;
         at = cp1250::upper(text).find(marker, at + target.size()))
        text.replace(at, marker.size(), target);
    const std::string resolved = path::withoutTrailingSeparator(path::normalize(text));
    const std::string named = std::string(key) + " directory " + std::string(value);
    if (resolved.empty() || resolved[0] != '/' || resolved.find('$') != std::string::npos)
        return Status::failure("the " + named + " must be a full path or begin with $DATA_POINT_PATH$");
    for (const std::string_view part : {std::string_view("/../"), std::string_view("/./")}) {
        if ((resolved + "/").find(part) != std::string::npos)
            return Status::failure("the " + named + " may not hold . or ..");
    }
    const std::string inside = path::withTrailingSeparator(target);
    if (resolved.compare(0, inside.size(), inside) == 0) {
        place.relative = resolved.substr(inside.size());
        const std::string first = place.relative.substr(0, place.relative.find('/'));
        if (cp1250::equalsNoCase(first, "DataPoint.system") || cp1250::equalsNoCase(first, "DataPoint.info"))
            return Status::failure("the " + named + " cannot lie in the data point's own files");
        return Status::success();
    }
    if (resolved == target)
        return Status::failure("the " + named + " cannot be the data point itself");
    if (!fs::isDirectory(resolved) || fs::isSymlink(resolved))
        return Status::failure("the " + named + " lies outside the new data point and does not exist");
    place.outside = resolved;
    return Status::success();
}

class CopyPlan {
public:
    explicit CopyPlan(const DataPointSource& source) : source_(source) {
        root_ = path::comparableFolder(source.rootDirectory);
        usersRoot_ = path::comparableFolder(source.usersRootDirectory);
        logs_ = path::comparableFolder(source.logsDirectory);
        tasks_ = path::comparableFolder(source.tasksDirectory);
    }

    // The system part goes where it is in the source; the root and users
    // root directories go where the new DataPoint.info names them, whatever
    // the source calls its own, so that the new data point always opens.
    bool build(const NewPlace& root, const NewPlace& usersRoot) {
        if (!addDirectoryContent(source_.dataPoint, "", Content::All))
            return false;
        if (!root.relative.empty()) {
            addDirectory(root.relative);
            addFileIfPresent(path::join(source_.rootDirectory, kFolderRecordName), root.relative);
        }
        if (usersRoot.relative.empty())
            return true;
        addDirectory(usersRoot.relative);
        const auto areas = fs::list(source_.usersRootDirectory);
        if (!areas)
            return false;
        for (const fs::Entry& area : *areas) {
            if (!area.isDirectory || area.isSymlink)
                continue;
            const std::string relative = usersRoot.relative + "/" + area.name;
            addDirectory(relative);
            addFileIfPresent(path::join(path::join(source_.usersRootDirectory, area.name), kFolderRecordName),
                             relative);
        }
        return true;
    }
    const std::vector<Item>& items() const { return items_; }
    std::size_t fileCount() const { return files_; }

private:
    // What of a directory's content goes into the new data point.
    enum class Content { All, DirectoriesOnly, Nothing };

    Content contentOf(const std::string& directory, Content inherited) const {
        const std::string comparable = path::comparableFolder(directory);
        if ((!root_.empty() && comparable == root_) || (!usersRoot_.empty() && comparable == usersRoot_))
            return Content::Nothing;
        if ((!logs_.empty() && comparable == logs_) || (!tasks_.empty() && comparable == tasks_))
            return Content::DirectoriesOnly;
        return inherited;
    }

    // The users' trashes and the journal of unfinished changes belong to
    // this data point's users and documents, not to a new data point.
    static bool isPrivateSystemDirectory(const std::string& relative) {
        return cp1250::equalsNoCase(relative, "DataPoint.system/Trash") ||
               cp1250::equalsNoCase(relative, "DataPoint.system/Transactions");
    }

    // A directory and each directory above it inside the target, once.
    void addDirectory(const std::string& relative) {
        std::size_t end = 0;
        do {
            end = relative.find('/', end + 1);
            const std::string part = relative.substr(0, end);
            if (made_.insert(cp1250::upper(part)).second)
                items_.push_back({part, true, {}});
        } while (end != std::string::npos);
    }

    void addFileIfPresent(const std::string& from, const std::string& directory) {
        if (!fs::isRegularFile(from) || fs::isSymlink(from))
            return;
        items_.push_back({directory + "/" + path::fileName(from), false, from});
        ++files_;
    }

    bool addDirectoryContent(const std::string& directory, const std::string& relative, Content content) {
        const auto entries = fs::list(directory);
        if (!entries)
            return false;
        for (const fs::Entry& entry : *entries) {
            if (entry.isSymlink)
                continue;
            const std::string from = path::join(directory, entry.name);
            const std::string to = relative.empty() ? entry.name : relative + "/" + entry.name;
            if (entry.isDirectory) {
                const Content inner = contentOf(from, content);
                if (inner == Content::Nothing || isPrivateSystemDirectory(to))
                    continue;
                addDirectory(to);
                if (!addDirectoryContent(from, to, inner))
                    return false;
                continue;
            }
            const bool wanted = content == Content::All && !(relative.empty() && isDataPointInfo(entry.name));
            if (wanted && fs::isRegularFile(from)) {
                items_.push_back({to, false, from});
                ++files_;
            }
        }
        return true;
    }

    static bool isDataPointInfo(std::string_view name) {
        return cp1250::equalsNoCase(name, path::fileName(dataPointInfoPath("")));
    }

    const DataPointSource& source_;
    std::string root_, usersRoot_, logs_, tasks_;
    std::vector<Item> items_;
    std::set<std::string> made_; // upper-cased relative directories planned
    std::size_t files_ = 0;
};

// The users' folder lists name the source's root and users root; in the
// new data point they name the directories its DataPoint.info names, with
// the rest of each path (and its variables) kept. Other lines stay.
Status moveFolderListsTo(const std::string& staging, const DataPointSource& source,
                         const DataPointDescription& description) {
    const std::string lists = path::join(staging, "DataPoint.system/Users");
    const auto entries = fs::list(lists);
    if (!entries)
        return Status::success();
    constexpr std::string_view marker = "$DATA_POINT_PATH$";
    const auto comparable = [](std::string text) {
        std::replace(text.begin(), text.end(), '\\', '/');
        return cp1250::upper(text);
    };
    const std::pair<std::string, std::string> moves[] = {
        {comparable(path::withoutTrailingSeparator(source.rootDirectory)), description.rootDirectory},
        {comparable(path::withoutTrailingSeparator(source.usersRootDirectory)), description.usersDirectory}};
    for (const fs::Entry& entry : *entries) {
        if (entry.isDirectory || entry.isSymlink || !cp1250::equalsNoCase(path::extension(entry.name), ".usrfolders"))
            continue;
        const std::string file = path::join(lists, entry.name);
        const fs::ReadResult read = fs::readFile(file, 1024 * 1024);
        if (!read.ok())
            return Status::failure("cannot read " + file);
        std::string content;
        for (std::string_view line : text::splitLines(read.content)) {
            std::string value(line);
            std::string expanded = value;
            if (const std::size_t at = cp1250::upper(expanded).find(marker); at == 0)
                expanded.replace(0, marker.size(), path::withoutTrailingSeparator(source.dataPoint));
            const std::string seen = comparable(expanded);
            for (const auto& [from, to] : moves) {
                if (!from.empty() && seen.compare(0, from.size(), from) == 0 &&
                    (seen.size() == from.size() || seen[from.size()] == '/')) {
                    value = to + expanded.substr(from.size());
                    break;
                }
            }
            content += value + "\r\n";
        }
        if (Status written = replaceFile(file, content); !written)
            return written;
    }
    return Status::success();
}

// Removes what a failed creation made, newest first; only what lies in the
// target and did not exist before is touched.
void undo(const std::vector<std::string>& made) {
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
        if (fs::isSymlink(*it) || !fs::isDirectory(*it))
            ignoreOutcome(fs::removeFile(*it));
        else
            ignoreOutcome(fs::removeAll(*it));
    }
}

} // namespace

Status createDataPointCopy(const DataPointSource& source, std::string_view target,
                           const DataPointDescription& description, const CopyProgress& progress,
                           const std::function<Status()>& beforePlacing) {
    const std::string to = path::withoutTrailingSeparator(path::normalize(target));
    if (to.empty())
        return Status::failure("no directory was given for the new data point");
    if (!fs::isDirectory(source.dataPoint) || !isDataPoint(source.dataPoint))
        return Status::failure("there is no current data point to copy");
    const bool targetExisted = fs::exists(to);
    if (targetExisted && (!fs::isDirectory(to) || fs::isSymlink(to)))
        return Status::failure(to + " is no directory");
    // A target still to be made is judged by the nearest directory of it
    // that exists, with links resolved.
    std::string existing = to;
    while (!existing.empty() && !fs::exists(existing) && path::directory(existing) != existing)
        existing = path::withoutTrailingSeparator(path::directory(existing));
    if ((!existing.empty() && fs::isWithin(existing, source.dataPoint)) ||
        (targetExisted && fs::isWithin(source.dataPoint, to)))
        return Status::failure("the new data point cannot lie inside the current one, nor hold it");

    NewPlace root, usersRoot;
    if (Status place = placeOf("ROOT", description.rootDirectory, to, root); !place)
        return place;
    if (Status place = placeOf("USERS", description.usersDirectory, to, usersRoot); !place)
        return place;
    if (!root.relative.empty() && cp1250::equalsNoCase(root.relative, usersRoot.relative))
        return Status::failure("the ROOT and USERS directories must differ");
    CopyPlan plan(source);
    if (!plan.build(root, usersRoot))
        return Status::failure("the current data point cannot be read: " + source.dataPoint);
    // Everything is copied into a hidden staging directory first and put in
    // place at the end: a creation that is killed leaves no half data point
    // that would block the next attempt, only the staging directory, which
    // that attempt clears.
    const std::string staging = targetExisted ? path::join(to, ".~quill-creating")
                                              : path::join(path::directory(to), ".~quill-new-" + path::fileName(to));
    const bool interrupted = fs::isDirectory(staging) && !fs::isSymlink(staging) && !isDataPoint(to);
    if (targetExisted) {
        if (isDataPoint(to))
            return Status::failure(to + " already holds a data point");
        for (const Item& item : plan.items()) {
            const std::string there = path::join(to, item.relative);
            if (item.relative.find('/') != std::string::npos || !fs::exists(there))
                continue;
            // What a killed creation had put in place already is taken away
            // again: it is recognised by the staging directory it left.
            if (!interrupted)
                return Status::failure(to + " already holds " + item.relative + "; choose an empty directory");
            if (Status removed = fs::removeAll(there); !removed)
                return removed;
        }
    }
    if (fs::exists(staging) && !interrupted && targetExisted)
        return Status::failure(to + " already holds " + staging);
    if (fs::isDirectory(staging) && !fs::isSymlink(staging)) {
        if (Status removed = fs::removeAll(staging); !removed)
            return removed;
    }

    // What was made, so that a failure takes exactly that away again.
    std::vector<std::string> made;
    if (!fs::createDirectories(staging))
        return Status::failure("the directory " + staging + " cannot be created");
    made.push_back(staging);
    const auto fail = [&](std::string message) {
        undo(made);
        return Status::failure(std::move(message));
    };
    std::size_t copied = 0;
    for (const Item& item : plan.items()) {
        const std::string into = path::join(staging, item.relative);
        if (item.directory) {
            if (!fs::createDirectories(into))
                return fail("the directory " + into + " cannot be created");
        } else if (const Status status = fs::copyNewFile(item.from, into); !status) {
            return fail("copying " + item.relative + " failed: " + status.message());
        } else if (progress) {
            progress(++copied, plan.fileCount());
        }
    }
    if (const Status status = moveFolderListsTo(staging, source, description); !status)
        return fail("the users' folder lists cannot be written: " + status.message());
    if (const Status status = writeDataPointInfo(staging, description); !status)
        return fail("DataPoint.info cannot be written: " + status.message());
    if (beforePlacing) {
        if (Status done = beforePlacing(); !done)
            return fail(done.message());
    }
    if (!targetExisted) {
        if (Status placed = fs::rename(staging, to); !placed)
            return fail("the new data point cannot be put in place: " + placed.message());
        return Status::success();
    }
    // Into a directory the user chose: DataPoint.info goes last, so that the
    // directory is a data point only once everything else is there.
    const auto entries = fs::list(staging);
    if (!entries)
        return fail("cannot read " + staging);
    std::vector<std::string> names;
    for (const fs::Entry& entry : *entries) {
        if (!cp1250::equalsNoCase(entry.name, path::fileName(dataPointInfoPath(""))))
            names.push_back(entry.name);
    }
    names.push_back(path::fileName(dataPointInfoPath("")));
    for (const std::string& name : names) {
        if (Status placed = fs::rename(path::join(staging, name), path::join(to, name)); !placed)
            return fail("the new data point cannot be put in place: " + placed.message());
        made.push_back(path::join(to, name));
    }
    ignoreOutcome(fs::removeAll(staging));
    return Status::success();
}

} // namespace quill
