#include "navigation/MainTree.h"

#include "formats/CompanionNames.h"
#include "navigation/DocumentCommands.h"

#include "datapoint/FolderWalk.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/LogonContext.h"
#include "session/Scheduler.h"
#include "session/Session.h"
#include "session/UserAccounts.h"
#include "session/Visibility.h"

#include <algorithm>

namespace quill {
namespace {

constexpr std::string_view kTemplates = "$DATA_POINT_PATH$\\DataPoint.system\\Resources\\HTML\\";

std::string templateUrl(std::string_view name) {
    return std::string(kTemplates) + std::string(name);
}

std::string nameText(Session& session, std::string_view key) {
    return session.texts.lookup("NAMES", key, "VALUES");
}

std::string lastComponent(std::string_view path) {
    return path::fileName(path::withoutTrailingSeparator(path::normalize(path)));
}

// Attached files live in "Attachments.systemfiles" beside their documents;
// such a directory is never a folder of the tree.
bool isAttachmentStore(std::string_view name) {
    return cp1250::upper(name).find("ATTACHMENTS.SYSTEMFILES") != std::string::npos;
}

bool holdsFolderFile(std::string_view directory) {
    return fs::isRegularFile(path::join(directory, kFolderRecordName));
}

void setImage(MainTree& tree, TreeNode& node, std::string name) {
    node.imageIndex = tree.images.imageIndex(name);
    node.imageName = std::move(name);
}

std::unique_ptr<TreeNode> fixedNode(Session& session, MainTree& tree, std::string_view key, std::string image,
                                    std::string url, NodeKind kind) {
    auto node = std::make_unique<TreeNode>();
    node->caption = nameText(session, key);
    node->note = nameText(session, std::string(key) + "_NOTE");
    node->kind = kind;
    node->subKind = std::string(key);
    node->url = std::move(url);
    setImage(tree, *node, std::move(image));
    return node;
}

// Hangs the folders found by the walk on the tree. A folder below a
// directory that is no folder has no node to hang on and is left out, so
// that what the tree shows is exactly the folders reachable folder by
// folder.
class TreeBuilder final : public FolderWalkVisitor {
public:
    TreeBuilder(Session& session, MainTree& tree, TreeNode& start) : session_(session), tree_(tree) {
        nodes_.push_back(&start);
    }

    Node folderFound(const std::string& name, const std::string& parentDirectory, const Record& folderRecord,
                     Node parent) override {
        if (parent == kSkipped || parent >= nodes_.size() || isAttachmentStore(name) ||
            !rightsAdmit(session_.program, folderRecord.value("RIGHTS")))
            return kSkipped;
        TreeNode& parentNode = *nodes_[parent];
        if (path::comparableFolder(parentDirectory) != path::comparableFolder(parentNode.path))
            return kSkipped;
        nodes_.push_back(&addFolderNode(session_, tree_, name, parentDirectory, folderRecord, parentNode));
        return nodes_.size() - 1;
    }

    bool wantsSchedules() const override { return static_cast<bool>(tree_.scheduleFound); }

