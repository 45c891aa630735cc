// The editor's save pass and how it notices that another program changed
// the document after the editor read it.
#include "navigation/DocumentEditor.h"

#include "documents/DocumentFiles.h"
#include "documents/PendingFileOps.h"
#include "formats/CompanionNames.h"
#include "formats/RecordFile.h"
#include "navigation/DocumentCommands.h"
#include "platform/Cp1250.h"
#include "platform/DateTimeFormat.h"
#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "platform/FileTransaction.h"
#include "platform/Paths.h"
#include "platform/Result.h"
#include "platform/TextUtil.h"
#include "platform/Ui.h"
#include "session/EventLog.h"
#include "session/Scheduler.h"
#include "session/Session.h"

#include <algorithm>

namespace quill {

namespace {

constexpr std::size_t kMaxHistoryBytes = 4 << 20;
constexpr std::string_view kHistoryWhoMark = ".EDITHISTORY$ ";

// Who made the last entry of a history file: the text after the entry's
// code, as the editor writes it.
std::string lastEditorIn(std::string_view historyPath) {
    const fs::ReadResult history = fs::readFile(historyPath, kMaxHistoryBytes);
    if (!history.ok())
        return {};
    const auto lines = text::splitLines(history.content);
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        if (const std::size_t mark = line->find(kHistoryWhoMark); mark != std::string_view::npos)
            return std::string(text::trim(line->substr(mark + kHistoryWhoMark.size())));
    }
    return {};
}

std::string describe(const std::vector<ForeignChange>& changes) {
    std::string text = "the document was changed meanwhile:";
    for (const ForeignChange& change : changes) {
        text += " " + path::fileName(change.path) + (change.when.empty() ? " deleted" : " at " + change.when);
        if (!change.who.empty())
            text += " by " + change.who;
        text += ";";
    }
    return text;
}

} // namespace

std::vector<std::string> DocumentEditor::watchedFiles() const {
    return {documentPath_, companionPath(documentPath_, Companion::Comments),
            companionPath(documentPath_, Companion::Attachments), companionPath(documentPath_, Companion::Schedule),
            companionPath(documentPath_, Companion::History)};
}

std::vector<ForeignChange> DocumentEditor::changedMeanwhile() const {
    std::vector<ForeignChange> changes;
    std::string who;
    for (const auto& [file, was] : stamps_) {
        // A document that is gone was deleted or moved meanwhile, even if it
        // was already going while the editor read it.
        const bool recordGone = file == documentPath_ && !fs::isRegularFile(file);
        if (!recordGone && fs::unchangedSince(was, file))
            continue;
        // The history only says who saved; on its own it is no change.
        if (file == companionPath(documentPath_, Companion::History)) {
            who = lastEditorIn(file);
            continue;
        }
        ForeignChange change{file, {}, {}};
        if (const auto now = fs::stamp(file)) {
            const LocalDateTime when = localTimeOf(now->modifiedNs / 1'000'000);
            change.when = formatDate(when, session_.formats) + " " + formatTime(when, session_.formats);
        }
        changes.push_back(std::move(change));
    }
    for (ForeignChange& change : changes)
        change.who = who;
    return changes;
}

std::string DocumentEditor::whereItWent() const {
    if (fs::isRegularFile(documentPath_))
        return {};
    // A move within the share keeps the files themselves: their inodes go
    // along. The record may have been saved again before the move, but the
    // history, which only grows, keeps its inode.
    std::vector<fs::Stamp> known;
    for (const auto& [file, was] : stamps_) {
        if (was.stamp && was.stamp->regularFile)
            known.push_back(*was.stamp);
    }
    const auto isKnown = [&](const std::string& candidate) {
        const auto now = fs::stamp(candidate);
        return now && now->regularFile && std::any_of(known.begin(), known.end(), [&](const fs::Stamp& was) {
                   return now->inode == was.inode && now->device == was.device;
               });
    };
    const auto searchFolder = [&](const std::string& folder) -> std::string {
        const auto entries = fs::list(folder);
        if (!entries)
            return {};
        for (const fs::Entry& entry : *entries) {
            const std::string file = path::join(folder, entry.name);
            const bool own =
                std::any_of(stamps_.begin(), stamps_.end(), [&](const auto& s) { return s.first == file; });
            if (entry.isDirectory || entry.isSymlink || own || !isKnown(file))
                continue;
            return isCompanionExtension(path::extension(entry.name)) ? mainFileAmong(*entries, folder, entry.name)
                                                                     : file;
        }
        return {};
    };
    std::vector<std::string> folders{path::directory(documentPath_)};
    for (const ScheduleEntry& entry : session_.schedule) {
        if (!entry.documentPath.empty() && isKnown(entry.documentPath))
            return entry.documentPath;
    }
    const std::string trashes = path::join(session_.context.dataPointPath, "DataPoint.system/Trash");
    if (const auto users = fs::list(trashes)) {
        for (const fs::Entry& user : *users) {
            if (user.isDirectory && !user.isSymlink)
                folders.push_back(path::join(trashes, user.name));
        }
    }
    for (const std::string& folder : folders) {
        if (std::string found = searchFolder(folder); !found.empty())
            return found;
    }
    return {};
}

