// Drops onto the main tree: what each refuses with which warning, and what
// an accepted one does to the folders.
#include "navigation/DocumentCommands.h"
#include "navigation/MainTree.h"
#include "platform/Paths.h"

#include "SessionFixture.h"

#include "session/Logon.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quill {
namespace {

namespace stdfs = std::filesystem;

class DropTest : public ::testing::Test, public test::SessionFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(open());
        ASSERT_TRUE(loadUserData(*session));
        buildMainTree(*session, tree);
    }
    const TreeNode& node(const std::string& caption) {
        const TreeNode* found = nullptr;
        tree.forEach([&](const TreeNode& n, int) {
            if (!found && n.caption == caption)
                found = &n;
        });
        EXPECT_TRUE(found) << caption;
        return *found;
    }
    MainTree tree;
    std::string root = dataPoint + "/DataPoint.root";
};

TEST_F(DropTest, EachRefusalHasItsWarningAndAcceptedDropsNameTheirTarget) {
    const std::string contract = root + "/Contracts/Supplier.contract";
    const std::string trash = node("Trash").path;
    const struct {
        const char* source;
        std::string document;
        const char* target;
        int warning;        // -1: accepted
        std::string placed; // where an accepted drop puts it
    } rows[] = {
        {"Shared documents", "", "Contracts", 1, ""},
        {"Contracts", "", "Contracts", 0, ""},
        {"Projects", "", "Website", 2, ""},
        {"Settings", "", "Contracts", 3, ""},
        {"Contracts", "", "Settings", 3, ""},
        {"My tasks", "", "Contracts", 4, ""},
        {"Contracts", "", "My tasks", 4, ""},
        {"Trash", "", "Contracts", 5, ""},
        {"Contracts", "", "Projects", -1, root + "/Projects/Contracts"},
        {"Contracts", "", "Trash", -1, path::join(trash, "Contracts")},
        {"Contracts", contract, "Trash", -1, path::join(trash, "Supplier.contract")},
        {"Contracts", contract, "Settings", 3, ""},
        {"Contracts", contract, "My tasks", 4, ""},
        {"Contracts", contract, "Contracts", 0, ""},
        {"Contracts", contract, "Projects", -1, root + "/Projects/Supplier.contract"},
    };
    for (const auto& row : rows) {
        const DropCheck check = checkDrop(node(row.source), row.document, node(row.target));
        const std::string what = std::string(row.source) + " " + row.document + " onto " + row.target;
        EXPECT_EQ(check.accepted, row.warning < 0) << what;
        EXPECT_EQ(check.warning, std::max(row.warning, 0)) << what;
        if (check.accepted) {
            EXPECT_EQ(check.target, row.placed) << what;
        }
    }
}

TEST_F(DropTest, FoldersAreCopiedOrMovedWholeAndNeverOntoAnother) {
    ASSERT_TRUE(transferFolder(*session, tree, root + "/Contracts", root + "/Projects/Contracts", TransferMode::Copy));
    EXPECT_TRUE(stdfs::exists(root + "/Projects/Contracts/Attachments.systemfiles"));
    EXPECT_TRUE(stdfs::exists(root + "/Contracts/Supplier.contract"));
    EXPECT_FALSE(transferFolder(*session, tree, root + "/Contracts", root + "/Projects/Contracts", TransferMode::Move));
    ASSERT_TRUE(transferFolder(*session, tree, root + "/Meetings", root + "/Projects/Meetings", TransferMode::Move));
    EXPECT_FALSE(stdfs::exists(root + "/Meetings"));
    EXPECT_TRUE(stdfs::exists(root + "/Projects/Meetings/folder.folders"));
    EXPECT_FALSE(transferFolder(*session, tree, root, dir / "elsewhere", TransferMode::Move)) << "a top folder stays";
}

} // namespace
} // namespace quill
