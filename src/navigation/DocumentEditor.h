#pragma once

#include "documents/Companions.h"
#include "navigation/DocumentMerge.h"
#include "navigation/EditorRows.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"
#include "platform/Status.h"
#include "session/EventTable.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

class Session;

// A file of the document that another program changed after the editor
// read it.
struct ForeignChange {
    std::string path;
    std::string when; // the file's modification date and time, or empty when it was deleted
    std::string who;  // from the history's last line, when it names someone
};

// What to do when saving finds that someone else changed the document.
enum class ConflictChoice {
    Ask,        // do not save; report the changes
    Overwrite,  // replace the other version; a copy of it goes to the user's trash first
    SaveAsCopy, // leave the other version and store this one as a new document beside it
    // Keep the changes of both sides; units both changed differently are
    // not saved until settle() chose for each of them.
    Merge
};

// The object editor's model: a document's properties, comments,
// attachments and schedule as rows, changed in memory and brought to disk
// by one save pass. The view and the command line edit through it.
class DocumentEditor {
public:
    explicit DocumentEditor(Session& session);

    // Reads the document and its companions into the rows, empties the
    // journal of file operations and the pending edit history. Fails when
    // the document cannot be read or is no record of a known type.
    Status open(const std::string& documentPath);
    // The same for a document the caller has just created: until it is
    // saved it belongs to this editor, and leaving it unsaved takes it away
    // again (leaveUnsaved).
    Status openCreated(const std::string& documentPath);

    const std::string& documentPath() const { return documentPath_; }
    const std::vector<EditorRow>& rows(EditorBranch branch) const { return rows_[index(branch)]; }
    EditorBranchHead head(EditorBranch branch) const;
    bool scheduled() const { return scheduled_; }
    const std::vector<EventChoice>& events() const { return events_; }
    // The language's texts for "VALUE_YES" and "VALUE_NO".
    const std::string& yesText() const { return yesText_; }
    const std::string& noText() const { return noText_; }
    // The attachment type list's two captions, document first.
    const std::string& documentTypeText() const { return documentTypeText_; }
    const std::string& templateTypeText() const { return templateTypeText_; }

    // A committed in-place edit of a row's value, noted in the row's edit
    // group. Refused for a value a record line cannot hold.
    Status setValue(EditorBranch branch, std::size_t row, std::string value);
    // The same for the property row of a field, by the field's name; the
    // value must suit the field's type (a yes/no field takes its key or
    // either language text, a date or time field the machine's format).
    Status setProperty(std::string_view field, std::string value);

    Status addComment(std::string text);
    Status removeComment(std::size_t row);

    // Copies source into the staging directory at once and adds it; the
    // save moves it into the folder. With moveSource the user's file is
    // deleted, but only after the save has put the copy in its place.
    // A document without a name takes the display name.
    Status attachFile(const std::string& source, std::string displayName, AttachmentType type, bool moveSource = false);
    // Adds a file already in the staging directory (a file template copied
    // there, for instance).
    Status attachStagedFile(const std::string& staged, std::string displayName, AttachmentType type);
    Status changeAttachment(std::size_t row, std::string displayName, AttachmentType type);
    Status removeAttachment(std::size_t row);

    // Adds the schedule branch (from the companion when there is one, else
    // the defaults) or takes it away; the companion changes on save.
    void setScheduled(bool on);
    // Sets the schedule as a script gives it: date and time in the
    // machine's formats, the event by its name or index.
    Status setSchedule(const std::string& date, const std::string& time, const std::string& event);

    // Whether the user changed anything since the document was read: a
    // row's value, a comment or attachment added, changed or
    // removed, the schedule turned on or off. Closing without a save would
    // lose exactly these.
    bool hasUnsavedChanges() const;

    // Takes another user's save into the rows now, without saving: what
    // only they changed is taken, and units both changed differently come
    // back in mergeConflicts(), as a merging save would report them.
    Status mergeNow();
    // What merging now would take from the other user's version and what
    // would collide, without changing anything.
    Status previewMerge(MergeTaken& taken, std::vector<MergeConflict>& conflicts) const;

    // Where the document went when someone moved or deleted it after it
    // was read: the same file under another name in its folder, a place the
    // task table knows or a user's trash; empty when it cannot be told.
    std::string whereItWent() const;

