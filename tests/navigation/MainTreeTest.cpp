// The main tree as a model: what a user sees after the build, the folder
// list on disk, folder reloads and location texts.
#include "navigation/MainTree.h"

#include "navigation/DocumentCommands.h"

#include "SessionTest.h"

#include "platform/FileSystem.h"
#include "session/LogonContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using test::readBytes;
using test::writeBytes;

class MainTreeTest : public test::OpenSessionTest {
protected:
    std::vector<std::string> captionsOf(const std::vector<std::unique_ptr<TreeNode>>& nodes) {
        std::vector<std::string> captions;
        for (const auto& node : nodes)
            captions.push_back(node->caption);
        return captions;
    }
    std::string folderList() { return session->context.userFoldersFile; }
    void makeFolder(const std::string& directory, const std::string& content = "FOLDER.BMP\r\n\r\n\r\n\r\n") {
        stdfs::create_directories(directory);
        writeBytes(directory + "/folder.folders", content);
    }
    std::string root() { return dataPoint + "/DataPoint.root"; }
    // The shared documents' folder of that caption.
    TreeNode* sharedFolder(const std::string& caption) {
        for (auto& child : tree.roots.at(0)->children) {
            if (child->caption == caption)
                return child.get();
        }
        return nullptr;
    }
    // An entry of the folder list as stored.
    std::string listed(const char* key) {
        Record list;
        EXPECT_EQ(session->readRecord(folderList(), list), RecordRead::Ok);
        return list.value(key);
    }

    MainTree tree;
};

TEST_F(MainTreeTest, NewUserGetsTwoTopFoldersAndAFolderList) {
    stdfs::remove(folderList());
    std::filesystem::remove_all(dataPoint + "/DataPoint.users/ANNA");
    buildMainTree(*session, tree);
    EXPECT_EQ(captionsOf(tree.roots),
              (std::vector<std::string>{"Shared documents", "My documents", "Settings", "My tasks", "Trash"}));
    ASSERT_EQ(tree.topFolders.size(), 2u);
    EXPECT_TRUE(tree.roots[0]->expanded);
    EXPECT_EQ(tree.roots[1]->imageName, "USER.BMP");
    EXPECT_TRUE(fs::isRegularFile(dataPoint + "/DataPoint.users/ANNA/folder.folders"));

    EXPECT_EQ(listed("USRFOLDER1"), "$DATA_POINT_PATH$\\DataPoint.root");
    EXPECT_EQ(listed("USRFOLDER2"), "$DATA_POINT_PATH$\\DataPoint.users\\$LOGONNAME$");
    EXPECT_EQ(listed("USRFOLDER3"), "");
    EXPECT_EQ(tree.focused, tree.roots[0].get());
}

TEST_F(MainTreeTest, FolderListEndsAtItsFirstEmptyEntryAndSkipsMissingFolders) {
    makeFolder(dataPoint + "/Extra");
    makeFolder(dataPoint + "/Later");
    writeBytes(folderList(), "$DATA_POINT_PATH$\\DataPoint.root\r\n$DATA_POINT_PATH$\\Gone\r\n"
                             "$DATA_POINT_PATH$\\Extra\r\n\r\n$DATA_POINT_PATH$\\Later\r\n");
    buildMainTree(*session, tree);
    ASSERT_EQ(tree.topFolders.size(), 2u);
    EXPECT_EQ(tree.topFolders[0].caption, "Shared documents");
    EXPECT_EQ(tree.topFolders[1].caption, "Extra");
    // The missing entry stays in the file until the list is saved again.
    EXPECT_NE(readBytes(folderList()).find("Gone"), std::string::npos);
    ASSERT_TRUE(saveFolderList(*session, tree));
    EXPECT_EQ(readBytes(folderList()).find("Gone"), std::string::npos);
}

