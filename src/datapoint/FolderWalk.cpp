#include "datapoint/FolderWalk.h"

#include "formats/CompanionNames.h"
#include "formats/RecordFile.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/FolderTree.h"
#include "platform/Paths.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace quill {
namespace {

// Deeper trees than this are not data points anyone made by hand.
constexpr int kMaxDepth = 256;

void walk(const RecordFiles& records, const std::string& directory, const std::vector<fs::Entry>& entries,
          FolderWalkVisitor& visitor, FolderWalkVisitor::Node parent, int depth, int levels) {
    for (const fs::Entry& entry : entries) {
        // A link may lead anywhere on the machine, or back up the tree.
        if (entry.isSymlink)
            continue;
        if (entry.isDirectory) {
            const std::string entryPath = path::join(directory, entry.name);
            if (depth >= levels)
                continue;
            // One listing of the sub-directory serves both the search for
            // its folder record and the walk below it.
            const auto subEntries = fs::list(entryPath);
            if (!subEntries)
                continue;
            FolderWalkVisitor::Node subParent = parent;
            for (const fs::Entry& sub : *subEntries) {
                if (sub.isDirectory || sub.isSymlink || !cp1250::equalsNoCase(sub.name, "folder.folders"))
                    continue;
                Record folderRecord;
                if (records.read(path::join(entryPath, sub.name), folderRecord) == RecordRead::Ok)
                    subParent =
                        visitor.folderFound(entry.name, path::withTrailingSeparator(directory), folderRecord, parent);
                break;
            }
            walk(records, entryPath, *subEntries, visitor, subParent, depth + 1, levels);
        } else if (visitor.wantsSchedules() && cp1250::equalsNoCase(path::extension(entry.name), ".SCHEDULER")) {
            visitor.scheduleFound(path::join(directory, entry.name), mainFileAmong(entries, directory, entry.name));
        }
    }
}

} // namespace

void walkFolderTree(const RecordFiles& records, const std::string& directory, FolderWalkVisitor& visitor,
                    FolderWalkVisitor::Node parent, int levels) {
    const auto entries = fs::list(directory);
    if (!entries)
        return;
    walk(records, path::withoutTrailingSeparator(directory), *entries, visitor, parent, 0,
         levels > 0 ? std::min(levels, kMaxDepth) : kMaxDepth);
}

} // namespace quill