Status DocumentEditor::save(ConflictChoice choice, std::vector<ForeignChange>* conflicts, std::string* savedAs) {
    BusyCursor busy(session_.ui);
    // One lock for the record, every companion and the attached files, held
    // from the check for others' changes to the last file written: a save of
    // another user cannot slip in between and lose one side's comment or
    // attachment.
    const DocumentLock lock(session_, documentPath_);
    if (!lock.held())
        return Status::failure("nothing was saved: " + lock.status().message());
    const std::vector<ForeignChange> changes = changedMeanwhile();
    if (conflicts)
        *conflicts = changes;
    std::string target = documentPath_;
    mergeReport_.clear();
    mergeTaken_ = {};
    if (!changes.empty()) {
        if (choice == ConflictChoice::Ask)
            return Status::failure(describe(changes));
        if (choice == ConflictChoice::Merge) {
            if (Status merged = mergeWithDisk(changes); !merged)
                return merged;
        }
        if (choice == ConflictChoice::SaveAsCopy)
            target = session_.recordFiles().uniqueName(documentPath_);
        // The version replaced stays within reach, in the user's trash.
        if (choice == ConflictChoice::Overwrite && fs::isRegularFile(documentPath_)) {
            if (const Status kept = copyDocumentToTrash(session_, documentPath_); !kept)
                return Status::failure("nothing was saved: " + kept.message());
        }
    }
    const Status saved = saveTo(target, changes.empty());
    if (savedAs)
        *savedAs = target;
    // Once saved, the document is the user's and stays whatever follows.
    if (saved)
        createdStamp_.reset();
    if (target == documentPath_) {
        // What is on disk now is what the next merge starts from.
        if (saved)
            openedRows_ = rows_;
        stamps_.clear();
        for (const std::string& file : watchedFiles())
            stamps_.emplace_back(file, fs::snapshot(file));
    }
    return saved;
}

