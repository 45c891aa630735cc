// quill-cli group, folder props|rename, history, folders and datapoint
// create: what each changes on disk, what it refuses, and that a new data
// point works like the sample.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using test::runCli;
using test::shellWord;

class AdministrationCommandsTest : public ::testing::Test {
protected:
    test::IsolatedHome home;
    test::TempDir dir;
    std::string dataPoint = test::copySampleDataPoint(dir);
    std::string root = dataPoint + "/DataPoint.root";

    // Runs a command as user; its output, and its exit status in *status.
    std::string run(const std::string& command, const std::string& rest, const std::string& as = "ANNA",
                    int* status = nullptr, std::string* errors = nullptr) {
        const std::size_t space = command.find(' ');
        const std::string head = command.substr(0, space);
        const std::string tail = space == std::string::npos ? "" : command.substr(space);
        return runCli(head + tail + " --datapoint " + shellWord(dataPoint) + " --user " + as + " " + rest, status,
                      errors);
    }
    // Expects a command to fail with a message holding said.
    void expectRefused(const std::string& command, const std::string& rest, const std::string& said,
                       const std::string& as = "ANNA") {
        int status = -1;
        std::string errors;
        run(command, rest, as, &status, &errors);
        EXPECT_EQ(status, 1) << command << " " << rest;
        EXPECT_NE(errors.find(said), std::string::npos) << command << " " << rest << ": " << errors;
    }
};

TEST_F(AdministrationCommandsTest, GroupsAreSetListedAndDeletedWithTheirMembers) {
    run("group set", "Team anna administrator");
    EXPECT_NE(run("group list", "").find("Team\tADMINISTRATOR,ANNA"), std::string::npos);
    // The group reaches the data point, not only the local copy.
    const std::string stored = dataPoint + "/DataPoint.system/Resources/Users/ANNA/Groups/Team.groups";
    ASSERT_TRUE(stdfs::exists(stored));
    run("group set", "team ANNA");
    EXPECT_NE(run("group list", "").find("Team\tANNA\n"), std::string::npos) << "set again replaces the members";

    expectRefused("group set", "Team NOBODY", "no user has the logon name NOBODY");
    expectRefused("group set", "../Evil ANNA", "a group name cannot contain / or \\ or be . or ..");
    expectRefused("group set", shellWord("Two\nlines") + " ANNA", "a group name is one line");
    expectRefused("group set", std::string(300, 'g') + " ANNA", "a group name has at most 64 letters");
    expectRefused("group delete", "Nobody", "no group named Nobody");
    run("group delete", "Team");
    EXPECT_EQ(run("group list", "").find("Team"), std::string::npos);
    EXPECT_FALSE(stdfs::exists(stored));
}

TEST_F(AdministrationCommandsTest, FolderSettingsHistoryAndRenameFollowEveryFolderList) {
    const std::string projects = root + "/Projects";
    const std::string shown =
        run("folder props", shellWord(projects) + " --set NOTE=Our\\ work --set ICON=folder_red.bmp");
    EXPECT_NE(shown.find("NOTE=Our work\n"), std::string::npos);
    EXPECT_NE(shown.find("ICON=FOLDER_RED.BMP\n"), std::string::npos);
    EXPECT_NE(run("history", shellWord(projects)).find("Folder settings changed by Anna Novak (ANNA)"),
              std::string::npos);
    run("history", shellWord(projects) + " --clear");
    EXPECT_EQ(run("history", shellWord(projects)), "");

    // A folder without settings gets them when they are first shown.
    stdfs::create_directory(root + "/Bare");
    EXPECT_NE(run("folder props", shellWord(root + "/Bare")).find("SYSTEMFOLDERLOCK=FALSE"), std::string::npos);
    EXPECT_TRUE(stdfs::exists(root + "/Bare/folder.folders"));

    // Both users connect Projects; the rename reaches both lists.
    run("folders connect", shellWord(projects));
    run("folders connect", shellWord(projects), "ADMINISTRATOR");
    EXPECT_EQ(run("folder rename", shellWord(projects) + " Work"), root + "/Work\n");
    EXPECT_NE(run("folders list", "").find(root + "/Work\n"), std::string::npos);
    EXPECT_NE(run("folders list", "", "ADMINISTRATOR").find(root + "/Work\n"), std::string::npos);
    EXPECT_TRUE(stdfs::exists(root + "/Work/Website/folder.folders")) << "the folder moves whole";

    run("folder props", shellWord(root + "/Contacts") + " --set SYSTEMFOLDERLOCK=TRUE");
    const struct {
        std::string folder;
        std::string name;
        std::string said;
    } refused[] = {
        {root + "/Contacts", "People", "locked"},       {root + "/Work", "../Escape", "cannot be the name"},
        {root + "/Work", "Meetings", "exists already"}, {root, "Elsewhere", "keep their names"},
        {"/tmp", "x", "nothing of the data point"},
    };
    for (const auto& r : refused)
        expectRefused("folder rename", shellWord(r.folder) + " " + r.name, r.said);
    expectRefused("folder props", shellWord(root + "/Work") + " --set COLOUR=red", "no setting COLOUR");
}

