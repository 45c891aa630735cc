#pragma once

#include "platform/Status.h"

#include <string>
#include <string_view>
#include <vector>

namespace quill {

class DocumentStore;

enum class TransferMode { Copy, Move };

// One file of a document and where a transfer takes it.
struct DocumentPart {
    std::string from;
    std::string to;
};

// Everything that makes up the document at source: the document, each
// companion that exists (".scheduler", ".comments", ".history"), the
// attached files its ".attachments" companion names, then that companion,
// each paired with its place beside target. Attached files stay where they
// are when both documents share one attachment directory. Fails when the
// source is missing or its attachments companion cannot be read (its
// attached files would be left behind).
Status documentParts(DocumentStore& store, std::string_view source, std::string_view target,
                     std::vector<DocumentPart>& parts);

// Copies or moves a document with its companions and attached files, all
// or nothing: nothing at the target is replaced, and when one file cannot
// be transferred, what was done is undone, so the document stays whole
// where it was. The attached files of other documents in the source's
// Attachments.systemfiles stay; the directory is removed once empty.
Status transferDocument(DocumentStore& store, std::string_view source, std::string_view target, TransferMode mode);

// Deletes a document for good with its companions and the attached files
// that no other document of its folder names. Only regular files are
// deleted, and attached files only inside the folder's attachment
// directory. Fails, deleting nothing, when the attachments companion cannot
// be read.
Status deleteDocument(DocumentStore& store, std::string_view path);

} // namespace quill
