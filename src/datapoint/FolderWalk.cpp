#include "datapoint/FolderWalk.h"

#include "formats/CompanionNames.h"
#include "formats/RecordFile.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/FolderTree.h"
#include "platform/Paths.h"
#include "platform/WorkPool.h"

#include <algorithm>
#include <future>
#include <optional>
#include <vector>

namespace quill {
namespace {

// Deeper trees than this are not data points anyone made by hand.
constexpr int kMaxDepth = 256;

// A sub-directory as the walk needs it: its listing and its folder record.
struct SubDirectory {
    std::optional<std::vector<fs::Entry>> entries;
    std::optional<Record> folderRecord; // readable folder.folders
};

SubDirectory readSubDirectory(const RecordFiles& records, const std::string& directory) {
    SubDirectory read;
    // One listing of the sub-directory serves both the search for its
    // folder record and the walk below it; the record is read from the
    // directory held open.
    fs::OpenDirectory open(directory);
    read.entries = std::move(open.entries());
    if (!read.entries)
        return read;
    for (const fs::Entry& sub : *read.entries) {
        if (sub.isDirectory || sub.isSymlink || !cp1250::equalsNoCase(sub.name, kFolderRecordName))
            continue;
        Record folderRecord;
        if (records.read(open, directory, sub.name, folderRecord) == RecordRead::Ok)
            read.folderRecord = std::move(folderRecord);
        break;
    }
    return read;
}

struct Walk {
    const RecordFiles& records;
    FolderWalkVisitor& visitor;
    int levels;
    WorkPool* pool; // reads sub-directories ahead; none on a local disk

    void walk(const std::string& directory, const std::vector<fs::Entry>& entries, FolderWalkVisitor::Node parent,
              int depth) {
        // With a pool, every sub-directory is asked for at once and taken in
        // order, so that the visitor meets everything as without one.
        std::vector<std::future<SubDirectory>> ahead;
        if (pool && depth < levels) {
            for (const fs::Entry& entry : entries) {
                if (entry.isDirectory && !entry.isSymlink &&
                    !cp1250::equalsNoCase(entry.name, kAttachmentDirectoryName))
                    ahead.push_back(pool->run(
                        [this, path = path::join(directory, entry.name)] { return readSubDirectory(records, path); }));
            }
        }
        std::size_t next = 0;
        for (const fs::Entry& entry : entries) {
            // A link may lead anywhere on the machine, or back up the tree.
            if (entry.isSymlink)
                continue;
            if (entry.isDirectory) {
                // The store of attached files is never a folder.
                if (depth >= levels || cp1250::equalsNoCase(entry.name, kAttachmentDirectoryName))
                    continue;
                const std::string entryPath = path::join(directory, entry.name);
                const SubDirectory sub = pool ? ahead[next++].get() : readSubDirectory(records, entryPath);
                if (!sub.entries)
                    continue;
                FolderWalkVisitor::Node subParent = parent;
                if (sub.folderRecord)
                    subParent = visitor.folderFound(entry.name, path::withTrailingSeparator(directory),
                                                    *sub.folderRecord, parent);
                walk(entryPath, *sub.entries, subParent, depth + 1);
            } else if (visitor.wantsSchedules() && cp1250::equalsNoCase(path::extension(entry.name), ".SCHEDULER")) {
                visitor.scheduleFound(path::join(directory, entry.name), mainFileAmong(entries, directory, entry.name));
            }
        }
    }
};

} // namespace

void walkFolderTree(const RecordFiles& records, const std::string& directory, FolderWalkVisitor& visitor,
                    FolderWalkVisitor::Node parent, int levels, int readers) {
    const auto entries = fs::list(directory);
    if (!entries)
        return;
    if (readers < 0)
        readers = fs::isNetworkFileSystem(directory) ? static_cast<int>(kNetworkReaders) : 0;
    std::optional<WorkPool> pool;
    if (readers > 0)
        pool.emplace(static_cast<std::size_t>(readers));
    Walk walk{records, visitor, levels > 0 ? std::min(levels, kMaxDepth) : kMaxDepth, pool ? &*pool : nullptr};
    walk.walk(path::withoutTrailingSeparator(directory), *entries, parent, 0);
}

} // namespace quill