TEST_F(MainTreeTest, SettingsDependOnTheUserKind) {
    buildMainTree(*session, tree);
    ASSERT_NE(tree.settingsNode, nullptr);
    EXPECT_EQ(captionsOf(tree.settingsNode->children),
              (std::vector<std::string>{"My account", "My folder templates", "My file templates", "Help"}));
    EXPECT_EQ(tree.settingsNode->children[1]->kind, NodeKind::TemplateFolder);

    session->program.isAdministrator = true;
    buildMainTree(*session, tree);
    const TreeNode& admin = *tree.settingsNode->children[3];
    EXPECT_EQ(admin.caption, "Administration");
    EXPECT_EQ(captionsOf(admin.children),
              (std::vector<std::string>{"Data point", "Users", "Shared folder templates", "Shared file templates"}));
    std::vector<std::string> userImages;
    for (const auto& user : admin.children[1]->children)
        userImages.push_back(user->caption + ":" + user->imageName);
    std::sort(userImages.begin(), userImages.end());
    EXPECT_EQ(userImages, (std::vector<std::string>{"Anna Novak:USER.BMP", "System Administrator:OWNER.BMP"}));
}

TEST_F(MainTreeTest, WalkShowsOnlyFoldersAndHandsSchedulesOver) {
    makeFolder(root() + "/Projects/Attachments.systemfiles/Hidden");
    stdfs::create_directories(root() + "/Projects/Plain/Below");
    writeBytes(root() + "/Projects/Plain/Below/folder.folders", "FOLDER.BMP\r\n");
    std::vector<std::string> schedules;
    tree.scheduleFound = [&](const std::string& companion, const std::string&) { schedules.push_back(companion); };
    buildMainTree(*session, tree);
    bool hiddenShown = false;
    tree.forEach([&](const TreeNode& node, int) {
        hiddenShown |= node.caption == "Hidden" || node.caption == "Below" || node.caption == "Plain";
    });
    EXPECT_FALSE(hiddenShown);
    EXPECT_FALSE(schedules.empty());
}

TEST_F(MainTreeTest, ChangedSubFoldersReloadTheNodeButStrangersAreKept) {
    buildMainTree(*session, tree);
    TreeNode* projects = sharedFolder("Projects");
    ASSERT_NE(projects, nullptr);
    const std::size_t before = projects->children.size();
    makeFolder(root() + "/Projects/Budget");
    stdfs::create_directories(root() + "/Projects/Someone else's files");
    EXPECT_TRUE(checkFolderChanged(*session, tree, *projects));
    EXPECT_EQ(projects->children.size(), before + 1);
    EXPECT_TRUE(stdfs::exists(root() + "/Projects/Someone else's files"));

    stdfs::remove_all(root() + "/Projects");
    EXPECT_FALSE(checkFolderChanged(*session, tree, *projects));
}

TEST_F(MainTreeTest, RefreshReadsTheFolderRecordAgain) {
    buildMainTree(*session, tree);
    TreeNode& contracts = *tree.roots[0]->children[0];
    writeBytes(contracts.path + "/folder.folders", "CONTRACT.BMP\r\nSigned papers\r\n\r\n\r\n");
    std::vector<std::string> focused;
    tree.focusChanged = [&](TreeNode& node) { focused.push_back(node.caption); };
    ASSERT_TRUE(refreshFolderNode(*session, tree, contracts));
    EXPECT_EQ(contracts.imageName, "CONTRACT.BMP");
    EXPECT_EQ(contracts.note, "Signed papers");
    EXPECT_EQ(focused, std::vector<std::string>{contracts.caption});
    stdfs::remove(contracts.path + "/folder.folders");
    EXPECT_FALSE(refreshFolderNode(*session, tree, contracts));
}

