#pragma once

#include <string_view>

namespace quill {

// What a node of the main tree stands for; it decides what the node lists,
// what may be dropped on it and which commands it offers.
enum class NodeKind {
    Folder,         // a folder below a top folder, a template folder or the trash
    TopFolder,      // a folder the user connected at the top of the tree
    Settings,       // a page of the settings group: an account, the help, a user
    TemplateFolder, // the directory of folder or file templates below the settings
    Tasks,          // the user's task list or one of its states
    Trash,          // the user's trash
};

// The key a node's kind is written as where somebody outside the program
// reads it: "" for a folder, "ROOT", "SETTINGS", "SETTINGS_OBJ", "MYTASKS",
// "TRASH". Fixed nodes below the settings group take it as their key.
std::string_view keyOf(NodeKind kind);

// Whether a node of that kind stands for a directory with documents one
// may add to.
constexpr bool isFolderKind(NodeKind kind) {
    return kind == NodeKind::Folder || kind == NodeKind::TopFolder || kind == NodeKind::TemplateFolder;
}

// Whether the document list shows the documents of the node's directory:
// the folders' and the trash's.
constexpr bool listsDirectory(NodeKind kind) {
    return isFolderKind(kind) || kind == NodeKind::Trash;
}

// Whether the node is a folder of the share that others may change under
// it, so that it is read again when it gets the focus.
constexpr bool followsShare(NodeKind kind) {
    return kind == NodeKind::Folder || kind == NodeKind::TopFolder;
}

} // namespace quill
