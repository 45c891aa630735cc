#pragma once

namespace quill {

class Session;
struct DocumentItem;
struct TreeNode;

// Which of the main window's commands the focused node and the document
// selected in the list allow. The toolbar, the menu bar and both popup
// menus enable their actions from it alone.
struct NodeCommands {
    // The toolbar and the tree's popup menu.
    bool newObject = false;
    bool newFolder = false; // a folder from a folder template
    bool remove = false;    // Delete: the selected document, else the node
    bool find = false;
    bool print = false;
    bool refreshFolder = false;
    // The tree's popup menu only.
    bool disconnect = false; // a top folder leaves the user's folder list
    bool folderProperties = false;
    // The list's popup menu only.
    bool newFolderInList = false;
    bool documentCommands = false; // edit, delete, print and properties of the selected document

    bool operator==(const NodeCommands&) const = default;
};

// What is allowed with focused (nullptr when no node has the focus) and
// selected (nullptr when no row is selected). The trash allows Delete only
// when trashHoldsSomething: emptying an empty trash does nothing. Template
// folders take folders from templates but no documents; the settings and
// task nodes allow none of the node's commands, and a top folder is
// disconnected rather than deleted.
NodeCommands allowedCommands(const TreeNode* focused, const DocumentItem* selected, bool trashHoldsSomething);

// The same, looking into the trash only when focused is the trash node.
NodeCommands allowedCommands(const Session& session, const TreeNode* focused, const DocumentItem* selected);

} // namespace quill
