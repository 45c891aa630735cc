#include "documents/DocumentTransfer.h"

#include "documents/Companions.h"
#include "documents/DocumentFiles.h"
#include "documents/DocumentStore.h"
#include "platform/FileSystem.h"
#include "platform/FileTransaction.h"
#include "platform/Paths.h"
#include "platform/Result.h"

#include <algorithm>

namespace quill {
namespace {

void removeIfEmpty(const std::string& directory) {
    const auto entries = fs::list(directory);
    if (entries && entries->empty() && !fs::isSymlink(directory))
        ignoreOutcome(fs::removeAll(directory));
}

bool contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// A stored name for an attached file that nothing in directory takes yet.
std::string freeStoredName(DocumentStore& store, const std::string& directory, const std::string& stored,
                           const std::vector<std::string>& taken) {
    std::string name = stored;
    while (fs::exists(path::join(directory, name)) || contains(taken, name))
        name = path::fileName(store.recordFiles().uniqueName(path::join(directory, stored)));
    return name;
}

} // namespace

Status planDocumentTransfer(DocumentStore& store, std::string_view source, std::string_view target, TransferMode mode,
                            FileTransaction& plan, std::vector<DocumentPart>* parts) {
    if (Status isDocument = expectDocument(store, source); !isDocument)
        return Status::failure("cannot transfer: " + isDocument.message());
    if (fs::isWithin(source, target) && fs::isWithin(target, source))
        return Status::failure("cannot transfer " + std::string(source) + " onto itself");
    DocumentFiles files;
    if (Status listed = documentFilesOf(store, source, files); !listed)
        return listed;
    const bool move = mode == TransferMode::Move;
    const auto add = [&](const std::string& from, const std::string& to, bool keepSource) {
        if (fs::exists(to) || fs::isSymlink(to))
            return Status::failure("cannot transfer " + std::string(source) + ": " + to + " exists already");
        if (move && !keepSource)
            plan.move(from, to);
        else
            plan.copy(from, to);
        if (parts)
            parts->push_back({from, to});
        return Status::success();
    };
    if (Status s = add(files.record, std::string(target), false); !s)
        return s;

    // Attached files keep their stored names unless the target's folder
    // holds that name already (a copy beside its original, a second
    // document of one name in the trash): then the copy gets a fresh name
    // and its own attachments companion says so.
    const std::string fromDirectory = attachmentDirectory(source);
    const std::string toDirectory = attachmentDirectory(target);
    const bool sameFolder = fs::isWithin(path::directory(source), path::directory(target)) &&
                            fs::isWithin(path::directory(target), path::directory(source));
    std::vector<std::pair<std::string, std::string>> renamed;
    std::vector<std::string> taken;
    for (const std::string& file : files.attachedFiles) {
        const std::string stored = path::fileName(file);
        // Moving within one folder leaves the attached files where they are.
        if (sameFolder && move && !contains(files.sharedAttachedFiles, file))
            continue;
        const std::string name = freeStoredName(store, toDirectory, stored, taken);
        taken.push_back(name);
        if (name != stored)
            renamed.emplace_back(stored, name);
        // A file another document still names stays for it; the moving
        // document takes a copy.
        if (Status s = add(file, path::join(toDirectory, name), contains(files.sharedAttachedFiles, file)); !s)
            return s;
    }

    const std::string listing = companionPath(source, Companion::Attachments);
    for (const std::string& companion : files.companions) {
        const std::string to = path::join(path::directory(std::string(target)),
                                          path::withoutExtension(path::fileName(target)) + path::extension(companion));
        const bool shared = contains(files.sharedCompanions, companion);
        if (companion == listing && !renamed.empty()) {
            Record record;
            std::string why;
            if (store.recordFiles().read(companion, record, &why) != RecordRead::Ok)
                return Status::failure("cannot read " + companion + ": " + why);
            for (std::size_t n = 1; n <= kMaxAttachments; ++n) {
                const std::string field = "ATTACHMENTFILE" + std::to_string(n);
                for (const auto& [was, now] : renamed) {
                    if (record.value(field) == was)
                        record.setValue(field, now);
                }
            }
            std::string content;
            if (Status s = recordFileContent(record, content); !s)
                return Status::failure("cannot write " + to + ": " + s.message());
            if (fs::exists(to))
                return Status::failure("cannot transfer " + std::string(source) + ": " + to + " exists already");
            plan.create(to, std::move(content));
            if (move && !shared)
                plan.remove(companion);
            if (parts)
                parts->push_back({companion, to});
            continue;
        }
        if (Status s = add(companion, to, shared); !s)
            return s;
    }
    return Status::success();
}

Status transferDocument(DocumentStore& store, std::string_view source, std::string_view target, TransferMode mode) {
    const DocumentLock lock(store, source, target);
    if (!lock.held())
        return lock.status();
    FileTransaction plan(store.transactionJournal(), store.dataPointDirectory());
    if (Status planned = planDocumentTransfer(store, source, target, mode, plan); !planned)
        return planned;
    if (Status done = plan.run(); !done)
        return done;
    if (mode == TransferMode::Move)
        removeIfEmpty(attachmentDirectory(source));
    return Status::success();
}

Status planDocumentDeletion(DocumentStore& store, std::string_view path, FileTransaction& plan) {
    if (Status isDocument = expectDocument(store, path); !isDocument)
        return Status::failure("cannot delete: " + isDocument.message());
    DocumentFiles files;
    if (Status listed = documentFilesOf(store, path, files); !listed)
        return Status::failure("cannot delete " + std::string(path) + ": " + listed.message());
    for (const std::string& file : files.attachedFiles) {
        if (!contains(files.sharedAttachedFiles, file))
            plan.remove(file);
    }
    for (const std::string& companion : files.companions) {
        if (!contains(files.sharedCompanions, companion))
            plan.remove(companion);
    }
    plan.remove(files.record);
    return Status::success();
}

Status deleteDocument(DocumentStore& store, std::string_view path) {
    const DocumentLock lock(store, path);
    if (!lock.held())
        return lock.status();
    FileTransaction plan(store.transactionJournal(), store.dataPointDirectory());
    if (Status planned = planDocumentDeletion(store, path, plan); !planned)
        return planned;
    if (Status done = plan.run(); !done)
        return done;
    removeIfEmpty(attachmentDirectory(path));
    return Status::success();
}

} // namespace quill