    void scheduleFound(const std::string& companionPath, const std::string& mainFile) override {
        if (tree_.scheduleFound)
            tree_.scheduleFound(companionPath, mainFile);
    }

private:
    static constexpr Node kSkipped = static_cast<Node>(-1);
    Session& session_;
    MainTree& tree_;
    std::vector<TreeNode*> nodes_;
};

// Marks the nodes levels below node as not read further.
void markUnread(TreeNode& node, int levels) {
    for (auto& child : node.children) {
        if (levels <= 1)
            child->childrenRead = false;
        else
            markUnread(*child, levels - 1);
    }
}

// Reads levels of folders below node (0: all of them).
void walkLevels(Session& session, MainTree& tree, TreeNode& node, int levels) {
    node.childrenRead = true;
    if (node.path.empty())
        return;
    TreeBuilder builder(session, tree, node);
    walkFolderTree(session.recordFiles(), node.path, builder, 0, levels);
    if (levels > 0)
        markUnread(node, levels);
}

// Reads below node as deep as the tree is read.
void walkBelow(Session& session, MainTree& tree, TreeNode& node) {
    switch (tree.depth) {
    case FolderDepth::Whole: walkLevels(session, tree, node, 0); break;
    case FolderDepth::TopFolders: node.childrenRead = false; break;
    case FolderDepth::ShownLevels: walkLevels(session, tree, node, 2); break;
    }
}

// A top folder from its directory and folder record values.
TreeNode& addTopFolder(MainTree& tree, const std::string& directory, std::string caption, std::string note,
                       std::string image, std::string url) {
    auto node = std::make_unique<TreeNode>();
    node->caption = std::move(caption);
    node->note = std::move(note);
    node->kind = NodeKind::TopFolder;
    node->subKind = keyOf(NodeKind::TopFolder);
    node->path = path::withoutTrailingSeparator(directory);
    node->url = std::move(url);
    setImage(tree, *node, std::move(image));
    TreeNode& added = *node;
    tree.roots.push_back(std::move(node));
    tree.topFolders.push_back({added.path, added.caption, &added, added.imageIndex});
    return added;
}

void addDefaultTopFolders(Session& session, MainTree& tree) {
    const LogonContext& c = session.context;
    const std::string root = path::withoutTrailingSeparator(c.rootDirectory);
    Record folder;
    if (holdsFolderFile(root) && session.readRecord(path::join(root, kFolderRecordName), folder) == RecordRead::Ok) {
        addTopFolder(tree, root, nameText(session, "ROOT"), "", folder.value("ICON"), folder.value("URL"));
    } else {
        addTopFolder(tree, root, nameText(session, "ROOT"), "", "ROOT.BMP", templateUrl("Template.Root.htm"));
    }

    const std::string own = path::withoutTrailingSeparator(c.userDirectory);
    const std::string ownFile = path::join(own, kFolderRecordName);
    if (!holdsFolderFile(own)) {
        fs::createDirectories(own);
        session.recordFiles().createEmpty(ownFile);
        if (Record fresh; session.readRecord(ownFile, fresh) == RecordRead::Ok) {
            fresh.setValue("ICON", "USER.BMP");
            fresh.setValue("URL", "");
            session.writeRecord(fresh, ownFile);
        }
    }
    std::string url;
    if (Record ownFolder; session.readRecord(ownFile, ownFolder) == RecordRead::Ok)
        url = ownFolder.value("URL");
    addTopFolder(tree, own, nameText(session, "USER"), "", "USER.BMP", url);
    if (Status saved = saveFolderList(session, tree); !saved)
        session.warn(MessageKind::Error, "SYSTEM_IO", 2, saved.message());
}

void addListedTopFolders(Session& session, MainTree& tree) {
    Record list;
    if (session.readRecord(session.context.userFoldersFile, list) != RecordRead::Ok)
        return;
    const std::string rootCaption = nameText(session, "ROOT");
    const std::string userCaption = nameText(session, "USER");
    for (std::size_t n = 1; n <= kMaxFolderListEntries; ++n) {
        const std::string directory =
            path::normalize(session.variables.expand(list.value("USRFOLDER" + std::to_string(n)), true));
        if (directory.empty())
            break;
        Record folder;
        if (!holdsFolderFile(directory) ||
            session.readRecord(path::join(directory, kFolderRecordName), folder) != RecordRead::Ok)
            continue;
        std::string caption = lastComponent(directory);
        if (cp1250::upper(caption) == "DATAPOINT.ROOT")
            caption = rootCaption;
        else if (cp1250::upper(caption) == cp1250::upper(session.program.logonName))
            caption = userCaption;
        addTopFolder(tree, directory, caption, folder.value("NOTE"), folder.value("ICON"), folder.value("URL"));
    }
}

// Top folders the user is not shown leave the tree but not the folder
// list written before: what the rights hide today they may show tomorrow.
void dropHiddenTopFolders(Session& session, MainTree& tree) {
    std::erase_if(tree.topFolders, [&session](const TopFolderEntry& top) { return !foldersAdmit(session, top.path); });
    std::erase_if(tree.roots, [&tree](const std::unique_ptr<TreeNode>& root) {
        return root->kind == NodeKind::TopFolder &&
               std::none_of(tree.topFolders.begin(), tree.topFolders.end(),
                            [&root](const TopFolderEntry& top) { return top.node == root.get(); });
    });
}

void addSettings(Session& session, MainTree& tree) {
    const std::string resources = session.context.settings.resourceDirectory;
    auto settings =
        fixedNode(session, tree, "SETTINGS", "SETTINGS.BMP", templateUrl("Template.Help.htm"), NodeKind::Settings);

    auto userNode =
        fixedNode(session, tree, "SETTINGS_USER", "SETTINGS_1.BMP", session.context.userRecordFile, NodeKind::Settings);
    settings->addChild(std::move(userNode));

    auto myObjects = fixedNode(session, tree, "SETTINGS_MYOBJECTS", "OBJECTS.BMP",
                               templateUrl("Template.MyTemplates.htm"), NodeKind::TemplateFolder);
    myObjects->path = path::join(ownResourceDirectory(session), "Templates");
    TreeNode& myObjectsNode = settings->addChild(std::move(myObjects));

    auto myFiles = fixedNode(session, tree, "SETTINGS_MYFILETEMPLATES", "ATTACHMENT.BMP", "$FOLDERPATH$",
                             NodeKind::TemplateFolder);
    myFiles->path = path::join(ownResourceDirectory(session), "FileTemplates");
    settings->addChild(std::move(myFiles));

    TreeNode* shareObjectsNode = nullptr;
    if (session.program.isAdministrator) {
        auto admin = fixedNode(session, tree, "SETTINGS_ADMIN", "SETTINGS_2.BMP", templateUrl("Template.Admin.htm"),
                               NodeKind::Settings);
        admin->addChild(fixedNode(session, tree, "SETTINGS_DATAPOINT", "SETTINGS_3.BMP",
                                  templateUrl("Template.DataPoint.htm"), NodeKind::Settings));
        auto users = fixedNode(session, tree, "SETTINGS_USERS", "USERS.BMP", templateUrl("Template.Users.htm"),
                               NodeKind::Settings);
        const std::string userNote = nameText(session, "SETTINGS_USERS_NOTE1");
        for (const UserAccount& user : listUserAccounts(session)) {
            auto node = std::make_unique<TreeNode>();
            node->caption = user.name + " " + user.surname;
            node->note = userNote;
            node->kind = NodeKind::Settings;
            node->subKind = keyOf(NodeKind::Settings);
            node->url = user.file;
            setImage(tree, *node, user.administrator ? "OWNER.BMP" : "USER.BMP");
            users->addChild(std::move(node));
        }
        admin->addChild(std::move(users));
        auto shareObjects = fixedNode(session, tree, "SETTINGS_SHAREOBJECTS", "OBJECTS.BMP",
                                      templateUrl("Template.ShareTemplates.htm"), NodeKind::TemplateFolder);
        shareObjects->path = path::join(resources, "Templates");
        shareObjectsNode = &admin->addChild(std::move(shareObjects));
        auto shareFiles = fixedNode(session, tree, "SETTINGS_SHAREFILETEMPLATES", "ATTACHMENT.BMP", "$FOLDERPATH$",
                                    NodeKind::TemplateFolder);
        shareFiles->path = path::join(resources, "FileTemplates");
        admin->addChild(std::move(shareFiles));
        settings->addChild(std::move(admin));
    }

    settings->addChild(fixedNode(session, tree, "SETTINGS_HELP", "HELP.BMP",
                                 "FILE://" + path::withTrailingSeparator(session.program.helpDirectory) + "index.htm",
                                 NodeKind::Settings));
    // Below the group, a fixed node's sub-kind is its kind: the views tell
    // them apart by kind and path, not by key.
    const std::function<void(TreeNode&)> markKinds = [&](TreeNode& node) {
        for (auto& child : node.children) {
            child->subKind = keyOf(child->kind);
            markKinds(*child);
        }
    };
    markKinds(*settings);
    tree.settingsNode = settings.get();
    tree.roots.push_back(std::move(settings));
    for (TreeNode* templates : {&myObjectsNode, shareObjectsNode}) {
        if (!templates)
            continue;
        tree.templateFolders.push_back(templates->path);
        walkBelow(session, tree, *templates);
    }
}

void addTasks(Session& session, MainTree& tree) {
    auto tasks = fixedNode(session, tree, "MYTASKS", "TASKS.BMP", templateUrl("Template.Tasks.htm"), NodeKind::Tasks);
    const std::pair<const char*, const char*> children[] = {
        {"MYTASKS_ACTUAL", "TASKS_4.BMP"}, {"MYTASKS_OPEN", "TASKS_2.BMP"}, {"MYTASKS_CLOSE", "TASKS_3.BMP"}};
    for (const auto& [key, image] : children)
        tasks->addChild(fixedNode(session, tree, key, image, "", NodeKind::Tasks));
    tree.myTasksNode = tasks.get();
    tree.roots.push_back(std::move(tasks));
}

void addTrash(Session& session, MainTree& tree) {
    auto trash = fixedNode(session, tree, "TRASH", "TRASH.BMP", "", NodeKind::Trash);
    trash->path = trashDirectory(session);
    tree.trashNode = trash.get();
    tree.roots.push_back(std::move(trash));
    walkBelow(session, tree, *tree.trashNode);
}

} // namespace

TreeNode& TreeNode::addChild(std::unique_ptr<TreeNode> child) {
    child->parent = this;
    children.push_back(std::move(child));
    return *children.back();
}

void MainTree::clear() {
    roots.clear();
    ++nodesDropped;
    topFolders.clear();
    templateFolders.clear();
    settingsNode = myTasksNode = trashNode = focused = nullptr;
}

void MainTree::focus(TreeNode& node) {
    focused = &node;
    if (focusChanged)
        focusChanged(node);
}

void MainTree::forEach(const std::function<void(const TreeNode&, int)>& visit) const {
    const std::function<void(const TreeNode&, int)> walk = [&](const TreeNode& node, int level) {
        visit(node, level);
        for (const auto& child : node.children)
            walk(*child, level + 1);
    };
    for (const auto& root : roots)
        walk(*root, 0);
}

void buildMainTree(Session& session, MainTree& tree, FolderDepth depth) {
    session.ui.setCursor(CursorShape::Busy);
    tree.clear();
    tree.depth = depth;
    tree.images = loadTreeImageNames(session.context.settings.resourceDirectory);

    if (!fs::exists(session.context.userFoldersFile))
        addDefaultTopFolders(session, tree);
    else
        addListedTopFolders(session, tree);
    dropHiddenTopFolders(session, tree);
    for (const TopFolderEntry& top : tree.topFolders)
        walkBelow(session, tree, *top.node);
    if (!tree.topFolders.empty() &&
        path::comparableFolder(tree.topFolders.front().path) == path::comparableFolder(session.context.rootDirectory))
        tree.topFolders.front().node->expanded = true;

    addSettings(session, tree);
    addTasks(session, tree);
    addTrash(session, tree);
    updateTrashImage(session, tree);
    if (!tree.roots.empty())
        tree.focus(*tree.roots.front());
    session.ui.setCursor(CursorShape::Default);
}

bool readShownLevel(Session& session, MainTree& tree, TreeNode& node) {
    if (tree.depth == FolderDepth::Whole)
        return false;
    if (!node.childrenRead) {
        if (!node.children.empty())
            ++tree.nodesDropped;
        node.children.clear();
        walkLevels(session, tree, node, 2);
        return true;
    }
    bool read = false;
    for (auto& child : node.children) {
        if (!child->childrenRead) {
            walkLevels(session, tree, *child, 1);
            read = true;
        }
    }
    return read;
}

std::vector<std::string> scheduleScanPlaces(const MainTree& tree) {
    std::vector<std::string> places;
    for (const TopFolderEntry& top : tree.topFolders)
        places.push_back(top.path);
    places.insert(places.end(), tree.templateFolders.begin(), tree.templateFolders.end());
    if (tree.trashNode && !tree.trashNode->path.empty())
        places.push_back(tree.trashNode->path);
    return places;
}

TreeNode& addFolderNode(Session& session, MainTree& tree, std::string_view name, std::string_view parentDirectory,
                        const Record& folder, TreeNode& parent) {
    auto node = std::make_unique<TreeNode>();
    node->caption = session.variables.expand(name, folder, true);
    node->note = folder.value("NOTE");
    node->path = path::join(path::withTrailingSeparator(parentDirectory), name);
    node->url = folder.value("URL");
    setImage(tree, *node, folder.value("ICON"));
    TreeNode& added = parent.addChild(std::move(node));
    session.actual.mainPath = added.path;
    return added;
}

void reloadFolderNode(Session& session, MainTree& tree, TreeNode& node, const std::string& directory,
                      bool runFocusChange) {
    const std::string folderFile = path::join(directory, kFolderRecordName);
    if (Record folder; holdsFolderFile(directory) && session.readRecord(folderFile, folder) == RecordRead::Ok) {
        const std::string component = lastComponent(directory);
        if (node.kind != NodeKind::TopFolder) {
            node.caption = session.variables.expand(component, folder, true);
        } else {
            for (TopFolderEntry& top : tree.topFolders) {
                if (top.node == &node) {
                    // The register keeps the caption the node shows, so
                    // that location texts still lead back to it.
                    top.path = path::withoutTrailingSeparator(directory);
                    top.caption = node.caption;
                    top.imageIndex = tree.images.imageIndex(folder.value("ICON"));
                }
            }
        }
        setImage(tree, node, folder.value("ICON"));
        node.note = folder.value("NOTE");
        node.url = folder.value("URL");
        node.path = path::withoutTrailingSeparator(directory);
    }
    node.children.clear();
    ++tree.nodesDropped;
    if (tree.focused && tree.focused != &node) {
        // The focused node may have been one of the children just dropped.
        bool stillThere = false;
        tree.forEach([&](const TreeNode& n, int) { stillThere |= &n == tree.focused; });
        if (!stillThere)
            tree.focused = &node;
    }
    walkBelow(session, tree, node);
    node.expanded = true;
    if (runFocusChange)
        tree.focus(node);
}

bool refreshFolderNode(Session& session, MainTree& tree, TreeNode& node) {
    const std::string folderFile = path::join(node.path, kFolderRecordName);
    Record folder;
    if (!fs::isRegularFile(folderFile) || session.readRecord(folderFile, folder) != RecordRead::Ok)
        return false;
    setImage(tree, node, folder.value("ICON"));
    node.note = folder.value("NOTE");
    node.url = folder.value("URL");
    if (node.kind == NodeKind::TopFolder) {
        for (TopFolderEntry& top : tree.topFolders) {
            if (top.node == &node) {
                top.imageIndex = node.imageIndex;
                top.caption = node.caption;
            }
        }
    }
    tree.focus(node);
    return true;
}

bool checkFolderChanged(Session& session, MainTree& tree, TreeNode& node, bool* reloaded) {
    if (reloaded)
        *reloaded = false;
    if (node.path.empty() || !fs::isDirectory(node.path))
        return false;
    const auto entries = fs::list(node.path);
    if (!entries)
        return false;
    // Counted as the walk adds them, so that a folder is reloaded only when
    // something really changed.
    std::size_t folders = 0;
    for (const fs::Entry& entry : *entries) {
        if (!entry.isDirectory || entry.isSymlink || isAttachmentStore(entry.name))
            continue;
        Record folder;
        if (session.recordFiles().read(path::join(path::join(node.path, entry.name), kFolderRecordName), folder) ==
                RecordRead::Ok &&
            rightsAdmit(session.program, folder.value("RIGHTS")))
            ++folders;
    }
    if (folders != node.children.size()) {
        reloadFolderNode(session, tree, node, node.path, false);
        if (reloaded)
            *reloaded = true;
    }
    return true;
}

std::string ownPageOf(const TreeNode& node, bool listEmpty) {
    if (!node.url.empty())
        return node.url;
    // An empty task list is no folder: the page of one would offer to add
    // documents where none can go.
    const bool taskList = node.kind == NodeKind::Tasks && node.parent && node.parent->kind == NodeKind::Tasks;
    return taskList && listEmpty ? node.parent->url : std::string();
}

} // namespace quill
