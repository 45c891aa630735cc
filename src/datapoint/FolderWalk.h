#pragma once

#include "formats/Record.h"

#include <cstddef>
#include <string>

namespace quill {

class RecordFiles;

// Receives what the folder walk meets. Nodes are the visitor's own: the
// walk only hands back what folderFound returned as the parent of the
// folders found below.
class FolderWalkVisitor {
public:
    using Node = std::size_t;
    virtual ~FolderWalkVisitor() = default;

    // A directory holding a readable folder.folders record. name is the
    // directory's name, parentDirectory the directory holding it (with a
    // trailing separator). Returns the node under which its sub-folders go.
    virtual Node folderFound(const std::string& name, const std::string& parentDirectory, const Record& folderRecord,
                             Node parent) = 0;

    // A schedule companion and the document it belongs to ("" when none,
    // "PARROR" when the companion vanished meanwhile).
    virtual void scheduleFound(const std::string& companionPath, const std::string& mainFile) = 0;
    // Whether scheduleFound is wanted at all: the walk then looks at the
    // names of files too.
    virtual bool wantsSchedules() const { return true; }
};

// Walks directory and everything below it in the file system's order. Each
// directory with a folder.folders record becomes a folder under the nearest
// folder above it (or parent); directories without one are walked with the
// same parent. Symbolic links to directories are not followed, so a link
// loop cannot make the walk endless.
// levels: how many levels of directories below directory are read; 0 for
// all of them. readers: threads that read sub-directories ahead of the
// walk; -1 for some on a network file system and none on a local disk.
// The visitor is called on the calling thread in the same order either way.
void walkFolderTree(const RecordFiles& records, const std::string& directory, FolderWalkVisitor& visitor,
                    FolderWalkVisitor::Node parent, int levels = 0, int readers = -1);

} // namespace quill