TEST_F(MainTreeTest, LocationTextsAndNavigationAgree) {
    buildMainTree(*session, tree);
    const std::string website = root() + "/Projects/Website";
    const std::string location = locationText(*session, tree, website);
    EXPECT_EQ(location, "Shared documents\\Projects\\Website");
    EXPECT_EQ(locationText(*session, tree, "/somewhere/else"), "");
    EXPECT_EQ(locationText(*session, tree, session->context.userTasksDirectory), "My tasks\\Incoming");

    // The text shown leads back, in any case and with either separator.
    for (const std::string& text : {location, std::string("shared DOCUMENTS\\projects\\website"),
                                    std::string("Shared documents/projects\\Website")}) {
        TreeNode* node = navigateToLocation(*session, tree, text);
        ASSERT_NE(node, nullptr) << text;
        EXPECT_EQ(node->path, website) << text;
        EXPECT_EQ(tree.focused, node) << text;
    }
    EXPECT_EQ(navigateToLocation(*session, tree, "Shared documents\\Nowhere"), nullptr);

    // Only the top folder itself and paths below it belong to it.
    EXPECT_EQ(locationText(*session, tree, root() + "2/Sub"), "");
    EXPECT_EQ(locationText(*session, tree, "/elsewhere" + root() + "/Projects"), "");
    EXPECT_EQ(locationText(*session, tree, root()), "Shared documents");
}

TEST_F(MainTreeTest, TopFolderKeepsItsCaptionAfterARefresh) {
    makeFolder(root(), "ROOT.BMP\r\nAll our documents\r\n\r\n\r\n");
    buildMainTree(*session, tree);
    TreeNode& top = *tree.roots[0];
    ASSERT_TRUE(refreshFolderNode(*session, tree, top));
    reloadFolderNode(*session, tree, top, top.path);
    EXPECT_EQ(tree.topFolders[0].caption, "Shared documents");
    EXPECT_NE(navigateToLocation(*session, tree, "Shared documents\\Projects"), nullptr);
}

TEST_F(MainTreeTest, AnAddressLeadsBackToItsNodeOrToNoneOnceTheNodeIsGone) {
    buildMainTree(*session, tree);
    std::vector<const TreeNode*> nodes;
    tree.forEach([&nodes](const TreeNode& node, int) { nodes.push_back(&node); });
    ASSERT_GT(nodes.size(), tree.roots.size());
    for (const TreeNode* node : nodes)
        EXPECT_EQ(nodeAt(tree, addressOf(tree, *node)), node) << node->caption;

    TreeNode loose;
    EXPECT_EQ(addressOf(tree, loose), NodeAddress{});
    for (const NodeAddress& nowhere : {NodeAddress{}, NodeAddress{tree.roots.size()}, NodeAddress{0, 1000},
                                       NodeAddress{tree.roots.size() - 1, 0, 0, 0, 0, 0, 0, 0}})
        EXPECT_EQ(nodeAt(tree, nowhere), nullptr);

    // A reload makes the folders anew: an address finds whatever folder is
    // at its place now, and none once there are fewer.
    TreeNode& projects = *tree.roots[0]->children[1];
    ASSERT_EQ(projects.caption, "Projects");
    makeFolder(root() + "/Projects/Zebra");
    reloadFolderNode(*session, tree, projects, projects.path, false);
    ASSERT_FALSE(projects.children.empty());
    const NodeAddress last = addressOf(tree, *projects.children.back());
    ASSERT_EQ(last.size(), 3u);
    stdfs::remove_all(root() + "/Projects/Zebra");
    reloadFolderNode(*session, tree, projects, projects.path, false);
    EXPECT_EQ(nodeAt(tree, last), nullptr);
    EXPECT_EQ(nodeAt(tree, addressOf(tree, projects)), &projects);
}

TEST_F(MainTreeTest, FoldersTheWalkDoesNotShowCauseNoReloads) {
    buildMainTree(*session, tree);
    TreeNode& projects = *tree.roots[0]->children[1];
    ASSERT_EQ(projects.caption, "Projects");
    stdfs::create_directory_symlink(root() + "/Contracts", root() + "/Projects/Linked");
    makeFolder(root() + "/Projects/Attachments.systemfiles");
    makeFolder(root() + "/Projects/Broken");
    stdfs::remove(root() + "/Projects/Broken/folder.folders");
    stdfs::create_directory(root() + "/Projects/Broken/folder.folders");
    bool reloaded = true;
    EXPECT_TRUE(checkFolderChanged(*session, tree, projects, &reloaded));
    EXPECT_FALSE(reloaded);
    makeFolder(root() + "/Projects/Budget");
    EXPECT_TRUE(checkFolderChanged(*session, tree, projects, &reloaded));
    EXPECT_TRUE(reloaded);
}

