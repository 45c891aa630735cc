// quill-cli group, folder props|rename, history, folders and datapoint
// create: what each changes on disk, what it refuses, and that a new data
// point works like the sample.
#include "CliTest.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using test::runCli;
using test::shellWord;

class AdministrationCommandsTest : public test::CliTest {};

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
    runAs("ADMINISTRATOR", "folders connect", shellWord(projects));
    EXPECT_EQ(run("folder rename", shellWord(projects) + " Work"), root + "/Work\n");
    EXPECT_NE(run("folders list", "").find(root + "/Work\n"), std::string::npos);
    EXPECT_NE(runAs("ADMINISTRATOR", "folders list", "").find(root + "/Work\n"), std::string::npos);
    EXPECT_TRUE(stdfs::exists(root + "/Work/Website/folder.folders")) << "the folder moves whole";

    run("folder props", shellWord(root + "/Contacts") + " --set SYSTEMFOLDERLOCK=TRUE");
    const struct {
        std::string folder;
        std::string name;
        std::string said;
    } refused[] = {
        {root + "/Contacts", "People", "locked"},
        {root + "/Work", "../Escape", "cannot be a folder name"},
        {root + "/Work", "Meetings", "exists already"},
        {root, "Elsewhere", "keep their names"},
        {"/tmp", "x", "nothing of the data point"},
        // The data point's own directories: renamed, nobody could log on or
        // documents would lose their attached files.
        {dataPoint + "/DataPoint.system", "Gone", "keep their names"},
        {dataPoint + "/DataPoint.system/Users", "Gone", "keep their names"},
        {dataPoint + "/DataPoint.system/Resources", "Gone", "keep their names"},
        {dataPoint + "/DataPoint.system/Objects", "Gone", "keep their names"},
        {dataPoint + "/DataPoint.system/Resources/Templates/Project", "Gone", "keep their names"},
        {root + "/Contracts/Attachments.systemfiles", "Files", "holds attached files"},
        {dataPoint + "/DataPoint.users/ANNA", "Mine", "keep their names"},
        {root + "/Bare2", "Other", "has no folder.folders"},
        {root + "/Work", "Attachments.systemfiles", "attached files"},
        {root + "/Work", ".~quill-lock-x", "keeps for itself"},
    };
    stdfs::create_directory(root + "/Bare2");
    for (const auto& r : refused)
        expectRefused("folder rename", shellWord(r.folder) + " " + r.name, r.said);
    for (const char* kept : {"DataPoint.system/Users", "DataPoint.root/Contracts/Attachments.systemfiles"})
        EXPECT_TRUE(stdfs::is_directory(dataPoint + "/" + kept)) << kept;
    EXPECT_FALSE(stdfs::exists(root + "/Bare2/folder.folders")) << "a refused rename makes no settings";
    EXPECT_FALSE(stdfs::exists(dataPoint + "/DataPoint.system/folder.folders"));
    expectRefused("folder props", shellWord(root + "/Work") + " --set COLOUR=red", "no setting COLOUR");
}