TEST_F(AdministrationCommandsTest, ConnectedFoldersAreAddedMovedAndRemoved) {
    const std::string own = dataPoint + "/DataPoint.users/ANNA";
    EXPECT_EQ(run("folders list", ""), root + "\n" + own + "\n") << "the default list";
    run("folders connect", shellWord(root + "/Meetings"));
    run("folders move", shellWord(root + "/Meetings") + " --to 1");
    EXPECT_EQ(run("folders list", ""), root + "/Meetings\n" + root + "\n" + own + "\n");
    // Stored with variables, so the list works from any mount.
    EXPECT_EQ(test::readBytes(dataPoint + "/DataPoint.system/Users/ANNA.usrfolders")
                  .rfind("$DATA_POINT_PATH$\\DataPoint.root\\Meetings\r\n", 0),
              0u);
    // A folder that is gone stays listed until it is removed.
    stdfs::remove_all(root + "/Meetings");
    EXPECT_NE(run("folders list", "").find(root + "/Meetings"), std::string::npos);
    run("folders disconnect", shellWord(root + "/Meetings"));
    EXPECT_EQ(run("folders list", ""), root + "\n" + own + "\n");

    stdfs::create_directory(root + "/Plain");
    expectRefused("folders connect", shellWord(root + "/Plain"), "holds no folder.folders");
    expectRefused("folders connect", shellWord(root), "connected already");
    expectRefused("folders connect", "/etc", "holds no folder.folders");
    expectRefused("folders disconnect", shellWord(root + "/Contacts"), "not connected");
    run("folders disconnect", shellWord(own));
    expectRefused("folders disconnect", shellWord(root), "at least one folder");
}

TEST_F(AdministrationCommandsTest, ANewDataPointWorksLikeTheSampleAndIsKnown) {
    const std::string target = dir / "New point";
    // What a killed creation left, and what belongs to this data point's
    // users only.
    test::writeBytes(dir / ".~quill-new-New point/DataPoint.root/half.note", "half");
    test::writeBytes(dataPoint + "/DataPoint.system/Trash/ANNA/Secret.note", "private");
    test::writeBytes(dataPoint + "/DataPoint.system/Transactions/.~quill-txn-1.intent", "unfinished");
    EXPECT_EQ(run("datapoint create", shellWord(target) + " --creator Ann\\ Lee --autologon", "ADMINISTRATOR"),
              target + "\n");
    EXPECT_NE(test::readBytes(target + "/DataPoint.info").find("CREATOR=Ann Lee\r\n"), std::string::npos);
    EXPECT_NE(test::readBytes(target + "/DataPoint.info").find("AUTOLOGON=TRUE"), std::string::npos);
    EXPECT_NE(runCli("registry").find(target), std::string::npos);
    // The system part came along, the documents and the log did not.
    EXPECT_TRUE(stdfs::exists(target + "/DataPoint.root/folder.folders"));
    EXPECT_FALSE(stdfs::exists(target + "/DataPoint.root/Projects"));
    EXPECT_FALSE(stdfs::exists(target + "/DataPoint.system/Logs/system.log"));
    EXPECT_FALSE(stdfs::exists(target + "/DataPoint.system/Trash"));
    EXPECT_FALSE(stdfs::exists(target + "/DataPoint.system/Transactions"));
    EXPECT_FALSE(stdfs::exists(target + "/DataPoint.root/half.note"));
    EXPECT_FALSE(stdfs::exists(dir / ".~quill-new-New point"));
    for (const auto& [logon, password] : {std::pair{"ANNA", "anna"}, std::pair{"ADMINISTRATOR", "admin"}}) {
        const std::string passwordFile = dir / "password.txt";
        test::writeBytes(passwordFile, std::string(password) + "\n");
        EXPECT_EQ(
            runCli("logon --datapoint " + shellWord(target) + " --user " + logon + " < " + shellWord(passwordFile)),
            "OK\n")
            << logon;
        EXPECT_NE(runCli("tree --datapoint " + shellWord(target) + " --user " + logon).find("Shared documents"),
                  std::string::npos);
    }

    expectRefused("datapoint create", shellWord(dir / "Other"), "no administrator");
    expectRefused("datapoint create", shellWord(target), "already holds a data point", "ADMINISTRATOR");
    expectRefused("datapoint create", shellWord(root + "/Inside"), "cannot lie inside", "ADMINISTRATOR");
    EXPECT_FALSE(stdfs::exists(root + "/Inside"));
}

TEST_F(AdministrationCommandsTest, AFailedCopyLeavesNothingBehindAndRegistersNothing) {
    const std::string small = dir / "small";
    stdfs::create_directory(small);
    // A disk too small for the copy where the test may mount one; else a
    // directory the user cannot write to.
    const bool mounted = geteuid() == 0 && ::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") == 0;
    if (!mounted) {
        if (geteuid() == 0)
            GTEST_SKIP() << "root without the right to mount: nothing can refuse the copy";
        stdfs::permissions(small, stdfs::perms::owner_read | stdfs::perms::owner_exec);
    }
    const std::string target = small + "/Point";
    const std::string before = runCli("registry");
    int status = -1;
    std::string errors;
    run("datapoint create", shellWord(target), "ADMINISTRATOR", &status, &errors);
    EXPECT_EQ(status, 1);
    EXPECT_FALSE(errors.empty());
    EXPECT_FALSE(stdfs::exists(target));
    EXPECT_EQ(runCli("registry"), before);
    if (mounted)
        ::umount(small.c_str());
    else
        stdfs::permissions(small, stdfs::perms::owner_all);
}

} // namespace
} // namespace quill
