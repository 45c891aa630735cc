#include "documents/DocumentTransfer.h"

#include "documents/Companions.h"
#include "documents/DocumentStore.h"
#include "documents/PendingFileOps.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace quill {
namespace {

// The stored names of the attached files a document's companion lists.
Status attachedNames(DocumentStore& store, std::string_view document, std::vector<std::string>& names) {
    const std::string companion = companionPath(document, Companion::Attachments);
    if (!fs::exists(companion))
        return Status::success();
    Record record;
    std::string why;
    if (store.recordFiles().read(companion, record, &why) != RecordRead::Ok)
        return Status::failure("cannot read " + companion + ": " + why);
    for (std::size_t n = 1; n <= kMaxAttachments; ++n) {
        const std::string stored = record.value("ATTACHMENTFILE" + std::to_string(n));
        if (!stored.empty() && isSafeStoredAttachmentName(stored))
            names.push_back(stored);
    }
    return Status::success();
}

void removeIfEmpty(const std::string& directory) {
    const auto entries = fs::list(directory);
    if (entries && entries->empty() && !fs::isSymlink(directory))
        fs::removeAll(directory).ok();
}

Status copyAll(const std::vector<DocumentPart>& parts) {
    std::vector<std::string> made;
    for (const DocumentPart& part : parts) {
        fs::createDirectories(path::directory(part.to));
        if (Status copied = fs::copyFile(part.from, part.to); !copied) {
            for (const std::string& file : made)
                fs::removeFile(file).ok();
            return copied;
        }
        made.push_back(part.to);
    }
    return Status::success();
}

// Moves by renaming; a rename that fails (another file system) undoes the
// renames made and gives way to copying everything first and deleting the
// sources after.
Status moveAll(const std::vector<DocumentPart>& parts) {
    std::vector<const DocumentPart*> renamed;
    for (const DocumentPart& part : parts) {
        fs::createDirectories(path::directory(part.to));
        if (!fs::rename(part.from, part.to)) {
            for (auto it = renamed.rbegin(); it != renamed.rend(); ++it)
                fs::rename((*it)->to, (*it)->from).ok();
            if (Status copied = copyAll(parts); !copied)
                return copied;
            for (const DocumentPart& done : parts)
                fs::removeFile(done.from).ok();
            return Status::success();
        }
        renamed.push_back(&part);
    }
    return Status::success();
}

} // namespace

Status documentParts(DocumentStore& store, std::string_view source, std::string_view target,
                     std::vector<DocumentPart>& parts) {
    parts.clear();
    if (!fs::isRegularFile(source))
        return Status::failure("cannot transfer " + std::string(source) + ": no such document");
    parts.push_back({std::string(source), std::string(target)});
    for (Companion kind : {Companion::Schedule, Companion::Comments, Companion::History}) {
        const std::string companion = companionPath(source, kind);
        if (fs::isRegularFile(companion))
            parts.push_back({companion, companionPath(target, kind)});
    }
    std::vector<std::string> names;
    if (Status listed = attachedNames(store, source, names); !listed)
        return listed;
    const std::string from = attachmentDirectory(source), to = attachmentDirectory(target);
    if (!fs::isWithin(from, to) || !fs::isWithin(to, from)) {
        for (const std::string& name : names) {
            const std::string file = path::join(from, name);
            if (fs::isRegularFile(file) && !fs::isSymlink(file))
                parts.push_back({file, path::join(to, name)});
        }
    }
    const std::string companion = companionPath(source, Companion::Attachments);
    if (fs::isRegularFile(companion))
        parts.push_back({companion, companionPath(target, Companion::Attachments)});
    return Status::success();
}

Status transferDocument(DocumentStore& store, std::string_view source, std::string_view target, TransferMode mode) {
    std::vector<DocumentPart> parts;
    if (Status planned = documentParts(store, source, target, parts); !planned)
        return planned;
    if (fs::isWithin(source, target) && fs::isWithin(target, source))
        return Status::failure("cannot transfer " + std::string(source) + " onto itself");
    for (const DocumentPart& part : parts) {
        if (fs::exists(part.to))
            return Status::failure("cannot transfer " + std::string(source) + ": " + part.to + " exists already");
    }
    if (Status done = mode == TransferMode::Move ? moveAll(parts) : copyAll(parts); !done)
        return done;
    if (mode == TransferMode::Move)
        removeIfEmpty(attachmentDirectory(source));
    return Status::success();
}

Status deleteDocument(DocumentStore& store, std::string_view path) {
    if (!fs::isRegularFile(path))
        return Status::failure("cannot delete " + std::string(path) + ": no such document");
    std::vector<std::string> names;
    if (Status listed = attachedNames(store, path, names); !listed)
        return listed;
    const std::string attachments = attachmentDirectory(path);
    const std::string ownCompanion = companionPath(path, Companion::Attachments);
    for (const std::string& name : names) {
        const std::string file = path::join(attachments, name);
        if (fs::isRegularFile(file) && !fs::isSymlink(file) && !attachedFileStillNamed(store, file, ownCompanion))
            fs::removeFile(file).ok();
    }
    removeIfEmpty(attachments);
    for (Companion kind : {Companion::Attachments, Companion::Schedule, Companion::Comments, Companion::History}) {
        const std::string companion = companionPath(path, kind);
        if (fs::isRegularFile(companion))
            fs::removeFile(companion).ok();
    }
    return fs::removeFile(path);
}

} // namespace quill