TEST_F(MainTreeTest, FoldersWhoseRightsNameOthersAreNotShown) {
    const auto rights = [](const std::string& text) { return "FOLDER.BMP\r\n\r\n" + text + "\r\n\r\n"; };
    makeFolder(root() + "/Projects/Everybody's", rights(""));
    makeFolder(root() + "/Projects/Anna's", rights("Jan Novy (JAN); Anna Novak (ANNA); "));
    makeFolder(root() + "/Projects/Jan's", rights("Jan Novy (JAN); "));
    makeFolder(root() + "/Projects/Jan's/Below", rights(""));
    makeFolder(root() + "/Projects/Annabelle's", rights("Anna Novakova (ANNABELLE); "));
    const struct {
        bool administrator;
        std::vector<std::string> shown;
    } cases[] = {
        {false, {"Anna's", "Everybody's", "Website"}},
        {true, {"Anna's", "Annabelle's", "Everybody's", "Jan's", "Website"}},
    };
    for (const auto& c : cases) {
        session->program.isAdministrator = c.administrator;
        buildMainTree(*session, tree);
        TreeNode* projects = sharedFolder("Projects");
        ASSERT_NE(projects, nullptr);
        std::vector<std::string> shown = captionsOf(projects->children);
        std::sort(shown.begin(), shown.end());
        EXPECT_EQ(shown, c.shown) << c.administrator;
        bool belowShown = false;
        tree.forEach([&](const TreeNode& node, int) { belowShown |= node.caption == "Below"; });
        EXPECT_EQ(belowShown, c.administrator);
        // What is hidden is no change that makes the folder load again.
        bool reloaded = true;
        EXPECT_TRUE(checkFolderChanged(*session, tree, *projects, &reloaded));
        EXPECT_FALSE(reloaded) << c.administrator;
    }

    // A top folder hidden by its rights leaves the tree, not the list.
    session->program.isAdministrator = false;
    makeFolder(root(), rights("Jan Novy (JAN); "));
    buildMainTree(*session, tree);
    EXPECT_EQ(captionsOf(tree.roots), (std::vector<std::string>{"My documents", "Settings", "My tasks", "Trash"}));
    EXPECT_EQ(listed("USRFOLDER1"), "$DATA_POINT_PATH$\\DataPoint.root");
}

