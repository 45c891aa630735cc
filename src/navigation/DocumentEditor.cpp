#include "navigation/DocumentEditor.h"

#include "documents/PendingFileOps.h"
#include "platform/Cp1250.h"
#include "platform/DateTimeFormat.h"
#include "platform/FileLock.h"
#include "platform/Paths.h"
#include "session/EventLog.h"
#include "session/Session.h"

#include <utility>

namespace quill {

namespace {

// The edit group each branch reports to the edit history.
constexpr int kEditGroups[] = {0, 10, 20, 30};

// The description of a companion's first field: the label of its rows.
std::string firstFieldNote(const TypeTables& tables, Companion kind) {
    const std::size_t type = tables.objectTypeOf("x" + std::string(companionExtension(kind)));
    if (type >= tables.objectTypes.size() || tables.objectTypes[type].propertyNames.empty())
        return {};
    const PropertyDefinition* field = tables.findProperty(tables.objectTypes[type].propertyNames.front());
    return field ? field->note : std::string();
}

std::string userLabel(const Session& session) {
    return session.program.fullName + " (" + session.program.logonName + ")";
}

} // namespace

DocumentEditor::DocumentEditor(Session& session) : session_(session) {}

std::string DocumentEditor::nameText(std::string_view key) const {
    return session_.texts.lookup("NAMES", key, "VALUES");
}

EditorBranchHead DocumentEditor::head(EditorBranch branch) const {
    static constexpr const char* kinds[] = {"ROOT_DATA", "ROOT_COMMENTS", "ROOT_ATTACHMENTS", "ROOT_SCHEDULER"};
    static constexpr const char* keys[] = {"PROPERTYES", "COMMENTS", "ATTACHMENTS", "SCHEDULER"};
    const std::size_t i = index(branch);
    return {kinds[i], nameText(keys[i]), std::string(keys[i]) + ".BMP"};
}

Status DocumentEditor::readVersion(const std::string& documentPath, const LocalDateTime& now, Version& version) const {
    Record record;
    switch (session_.readRecord(documentPath, record)) {
    case RecordRead::Missing: return Status::failure("there is no document " + documentPath);
    case RecordRead::Failed: return Status::failure("the document " + documentPath + " cannot be read");
    case RecordRead::Ok: break;
    }
    // Empty fields that have an obvious value show it, and the first save
    // stores it.
    const TypeTables& tables = session_.tables;
    auto& properties = version.rows[index(EditorBranch::Properties)];
    for (const Field& field : record.fields) {
        EditorRow row{field.note, field.value, field.kind, field.name, {}, field.icon};
        if (isYesNoKind(field.kind) &&
            (cp1250::equalsNoCase(field.value, "VALUE_YES") || cp1250::equalsNoCase(field.value, "VALUE_NO")))
            row.value = cp1250::equalsNoCase(field.value, "VALUE_YES") ? yesText_ : noText_;
        else if (field.value.empty() && cp1250::equalsNoCase(field.name, "ICON") && !tables.objectTypes.empty())
            row.value = tables.objectTypes[tables.objectTypeOf(path::fileName(documentPath))].icon;
        else if (field.value.empty() && cp1250::equalsNoCase(field.name, "OWNER"))
            row.value = userLabel(session_);
        else if (field.value.empty() && cp1250::equalsNoCase(field.name, "TIME"))
            row.value = formatTime(now, session_.formats);
        else if (field.value.empty() && cp1250::equalsNoCase(field.name, "DATE"))
            row.value = formatDate(now, session_.formats);
        properties.push_back(std::move(row));
    }

    std::vector<Comment> comments;
    version.readable[0] = readComments(session_, documentPath, comments) != RecordRead::Failed;
    for (Comment& comment : comments)
        version.rows[index(EditorBranch::Comments)].push_back(
            {comment.note, std::move(comment.text), PropertyKind::Comment, {}, {}, "COMMENT.BMP"});

    std::vector<Attachment> attachments;
    std::vector<RefusedAttachment> refused;
    // Slots that would lead out of the folder are not shown; writing the
    // companion back without them would drop them, so it is left alone.
    version.readable[1] =
        readAttachments(session_, documentPath, attachments, &refused) != RecordRead::Failed && refused.empty();
    for (Attachment& attachment : attachments)
        version.rows[index(EditorBranch::Attachments)].push_back({attachment.note,
                                                                  std::move(attachment.name),
                                                                  attachmentKindOf(attachment.type),
                                                                  {},
                                                                  std::move(attachment.path),
                                                                  "ATTACHMENT.BMP"});

    Schedule schedule;
    const RecordRead scheduleRead = readSchedule(session_, documentPath, schedule);
    version.readable[2] = scheduleRead != RecordRead::Failed;
    version.schedule = scheduleRead == RecordRead::Ok ? std::optional<Schedule>(schedule) : std::nullopt;
    if (version.schedule)
        buildSchedule(version.schedule, now, version.rows[index(EditorBranch::Schedule)]);
    return Status::success();
}

Status DocumentEditor::open(const std::string& documentPath) {
    // Taken before anything is read: whatever changes while the editor
    // reads shows as a change when it saves, never as none.
    const std::string opening = documentPath_;
    documentPath_ = documentPath;
    std::vector<std::pair<std::string, fs::Snapshot>> before;
    for (const std::string& file : watchedFiles())
        before.emplace_back(file, fs::snapshot(file));
    documentPath_ = opening;

    events_ = readEventTable(session_.texts);
    yesText_ = session_.texts.lookup("VALUES", "VALUE_YES", "Values");
    noText_ = session_.texts.lookup("VALUES", "VALUE_NO", "Values");
    documentTypeText_ = nameText("DOCUMENT");
    templateTypeText_ = nameText("TEMPLATE");
    const LocalDateTime now = session_.clock.now();
    Version version;
    if (Status read = readVersion(documentPath, now, version); !read)
        return read;

    documentPath_ = documentPath;
    createdStamp_.reset();
    movedOriginals_.clear();
    clearPendingFileOps(session_);
    session_.pendingEdits.forget();
    mergeChoices_.clear();
    mergeConflicts_.clear();
    mergeReport_.clear();
    mergeTaken_ = {};
    openedAt_ = now;
    rows_ = version.rows;
    readable_ = version.readable;
    storedSchedule_ = version.schedule;
    scheduled_ = storedSchedule_.has_value();
    scheduleDefaultsShown_ = storedSchedule_ && (storedSchedule_->date.empty() || storedSchedule_->time.empty());
    openedRows_ = rows_;
    stamps_ = std::move(before);
    return Status::success();
}

Status DocumentEditor::openCreated(const std::string& documentPath) {
    const auto created = fs::stamp(documentPath);
    Status opened = open(documentPath);
    if (opened && created && created->regularFile)
        createdStamp_ = created;
    return opened;
}

Status DocumentEditor::reload() {
    const auto created = createdStamp_;
    Status read = open(documentPath_);
    createdStamp_ = created;
    return read;
}

Status DocumentEditor::leaveUnsaved(bool* removed) {
    if (removed)
        *removed = false;
    const auto created = std::exchange(createdStamp_, std::nullopt);
    if (!created)
        return Status::success();
    // Under the record's lock, so that nobody's save lands between the look
    // and the removal.
    const FileLock lock(documentPath_);
    if (!lock.held())
        return lock.status();
    if (fs::isSymlink(documentPath_) || fs::stamp(documentPath_) != created)
        return Status::success();
    for (Companion kind : {Companion::Comments, Companion::Attachments, Companion::Schedule, Companion::History}) {
        if (fs::exists(companionPath(documentPath_, kind)))
            return Status::success();
    }
    if (Status gone = fs::removeFile(documentPath_); !gone)
        return gone;
    if (removed)
        *removed = true;
    return Status::success();
}

void DocumentEditor::buildSchedule(const std::optional<Schedule>& stored, const LocalDateTime& now,
                                   std::vector<EditorRow>& rows) const {
    const std::string noEvent = nameText("NOEVENT");
    rows.clear();
    const auto add = [&](PropertyKind kind, const char* image, std::string value) {
        rows.push_back({nameText(propertyKindName(kind)), std::move(value), kind, {}, {}, image});
    };
    if (stored) {
        add(PropertyKind::Owner, "OWNER.BMP", stored->owner);
        add(PropertyKind::Team, "USERS.BMP", stored->team);
        add(PropertyKind::Date, "DATE.BMP", stored->date.empty() ? formatDate(now, session_.formats) : stored->date);
        add(PropertyKind::Time, "TIME.BMP", stored->time.empty() ? formatTime(now, session_.formats) : stored->time);
        const std::string event = eventNameOf(events_, stored->event);
        add(PropertyKind::Event, "EVENT.BMP", event.empty() ? noEvent : event);
        return;
    }
    add(PropertyKind::Owner, "OWNER.BMP", userLabel(session_));
    add(PropertyKind::Team, "USERS.BMP", {});
    add(PropertyKind::Date, "DATE.BMP", formatDate(addDays(now, 1), session_.formats));
    add(PropertyKind::Time, "TIME.BMP", formatTime(now, session_.formats));
    add(PropertyKind::Event, "EVENT.BMP", noEvent);
}

bool DocumentEditor::hasUnsavedChanges() const {
    // Schedule defaults shown for a stored schedule without a date are no
    // change of the user's, unlike what branchChanged tells the save.
    if (scheduled_ != storedSchedule_.has_value())
        return true;
    for (std::size_t b = 0; b < rows_.size(); ++b) {
        if (rows_[b] != openedRows_[b])
            return true;
    }
    return false;
}

void DocumentEditor::setScheduled(bool on) {
    if (on == scheduled_)
        return;
    scheduled_ = on;
    if (on)
        buildSchedule(storedSchedule_, session_.clock.now(), rowsOf(EditorBranch::Schedule));
    else
        rowsOf(EditorBranch::Schedule).clear();
}

void DocumentEditor::noteGroup(EditorBranch branch) {
    noteEdit(session_, kEditGroups[index(branch)]);
}

Result<std::string> DocumentEditor::checkedValue(const EditorRow& row, const std::string& value) const {
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
        return Result<std::string>::failure("a value must be one line: " + row.label);
    Result<std::string> fit =
        normalisedValue(row.kind, value, {session_.formats, yesText_, noText_, session_.clock.now()});
    if (!fit)
        return Result<std::string>::failure(row.label + " " + fit.message());
    return fit;
}

Status DocumentEditor::setValue(EditorBranch branch, std::size_t row, std::string value) {
    std::vector<EditorRow>& rows = rowsOf(branch);
    if (row >= rows.size())
        return Status::failure("there is no such row");
    if (branch != EditorBranch::Properties && !readable_[index(branch) - 1])
        return Status::failure("this part of the document cannot be read, so it cannot be changed");
    Result<std::string> fit = checkedValue(rows[row], value);
    if (!fit)
        return fit.status();
    noteGroup(branch);
    rows[row].value = std::move(fit).value();
    return Status::success();
}

Status DocumentEditor::setProperty(std::string_view field, std::string value) {
    const std::vector<EditorRow>& rows = rowsOf(EditorBranch::Properties);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (cp1250::equalsNoCase(rows[i].field, field))
            return setValue(EditorBranch::Properties, i, std::move(value));
    }
    return Status::failure("the document has no field " + std::string(field));
}

