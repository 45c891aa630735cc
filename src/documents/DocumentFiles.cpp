#include "documents/DocumentFiles.h"

#include "documents/Companions.h"
#include "documents/DocumentStore.h"
#include "documents/PendingFileOps.h"
#include "formats/CompanionNames.h"
#include "formats/ObjectTypes.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/FileTransaction.h"
#include "platform/Paths.h"

#include <algorithm>

namespace quill {
namespace {

constexpr std::string_view kLockSuffix = ".~document";

} // namespace

DocumentCheck checkDocumentFile(const DocumentStore& store, std::string_view path) {
    if (!fs::exists(path) && !fs::isSymlink(path))
        return DocumentCheck::Missing;
    if (!fs::isRegularFile(path) || fs::isSymlink(path))
        return DocumentCheck::NotAFile;
    return checkDocumentName(store, path);
}

DocumentCheck checkDocumentName(const DocumentStore& store, std::string_view path) {
    const std::string name = path::fileName(path);
    if (name.empty() || isBookkeepingName(name))
        return DocumentCheck::NotAFile;
    if (cp1250::equalsNoCase(name, kFolderRecordName))
        return DocumentCheck::FolderSettings;
    if (isCompanionExtension(path::extension(name)))
        return DocumentCheck::Companion;
    if (cp1250::equalsNoCase(path::fileName(path::directory(path)), kAttachmentDirectoryName))
        return DocumentCheck::AttachedFile;
    if (path::extension(name).empty() || !store.objectTypeTables().definesTypeOf(name))
        return DocumentCheck::UnknownType;
    return DocumentCheck::Document;
}

std::string documentRefusal(DocumentCheck check, std::string_view path) {
    const std::string p(path);
    switch (check) {
    case DocumentCheck::Document: return {};
    case DocumentCheck::Missing: return p + " does not exist";
    case DocumentCheck::NotAFile: return p + " is no document file";
    case DocumentCheck::Companion:
        return p + " belongs to a document (its comments, attachments, schedule or history), it is no document";
    case DocumentCheck::FolderSettings: return p + " holds a folder's settings, it is no document";
    case DocumentCheck::AttachedFile: return p + " is a file attached to a document, it is no document";
    case DocumentCheck::UnknownType: return p + " is no document: its extension names no object type of the data point";
    }
    return p + " is no document";
}

Status expectDocument(const DocumentStore& store, std::string_view path) {
    const DocumentCheck check = checkDocumentFile(store, path);
    return check == DocumentCheck::Document ? Status::success() : Status::failure(documentRefusal(check, path));
}

std::string documentLockName(std::string_view documentPath) {
    return path::withoutExtension(documentPath) + std::string(kLockSuffix);
}

Status recoverInterruptedChanges(DocumentStore& store) {
    const std::string journal = store.transactionJournal();
    if (journal.empty())
        return Status::success();
    return recoverFileTransactions(journal, store.dataPointDirectory());
}

DocumentLock::DocumentLock(DocumentStore& store, std::string_view documentPath)
    : DocumentLock(store, documentPath, {}) {}

DocumentLock::DocumentLock(DocumentStore& store, std::string_view first, std::string_view second) {
    std::vector<std::string> names{documentLockName(first)};
    if (!second.empty() && lockFilePath(documentLockName(second)) != lockFilePath(names.front()))
        names.push_back(documentLockName(second));
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return lockFilePath(a) < lockFilePath(b); });
    for (const std::string& name : names) {
        auto lock = std::make_unique<FileLock>(name);
        if (!lock->held()) {
            status_ = lock->status();
            locks_.clear();
            return;
        }
        locks_.push_back(std::move(lock));
    }
    if (Status recovered = recoverInterruptedChanges(store); !recovered) {
        status_ = recovered;
        locks_.clear();
    }
}

bool DocumentLock::held() const {
    return status_.ok() && !locks_.empty();
}

std::vector<std::string> documentsSharingCompanions(const DocumentStore& store, std::string_view documentPath) {
    std::vector<std::string> others;
    const std::string base = path::fileName(path::withoutExtension(documentPath));
    const std::string own = path::fileName(documentPath);
    const auto entries = fs::list(path::directory(documentPath));
    if (!entries)
        return others;
    for (const fs::Entry& entry : *entries) {
        if (entry.isDirectory || entry.isSymlink || cp1250::equalsNoCase(entry.name, own) ||
            !cp1250::equalsNoCase(path::withoutExtension(entry.name), base))
            continue;
        const std::string other = path::join(path::directory(documentPath), entry.name);
        if (checkDocumentFile(store, other) == DocumentCheck::Document)
            others.push_back(other);
    }
    return others;
}

Status documentFilesOf(DocumentStore& store, std::string_view documentPath, DocumentFiles& files) {
    files = DocumentFiles{};
    files.record = std::string(documentPath);
    const bool shared = !documentsSharingCompanions(store, documentPath).empty();
    for (Companion kind : {Companion::Schedule, Companion::Comments, Companion::History, Companion::Attachments}) {
        const std::string companion = companionPath(documentPath, kind);
        if (!fs::isRegularFile(companion) || fs::isSymlink(companion))
            continue;
        files.companions.push_back(companion);
        if (shared)
            files.sharedCompanions.push_back(companion);
    }
    const std::string listing = companionPath(documentPath, Companion::Attachments);
    if (!fs::exists(listing))
        return Status::success();
    Record record;
    std::string why;
    if (store.recordFiles().read(listing, record, &why) != RecordRead::Ok)
        return Status::failure("cannot read " + listing + ": " + why);
    const std::string directory = attachmentDirectory(documentPath);
    for (std::size_t n = 1; n <= kMaxAttachments; ++n) {
        const std::string stored = record.value("ATTACHMENTFILE" + std::to_string(n));
        if (stored.empty() || !isSafeStoredAttachmentName(stored) ||
            std::find(files.attachedNames.begin(), files.attachedNames.end(), stored) != files.attachedNames.end())
            continue;
        files.attachedNames.push_back(stored);
        const std::string file = path::join(directory, stored);
        if (!fs::isRegularFile(file) || fs::isSymlink(file))
            continue;
        files.attachedFiles.push_back(file);
        // Documents sharing the companion name the file through the same
        // companion; any other companion of the folder naming it keeps it.
        if (shared || attachedFileStillNamed(store, file, listing))
            files.sharedAttachedFiles.push_back(file);
    }
    return Status::success();
}

} // namespace quill
