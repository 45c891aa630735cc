#pragma once

#include "platform/Status.h"

#include <string>
#include <string_view>
#include <vector>

namespace quill {

class DocumentStore;
class FileTransaction;

// What an entry of the journal does when the journal is carried out.
enum class FileOpAction {
    Add,    // "ADD": copy the source to the target, then delete the source
    Delete, // "DELETE": delete the source
    None,   // "NONE": a move called off; only the source is deleted
};

struct PendingFileOp {
    std::string source;
    std::string target;
    FileOpAction action = FileOpAction::None;
};

// The modes of addPendingFileOp, numbered as the editor and the add-files
// view call them.
enum class FileOpMode {
    QueueMove = 1,    // queue (source, target, Add)
    CopyNow = 2,      // copy source to target at once
    QueueRemoval = 3, // queued entries of source become None; queue (source, target, Delete)
};

// The object editor's journal of attachment file operations: attached
// files are not touched until the document is saved, so that closing the
// editor without saving changes nothing in the folder.
class PendingFileOps {
public:
    void append(PendingFileOp op) { entries_.push_back(std::move(op)); }
    // Every entry whose source is path, compared in any case, becomes None.
    void cancel(std::string_view source);
    // Queued removals of path, compared in any case, are dropped: the file
    // stays attached after all.
    void keep(std::string_view path);
    void clear() { entries_.clear(); }
    bool empty() const { return entries_.empty(); }
    const std::vector<PendingFileOp>& entries() const { return entries_; }

private:
    std::vector<PendingFileOp> entries_;
};

// Whether an attachments companion of the attached file's folder (other
// than exceptCompanion) names it, in a slot with or without a name. A
// document copied within its folder shares its attached files with the
// original; a companion that cannot be read may name it too.
bool attachedFileStillNamed(const DocumentStore& store, std::string_view attachedFile,
                            std::string_view exceptCompanion = {});

// Queues or runs one file operation of the session's journal. The journal
// only handles attached and staged files: a queued move must go from a
// staged or attached file to a plain name in an attachment directory, a
// removal must name a staged or attached file, and an immediate copy must
// go to a plain name in the staging directory. Anything else is refused
// and nothing is queued or copied.
Status addPendingFileOp(DocumentStore& store, std::string_view source, std::string_view target, FileOpMode mode);

// Carries out the journal in order, with the busy cursor, and empties it.
// A move whose copy failed keeps its staged file, so the only copy of a
// file the user moved in is never lost; an attached file that an
// attachments companion of its folder still names is kept. Every failure
// is in the message. Run it after the editor's companion is written.
Status commitPendingFileOps(DocumentStore& store);

// Adds the journal's file operations to a document's change: queued moves
// copy their staged files into the attachment directory, removals remove
// attached files that no companion of the folder but ownCompanion (which
// the change rewrites) names. The staged files to delete once the change
// is made are added to stagedLeftovers. The journal is left as it is.
Status planPendingFileOps(DocumentStore& store, std::string_view ownCompanion, FileTransaction& plan,
                          std::vector<std::string>& stagedLeftovers);

// Empties the journal; staged files stay where they are.
void clearPendingFileOps(DocumentStore& store);

} // namespace quill
