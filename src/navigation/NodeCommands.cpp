#include "navigation/NodeCommands.h"

#include "navigation/MainTree.h"

namespace quill {

NodeCommands allowedCommands(const TreeNode* focused, const DocumentItem* selected, bool trashHoldsSomething) {
    NodeCommands allowed;
    allowed.documentCommands = selected != nullptr;
    allowed.remove = selected != nullptr;
    allowed.newFolderInList = true;
    if (!focused)
        return allowed;
    const NodeKind kind = focused->kind;
    const bool page = kind == NodeKind::Settings || kind == NodeKind::Tasks;
    const bool folder = kind == NodeKind::Folder || kind == NodeKind::TopFolder;
    allowed.newObject = folder;
    allowed.newFolder = folder || kind == NodeKind::TemplateFolder;
    allowed.find = folder || kind == NodeKind::Trash;
    allowed.print = allowed.find;
    allowed.refreshFolder = !page;
    allowed.remove = allowed.remove || kind == NodeKind::Folder || (kind == NodeKind::Trash && trashHoldsSomething);
    allowed.disconnect = kind == NodeKind::TopFolder;
    allowed.folderProperties = isFolderKind(kind) && !focused->path.empty();
    allowed.newFolderInList = !page;
    return allowed;
}

NodeCommands allowedCommands(const Session& session, const TreeNode* focused, const DocumentItem* selected) {
    const bool trash = focused && focused->kind == NodeKind::Trash;
    return allowedCommands(focused, selected, trash && trashHasContent(session));
}

} // namespace quill
