// A new data point made from the system part of the current one.
#include "datapoint/DataPointCreation.h"

#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <vector>

namespace quill {
namespace {

constexpr std::string_view kFolderRecord = "folder.folders";

// One thing to make in the target, by its path relative to the source.
struct Item {
    std::string relative;
    bool directory = false;
};

class CopyPlan {
public:
    explicit CopyPlan(const DataPointSource& source) : source_(source) {
        root_ = path::comparableFolder(source.rootDirectory);
        usersRoot_ = path::comparableFolder(source.usersRootDirectory);
        logs_ = path::comparableFolder(source.logsDirectory);
        tasks_ = path::comparableFolder(source.tasksDirectory);
    }

    bool build() { return addDirectoryContent(source_.dataPoint, "", Content::All); }
    const std::vector<Item>& items() const { return items_; }
    std::size_t fileCount() const { return files_; }

private:
    // What of a directory's content goes into the new data point.
    enum class Content { All, DirectoriesOnly, RecordOnly, FolderRecords };

    Content contentOf(const std::string& directory, Content inherited) const {
        const std::string comparable = path::comparableFolder(directory);
        if (!root_.empty() && comparable == root_)
            return Content::RecordOnly;
        if (!usersRoot_.empty() && comparable == usersRoot_)
            return Content::FolderRecords;
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
                if (content == Content::RecordOnly || isPrivateSystemDirectory(to))
                    continue;
                const Content inner =
                    content == Content::FolderRecords ? Content::RecordOnly : contentOf(from, content);
                items_.push_back({to, true});
                if (!addDirectoryContent(from, to, inner))
                    return false;
                continue;
            }
            const bool record = cp1250::equalsNoCase(entry.name, kFolderRecord);
            const bool wanted = content == Content::All ? !(relative.empty() && isDataPointInfo(entry.name))
                                                        : (content != Content::DirectoriesOnly && record);
            if (wanted && fs::isRegularFile(from)) {
                items_.push_back({to, false});
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
    std::size_t files_ = 0;
};

// Removes what a failed creation made, newest first; only what lies in the
// target and did not exist before is touched.
void undo(const std::vector<std::string>& made) {
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
        if (fs::isSymlink(*it) || !fs::isDirectory(*it))
            (void)fs::removeFile(*it);
        else
            (void)fs::removeAll(*it);
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

    CopyPlan plan(source);
    if (!plan.build())
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
        const std::string from = path::join(source.dataPoint, item.relative);
        const std::string into = path::join(staging, item.relative);
        if (item.directory) {
            if (!fs::createDirectories(into))
                return fail("the directory " + into + " cannot be created");
        } else if (const Status status = fs::copyNewFile(from, into); !status) {
            return fail("copying " + item.relative + " failed: " + status.message());
        } else if (progress) {
            progress(++copied, plan.fileCount());
        }
    }
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
    (void)fs::removeAll(staging);
    return Status::success();
}

} // namespace quill
