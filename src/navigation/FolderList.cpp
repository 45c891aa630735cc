// The user's top folders on disk, and the texts that name a place in the
// tree ("Shared documents\Projects\2026").
#include "navigation/MainTree.h"

#include "navigation/ConnectedFolders.h"
#include "navigation/DocumentCommands.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/FolderTree.h"
#include "platform/Paths.h"
#include "session/Session.h"

#include <algorithm>

namespace quill {
namespace {

// Location texts separate their parts with '\' whichever system wrote
// them; '/' is accepted too.
std::vector<std::string> locationParts(std::string_view location) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : location) {
        if (c == '\\' || c == '/') {
            if (!current.empty())
                parts.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        parts.push_back(std::move(current));
    return parts;
}

TreeNode* childByCaption(TreeNode& node, std::string_view caption) {
    const std::string wanted = cp1250::upper(caption);
    for (auto& child : node.children) {
        if (cp1250::upper(child->caption) == wanted)
            return child.get();
    }
    return nullptr;
}

} // namespace

Status removeTopFolder(Session& session, MainTree& tree, const TreeNode& node) {
    if (node.kind != NodeKind::TopFolder)
        return Status::failure("only a connected top folder can be disconnected");
    const std::string removed = path::comparableFolder(node.path);
    std::erase_if(tree.topFolders,
                  [&](const TopFolderEntry& top) { return path::comparableFolder(top.path) == removed; });
    return saveFolderList(session, tree);
}

Status saveFolderList(Session& session, const MainTree& tree) {
    std::vector<std::string> folders;
    for (const TopFolderEntry& top : tree.topFolders) {
        if (!top.path.empty() && folders.size() < kMaxFolderListEntries)
            folders.push_back(top.path);
    }
    return writeConnectedFolders(session, folders);
}

std::string locationText(Session& session, const MainTree& tree, std::string_view path) {
    const std::string wanted = path::comparableFolder(path);
    for (const TopFolderEntry& top : tree.topFolders) {
        const std::string topPath = path::comparableFolder(top.path);
        if (topPath.empty())
            continue;
        // The top folder itself or a path below it, never a folder that
        // merely contains its path or starts with its name.
        if (wanted.compare(0, topPath.size(), topPath) != 0 ||
            (wanted.size() > topPath.size() && wanted[topPath.size()] != '/'))
            continue;
        // What follows the top folder's path, its parts joined by '\\': the
        // form every copy of the program shows and follows back, whatever
        // system it runs on. Upper-casing keeps every byte in place, so the
        // offsets agree.
        std::string rest = path::withoutTrailingSeparator(path::normalize(path)).substr(topPath.size());
        std::replace(rest.begin(), rest.end(), '/', '\\');
        return top.caption + rest;
    }
    if (wanted == path::comparableFolder(session.context.userTasksDirectory))
        return session.texts.lookup("NAMES", "MYTASKS", "VALUES") + "\\" +
               session.texts.lookup("NAMES", "MYTASKS_INCOMING", "VALUES");
    return "";
}

TreeNode* navigateToLocation(Session& session, MainTree& tree, std::string_view location) {
    const std::vector<std::string> parts = locationParts(location);
    if (parts.empty())
        return nullptr;
    TreeNode* node = nullptr;
    const std::string first = cp1250::upper(parts.front());
    for (const TopFolderEntry& top : tree.topFolders) {
        if (cp1250::upper(top.caption) == first) {
            node = top.node;
            break;
        }
    }
    if (!node && tree.myTasksNode && cp1250::upper(tree.myTasksNode->caption) == first)
        node = tree.myTasksNode;
    if (!node)
        return nullptr;
    node->expanded = true;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        // A tree read level by level reads the levels on the way.
        readShownLevel(session, tree, *node);
        node = childByCaption(*node, parts[i]);
        if (!node)
            return nullptr;
        node->expanded = true;
    }
    node->expanded = false;
    tree.focus(*node);
    return node;
}

bool trashHasContent(const Session& session) {
    return !trashContents(session).empty();
}

void updateTrashImage(Session& session, MainTree& tree) {
    if (!tree.trashNode)
        return;
    tree.trashNode->imageName = trashHasContent(session) ? "TRASH_FULL.BMP" : "TRASH.BMP";
    tree.trashNode->imageIndex = tree.images.imageIndex(tree.trashNode->imageName);
}

} // namespace quill