Status DocumentEditor::addComment(std::string text) {
    if (!readable_[0])
        return Status::failure("the comments cannot be read, so none can be added");
    std::vector<EditorRow>& rows = rowsOf(EditorBranch::Comments);
    if (rows.size() >= kMaxComments)
        return Status::failure("a document holds at most " + std::to_string(kMaxComments) + " comments");
    EditorRow row{{}, {}, PropertyKind::Comment, {}, {}, "COMMENT.BMP"};
    Result<std::string> fit = checkedValue(row, text);
    if (!fit)
        return fit.status();
    row.label = firstFieldNote(session_.tables, Companion::Comments);
    row.value = std::move(fit).value();
    noteGroup(EditorBranch::Comments);
    rows.push_back(std::move(row));
    return Status::success();
}

Status DocumentEditor::removeComment(std::size_t row) {
    std::vector<EditorRow>& rows = rowsOf(EditorBranch::Comments);
    if (row >= rows.size())
        return Status::failure("there is no comment " + std::to_string(row + 1));
    noteGroup(EditorBranch::Comments);
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(row));
    return Status::success();
}

Status DocumentEditor::attachFile(const std::string& source, std::string displayName, AttachmentType type,
                                  bool moveSource) {
    if (!fs::isRegularFile(source))
        return Status::failure("there is no file " + source);
    if (rowsOf(EditorBranch::Attachments).size() >= kMaxAttachments)
        return Status::failure("a document holds at most " + std::to_string(kMaxAttachments) + " attachments");
    if (displayName.empty())
        displayName = path::withoutExtension(path::fileName(source));
    std::string staged;
    if (const Status copied = stageAttachment(session_, source, staged); !copied)
        return copied;
    if (const Status added = attachStagedFile(staged, std::move(displayName), type); !added)
        return added;
    if (moveSource)
        movedOriginals_.emplace_back(staged, source);
    return Status::success();
}

