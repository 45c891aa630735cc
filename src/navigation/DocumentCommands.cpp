#include "navigation/DocumentCommands.h"

#include "navigation/MainTree.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/EventLog.h"
#include "session/Menus.h"
#include "session/Session.h"

namespace quill {
namespace {

// The log's texts name the actual object: for an operation on a path it is
// the path's own name.
void actOn(Session& session, std::string_view path) {
    session.actual.displayName = path::fileName(path::withoutTrailingSeparator(path));
}

} // namespace

Status copyOrMoveDocument(Session& session, std::string_view source, std::string_view target, TransferMode mode) {
    return transferDocument(session, source, target, mode);
}

Status deleteDocumentForGood(Session& session, std::string_view path) {
    if (!fs::isRegularFile(path))
        return Status::failure("cannot delete " + std::string(path) + ": no such document");
    actOn(session, path);
    logEvent(session, 60).ok();
    return deleteDocument(session, path);
}

bool liesBelowTopFolder(const MainTree& tree, std::string_view folder) {
    const std::string wanted = path::withoutTrailingSeparator(folder);
    for (const TopFolderEntry& top : tree.topFolders) {
        if (!top.path.empty() && fs::isWithin(wanted, top.path) && !fs::isWithin(top.path, wanted))
            return true;
    }
    return false;
}

Status deleteFolderForGood(Session& session, const MainTree& tree, std::string_view folder) {
    const std::string directory = path::withoutTrailingSeparator(folder);
    if (!fs::isDirectory(directory))
        return Status::failure("cannot delete " + directory + ": no such folder");
    if (fs::isSymlink(directory) || !liesBelowTopFolder(tree, directory) ||
        fs::isWithin(session.context.dataPointPath, directory))
        return Status::failure("cannot delete " + directory + ": it is no folder inside your top folders");
    actOn(session, directory);
    logEvent(session, 61).ok();
    return fs::removeAll(directory);
}

Status createObject(Session& session, std::string_view folder, std::size_t typeIndex, std::string& created) {
    const TypeTables& tables = session.tables;
    if (typeIndex >= tables.objectTypes.size())
        return Status::failure("the data point has no object type " + std::to_string(typeIndex));
    if (!fs::isDirectory(folder))
        return Status::failure("cannot create a document in " + std::string(folder) + ": no such folder");
    const RecordFiles files = session.recordFiles();
    const std::string extension = "." + path::withoutExtension(tables.objectTypes[typeIndex].name);
    const std::string file = files.uniqueName(path::join(folder, "object"), extension);
    if (Status written = files.update(file, [](Record&) { return Status::success(); }); !written)
        return written;
    created = file;
    return Status::success();
}

Status createFolderFromTemplate(Session& session, std::string_view parent, std::size_t templateIndex,
                                std::string_view name, std::string& created) {
    const FolderTemplateMenu menu = buildFolderTemplateMenu(session);
    if (templateIndex >= menu.templates.size())
        return Status::failure("there is no folder template " + std::to_string(templateIndex));
    if (!path::isPlainFileName(name))
        return Status::failure("\"" + std::string(name) + "\" cannot be a folder name");
    const std::string folder = path::join(parent, name);
    if (fs::exists(folder))
        return Status::failure("cannot create " + folder + ": it exists already");
    if (Status copied = fs::copyTree(menu.templates[templateIndex].directory, folder); !copied) {
        fs::removeAll(folder).ok();
        return copied;
    }
    created = folder;
    return Status::success();
}

} // namespace quill
