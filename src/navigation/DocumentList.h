#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

class Record;
class Session;
struct ImageNameTable;

// One document as the list beside the page pane shows it.
struct DocumentItem {
    std::string name;        // NAME, expanded; the file's name when that is empty
    std::string secondField; // the value of the record's second field
    std::string typeCaption; // the object type's caption, "UNKNOWN" when it has none
    std::string date;
    std::string time;
    std::string location; // task lists only: where the document lies
    std::string path;
    std::string imageName; // the record's ICON
    int imageIndex = 0;
    bool rightsGranted = false; // RIGHTS admits the user; lists leave the others out
};

// The document item for file, reading it into the session's record as the
// page of the item will; nothing when the file does not exist.
bool makeDocumentItem(Session& session, const ImageNameTable& images, const std::string& file, DocumentItem& item);

// The documents of directory (its files, not those of sub-directories),
// companion files and documents the user is not shown left out, sorted;
// none when the folder itself is not shown to the user. Each document with
// a ".scheduler" companion is handed to scheduled, so that the task list
// learns of it.
std::vector<DocumentItem> listFolderDocuments(Session& session, const ImageNameTable& images,
                                              std::string_view directory,
                                              const std::function<void(const std::string& document)>& scheduled = {});

// The user's tasks of one state, by the task node's key: "MYTASKS_OPEN",
// "MYTASKS_CLOSE" or "MYTASKS_ACTUAL" (any other key lists none), from the
// session's schedule table. A task whose document no longer exists, or
// whose rights no longer admit the user, is left out; location is the
// folder the document lies in. Sorted as a folder's list.
std::vector<DocumentItem> listTasks(Session& session, const ImageNameTable& images, std::string_view state);

// The list's order: by name in any case, then by file name, so that
// documents of one name keep a stable order.
void sortDocumentItems(std::vector<DocumentItem>& items);

// Where a document comes in the list: compared with <, keys order
// documents as the list does.
struct DocumentOrderKey {
    std::string name; // upper-cased
    std::string file; // the file's name
    bool operator<(const DocumentOrderKey& other) const {
        return name != other.name ? name < other.name : file < other.file;
    }
};
DocumentOrderKey documentOrderKey(std::string_view name, std::string_view path);

// The name the list shows for a document: its record's NAME, expanded with
// the record's own fields, or the file's name when that is empty.
std::string documentListName(Session& session, const Record& record, const std::string& file);

} // namespace quill
