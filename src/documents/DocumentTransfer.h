#pragma once

#include "platform/Status.h"

#include <string>
#include <string_view>
#include <vector>

namespace quill {

class DocumentStore;
class FileTransaction;

enum class TransferMode { Copy, Move };

// One file of a document and where a transfer takes it.
struct DocumentPart {
    std::string from;
    std::string to;
};

// Adds the transfer of a document to plan (the caller holds both
// documents' locks). Nothing at the target is replaced. An attached file or
// a companion that another document still uses is copied, never taken
// away; an attached file whose stored name the target's folder holds
// already gets a fresh name, written into the target's companion.
Status planDocumentTransfer(DocumentStore& store, std::string_view source, std::string_view target, TransferMode mode,
                            FileTransaction& plan, std::vector<DocumentPart>* parts = nullptr);

// Copies or moves a document with its companions and attached files as
// one change under both documents' locks: all or nothing, even when the
// program is killed. The source's Attachments.systemfiles is removed once
// empty.
Status transferDocument(DocumentStore& store, std::string_view source, std::string_view target, TransferMode mode);

// Adds the deletion of a document to plan: its record, the companions no
// other document of its base name uses and the attached files no other
// companion of its folder names.
Status planDocumentDeletion(DocumentStore& store, std::string_view path, FileTransaction& plan);

// Deletes a document for good, as one change under its lock. Fails,
// deleting nothing, when it is no document or its attachments companion
// cannot be read.
Status deleteDocument(DocumentStore& store, std::string_view path);

} // namespace quill
