#include "documents/Companions.h"

#include "documents/DocumentFiles.h"
#include "documents/DocumentStore.h"
#include "documents/PendingFileOps.h"
#include "formats/ObjectTypes.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/FileTransaction.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "platform/Ui.h"

#include <algorithm>
#include <functional>

namespace quill {
namespace {

std::string numbered(std::string_view name, std::size_t n) {
    return std::string(name) + std::to_string(n);
}

// The reader finds fields by name and so does the writer: a type whose
// fields stand in another order still keeps every value in its own field.
Status setField(Record& record, const std::string& name, std::string value) {
    if (!record.setValue(name, std::move(value)))
        return Status::failure("its object type has no field " + name);
    return Status::success();
}

} // namespace

// Without its own type a companion would be read with the first type's
// fields: its values would vanish on reading and land in foreign fields
// on writing.
bool typeDefinedFor(const TypeTables& tables, std::string_view companionFile) {
    const std::size_t index = tables.objectTypeOf(companionFile);
    return index < tables.objectTypes.size() &&
           cp1250::equalsNoCase(tables.objectTypes[index].name, objectTypeNameOf(companionFile));
}

namespace {

RecordRead readCompanion(DocumentStore& store, std::string_view documentPath, Companion kind, Record& record) {
    const std::string path = companionPath(documentPath, kind);
    if (!typeDefinedFor(store.objectTypeTables(), path)) {
        if (!fs::exists(path))
            return RecordRead::Missing;
        store.reportUnreadable(objectTypeNameOf(path));
        return RecordRead::Failed;
    }
    // The read tells a missing companion itself: no call asks first.
    return store.readRecord(path, record);
}

// A companion that the new list leaves empty goes with the change.
Status planCompanionRemoval(std::string_view path, FileTransaction& plan) {
    if (!fs::exists(path) && !fs::isSymlink(path))
        return Status::success();
    if (!fs::isRegularFile(path) || fs::isSymlink(path))
        return Status::failure("cannot delete " + std::string(path) + ": not a file");
    plan.remove(path);
    return Status::success();
}

// Reads the companion right before changing it, so that the fields nobody
// changes keep what another user wrote meanwhile. A missing companion
// starts from the defaults in memory: creating an empty file first would,
// should the write then fail, leave an empty schedule behind that marks the
// document as scheduled.
Status planCompanion(DocumentStore& store, std::string_view documentPath, Companion kind,
                     const std::function<Status(Record&)>& fill, FileTransaction& plan) {
    const std::string path = companionPath(documentPath, kind);
    if (!typeDefinedFor(store.objectTypeTables(), path))
        return Status::failure("cannot write " + path + ": the data point defines no object type " +
                               objectTypeNameOf(path));
    Record record;
    const RecordRead read = store.readRecord(path, record);
    switch (read) {
    case RecordRead::Ok: break;
    case RecordRead::Failed: return Status::failure("cannot read " + path);
    case RecordRead::Missing: {
        record = parseRecord(store.objectTypeTables(), path::fileName(path), "");
        const std::string directory = path::directory(path);
        record.header.directory = directory.empty() ? directory : path::withTrailingSeparator(directory);
        record.header.fileName = path::fileName(path);
        break;
    }
    }
    if (Status filled = fill(record); !filled)
        return Status::failure("cannot write " + path + ": " + filled.message());
    std::string content;
    if (Status made = recordFileContent(record, content); !made)
        return Status::failure("cannot write " + path + ": " + made.message());
    if (read == RecordRead::Ok)
        plan.replace(path, std::move(content));
    else
        plan.create(path, std::move(content));
    return Status::success();
}

// A change of one companion on its own, under the document's lock.
Status runAlone(DocumentStore& store, std::string_view documentPath,
                const std::function<Status(FileTransaction&)>& planned) {
    const DocumentLock lock(store, documentPath);
    if (!lock.held())
        return lock.status();
    FileTransaction plan(store.transactionJournal(), store.dataPointDirectory());
    if (Status made = planned(plan); !made)
        return made;
    return plan.run();
}

// An event that is no index is stored as "0", the first choice, as a name
// missing from the event table is.
std::string normalizedEventIndex(std::string_view stored) {
    const auto index = text::parseInteger(stored);
    return index && *index >= 0 ? std::to_string(*index) : std::string("0");
}

} // namespace

std::string_view companionExtension(Companion kind) {
    switch (kind) {
    case Companion::Comments: return ".comments";
    case Companion::Attachments: return ".attachments";
    case Companion::Schedule: return ".scheduler";
    case Companion::History: return ".history";
    }
    return {};
}

std::string companionPath(std::string_view documentPath, Companion kind) {
    return path::changeExtension(documentPath, companionExtension(kind));
}

std::string attachmentDirectory(std::string_view documentPath) {
    return path::join(path::directory(documentPath), kAttachmentDirectoryName);
}

std::string attachmentStagingDirectory(const DocumentStore& store) {
    const std::string& temporary = store.temporaryDirectory();
    return temporary.empty() ? std::string() : path::join(temporary, "Attachments");
}

bool isSafeStoredAttachmentName(std::string_view stored) {
    // Page links carry the name percent-decoded: "..%2F.." must not become
    // a way out either.
    return path::isPlainFileName(stored) && path::isPlainFileName(text::percentDecode(stored));
}

bool liesInAttachmentDirectory(std::string_view path) {
    return path::isPlainFileName(path::fileName(path)) &&
           cp1250::equalsNoCase(path::fileName(path::directory(path)), kAttachmentDirectoryName);
}

bool liesInStagingDirectory(const DocumentStore& store, std::string_view path) {
    const std::string staging = attachmentStagingDirectory(store);
    return !staging.empty() && path::isPlainFileName(path::fileName(path)) &&
           fs::isWithin(path::directory(path), staging);
}

AttachmentType attachmentTypeOf(std::string_view stored) {
    return cp1250::equalsNoCase(stored, "ATTACHMENT_DOCUMENT") ? AttachmentType::Document : AttachmentType::Template;
}

std::string_view attachmentTypeText(AttachmentType type) {
    return type == AttachmentType::Document ? "ATTACHMENT_DOCUMENT" : "ATTACHMENT_TEMPLATE";
}

std::vector<Comment> commentsOf(const Record& companion) {
    std::vector<Comment> comments;
    for (std::size_t n = 1; n <= companion.fields.size(); ++n) {
        const auto index = companion.fieldIndex(numbered("COMMENT", n));
        if (index && !companion.fields[*index].value.empty())
            comments.push_back({companion.fields[*index].value, companion.fields[*index].note});
    }
    return comments;
}

std::vector<Attachment> attachmentsOf(const Record& companion, std::string_view documentPath,
                                      std::vector<RefusedAttachment>* refused) {
    std::vector<Attachment> attachments;
    const std::string directory = attachmentDirectory(documentPath);
    for (std::size_t n = 1; n <= kMaxAttachments; ++n) {
        const auto nameIndex = companion.fieldIndex(numbered("ATTACHMENTNAME", n));
        if (!nameIndex || companion.fields[*nameIndex].value.empty())
            continue;
        const Field& name = companion.fields[*nameIndex];
        const std::string stored = companion.value(numbered("ATTACHMENTFILE", n));
        if (!isSafeStoredAttachmentName(stored)) {
            if (refused)
                refused->push_back({static_cast<int>(n), name.value, stored});
            continue;
        }
        attachments.push_back({name.value, path::join(directory, stored),
                               attachmentTypeOf(companion.value(numbered("ATTACHMENTTYPE", n))), name.note});
    }
    return attachments;
}

Schedule scheduleOf(const Record& companion) {
    return {companion.value("OWNER"), companion.value("TEAM"), companion.value("DATE"), companion.value("TIME"),
            companion.value("EVENT")};
}

Status fillComments(Record& companion, const std::vector<std::string>& texts) {
    std::size_t slot = 0;
    for (const std::string& text : texts) {
        // An empty text is a free slot: written, it would leave a gap.
        if (text.empty())
            continue;
        if (Status s = setField(companion, numbered("COMMENT", ++slot), text); !s)
            return s;
    }
    // Beyond the twentieth too: every comment field is read back, so one
    // left filled would come back as a duplicate.
    for (std::size_t n = slot + 1; n <= std::max(kMaxComments, companion.fields.size()); ++n)
        companion.setValue(numbered("COMMENT", n), "");
    return Status::success();
}

Status fillAttachments(Record& companion, const std::vector<Attachment>& attachments) {
    if (attachments.size() > kMaxAttachments)
        return Status::failure("a document holds at most " + std::to_string(kMaxAttachments) + " attachments");
    for (std::size_t n = 1; n <= kMaxAttachments; ++n) {
        for (const char* field : {"ATTACHMENTNAME", "ATTACHMENTFILE", "ATTACHMENTTYPE"})
            companion.setValue(numbered(field, n), "");
    }
    for (std::size_t k = 0; k < attachments.size(); ++k) {
        const Attachment& attachment = attachments[k];
        const std::string stored = path::fileName(attachment.path);
        if (!path::isPlainFileName(stored))
            return Status::failure("attachment " + attachment.name + " names no file");
        // A slot without a name is not read back: its file would stay in
        // the folder, listed nowhere.
        const std::string& name = attachment.name.empty() ? stored : attachment.name;
        const std::size_t n = k + 1;
        for (auto [field, value] : {std::pair{"ATTACHMENTNAME", name}, std::pair{"ATTACHMENTFILE", stored},
                                    std::pair{"ATTACHMENTTYPE", std::string(attachmentTypeText(attachment.type))}}) {
            if (Status s = setField(companion, numbered(field, n), value); !s)
                return s;
        }
    }
    return Status::success();
}

Status fillSchedule(Record& companion, const Schedule& schedule) {
    for (auto [field, value] :
         {std::pair{"OWNER", schedule.owner}, std::pair{"TEAM", schedule.team}, std::pair{"DATE", schedule.date},
          std::pair{"TIME", schedule.time}, std::pair{"EVENT", normalizedEventIndex(schedule.event)}}) {
        if (Status s = setField(companion, field, value); !s)
            return s;
    }
    return Status::success();
}

RecordRead readComments(DocumentStore& store, std::string_view documentPath, std::vector<Comment>& comments) {
    comments.clear();
    Record record;
    const RecordRead result = readCompanion(store, documentPath, Companion::Comments, record);
    if (result == RecordRead::Ok)
        comments = commentsOf(record);
    return result;
}

RecordRead readAttachments(DocumentStore& store, std::string_view documentPath, std::vector<Attachment>& attachments,
                           std::vector<RefusedAttachment>* refused) {
    attachments.clear();
    Record record;
    const RecordRead result = readCompanion(store, documentPath, Companion::Attachments, record);
    if (result == RecordRead::Ok)
        attachments = attachmentsOf(record, documentPath, refused);
    return result;
}

RecordRead readSchedule(DocumentStore& store, std::string_view documentPath, Schedule& schedule) {
    schedule = {};
    Record record;
    const RecordRead result = readCompanion(store, documentPath, Companion::Schedule, record);
    if (result == RecordRead::Ok)
        schedule = scheduleOf(record);
    return result;
}

Status planComments(DocumentStore& store, std::string_view documentPath, const std::vector<std::string>& texts,
                    FileTransaction& plan) {
    const bool none = std::all_of(texts.begin(), texts.end(), [](const std::string& t) { return t.empty(); });
    if (none)
        return planCompanionRemoval(companionPath(documentPath, Companion::Comments), plan);
    return planCompanion(
        store, documentPath, Companion::Comments, [&](Record& record) { return fillComments(record, texts); }, plan);
}

Status planAttachments(DocumentStore& store, std::string_view documentPath, const std::vector<Attachment>& attachments,
                       FileTransaction& plan) {
    if (attachments.empty())
        return planCompanionRemoval(companionPath(documentPath, Companion::Attachments), plan);
    return planCompanion(
        store, documentPath, Companion::Attachments,
        [&](Record& record) { return fillAttachments(record, attachments); }, plan);
}

Status planSchedule(DocumentStore& store, std::string_view documentPath, const std::optional<Schedule>& schedule,
                    FileTransaction& plan) {
    if (!schedule)
        return planCompanionRemoval(companionPath(documentPath, Companion::Schedule), plan);
    return planCompanion(
        store, documentPath, Companion::Schedule, [&](Record& record) { return fillSchedule(record, *schedule); },
        plan);
}

Status writeComments(DocumentStore& store, std::string_view documentPath, const std::vector<std::string>& texts) {
    return runAlone(store, documentPath,
                    [&](FileTransaction& plan) { return planComments(store, documentPath, texts, plan); });
}

Status writeAttachments(DocumentStore& store, std::string_view documentPath,
                        const std::vector<Attachment>& attachments) {
    return runAlone(store, documentPath,
                    [&](FileTransaction& plan) { return planAttachments(store, documentPath, attachments, plan); });
}

Status writeSchedule(DocumentStore& store, std::string_view documentPath, const std::optional<Schedule>& schedule) {
    return runAlone(store, documentPath,
                    [&](FileTransaction& plan) { return planSchedule(store, documentPath, schedule, plan); });
}

std::string eventIndexText(const std::vector<std::string>& eventNames, std::string_view chosen) {
    for (std::size_t i = 0; i < eventNames.size(); ++i) {
        if (cp1250::equalsNoCase(eventNames[i], chosen))
            return std::to_string(i);
    }
    return "0";
}

Status stageAttachment(DocumentStore& store, std::string_view sourcePath, std::string& stagedPath) {
    const std::string staging = attachmentStagingDirectory(store);
    const std::string name = path::fileName(sourcePath);
    if (staging.empty())
        return Status::failure("cannot stage " + std::string(sourcePath) + ": no temporary directory is set");
    if (!path::isPlainFileName(name))
        return Status::failure("cannot stage " + std::string(sourcePath) + ": not a file");
    const std::string staged = store.recordFiles().uniqueName(path::join(staging, name));
    if (Status copied = addPendingFileOp(store, sourcePath, staged, FileOpMode::CopyNow); !copied)
        return copied;
    stagedPath = staged;
    return Status::success();
}

Status addAttachment(DocumentStore& store, std::string_view documentPath, std::vector<Attachment>& attachments,
                     Attachment staged) {
    if (attachments.size() >= kMaxAttachments)
        return Status::failure("a document holds at most " + std::to_string(kMaxAttachments) + " attachments");
    const std::string target = path::join(attachmentDirectory(documentPath), path::fileName(staged.path));
    if (Status queued = addPendingFileOp(store, staged.path, target, FileOpMode::QueueMove); !queued)
        return queued;
    attachments.push_back(std::move(staged));
    return Status::success();
}

Status removeAttachment(DocumentStore& store, std::vector<Attachment>& attachments, std::size_t index) {
    if (index >= attachments.size())
        return Status::failure("no attachment " + std::to_string(index + 1));
    // An entry whose file cannot be queued stays listed: taken off, its
    // file would stay in the folder with nothing naming it.
    if (Status queued = addPendingFileOp(store, attachments[index].path, {}, FileOpMode::QueueRemoval); !queued)
        return queued;
    attachments.erase(attachments.begin() + static_cast<std::ptrdiff_t>(index));
    return Status::success();
}

} // namespace quill
