#pragma once

#include "platform/FileLock.h"
#include "platform/Status.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

class DocumentStore;

// Why a file is no document, or Document. A document is a record file
// whose extension names an object type of the data point; its companions,
// folder settings, attached files and the program's own files never are.
enum class DocumentCheck { Document, Missing, NotAFile, Companion, FolderSettings, AttachedFile, UnknownType };

DocumentCheck checkDocumentFile(const DocumentStore& store, std::string_view path);
// The same by the name alone, for a document about to be made.
DocumentCheck checkDocumentName(const DocumentStore& store, std::string_view path);

// The message for a refusal, naming the path: "… does not exist",
// "… is a companion of a document, not a document" and so on.
std::string documentRefusal(DocumentCheck check, std::string_view path);

// Status::success for a document, else the refusal.
Status expectDocument(const DocumentStore& store, std::string_view path);

// One lock for all files of a document: its record, its companions and
// its attached files. Documents that share companions (Offer.contract and
// Offer.note) share the lock. Once taken, changes that a killed program
// left half done are finished or undone, so the holder sees whole
// documents.
class DocumentLock {
public:
    DocumentLock(DocumentStore& store, std::string_view documentPath);
    // Locks two documents in one fixed order, so that two programs locking
    // the same pair never wait for each other.
    DocumentLock(DocumentStore& store, std::string_view first, std::string_view second);

    bool held() const;
    const Status& status() const { return status_; }

private:
    std::vector<std::unique_ptr<FileLock>> locks_;
    Status status_ = Status::success();
};

// The name the document lock is taken on: the document's base name in its
// directory, with a suffix no object type uses.
std::string documentLockName(std::string_view documentPath);

// Finishes or undoes what a killed program left half done in the data
// point's journal.
Status recoverInterruptedChanges(DocumentStore& store);

// The files of a document, as they are on disk now.
struct DocumentFiles {
    std::string record;
    std::vector<std::string> companions;          // those that exist
    std::vector<std::string> sharedCompanions;    // of them, those another document of the base name uses too
    std::vector<std::string> attachedNames;       // stored names its attachments companion lists
    std::vector<std::string> attachedFiles;       // of them, the regular files that exist
    std::vector<std::string> sharedAttachedFiles; // of them, those another companion of the folder names
};

// Fails when the attachments companion cannot be read: its attached files
// would be left behind or removed blindly.
Status documentFilesOf(DocumentStore& store, std::string_view documentPath, DocumentFiles& files);

// Other documents in the document's folder with the same base name (they
// share its companions).
std::vector<std::string> documentsSharingCompanions(const DocumentStore& store, std::string_view documentPath);

} // namespace quill
