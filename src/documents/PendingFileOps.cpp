#include "documents/PendingFileOps.h"

#include "documents/Companions.h"
#include "documents/DocumentStore.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/FileTransaction.h"
#include "platform/FolderTree.h"
#include "platform/Paths.h"
#include "platform/Result.h"
#include "platform/Ui.h"

namespace quill {
namespace {

// The journal only ever handles attached and staged files; a path from
// elsewhere (a stored name pointing out of its folder, a slip of a caller)
// must not lead it to delete or overwrite anything else.
bool isJournalFile(const DocumentStore& store, std::string_view path) {
    return liesInAttachmentDirectory(path) || liesInStagingDirectory(store, path);
}

Status refused(std::string_view path, std::string_view what) {
    return Status::failure("refused " + std::string(path) + ": " + std::string(what));
}

bool sameFile(std::string_view a, std::string_view b) {
    const auto first = fs::stamp(a);
    const auto second = fs::stamp(b);
    return first && second && first->device == second->device && first->inode == second->inode;
}

} // namespace

// Whether an attachments companion of the folder still names an attached
// file, in a slot with or without a name. A document copied within its
// folder shares the attached files with its original, and a failed write
// of the editor's companion leaves it naming the file: deleting it then
// would take the file from under a document. A companion that cannot be
// read may name it too.
bool attachedFileStillNamed(const DocumentStore& store, std::string_view attachedFile,
                            std::string_view exceptCompanion) {
    const std::string name = path::fileName(attachedFile);
    const RecordFiles records = store.recordFiles();
    for (const std::string& companion : listFiles(path::directory(path::directory(attachedFile)), "*.attachments")) {
        if (!fs::isRegularFile(companion) ||
            (!exceptCompanion.empty() && path::fileName(companion) == path::fileName(exceptCompanion)))
            continue;
        Record record;
        const RecordRead read = records.read(companion, record);
        if (read == RecordRead::Failed)
            return true;
        for (std::size_t n = 1; read == RecordRead::Ok && n <= kMaxAttachments; ++n) {
            if (cp1250::equalsNoCase(record.value("ATTACHMENTFILE" + std::to_string(n)), name))
                return true;
        }
    }
    return false;
}

void PendingFileOps::cancel(std::string_view source) {
    const std::string wanted = path::normalize(source);
    for (PendingFileOp& op : entries_) {
        if (cp1250::equalsNoCase(path::normalize(op.source), wanted))
            op.action = FileOpAction::None;
    }
}

void PendingFileOps::keep(std::string_view path) {
    const std::string wanted = path::normalize(path);
    std::erase_if(entries_, [&](const PendingFileOp& op) {
        return op.action == FileOpAction::Delete && cp1250::equalsNoCase(path::normalize(op.source), wanted);
    });
}

Status addPendingFileOp(DocumentStore& store, std::string_view source, std::string_view target, FileOpMode mode) {
    switch (mode) {
    case FileOpMode::QueueMove:
        if (!isJournalFile(store, source))
            return refused(source, "neither an attached nor a staged file");
        if (!liesInAttachmentDirectory(target))
            return refused(target, "not a file name in an attachment directory");
        store.fileJournal().append({std::string(source), std::string(target), FileOpAction::Add});
        return Status::success();
    case FileOpMode::CopyNow: {
        if (!liesInStagingDirectory(store, target))
            return refused(target, "not a file name in the staging directory");
        if (!fs::isRegularFile(source))
            return Status::failure("cannot copy " + std::string(source) + ": not a file");
        const BusyCursor busy(store.userInterface());
        const std::string directory = path::directory(target);
        if (!fs::createDirectories(directory))
            return Status::failure("cannot create " + directory);
        return fs::copyFile(source, target);
    }
    case FileOpMode::QueueRemoval:
        if (!isJournalFile(store, source))
            return refused(source, "neither an attached nor a staged file");
        store.fileJournal().cancel(source);
        store.fileJournal().append({std::string(source), std::string(target), FileOpAction::Delete});
        return Status::success();
    }
    return Status::failure("unknown file operation mode " + std::to_string(static_cast<int>(mode)));
}

Status commitPendingFileOps(DocumentStore& store) {
    const BusyCursor busy(store.userInterface());
    FileTransaction plan(store.transactionJournal(), store.dataPointDirectory());
    std::vector<std::string> stagedLeftovers;
    if (Status planned = planPendingFileOps(store, {}, plan, stagedLeftovers); !planned)
        return planned;
    if (Status done = plan.run(); !done)
        return done;
    store.fileJournal().clear();
    for (const std::string& staged : stagedLeftovers)
        ignoreOutcome(fs::removeFile(staged));
    return Status::success();
}

Status planPendingFileOps(DocumentStore& store, std::string_view ownCompanion, FileTransaction& plan,
                          std::vector<std::string>& stagedLeftovers) {
    for (const PendingFileOp& op : store.fileJournal().entries()) {
        if (!isJournalFile(store, op.source))
            return refused(op.source, "neither an attached nor a staged file");
        const bool staged = liesInStagingDirectory(store, op.source);
        switch (op.action) {
        case FileOpAction::Add:
            if (!liesInAttachmentDirectory(op.target))
                return refused(op.target, "not a file name in an attachment directory");
            if (sameFile(op.source, op.target))
                break;
            if (!fs::isRegularFile(op.source) || fs::isSymlink(op.source))
                return Status::failure("cannot attach " + op.source + ": the file is gone");
            plan.copy(op.source, op.target);
            break;
        case FileOpAction::Delete:
            // The document's own companion no longer names it once the change
            // is made; any other companion of the folder keeps it.
            if (!staged && (fs::exists(op.source) || fs::isSymlink(op.source)) &&
                !attachedFileStillNamed(store, op.source, ownCompanion)) {
                if (!fs::isRegularFile(op.source) || fs::isSymlink(op.source))
                    return Status::failure("cannot delete " + op.source + ": not a file");
                plan.remove(op.source);
            }
            break;
        case FileOpAction::None: break;
        }
        // The staged copy goes once the change is made; until then it may
        // be the only copy of a file the user moved in.
        if (staged)
            stagedLeftovers.push_back(op.source);
    }
    return Status::success();
}

void clearPendingFileOps(DocumentStore& store) {
    store.fileJournal().clear();
}

} // namespace quill
