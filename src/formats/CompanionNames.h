#pragma once

#include "platform/FileSystem.h"

#include <string>
#include <string_view>
#include <vector>

namespace quill {

struct TypeTables;

// How the files that belong to a document or folder are named beside it.

// The directory of a folder that holds the attached files of its
// documents; never a folder itself.
inline constexpr std::string_view kAttachmentDirectoryName = "Attachments.systemfiles";
// The record that makes a directory a folder and holds its name and rights.
inline constexpr std::string_view kFolderRecordName = "folder.folders";

// ".ATTACHMENTS", ".COMMENTS", ".FOLDERS", ".HISTORY", ".SCHEDULER" in any
// case: files that belong to a document or folder and are not documents.
bool isCompanionExtension(std::string_view extension);

// Whether an entry of a directory listing is a document: a file, no link,
// no companion, of a type the data point defines.
bool isDocumentEntry(const TypeTables& tables, const fs::Entry& entry);

// The document a companion file belongs to: the last entry beside it whose
// name is the companion's base name, alone or followed by an extension,
// that is no companion itself. "PARROR" when path does not exist; empty
// when no such document is there.
std::string mainFileOfCompanion(std::string_view path);

// The same, searched in a listing of the companion's directory already made.
std::string mainFileAmong(const std::vector<fs::Entry>& entries, std::string_view directory,
                          std::string_view companionName);

} // namespace quill