Status DocumentEditor::attachStagedFile(const std::string& staged, std::string displayName, AttachmentType type) {
    if (!readable_[1])
        return Status::failure("the attachments cannot be read, so none can be added");
    std::vector<EditorRow>& rows = rowsOf(EditorBranch::Attachments);
    EditorRow row{{}, std::move(displayName), attachmentKindOf(type), {}, staged, "ATTACHMENT.BMP"};
    Result<std::string> fit = checkedValue(row, row.value);
    if (!fit)
        return fit.status();
    row.value = std::move(fit).value();
    std::vector<Attachment> list;
    for (const EditorRow& existing : rows)
        list.push_back({existing.value, existing.path, attachmentTypeOf(existing.kind), existing.label});
    if (const Status queued = addAttachment(session_, documentPath_, list, {row.value, staged, type, {}}); !queued)
        return queued;
    row.label = firstFieldNote(session_.tables, Companion::Attachments);
    // A document without a name is called after its first attachment.
    std::vector<EditorRow>& properties = rowsOf(EditorBranch::Properties);
    if (!properties.empty() && properties.front().value.empty())
        properties.front().value = row.value;
    noteGroup(EditorBranch::Attachments);
    rows.push_back(std::move(row));
    return Status::success();
}

Status DocumentEditor::changeAttachment(std::size_t row, std::string displayName, AttachmentType type) {
    std::vector<EditorRow>& rows = rowsOf(EditorBranch::Attachments);
    if (row >= rows.size())
        return Status::failure("there is no attachment " + std::to_string(row + 1));
    Result<std::string> fit = checkedValue(rows[row], displayName);
    if (!fit)
        return fit.status();
    noteGroup(EditorBranch::Attachments);
    rows[row].value = std::move(fit).value();
    rows[row].kind = attachmentKindOf(type);
    return Status::success();
}