TEST_F(AdministrationCommandsTest, ARenameFollowsEveryStoredFormAndIsNotedInTheHistory) {
    // ANNA's Drafts, connected by ANNA (stored with $LOGONNAME$) and by the
    // administrator (stored with ANNA spelled out); a third list holds it
    // as a plain path.
    const std::string drafts = dataPoint + "/DataPoint.users/ANNA/Drafts";
    stdfs::create_directories(drafts + "/Old");
    test::writeBytes(drafts + "/folder.folders", "");
    test::writeBytes(drafts + "/Old/folder.folders", "");
    run("folders connect", shellWord(drafts));
    runAs("ADMINISTRATOR", "folders connect", shellWord(drafts + "/Old"));
    const std::string users = dataPoint + "/DataPoint.system/Users/";
    test::writeBytes(users + "BOB.usrfolders", drafts + "\r\n");
    const std::string annaBefore = test::readBytes(users + "ANNA.usrfolders");
    ASSERT_NE(annaBefore.find("\\$LOGONNAME$\\Drafts"), std::string::npos) << annaBefore;
    ASSERT_NE(test::readBytes(users + "ADMINISTRATOR.usrfolders").find("\\ANNA\\Drafts\\Old"), std::string::npos);

    // The administrator renames it: each list keeps its own form.
    EXPECT_EQ(runAs("ADMINISTRATOR", "folder rename", shellWord(drafts) + " Notes"),
              dataPoint + "/DataPoint.users/ANNA/Notes\n");
    const struct {
        const char* list;
        std::string stored;
    } expected[] = {
        {"ANNA", "$DATA_POINT_PATH$\\DataPoint.users\\$LOGONNAME$\\Notes"},
        {"ADMINISTRATOR", "$DATA_POINT_PATH$\\DataPoint.users\\ANNA\\Notes\\Old"},
        {"BOB", dataPoint + "/DataPoint.users/ANNA/Notes"},
    };
    for (const auto& e : expected) {
        const std::string list = test::readBytes(users + e.list + ".usrfolders");
        std::string wanted = e.stored;
        if (wanted[0] == '/')
            std::replace(wanted.begin(), wanted.end(), '/', '\\');
        EXPECT_NE(list.find(wanted), std::string::npos) << e.list << ": " << list;
        EXPECT_EQ(list.find("Drafts"), std::string::npos) << e.list << ": " << list;
    }
    EXPECT_NE(run("folders list", "").find(dataPoint + "/DataPoint.users/ANNA/Notes\n"), std::string::npos);
    EXPECT_NE(runAs("ADMINISTRATOR", "folders list", "").find(dataPoint + "/DataPoint.users/ANNA/Notes/Old\n"),
              std::string::npos);

    // The rename is one line of the folder's history, made where it was made.
    const std::string history = run("history", shellWord(dataPoint + "/DataPoint.users/ANNA/Notes"));
    EXPECT_NE(history.find("Folder settings changed by"), std::string::npos) << history;
    EXPECT_NE(history.find("(ADMINISTRATOR)"), std::string::npos) << history;
    EXPECT_EQ(std::count(history.begin(), history.end(), '\n'), 1) << history;
}

