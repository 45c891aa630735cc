#pragma once

#include "documents/DocumentTransfer.h"
#include "platform/Status.h"

#include <string>
#include <string_view>
#include <vector>

namespace quill {

class MainTree;
class Session;
struct TreeNode;

// The main window's operations on documents and folders, for the logged-on
// user: they log what the data point's log asks for, and leave the places
// where the scheduler will hear of moved and deleted documents.

// Deletes a document for good (event 60).
Status deleteDocumentForGood(Session& session, std::string_view path);

// Deletes a folder with everything in it, for good (event 61). Only a
// folder strictly inside one of the user's top folders: never a top folder
// itself, the data point, or anything a link leads to.
Status deleteFolderForGood(Session& session, const MainTree& tree, std::string_view folder);

// A new document of object type typeIndex in folder, written whole with its
// type's defaults under a fresh name; its path in created.
Status createObject(Session& session, std::string_view folder, std::size_t typeIndex, std::string& created);

// A new folder name in parent, filled with a copy of folder template
// templateIndex (the folder template menu's numbering); its path in created.
Status createFolderFromTemplate(Session& session, std::string_view parent, std::size_t templateIndex,
                                std::string_view name, std::string& created);

// The user's trash: DataPoint.system/Trash/<logon name>, on the data
// point's own file system, so that a document goes into it and comes back
// by renames, and no cache cleaner of one computer can destroy it.
std::string trashDirectory(const Session& session);

// Whether path is a document the document commands may change: a document
// file (no companion, folder settings or attached file) inside the shared
// folders, the users' folders or the user's trash. The refusal says why.
Status checkDocumentPlace(const Session& session, std::string_view path);

// Copies or moves a document within the data point's folders: the source
// must be a document there (checkDocumentPlace), the target a free
// document name in one of those folders.
Status transferDocumentInDataPoint(Session& session, std::string_view source, std::string_view target,
                                   TransferMode mode);

// Moves a document with everything that belongs to it into the trash
// (event 63); a name the trash holds already gets a fresh one.
Status moveDocumentToTrash(Session& session, std::string_view path);

// Copies a document with its companions and attached files into the trash,
// where the user can take it back from; the original stays. The caller
// holds the document's lock.
Status copyDocumentToTrash(Session& session, std::string_view path);

// Moves a folder below a top folder into the trash with everything in it
// (event 64).
Status moveFolderToTrash(Session& session, const MainTree& tree, std::string_view folder);

// What the trash holds, the mark that makes it the program's own apart.
std::vector<std::string> trashContents(const Session& session);

// Deletes everything in the trash for good (event 62).
Status emptyTrash(Session& session);

// Whether path is the trash or lies in it.
bool liesInTrash(const Session& session, std::string_view path);

// What a drop onto the main tree does, or why it is refused: the number of
// the warning in the "GUI_FORM" section of the warnings.
struct DropCheck {
    bool accepted = false;
    int warning = 0;    // 0: refused silently (dropped onto itself)
    std::string target; // the target node's directory and the source's name
};

// The checks of a drop of a folder node (document empty) or of a document
// onto the node target, in the order the main window makes them.
DropCheck checkDrop(const TreeNode& sourceNode, std::string_view document, const TreeNode& target);

// Copies or moves a folder with everything in it to target, which must not
// exist; a move removes the source once everything arrived.
Status transferFolder(const Session& session, const MainTree& tree, std::string_view source, std::string_view target,
                      TransferMode mode);

// Whether folder lies strictly inside one of the tree's top folders.
bool liesBelowTopFolder(const MainTree& tree, std::string_view folder);

// Whether a folder may be moved away or deleted: one strictly inside a top
// folder, or one the trash holds.
bool mayTakeAwayFolder(const Session& session, const MainTree& tree, std::string_view folder);

} // namespace quill
