#include "navigation/DocumentCommands.h"

#include "navigation/MainTree.h"
#include "platform/FileSystem.h"
#include "platform/FolderTree.h"
#include "platform/OwnedDirectory.h"
#include "platform/Paths.h"
#include "session/EventLog.h"
#include "session/Menus.h"
#include "session/Scheduler.h"
#include "session/Session.h"

namespace quill {
namespace {

// The log's texts name the actual object: for an operation on a path it is
// the path's own name.
void actOn(Session& session, std::string_view path) {
    session.actual.displayName = path::fileName(path::withoutTrailingSeparator(path));
}

// A place in the trash for name that nothing takes yet.
std::string freeTrashPlace(Session& session, std::string_view name) {
    const std::string place = path::join(trashDirectory(session), name);
    return fs::exists(place) ? session.recordFiles().uniqueName(place) : place;
}

} // namespace

std::string trashDirectory(const Session& session) {
    const std::string& temporary = session.context.settings.temporaryDirectory;
    return temporary.empty() ? std::string() : path::join(temporary, "Trash");
}

bool liesInTrash(const Session& session, std::string_view path) {
    const std::string trash = trashDirectory(session);
    return !trash.empty() && fs::isWithin(path, trash);
}

Status moveDocumentToTrash(Session& session, std::string_view path) {
    const std::string trash = trashDirectory(session);
    if (trash.empty() || !isOwnedDirectory(session.context.settings.temporaryDirectory))
        return Status::failure("cannot move " + std::string(path) + " to the trash: there is no trash");
    fs::createDirectories(trash);
    actOn(session, path);
    logEvent(session, 63).ok();
    const Status moved =
        transferDocument(session, path, freeTrashPlace(session, path::fileName(path)), TransferMode::Move);
    updateScheduleEntry(session, std::string(path));
    return moved;
}

Status copyDocumentToTrash(Session& session, std::string_view path) {
    const std::string trash = trashDirectory(session);
    if (trash.empty() || !isOwnedDirectory(session.context.settings.temporaryDirectory))
        return Status::failure("cannot keep a copy of " + std::string(path) + " in the trash: there is no trash");
    fs::createDirectories(trash);
    return transferDocument(session, path, freeTrashPlace(session, path::fileName(path)), TransferMode::Copy);
}

Status moveFolderToTrash(Session& session, const MainTree& tree, std::string_view folder) {
    const std::string directory = path::withoutTrailingSeparator(folder);
    const std::string trash = trashDirectory(session);
    if (trash.empty() || !isOwnedDirectory(session.context.settings.temporaryDirectory))
        return Status::failure("cannot move " + directory + " to the trash: there is no trash");
    if (!fs::isDirectory(directory) || fs::isSymlink(directory) || !liesBelowTopFolder(tree, directory))
        return Status::failure("cannot move " + directory + " to the trash: it is no folder inside your top folders");
    fs::createDirectories(trash);
    actOn(session, directory);
    logEvent(session, 64).ok();
    return fs::move(directory, freeTrashPlace(session, path::fileName(directory)));
}

Status emptyTrash(Session& session) {
    const std::string trash = trashDirectory(session);
    logEvent(session, 62).ok();
    // Only the program's own trash, inside its own temporary directory.
    if (trash.empty() || !isOwnedDirectory(session.context.settings.temporaryDirectory))
        return Status::success();
    std::string failures;
    for (const std::string& item : listFiles(trash)) {
        if (Status removed = fs::removeAll(item); !removed)
            failures += (failures.empty() ? "" : "; ") + removed.message();
    }
    return failures.empty() ? Status::success() : Status::failure(failures);
}

DropCheck checkDrop(const TreeNode& sourceNode, std::string_view document, const TreeNode& target) {
    DropCheck check;
    const auto refuse = [&](int warning) {
        check.warning = warning;
        return check;
    };
    const bool toSettings = target.kind == "SETTINGS" || target.kind == "SETTINGS_OBJ";
    if (document.empty()) {
        const std::string source = path::withoutTrailingSeparator(sourceNode.path);
        if (sourceNode.kind == "ROOT")
            return refuse(1);
        if (&sourceNode == &target || path::comparableFolder(source) == path::comparableFolder(target.path))
            return check;
        const std::string upperTarget = path::comparableFolder(target.path);
        const std::string upperSource = path::comparableFolder(source);
        if (!upperSource.empty() && upperTarget.find(upperSource) != std::string::npos &&
            upperSource.size() < upperTarget.size())
            return refuse(2);
        if (sourceNode.kind == "SETTINGS" || sourceNode.kind == "SETTINGS_OBJ" || target.kind == "SETTINGS")
            return refuse(3);
        if (sourceNode.kind == "MYTASKS" || target.kind == "MYTASKS")
            return refuse(4);
        if (sourceNode.kind == "TRASH")
            return refuse(5);
        if (source.empty() || target.path.empty() || toSettings)
            return refuse(3);
        check.target = path::join(target.path, path::fileName(source));
    } else {
        if (target.kind == "SETTINGS")
            return refuse(3);
        if (target.kind == "MYTASKS")
            return refuse(4);
        if (target.path.empty())
            return check;
        check.target = path::join(target.path, path::fileName(document));
        if (path::comparableFolder(check.target) == path::comparableFolder(document))
            return DropCheck{};
    }
    check.accepted = true;
    return check;
}

Status transferFolder(const Session& session, const MainTree& tree, std::string_view source, std::string_view target,
                      TransferMode mode) {
    const std::string from = path::withoutTrailingSeparator(source);
    if (!fs::isDirectory(from) || fs::isSymlink(from))
        return Status::failure("cannot transfer " + from + ": no such folder");
    if (fs::exists(target))
        return Status::failure("cannot transfer " + from + ": " + std::string(target) + " exists already");
    if (mode == TransferMode::Move && !mayTakeAwayFolder(session, tree, from))
        return Status::failure("cannot move " + from + ": it is no folder inside your top folders");
    if (mode == TransferMode::Copy) {
        if (Status copied = fs::copyTree(from, target); !copied) {
            fs::removeAll(target).ok();
            return copied;
        }
        return Status::success();
    }
    return fs::move(from, target);
}

Status deleteDocumentForGood(Session& session, std::string_view path) {
    if (!fs::isRegularFile(path))
        return Status::failure("cannot delete " + std::string(path) + ": no such document");
    actOn(session, path);
    logEvent(session, 60).ok();
    const Status deleted = deleteDocument(session, path);
    updateScheduleEntry(session, std::string(path));
    return deleted;
}

bool liesBelowTopFolder(const MainTree& tree, std::string_view folder) {
    const std::string wanted = path::withoutTrailingSeparator(folder);
    for (const TopFolderEntry& top : tree.topFolders) {
        if (!top.path.empty() && fs::isWithin(wanted, top.path) && !fs::isWithin(top.path, wanted))
            return true;
    }
    return false;
}

bool mayTakeAwayFolder(const Session& session, const MainTree& tree, std::string_view folder) {
    const std::string wanted = path::withoutTrailingSeparator(folder);
    if (liesBelowTopFolder(tree, wanted))
        return true;
    // What was moved into the trash may be deleted for good or taken back;
    // the trash itself stays.
    const std::string trash = trashDirectory(session);
    return liesInTrash(session, wanted) && !fs::isWithin(trash, wanted) &&
           isOwnedDirectory(session.context.settings.temporaryDirectory);
}

Status deleteFolderForGood(Session& session, const MainTree& tree, std::string_view folder) {
    const std::string directory = path::withoutTrailingSeparator(folder);
    if (!fs::isDirectory(directory))
        return Status::failure("cannot delete " + directory + ": no such folder");
    if (fs::isSymlink(directory) || !mayTakeAwayFolder(session, tree, directory) ||
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
