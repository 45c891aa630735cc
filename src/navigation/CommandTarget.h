#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace quill {

class Session;
struct DocumentItem;
struct TreeNode;
struct TypeTables;

// What Delete, Print and the other commands of the main window act on: the
// thing the user visibly chose, never a document that is merely shown.
enum class TargetKind { None, Folder, Document, Trash };

struct CommandTarget {
    TargetKind kind = TargetKind::None;
    std::string path;        // the folder's directory or the document's record file
    std::string displayName; // the node's caption or the document's name
    bool topFolder = false;  // a folder the user connected: it is disconnected, never deleted

    bool operator==(const CommandTarget&) const = default;
};

// The target for the focused tree node and the list row the user selected
// (nullptr when no row is selected): a selected row wins, else the node
// when it stands for a folder or is the trash; nothing for the settings and
// task nodes or when nothing has the focus.
CommandTarget pickCommandTarget(const TreeNode* focused, const DocumentItem* selected);

// What a folder holds, all the way down.
struct FolderContents {
    std::size_t documents = 0; // record files of an object type, companions not counted
    std::size_t folders = 0;   // sub-directories, the attached files' directories not counted

    bool operator==(const FolderContents&) const = default;
};

// Counts without following symbolic links, so that a link can neither lead
// out of the folder nor make the count endless; unreadable directories
// count as empty.
FolderContents countFolderContents(const TypeTables& tables, std::string_view folder);

// What a delete does with the target once the user said yes.
enum class DeleteAction { None, EmptyTrash, DeleteForGood, MoveToTrash };

struct DeleteQuestion {
    DeleteAction action = DeleteAction::None;
    std::string text;       // names the target and what goes with it
    bool warning = false;   // shown as a warning rather than a question
    bool defaultYes = true; // false where a hasty Enter would take documents away
};

// The question Delete asks for target, and what follows a yes: the trash
// node is emptied; a target in the trash, or any with forGood (Shift held),
// is deleted for good; anything else goes to the trash. A top folder is
// never deleted (action None).
DeleteQuestion deleteQuestion(Session& session, const CommandTarget& target, bool forGood);

// Replaces each "$NAME$" marker of text whose name is listed by its value,
// in one pass: a value is never searched for markers again, so a name that
// holds a marker is shown as it is.
struct TextValue {
    std::string_view marker;
    std::string value;
};
std::string fillInText(std::string_view text, std::initializer_list<TextValue> values);

} // namespace quill