    // The document's files that changed on disk since they were read.
    std::vector<ForeignChange> changedMeanwhile() const;

    // The save pass: record, comments, attachments, file operations, edit
    // history, schedule companion. When another program changed the
    // document meanwhile, Ask saves nothing and returns the changes in
    // conflicts; the other choices say what happens to the other version.
    // savedAs names the document written (a new one for SaveAsCopy).
    Status save(ConflictChoice choice = ConflictChoice::Ask, std::vector<ForeignChange>* conflicts = nullptr,
                std::string* savedAs = nullptr);

    // After a save with Merge that saved nothing: the units both sides
    // changed differently.
    const std::vector<MergeConflict>& mergeConflicts() const { return mergeConflicts_; }
    // Chooses for a conflict (by its key) what the next save keeps.
    void settle(const std::string& key, MergeChoice choice) { mergeChoices_[key] = choice; }
    // What the last save took from another user's version ("merged with
    // Anna Novak (ANNA)'s change of 10:42: Value, 1 comment"); empty when
    // it took nothing.
    const std::string& mergeReport() const { return mergeReport_; }
    // The same in parts, for a view to word in its language.
    const MergeTaken& mergeTaken() const { return mergeTaken_; }

    // Forgets every change and reads the document again.
    Status reload();

    // The editor closes without a save. A document opened with openCreated
    // that is still exactly as it was created (the same record file,
    // unchanged, and nothing written beside it) is removed, so that a
    // cancelled new document leaves nothing behind; anything someone saved
    // into it meanwhile stays. removed tells whether it went.
    Status leaveUnsaved(bool* removed = nullptr);

private:
    static std::size_t index(EditorBranch branch) { return static_cast<std::size_t>(branch); }
    std::vector<EditorRow>& rowsOf(EditorBranch branch) { return rows_[index(branch)]; }
    std::string nameText(std::string_view key) const;
    void noteGroup(EditorBranch branch);
    // A document's rows as read from disk, empty fields showing what they
    // would be at now.
    struct Version {
        std::array<std::vector<EditorRow>, 4> rows;
        std::optional<Schedule> schedule;
        std::array<bool, 3> readable{true, true, true};
    };
    Status readVersion(const std::string& documentPath, const LocalDateTime& now, Version& version) const;
    void buildSchedule(const std::optional<Schedule>& stored, const LocalDateTime& now,
                       std::vector<EditorRow>& rows) const;
    Status mergeAgainstDisk(Version& theirs, std::array<BranchMerge, 4>& merged) const;
    Status mergeWithDisk(const std::vector<ForeignChange>& changes);
    std::vector<std::string> watchedFiles() const;
    Status saveTo(const std::string& target, bool unchangedSinceRead);
    bool branchChanged(EditorBranch branch) const;
    // The value as the row's kind keeps it, or why the row cannot hold it.
    Result<std::string> checkedValue(const EditorRow& row, const std::string& value) const;
    void deleteMovedOriginals(const std::string& target);

    Session& session_;
    std::string documentPath_;
    std::array<std::vector<EditorRow>, 4> rows_;
    bool scheduled_ = false;
    std::optional<Schedule> storedSchedule_;
    // The rows as read, so that the save leaves a companion nobody changed
    // alone, and with it what another user changed there meanwhile.
    std::array<std::vector<EditorRow>, 4> openedRows_;
    bool scheduleDefaultsShown_ = false;
    // Whether the comments, attachments and schedule companions could be
    // read; one that could not is neither changed nor written back.
    std::array<bool, 3> readable_{true, true, true};
    std::vector<EventChoice> events_;
    std::string yesText_, noText_, documentTypeText_, templateTypeText_;
    // What the files looked like when read, to tell another program's
    // change from none.
    std::vector<std::pair<std::string, fs::Snapshot>> stamps_;
    // Files the user chose to move in: the staged copy and the original.
    std::vector<std::pair<std::string, std::string>> movedOriginals_;
    // The record as created, for a document this editor was opened on
    // right after its creation and has not saved yet.
    std::optional<fs::Stamp> createdStamp_;
    // When the document was read: what another user's version shows in
    // fields left empty is judged as of then.
    LocalDateTime openedAt_{};
    MergeChoices mergeChoices_;
    std::vector<MergeConflict> mergeConflicts_;
    std::string mergeReport_;
    MergeTaken mergeTaken_;
};

} // namespace quill
