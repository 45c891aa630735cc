#pragma once

#include "navigation/ImageNames.h"
#include "navigation/NodeKind.h"
#include "platform/Status.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

class Record;
class Session;

// One node of the main tree: a top folder, a folder below one, or a fixed
// node of the settings, tasks and trash groups.
struct TreeNode {
    std::string caption;
    std::string note;
    NodeKind kind = NodeKind::Folder;
    std::string subKind; // the fixed node's own key; "" for folders
    std::string path;    // the directory the node stands for, or ""
    std::string imageName;
    int imageIndex = 0;
    std::string url; // what the page pane shows; may hold text variables
    bool expanded = false;
    // The folders below have been read; a tree read level by level leaves
    // the deepest level it read unread.
    bool childrenRead = true;

    TreeNode* parent = nullptr;
    std::vector<std::unique_ptr<TreeNode>> children;

    TreeNode& addChild(std::unique_ptr<TreeNode> child);
};

// A top folder as the location texts know it.
struct TopFolderEntry {
    std::string path;
    std::string caption;
    TreeNode* node = nullptr;
    int imageIndex = 0;
};

// How much of the folders a tree reads when it is built or reloaded.
enum class FolderDepth {
    Whole,      // every folder below the top folders
    TopFolders, // the top folders and the fixed nodes, nothing below them
    // What a window shows: each folder as it is shown, with the level below
    // it so that it shows whether it holds folders; more on readShownLevel.
    ShownLevels,
};

// The navigation tree of the main window, without any widget: the views
// show it and call back into it.
class MainTree {
public:
    FolderDepth depth = FolderDepth::Whole;
    std::vector<std::unique_ptr<TreeNode>> roots;
    // One entry per top folder, in tree order; top folders come first.
    std::vector<TopFolderEntry> topFolders;
    // The object template folders shown below SETTINGS.
    std::vector<std::string> templateFolders;
    TreeNode* settingsNode = nullptr;
    TreeNode* myTasksNode = nullptr;
    TreeNode* trashNode = nullptr;
    TreeNode* focused = nullptr;
    ImageNameTable images;
    // Rises each time nodes are deleted (a rebuild or a folder reloaded),
    // so that a view that refers to nodes knows its references are void.
    std::uint64_t nodesDropped = 0;

    // Every schedule companion the folder walk meets, with its document:
    // the scheduler builds the task list from them.
    std::function<void(const std::string& companion, const std::string& mainFile)> scheduleFound;
    // The main window's reaction to a node getting the focus.
    std::function<void(TreeNode& node)> focusChanged;

    void clear();
    // Selects node and runs the focus change for it.
    void focus(TreeNode& node);
    // Every node, parents before children, in tree order.
    void forEach(const std::function<void(const TreeNode&, int depth)>& visit) const;
};

// Where a node sits in the tree: its place among the roots, then among
// each parent's children; the row of each level a view shows. Unlike the
// node, which a reload of the tree or of a folder replaces, it can be kept
// across a reload and leads to the node in the same place, if any.
using NodeAddress = std::vector<std::size_t>;

// The address of node; empty when node is not in tree.
NodeAddress addressOf(const MainTree& tree, const TreeNode& node);
// The node at address; nullptr when the tree holds none there (any more).
TreeNode* nodeAt(MainTree& tree, const NodeAddress& address);

// Builds the tree for the logged-on user, as deep as depth says: the top
// folders (creating the folder list and the user's folder record on the
// first build), then SETTINGS, MYTASKS and TRASH; focuses the first node.
// Schedules are not read: scanSchedules does that for the places below.
void buildMainTree(Session& session, MainTree& tree, FolderDepth depth = FolderDepth::Whole);

// Reads what a node's being shown expanded needs: its children and theirs,
// where not read yet. False when nothing was read.
bool readShownLevel(Session& session, MainTree& tree, TreeNode& node);

// The directories whose schedules are the user's tasks: the top folders,
// the template folders and the trash.
std::vector<std::string> scheduleScanPlaces(const MainTree& tree);

// Adds the folder name in parentDirectory under parent, from its
// folder.folders record.
TreeNode& addFolderNode(Session& session, MainTree& tree, std::string_view name, std::string_view parentDirectory,
                        const Record& folder, TreeNode& parent);

// Re-reads the folder of node from directory and rebuilds its sub-tree;
// runs the focus change for it unless told not to.
void reloadFolderNode(Session& session, MainTree& tree, TreeNode& node, const std::string& directory,
                      bool runFocusChange = true);

// Re-reads node's folder.folders after its properties changed; false when
// the file is missing.
bool refreshFolderNode(Session& session, MainTree& tree, TreeNode& node);

// For a folder that gets the focus: reloads it when the number of its
// sub-folders changed. False when its directory no longer exists.
// Directories without folder.folders are left alone: they are not shown,
// and somebody else's files in the share are never deleted.
// *reloaded tells whether the node's children were made anew, so that views
// holding them know to let go.
bool checkFolderChanged(Session& session, MainTree& tree, TreeNode& node, bool* reloaded = nullptr);

// Removes a top folder from the register and saves the folder list; a
// failure for any node that is not a top folder.
Status removeTopFolder(Session& session, MainTree& tree, const TreeNode& node);

// Writes the top folders into the user's folder list, collapsed; at most
// twenty fit.
Status saveFolderList(Session& session, const MainTree& tree);

// "Caption\sub\dir" for a path inside a top folder; the incoming tasks
// caption for the user's incoming task directory; else "".
std::string locationText(Session& session, const MainTree& tree, std::string_view path);

// Follows a location text through the tree, expanding on the way, and
// focuses the node it ends at; nullptr when a component is not found. Its
// parts may be parted by '/' or, as older texts have them, by '\'.
TreeNode* navigateToLocation(Session& session, MainTree& tree, std::string_view location);

// The page a node shows as its own: its address; for a task list that holds
// no task, the overview of the tasks its group shows. "" where the node's
// list stands for it: its first document, or while it is empty the page
// of an empty folder.
std::string ownPageOf(const TreeNode& node, bool listEmpty);

bool trashHasContent(const Session& session);
void updateTrashImage(Session& session, MainTree& tree);

inline constexpr std::size_t kMaxFolderListEntries = 20;

} // namespace quill