namespace {

// "Value, Owner, 2 comments, 1 attachment, schedule"
std::string takenText(const MergeTaken& taken) {
    std::vector<std::string> parts = taken.fields;
    const auto count = [&](std::size_t n, const char* one, const char* many) {
        if (n > 0)
            parts.push_back(std::to_string(n) + " " + (n == 1 ? one : many));
    };
    count(taken.comments, "comment", "comments");
    count(taken.attachments, "attachment", "attachments");
    if (taken.schedule)
        parts.push_back("schedule");
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

} // namespace

Status DocumentEditor::mergeAgainstDisk(Version& theirs, std::array<BranchMerge, 4>& merged) const {
    if (!fs::isRegularFile(documentPath_))
        return Status::failure("nothing was saved: the document was deleted or moved meanwhile");
    if (Status read = readVersion(documentPath_, openedAt_, theirs); !read)
        return Status::failure("nothing was saved: " + read.message());
    for (EditorBranch branch :
         {EditorBranch::Properties, EditorBranch::Comments, EditorBranch::Attachments, EditorBranch::Schedule}) {
        const std::size_t i = index(branch);
        const std::vector<EditorRow> none;
        const std::vector<EditorRow>& mine = branch == EditorBranch::Schedule && !scheduled_ ? none : rows(branch);
        merged[i] = mergeBranch(branch, openedRows_[i], mine, theirs.rows[i], mergeChoices_);
    }
    return Status::success();
}

Status DocumentEditor::previewMerge(MergeTaken& taken, std::vector<MergeConflict>& conflicts) const {
    Version theirs;
    std::array<BranchMerge, 4> merged;
    if (Status computed = mergeAgainstDisk(theirs, merged); !computed)
        return computed;
    taken = {{},
             {},
             merged[0].takenFromTheirs,
             merged[1].takenFromTheirs.size(),
             merged[2].takenFromTheirs.size(),
             !merged[3].takenFromTheirs.empty()};
    conflicts.clear();
    for (BranchMerge& branch : merged)
        conflicts.insert(conflicts.end(), branch.conflicts.begin(), branch.conflicts.end());
    return Status::success();
}

Status DocumentEditor::mergeNow() {
    const DocumentLock lock(session_, documentPath_);
    if (!lock.held())
        return lock.status();
    const std::vector<ForeignChange> changes = changedMeanwhile();
    if (changes.empty())
        return Status::success();
    // Taken before the other version is read, under the lock, so that the
    // next save compares with exactly what was merged.
    std::vector<std::pair<std::string, fs::Snapshot>> now;
    for (const std::string& file : watchedFiles())
        now.emplace_back(file, fs::snapshot(file));
    if (Status merged = mergeWithDisk(changes); !merged)
        return merged;
    stamps_ = std::move(now);
    return Status::success();
}

Status DocumentEditor::mergeWithDisk(const std::vector<ForeignChange>& changes) {
    mergeConflicts_.clear();
    Version theirs;
    std::array<BranchMerge, 4> merged;
    if (Status computed = mergeAgainstDisk(theirs, merged); !computed)
        return computed;
    std::string conflicting;
    for (BranchMerge& branch : merged) {
        for (MergeConflict& conflict : branch.conflicts) {
            conflicting += (conflicting.empty() ? "" : ", ") + conflict.label;
            mergeConflicts_.push_back(std::move(conflict));
        }
    }
    if (!mergeConflicts_.empty())
        return Status::failure("nothing was saved: you and another user changed " + conflicting + " differently");

    // What the other user saved is now the version this one replaces.
    for (std::size_t i = 0; i < rows_.size(); ++i)
        rows_[i] = std::move(merged[i].rows);
    const std::string commentLabel = theirs.rows[1].empty() ? std::string() : theirs.rows[1].front().label;
    for (const EditorRow& kept : merged[0].extraComments)
        rows_[1].push_back(
            {commentLabel, kept.label + ": " + kept.value, PropertyKind::Comment, {}, {}, "COMMENT.BMP"});
    for (const EditorRow& attached : rows_[2])
        session_.pendingFileOps.keep(attached.path);
    scheduled_ = !rows_[3].empty();
    storedSchedule_ = theirs.schedule;
    scheduleDefaultsShown_ = false;
    openedRows_ = theirs.rows;
    for (std::size_t i = 0; i < readable_.size(); ++i)
        readable_[i] = readable_[i] && theirs.readable[i];
    mergeChoices_.clear();

    const ForeignChange& last = changes.front();
    mergeTaken_ = {last.who,
                   last.when,
                   merged[0].takenFromTheirs,
                   merged[1].takenFromTheirs.size(),
                   merged[2].takenFromTheirs.size(),
                   !merged[3].takenFromTheirs.empty()};
    if (!mergeTaken_.empty())
        mergeReport_ = "merged with " + (last.who.empty() ? std::string("another user") : last.who + "'s") + " change" +
                       (last.when.empty() ? "" : " of " + last.when) + ": " + takenText(mergeTaken_);
    return Status::success();
}

bool DocumentEditor::branchChanged(EditorBranch branch) const {
    if (branch == EditorBranch::Schedule && (scheduled_ != storedSchedule_.has_value() || scheduleDefaultsShown_))
        return true;
    return rows(branch) != openedRows_[index(branch)];
}

Status DocumentEditor::saveTo(const std::string& target, bool unchangedSinceRead) {
    // The record, the companions and the attached files change as one: a
    // failure or a kill at any point leaves the document as it was.
    // Programs that lock only the record are kept out too.
    const FileLock recordLock(target);
    if (!recordLock.held())
        return Status::failure("the document was not saved: " + recordLock.status().message());
    if (unchangedSinceRead && !stamps_.empty() && !fs::unchangedSince(stamps_.front().second, target))
        return Status::failure("the document was not saved: " + describe(changedMeanwhile()));
    const RecordFiles records = session_.recordFiles();
    Record stored;
    std::string why;
    const RecordRead read = records.read(target, stored, &why);
    if (read == RecordRead::Failed)
        return Status::failure("the document was not saved: cannot read " + target + ": " + why);
    if (read == RecordRead::Missing) {
        stored = parseRecord(session_.tables, path::fileName(target), "");
        stored.header.directory = path::withTrailingSeparator(path::directory(target));
        stored.header.fileName = path::fileName(target);
    }
    for (const EditorRow& row : rows(EditorBranch::Properties)) {
        std::string value = row.value;
        if (isYesNoKind(row.kind)) {
            if (cp1250::equalsNoCase(value, yesText_))
                value = "VALUE_YES";
            else if (cp1250::equalsNoCase(value, noText_))
                value = "VALUE_NO";
            else
                continue;
        }
        stored.setValue(row.field, std::move(value));
    }
    std::string content;
    if (Status made = recordFileContent(stored, content); !made)
        return Status::failure("the document was not saved: " + made.message());
    FileTransaction plan(session_.transactionJournal(), session_.dataPointDirectory());
    if (read == RecordRead::Ok)
        plan.replace(target, std::move(content));
    else
        plan.create(target, std::move(content));

    const auto failed = [](const Status& cause) {
        return Status::failure("the document was not saved: " + cause.message());
    };
    // A new document gets every companion (so does a document saved again
    // at its old place after someone deleted or moved it); the document
    // itself only those whose rows changed.
    const bool whole = target != documentPath_ || read == RecordRead::Missing;
    const auto write = [&](EditorBranch branch) {
        return readable_[index(branch) - 1] && (whole || branchChanged(branch));
    };
    if (write(EditorBranch::Comments)) {
        std::vector<std::string> texts;
        for (const EditorRow& row : rows(EditorBranch::Comments))
            texts.push_back(row.value);
        if (Status s = planComments(session_, target, texts, plan); !s)
            return failed(s);
    }
    if (write(EditorBranch::Attachments)) {
        std::vector<Attachment> attachments;
        std::vector<std::string> taken;
        for (const EditorRow& row : rows(EditorBranch::Attachments)) {
            Attachment attachment{row.value, row.path, attachmentTypeOf(row.kind), row.label};
            // A copy saved beside the document gets attached files of its
            // own: shared, a later move or delete of one would take them
            // from the other.
            if (target != documentPath_ && liesInAttachmentDirectory(row.path) && fs::isRegularFile(row.path)) {
                std::string name = path::fileName(row.path);
                while (fs::exists(path::join(attachmentDirectory(target), name)) ||
                       std::find(taken.begin(), taken.end(), name) != taken.end())
                    name = path::fileName(records.uniqueName(row.path));
                taken.push_back(name);
                attachment.path = path::join(attachmentDirectory(target), name);
                plan.copy(row.path, attachment.path);
            }
            attachments.push_back(std::move(attachment));
        }
        if (Status s = planAttachments(session_, target, attachments, plan); !s)
            return failed(s);
    }
    std::vector<std::string> stagedLeftovers;
    if (Status s = planPendingFileOps(session_, companionPath(target, Companion::Attachments), plan, stagedLeftovers);
        !s)
        return failed(s);
    if (write(EditorBranch::Schedule)) {
        std::optional<Schedule> schedule;
        if (scheduled_) {
            schedule.emplace();
            for (const EditorRow& row : rows(EditorBranch::Schedule)) {
                switch (row.kind) {
                case PropertyKind::Owner: schedule->owner = row.value; break;
                case PropertyKind::Team: schedule->team = row.value; break;
                case PropertyKind::Date: schedule->date = row.value; break;
                case PropertyKind::Time: schedule->time = row.value; break;
                case PropertyKind::Event: schedule->event = eventIndexText(eventNames(events_), row.value); break;
                default: break;
                }
            }
        }
        if (Status s = planSchedule(session_, target, schedule, plan); !s)
            return failed(s);
    }
    if (Status done = plan.run(); !done)
        return failed(done);

    clearPendingFileOps(session_);
    for (const std::string& staged : stagedLeftovers)
        ignoreOutcome(fs::removeFile(staged));
    writeEditHistory(session_, target);
    updateScheduleEntry(session_, target);
    // The user's own files go only once their copies are safely in place.
    deleteMovedOriginals(target);
    return Status::success();
}

void DocumentEditor::deleteMovedOriginals(const std::string& target) {
    for (const auto& [staged, original] : movedOriginals_) {
        const std::string attached = path::join(attachmentDirectory(target), path::fileName(staged));
        const auto copy = fs::stamp(attached);
        const auto source = fs::stamp(original);
        if (!copy || !source || !copy->regularFile || !source->regularFile || fs::isSymlink(original) ||
            copy->size != source->size)
            continue;
        ignoreOutcome(fs::removeFile(original));
    }
    movedOriginals_.clear();
}

} // namespace quill