TEST_F(AdministrationCommandsTest, ARenameWhoseFolderListsCannotBeWrittenIsUndone) {
    const std::string drafts = dataPoint + "/DataPoint.users/ANNA/Drafts";
    stdfs::create_directories(drafts);
    test::writeBytes(drafts + "/folder.folders", "");
    run("folders connect", shellWord(drafts));
    // BOB's list is too long for the space left: it cannot be rewritten.
    const std::string users = dataPoint + "/DataPoint.system/Users/";
    const std::string bobs = drafts + "\r\nC:\\" + std::string(4000, 'x') + "\r\n";
    test::writeBytes(users + "BOB.usrfolders", bobs);
    const std::string annas = test::readBytes(users + "ANNA.usrfolders");

    EXPECT_TRUE(test::passesInChild(
        [&] {
            int status = 0;
            std::string errors;
            test::runCli(commandLine("folder rename", shellWord(drafts) + " Notes", "ADMINISTRATOR"), &status, &errors);
            return status != 0 && errors.find("BOB.usrfolders") != std::string::npos;
        },
        2000))
        << "the failed list was not reported";
    EXPECT_TRUE(stdfs::is_directory(drafts));
    EXPECT_FALSE(stdfs::exists(dataPoint + "/DataPoint.users/ANNA/Notes"));
    EXPECT_EQ(test::readBytes(users + "BOB.usrfolders"), bobs);
    EXPECT_EQ(test::readBytes(users + "ANNA.usrfolders"), annas);
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
    EXPECT_EQ(runAs("ADMINISTRATOR", "datapoint create", shellWord(target) + " --creator Ann\\ Lee --autologon"),
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

TEST_F(AdministrationCommandsTest, ANewDataPointOpensWhateverTheSourceCallsItsDirectories) {
    // The source keeps its documents in Shared and its users in People.
    stdfs::rename(dataPoint + "/DataPoint.root", dataPoint + "/Shared");
    stdfs::rename(dataPoint + "/DataPoint.users", dataPoint + "/People");
    std::string info = test::readBytes(dataPoint + "/DataPoint.info");
    for (const auto& [from, to] : {std::pair{"\\DataPoint.root", "\\Shared"}, {"\\DataPoint.users", "\\People"}})
        info.replace(info.find(from), std::string(from).size(), to);
    test::writeBytes(dataPoint + "/DataPoint.info", info);
    for (const char* user : {"ANNA", "ADMINISTRATOR"}) {
        const std::string list = dataPoint + "/DataPoint.system/Users/" + user + ".usrfolders";
        std::string folders = test::readBytes(list);
        for (const auto& [from, to] : {std::pair{"DataPoint.root", "Shared"}, {"DataPoint.users", "People"}})
            folders.replace(folders.find(from), std::string(from).size(), to);
        test::writeBytes(list, folders);
    }
    const std::string elsewhere = dir / "Existing users";
    stdfs::create_directory(elsewhere);

    const struct {
        const char* what;
        std::string options;
        std::string rootFolder;  // where the new root's folder.folders is
        std::string usersFolder; // where ANNA's own area is; an outside one is used as it is
    } made[] = {
        {"default names", "", "DataPoint.root", "DataPoint.users/ANNA"},
        {"names of its own", "--root '$DATA_POINT_PATH$\\Documents\\All' --users '$DATA_POINT_PATH$/Staff'",
         "Documents/All", "Staff/ANNA"},
        {"users outside, existing", "--users " + shellWord(elsewhere), "DataPoint.root", ""},
    };
    int n = 0;
    for (const auto& m : made) {
        SCOPED_TRACE(m.what);
        const std::string target = dir / ("New " + std::to_string(++n));
        runOk(commandLine("datapoint create", shellWord(target) + " " + m.options, "ADMINISTRATOR"));
        ASSERT_FALSE(HasFailure());
        EXPECT_TRUE(stdfs::exists(target + "/" + m.rootFolder + "/folder.folders")) << m.what;
        if (!m.usersFolder.empty()) {
            EXPECT_TRUE(stdfs::exists(target + "/" + m.usersFolder + "/folder.folders")) << m.what;
        }
        EXPECT_FALSE(stdfs::exists(target + "/Shared")) << m.what;
        EXPECT_FALSE(stdfs::exists(target + "/People")) << m.what;
        // Both top folders of the user's list lead into the new data point.
        const std::string tree = runOk("tree --datapoint " + shellWord(target) + " --user ANNA");
        EXPECT_NE(tree.find("\tROOT\tROOT\t" + target + "/" + m.rootFolder + "\t"), std::string::npos)
            << m.what << ": " << tree;
        if (!m.usersFolder.empty()) {
            EXPECT_NE(tree.find("\tROOT\tROOT\t" + target + "/" + m.usersFolder + "\t"), std::string::npos)
                << m.what << ": " << tree;
        }
    }
    const struct {
        std::string options;
        const char* said;
    } refused[] = {
        {"--root relative/Root", "must be a full path"},
        {"--root '$DATA_POINT_PATH$/../Escape'", "may not hold"},
        {"--root " + shellWord(dir / "Missing"), "does not exist"},
        {"--root '$DATA_POINT_PATH$/DataPoint.system/Root'", "own files"},
        {"--root '$DATA_POINT_PATH$/Same' --users '$DATA_POINT_PATH$/same'", "must differ"},
    };
    for (const auto& r : refused) {
        expectRefused("datapoint create", shellWord(dir / "Refused") + " " + r.options, r.said, "ADMINISTRATOR");
        EXPECT_FALSE(stdfs::exists(dir / "Refused")) << r.options;
        EXPECT_FALSE(stdfs::exists(dir / "Escape")) << r.options;
    }
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
    expectRefused("datapoint create", shellWord(target), "", "ADMINISTRATOR");
    EXPECT_FALSE(stdfs::exists(target));
    EXPECT_EQ(runCli("registry"), before);
    if (mounted)
        ::umount(small.c_str());
    else
        stdfs::permissions(small, stdfs::perms::owner_all);
}

} // namespace
} // namespace quill
