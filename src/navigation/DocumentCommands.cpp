#include "navigation/DocumentCommands.h"

#include "documents/Companions.h"
#include "documents/DocumentFiles.h"
#include "navigation/MainTree.h"
#include "platform/FileTransaction.h"
#include "platform/FileSystem.h"
#include "platform/FolderTree.h"
#include "platform/NameRules.h"
#include "platform/OwnedDirectory.h"
#include "platform/Paths.h"
#include "platform/Result.h"
#include "session/EventLog.h"
#include "session/Menus.h"
#include "session/Scheduler.h"
#include "session/Session.h"

namespace quill {
namespace {

// The log's texts name what an operation acts on: for a path it is the
// path's own name.
void logActingOn(Session& session, int event, std::string_view path) {
    ignoreOutcome(logEvent(session, event, path::fileName(path::withoutTrailingSeparator(path))));
}

// A place in the trash for a folder name that nothing takes yet.
std::string freeTrashPlace(Session& session, std::string_view name) {
    const std::string place = path::join(trashDirectory(session), name);
    return fs::exists(place) ? session.recordFiles().uniqueName(place) : place;
}

// A name in the trash for a document whose record and companions all are
// free: same-named documents from several folders each keep theirs.
std::string freeTrashDocument(Session& session, std::string_view document) {
    const std::string trash = trashDirectory(session);
    const std::string base = path::withoutExtension(path::fileName(document));
    const std::string extension = path::extension(document);
    for (int n = 1;; ++n) {
        const std::string candidate =
            path::join(trash, (n == 1 ? base : base + " (" + std::to_string(n) + ")") + extension);
        bool free = !fs::exists(candidate);
        for (Companion kind : {Companion::Comments, Companion::Attachments, Companion::Schedule, Companion::History})
            free = free && !fs::exists(companionPath(candidate, kind));
        if (free && documentsSharingCompanions(session, candidate).empty())
            return candidate;
    }
}

// The trash, made and marked as the program's own on first use.
Status prepareTrash(Session& session, std::string_view what) {
    const std::string trash = trashDirectory(session);
    if (trash.empty())
        return Status::failure("cannot move " + std::string(what) + " to the trash: there is no trash");
    if (!isOwnedDirectory(trash)) {
        if (Status claimed = claimOwnedDirectory(trash); !claimed)
            return Status::failure("cannot move " + std::string(what) + " to the trash: " + claimed.message());
    }
    return Status::success();
}

// Inside the shared folders or the users' folders, where documents and
// folders are made.
bool liesInDataPointFolders(const Session& session, std::string_view path) {
    const auto& c = session.context;
    return (!c.rootDirectory.empty() && fs::isWithin(path, c.rootDirectory)) ||
           (!c.usersRootDirectory.empty() && fs::isWithin(path, c.usersRootDirectory));
}

} // namespace

std::string trashDirectory(const Session& session) {
    const auto& c = session.context;
    if (c.dataPointPath.empty() || session.program.logonName.empty() ||
        !path::isPlainFileName(session.program.logonName))
        return {};
    return path::join(path::join(path::join(c.dataPointPath, "DataPoint.system"), "Trash"), session.program.logonName);
}

bool liesInTrash(const Session& session, std::string_view path) {
    const std::string trash = trashDirectory(session);
    return !trash.empty() && fs::isWithin(path, trash);
}

Status checkDocumentPlace(const Session& session, std::string_view path) {
    if (Status isDocument = expectDocument(session, path); !isDocument)
        return isDocument;
    const auto& c = session.context;
    for (const std::string* place : {&c.rootDirectory, &c.usersRootDirectory}) {
        if (!place->empty() && fs::isWithin(path, *place) && !fs::isWithin(*place, path))
            return Status::success();
    }
    if (liesInTrash(session, path))
        return Status::success();
    return Status::failure(std::string(path) + " is no document of the data point's folders");
}

Status transferDocumentInDataPoint(Session& session, std::string_view source, std::string_view target,
                                   TransferMode mode) {
    const std::string verb = mode == TransferMode::Copy ? "copy" : "move";
    if (Status place = checkDocumentPlace(session, source); !place)
        return Status::failure("cannot " + verb + ": " + place.message());
    if (const DocumentCheck name = checkDocumentName(session, target); name != DocumentCheck::Document)
        return Status::failure("cannot " + verb + " to " + std::string(target) + ": " + documentRefusal(name, target));
    const std::string folder = path::directory(target);
    const bool inside = liesInDataPointFolders(session, folder) || liesInTrash(session, folder);
    if (!inside || !fs::isDirectory(folder))
        return Status::failure("cannot " + verb + " to " + std::string(target) +
                               ": it is no folder of the data point's folders");
    const Status done = transferDocument(session, source, target, mode);
    if (done && mode == TransferMode::Move)
        updateScheduleEntry(session, std::string(source));
    return done;
}

Status moveDocumentToTrash(Session& session, std::string_view path) {
    if (Status place = checkDocumentPlace(session, path); !place)
        return Status::failure("cannot move to the trash: " + place.message());
    if (Status ready = prepareTrash(session, path); !ready)
        return ready;
    logActingOn(session, 63, path);
    const Status moved = transferDocument(session, path, freeTrashDocument(session, path), TransferMode::Move);
    updateScheduleEntry(session, std::string(path));
    return moved;
}

Status copyDocumentToTrash(Session& session, std::string_view path) {
    if (Status ready = prepareTrash(session, path); !ready)
        return ready;
    // The caller holds the document's lock; the trash is the user's own.
    FileTransaction plan(session.transactionJournal(), session.dataPointDirectory());
    if (Status planned =
            planDocumentTransfer(session, path, freeTrashDocument(session, path), TransferMode::Copy, plan);
        !planned)
        return planned;
    return plan.run();
}

Status moveFolderToTrash(Session& session, const MainTree& tree, std::string_view folder) {
    const std::string directory = path::withoutTrailingSeparator(folder);
    if (!fs::isDirectory(directory) || fs::isSymlink(directory) || !liesBelowTopFolder(tree, directory))
        return Status::failure("cannot move " + directory + " to the trash: it is no folder inside your top folders");
    if (Status ready = prepareTrash(session, directory); !ready)
        return ready;
    logActingOn(session, 64, directory);
    FileTransaction plan(session.transactionJournal(), session.dataPointDirectory());
    plan.move(directory, freeTrashPlace(session, path::fileName(directory)));
    return plan.run();
}

Status emptyTrash(Session& session) {
    const std::string trash = trashDirectory(session);
    ignoreOutcome(logEvent(session, 62));
    // Only the program's own trash, marked as such.
    if (trash.empty() || !isOwnedDirectory(trash))
        return Status::success();
    if (Status recovered = recoverInterruptedChanges(session); !recovered)
        return recovered;
    FileTransaction plan(session.transactionJournal(), session.dataPointDirectory());
    for (const std::string& item : trashContents(session))
        plan.remove(item);
    return plan.run();
}

std::vector<std::string> trashContents(const Session& session) {
    std::vector<std::string> items;
    const std::string trash = trashDirectory(session);
    if (trash.empty())
        return items;
    for (std::string& item : listFiles(trash)) {
        if (path::fileName(item) != kOwnedDirectoryMark)
            items.push_back(std::move(item));
    }
    return items;
}

DropCheck checkDrop(const TreeNode& sourceNode, std::string_view document, const TreeNode& target) {
    DropCheck check;
    const auto refuse = [&](int warning) {
        check.warning = warning;
        return check;
    };
    const bool toSettings = target.kind == NodeKind::Settings || target.kind == NodeKind::TemplateFolder;
    if (document.empty()) {
        const std::string source = path::withoutTrailingSeparator(sourceNode.path);
        if (sourceNode.kind == NodeKind::TopFolder)
            return refuse(1);
        if (&sourceNode == &target || path::comparableFolder(source) == path::comparableFolder(target.path))
            return check;
        const std::string upperTarget = path::comparableFolder(target.path);
        const std::string upperSource = path::comparableFolder(source);
        if (!upperSource.empty() && upperTarget.find(upperSource) != std::string::npos &&
            upperSource.size() < upperTarget.size())
            return refuse(2);
        if (sourceNode.kind == NodeKind::Settings || sourceNode.kind == NodeKind::TemplateFolder ||
            target.kind == NodeKind::Settings)
            return refuse(3);
        if (sourceNode.kind == NodeKind::Tasks || target.kind == NodeKind::Tasks)
            return refuse(4);
        if (sourceNode.kind == NodeKind::Trash)
            return refuse(5);
        if (source.empty() || target.path.empty() || toSettings)
            return refuse(3);
        check.target = path::join(target.path, path::fileName(source));
    } else {
        if (target.kind == NodeKind::Settings)
            return refuse(3);
        if (target.kind == NodeKind::Tasks)
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
    FileTransaction plan(session.transactionJournal(), session.dataPointDirectory());
    if (mode == TransferMode::Copy)
        plan.copy(from, target);
    else
        plan.move(from, target);
    return plan.run();
}

Status deleteDocumentForGood(Session& session, std::string_view path) {
    if (Status place = checkDocumentPlace(session, path); !place)
        return Status::failure("cannot delete: " + place.message());
    logActingOn(session, 60, path);
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
    return liesInTrash(session, wanted) && !fs::isWithin(trash, wanted) && isOwnedDirectory(trash);
}

Status deleteFolderForGood(Session& session, const MainTree& tree, std::string_view folder) {
    const std::string directory = path::withoutTrailingSeparator(folder);
    if (!fs::isDirectory(directory))
        return Status::failure("cannot delete " + directory + ": no such folder");
    if (fs::isSymlink(directory) || !mayTakeAwayFolder(session, tree, directory) ||
        fs::isWithin(session.context.dataPointPath, directory))
        return Status::failure("cannot delete " + directory + ": it is no folder inside your top folders");
    logActingOn(session, 61, directory);
    if (Status recovered = recoverInterruptedChanges(session); !recovered)
        return recovered;
    FileTransaction plan(session.transactionJournal(), session.dataPointDirectory());
    plan.remove(directory);
    return plan.run();
}

Status createObject(Session& session, std::string_view folder, std::size_t typeIndex, std::string& created) {
    const TypeTables& tables = session.tables;
    if (typeIndex >= tables.objectTypes.size())
        return Status::failure("the data point has no object type " + std::to_string(typeIndex));
    if (!fs::isDirectory(folder))
        return Status::failure("cannot create a document in " + std::string(folder) + ": no such folder");
    const bool inside = liesInDataPointFolders(session, folder);
    if (!inside || path::comparableFolder(path::fileName(path::withoutTrailingSeparator(folder))) ==
                       path::comparableFolder(kAttachmentDirectoryName))
        return Status::failure("cannot create a document in " + std::string(folder) +
                               ": it is no folder of the data point's folders");
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
    if (Status named = checkName(name, "folder"); !named)
        return named;
    const std::string folder = path::join(parent, name);
    if (path::comparableFolder(path::fileName(folder)) == path::comparableFolder(kAttachmentDirectoryName))
        return Status::failure("\"" + std::string(name) + "\" is the name of a folder's attached files");
    if (fs::exists(folder))
        return Status::failure("cannot create " + folder + ": it exists already");
    const bool inside = liesInDataPointFolders(session, parent);
    if (!inside || !fs::isDirectory(parent))
        return Status::failure("cannot create " + folder + ": it is no folder of the data point's folders");
    FileTransaction plan(session.transactionJournal(), session.dataPointDirectory());
    plan.copy(menu.templates[templateIndex].directory, folder);
    if (Status copied = plan.run(); !copied)
        return copied;
    created = folder;
    return Status::success();
}

} // namespace quill