Status DocumentEditor::removeAttachment(std::size_t row) {
    std::vector<EditorRow>& rows = rowsOf(EditorBranch::Attachments);
    if (row >= rows.size())
        return Status::failure("there is no attachment " + std::to_string(row + 1));
    if (!readable_[1])
        return Status::failure("the attachments cannot be read, so none can be removed");
    std::vector<Attachment> list;
    for (const EditorRow& existing : rows)
        list.push_back({existing.value, existing.path, attachmentTypeOf(existing.kind), existing.label});
    if (const Status removed = quill::removeAttachment(session_, list, row); !removed)
        return removed;
    std::erase_if(movedOriginals_, [&](const auto& moved) { return moved.first == rows[row].path; });
    noteGroup(EditorBranch::Attachments);
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(row));
    return Status::success();
}

Status DocumentEditor::setSchedule(const std::string& date, const std::string& time, const std::string& event) {
    if (!readable_[2])
        return Status::failure("the schedule cannot be read, so it cannot be changed");
    setScheduled(true);
    std::vector<EditorRow>& rows = rowsOf(EditorBranch::Schedule);
    std::string eventName;
    for (const EventChoice& choice : events_)
        eventName = eventName.empty() && cp1250::equalsNoCase(choice.name, event) ? choice.name : eventName;
    if (eventName.empty())
        eventName = eventNameOf(events_, event);
    if (eventName.empty())
        return Status::failure("there is no reminder \"" + event + "\"");
    const std::pair<PropertyKind, std::string> values[] = {
        {PropertyKind::Date, date}, {PropertyKind::Time, time}, {PropertyKind::Event, eventName}};
    for (const auto& [kind, value] : values) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].kind != kind)
                continue;
            if (const Status set = setValue(EditorBranch::Schedule, i, value); !set)
                return set;
        }
    }
    return Status::success();
}

} // namespace quill
