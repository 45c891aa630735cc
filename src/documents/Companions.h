#pragma once

#include "formats/Record.h"
#include "formats/CompanionNames.h"
#include "formats/RecordFile.h"
#include "platform/Status.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

class DocumentStore;
class FileTransaction;

// The files that belong to a document beside it. A companion's name is the
// document's with its extension replaced, so Offer.contract and Offer.note
// in one folder share their companions.
enum class Companion { Comments, Attachments, Schedule, History };

// ".comments", ".attachments", ".scheduler" or ".history".
std::string_view companionExtension(Companion kind);
std::string companionPath(std::string_view documentPath, Companion kind);

// The directory beside a document that holds the attached files of every
// document of the folder (named by kAttachmentDirectoryName).
std::string attachmentDirectory(std::string_view documentPath);

// Where attached files wait between being chosen and the document's save:
// <temporary directory>/Attachments. Empty while no settings are read.
std::string attachmentStagingDirectory(const DocumentStore& store);

// A plain file name directly inside a directory named
// Attachments.systemfiles.
bool liesInAttachmentDirectory(std::string_view path);

// Whether a stored attachment file name names a file inside the document's
// attachment directory, as it is and percent-decoded as page links carry
// it: a plain name, no separator, no "." or "..".
bool isSafeStoredAttachmentName(std::string_view stored);
// A plain file name inside the staging directory (links resolved).
bool liesInStagingDirectory(const DocumentStore& store, std::string_view path);

// What the program handles per document; the shipped types hold exactly
// as many slots.
inline constexpr std::size_t kMaxComments = 20;
inline constexpr std::size_t kMaxAttachments = 10;

struct Comment {
    std::string text;
    std::string note; // the description of the comment's field, its label
};

enum class AttachmentType { Document, Template };

// "ATTACHMENT_DOCUMENT" in any case is a document; any other text,
// the empty one included, is a template.
AttachmentType attachmentTypeOf(std::string_view stored);
// "ATTACHMENT_DOCUMENT" or "ATTACHMENT_TEMPLATE".
std::string_view attachmentTypeText(AttachmentType type);

struct Attachment {
    std::string name; // display name
    std::string path; // the attached file: stored, or staged since the editor opened
    AttachmentType type = AttachmentType::Document;
    std::string note; // the description of the name field, its label
};

// A slot that has a display name but whose stored file name is no plain
// file name: it would lead out of the attachment directory, so it is not
// listed.
struct RefusedAttachment {
    int slot = 0;
    std::string name;
    std::string storedFile;
};

struct Schedule {
    std::string owner;
    std::string team;
    std::string date;
    std::string time;
    std::string event; // decimal index into the event table
};

// What a companion record holds. Slots are found by field name.
std::vector<Comment> commentsOf(const Record& companion);
std::vector<Attachment> attachmentsOf(const Record& companion, std::string_view documentPath,
                                      std::vector<RefusedAttachment>* refused = nullptr);
Schedule scheduleOf(const Record& companion);

// Puts values into a companion record by field name, renumbering from the
// first slot and emptying the slots after the last entry. A value that
// has no field to go to refuses the whole change, so nothing is dropped
// silently; the record may then be half changed and must not be written.
Status fillComments(Record& companion, const std::vector<std::string>& texts);
Status fillAttachments(Record& companion, const std::vector<Attachment>& attachments);
Status fillSchedule(Record& companion, const Schedule& schedule);

// Reads a document's companion. Missing means none (an empty list, not
// scheduled). Failed means it exists but cannot be read or its object type
// is not defined; the failure is logged and shown, and the caller must not
// write the companion back from the empty list, which would delete it.
RecordRead readComments(DocumentStore& store, std::string_view documentPath, std::vector<Comment>& comments);
RecordRead readAttachments(DocumentStore& store, std::string_view documentPath, std::vector<Attachment>& attachments,
                           std::vector<RefusedAttachment>* refused = nullptr);
// Whether the data point defines the object type of a companion file:
// without one it would be read with another type's fields.
bool typeDefinedFor(const TypeTables& tables, std::string_view companionFile);

RecordRead readSchedule(DocumentStore& store, std::string_view documentPath, Schedule& schedule);

// Writes a document's companion from the list, or deletes it when the list
// is empty (nullopt: the document is no longer scheduled), under the
// document's lock. The companion is read right before it is changed and
// replaced whole. A write that fails leaves the old companion, or none,
// never a new empty one. Read failures are logged and shown; a list the
// companion cannot hold is only reported.
Status writeComments(DocumentStore& store, std::string_view documentPath, const std::vector<std::string>& texts);
Status writeAttachments(DocumentStore& store, std::string_view documentPath,
                        const std::vector<Attachment>& attachments);
Status writeSchedule(DocumentStore& store, std::string_view documentPath, const std::optional<Schedule>& schedule);

// The same as steps of a larger change: the caller holds the document's
// lock and runs the plan.
Status planComments(DocumentStore& store, std::string_view documentPath, const std::vector<std::string>& texts,
                    FileTransaction& plan);
Status planAttachments(DocumentStore& store, std::string_view documentPath, const std::vector<Attachment>& attachments,
                       FileTransaction& plan);
Status planSchedule(DocumentStore& store, std::string_view documentPath, const std::optional<Schedule>& schedule,
                    FileTransaction& plan);

// The decimal index of the first event name equal to chosen in any case;
// "0" when none is.
std::string eventIndexText(const std::vector<std::string>& eventNames, std::string_view chosen);

// Copies a file the user chose into the staging directory at once, under
// a unique name made from its own (FileOpMode::CopyNow); stagedPath gets
// that name.
Status stageAttachment(DocumentStore& store, std::string_view sourcePath, std::string& stagedPath);

// Adds a staged file to the editor's list and queues its move into the
// document's attachment directory under the staged name, which is also
// the name the companion stores. Refused when the list is full.
Status addAttachment(DocumentStore& store, std::string_view documentPath, std::vector<Attachment>& attachments,
                     Attachment staged);

// Takes entry index off the list and queues the removal of its file: a
// stored file is deleted on save, a staged one never reaches the folder.
Status removeAttachment(DocumentStore& store, std::vector<Attachment>& attachments, std::size_t index);

} // namespace quill