TEST_F(MainTreeTest, ANodeShowsItsOwnPageOrLeavesItToItsList) {
    buildMainTree(*session, tree);
    const TreeNode& tasks = *tree.myTasksNode;
    const TreeNode& current = *tasks.children[0];
    const TreeNode& contracts = *tree.roots[0]->children[0];
    ASSERT_FALSE(tasks.url.empty());
    const struct {
        const TreeNode& node;
        bool listEmpty;
        std::string page;
    } rows[] = {
        {tasks, false, tasks.url},  {current, false, ""}, // its first task
        {current, true, tasks.url},                       // the overview, not an empty folder's page
        {contracts, true, ""},                            // the page of an empty folder
        {contracts, false, ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ownPageOf(row.node, row.listEmpty), row.page) << row.node.caption << " " << row.listEmpty;
}

TEST_F(MainTreeTest, RemovingATopFolderSavesTheList) {
    buildMainTree(*session, tree);
    EXPECT_FALSE(removeTopFolder(*session, tree, *tree.settingsNode));
    ASSERT_TRUE(removeTopFolder(*session, tree, *tree.roots[1]));
    ASSERT_EQ(tree.topFolders.size(), 1u);
    EXPECT_EQ(listed("USRFOLDER2"), "");
}

TEST_F(MainTreeTest, TrashImageFollowsItsContent) {
    buildMainTree(*session, tree);
    EXPECT_EQ(tree.trashNode->imageName, "TRASH.BMP");
    writeBytes(trashDirectory(*session) + "/old.note", "x");
    updateTrashImage(*session, tree);
    EXPECT_EQ(tree.trashNode->imageName, "TRASH_FULL.BMP");
}

TEST(ImageNameTableTest, NamesInAnyCaseUnknownAndEmpty) {
    ImageNameTable table;
    EXPECT_EQ(table.imageIndex("ROOT.BMP"), 0);
    table.entries = {{"FOLDER.BMP", ""}, {"ROOT.BMP", ""}, {"unknown.bmp", ""}};
    EXPECT_EQ(table.imageIndex("root.bmp"), 1);
    EXPECT_EQ(table.imageIndex("MISSING.BMP"), 2);
    table.entries.pop_back();
    EXPECT_EQ(table.imageIndex("MISSING.BMP"), 0);
}

// A chain of folders four deep below the shared documents.
class MainTreeDepthTest : public MainTreeTest {
protected:
    void SetUp() override {
        MainTreeTest::SetUp();
        std::string directory = root();
        for (const char* name : {"Depth1", "Depth2", "Depth3", "Depth4"})
            makeFolder(directory += std::string("/") + name);
    }
    // The captions of the chain's folders the tree holds.
    std::vector<std::string> chainRead() {
        std::vector<std::string> read;
        tree.forEach([&read](const TreeNode& node, int) {
            if (node.caption.starts_with("Depth"))
                read.push_back(node.caption);
        });
        return read;
    }
    TreeNode* nodeNamed(const std::string& caption) {
        TreeNode* found = nullptr;
        tree.forEach([&](const TreeNode& node, int) {
            if (node.caption == caption)
                found = const_cast<TreeNode*>(&node);
        });
        return found;
    }
};

TEST_F(MainTreeDepthTest, EachDepthReadsItsLevelsAndTheRestComesWhenShownOrNavigated) {
    using Captions = std::vector<std::string>;
    const struct {
        FolderDepth depth;
        Captions built;
        Captions afterShowingDepth1;
    } cases[] = {
        {FolderDepth::Whole, {"Depth1", "Depth2", "Depth3", "Depth4"}, {"Depth1", "Depth2", "Depth3", "Depth4"}},
        {FolderDepth::TopFolders, {}, {}},
        {FolderDepth::ShownLevels, {"Depth1", "Depth2"}, {"Depth1", "Depth2", "Depth3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.depth));
        buildMainTree(*session, tree, c.depth);
        EXPECT_EQ(chainRead(), c.built);
        if (TreeNode* depth1 = nodeNamed("Depth1")) {
            readShownLevel(*session, tree, *depth1);
            EXPECT_EQ(chainRead(), c.afterShowingDepth1);
        }
        // A location leads to the deepest folder however little was read.
        const TreeNode* deepest =
            navigateToLocation(*session, tree, "Shared documents\\Depth1\\Depth2\\Depth3\\Depth4");
        ASSERT_TRUE(deepest);
        EXPECT_EQ(deepest->caption, "Depth4");
        EXPECT_EQ(tree.focused, deepest);
    }
}

TEST_F(MainTreeDepthTest, SchedulesAreLookedForInTheTopFoldersTemplatesAndTrash) {
    buildMainTree(*session, tree, FolderDepth::TopFolders);
    const std::vector<std::string> places = scheduleScanPlaces(tree);
    ASSERT_GE(places.size(), 4u);
    for (const TopFolderEntry& top : tree.topFolders)
        EXPECT_NE(std::find(places.begin(), places.end(), top.path), places.end()) << top.path;
    EXPECT_NE(std::find(places.begin(), places.end(), tree.trashNode->path), places.end());
    EXPECT_TRUE(
        std::any_of(places.begin(), places.end(), [](const std::string& p) { return p.ends_with("Templates"); }));
}

} // namespace
} // namespace quill
