// Editing the logged-on user's groups: finding them, setting and listing
// members, deleting, and saving, on a fresh copy of the sample data point
// (ANNA's group Team holds ADMINISTRATOR and ANNA).
#include "datapoint/WorkingCopy.h"
#include "session/UserAccounts.h"
#include "session/UsersAndGroups.h"

#include "SessionFixture.h"

#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace quill {
namespace {

using test::SessionFixture;

class GroupEditingTest : public ::testing::Test, public SessionFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(open());
        ASSERT_TRUE(synchronizeResources(workingCopyOf(*session), SyncDirection::Download));
        ASSERT_TRUE(loadUsers(*session));
        loadGroups(*session);
        const Result<std::size_t> team = findGroup(*session, "Team");
        ASSERT_TRUE(team) << team.message();
        teamIndex = *team;
    }

    // Everything an edit may change, to see that a refused one changed
    // nothing.
    struct Tables {
        std::vector<std::vector<bool>> membership;
        std::vector<std::pair<std::string, bool>> groups; // path, modified
        bool operator==(const Tables&) const = default;
    };
    Tables tables() const {
        Tables t;
        for (const UserEntry& user : session->users)
            t.membership.push_back(user.membership);
        for (const GroupEntry& group : session->groups)
            t.groups.emplace_back(group.path, group.modified);
        return t;
    }

    std::size_t userIndex(const std::string& logon) const {
        for (std::size_t u = 0; u < session->users.size(); ++u) {
            if (session->users[u].logonName == logon)
                return u;
        }
        return session->users.size();
    }

    std::size_t teamIndex = 0;
};

TEST_F(GroupEditingTest, BadInputIsRefusedWithItsReasonAndChangesNothing) {
    const std::size_t anna = userIndex("ANNA");
    const std::size_t past = session->groups.size();
    const std::vector<std::string> tooMany(kMaxGroupMembers + 1, "ANNA");
    const struct {
        const char* what;
        std::function<Status()> edit;
        const char* said;
    } rows[] = {
        // Each refusal of a name says what is wrong with it, not that a
        // write failed later.
        {"empty group name", [&] { return addGroup(*session, "").status(); }, "a group name cannot be empty"},
        {"name leading up", [&] { return addGroup(*session, "../escape").status(); },
         "a group name cannot contain / or \\ or be . or .."},
        {"name of two lines", [&] { return addGroup(*session, "Team\nB").status(); }, "a group name is one line"},
        {"name too long", [&] { return addGroup(*session, std::string(300, 'g')).status(); },
         "a group name has at most 64 letters"},
        {"name with a slash", [&] { return addGroup(*session, "a/b").status(); }, "cannot contain / or \\"},
        {"name with a backslash", [&] { return addGroup(*session, "a\\b").status(); }, "cannot contain / or \\"},
        {"name ..", [&] { return addGroup(*session, "..").status(); }, "be . or .."},
        {"name leading out", [&] { return addGroup(*session, "../../Users/ANNA").status(); }, "cannot contain"},
        {"unknown group", [&] { return findGroup(*session, "Nobody").status(); }, "no group named Nobody"},
        {"empty group to find", [&] { return findGroup(*session, "").status(); }, "no group named"},
        {"the group of all users by name", [&] { return findGroup(*session, "All users").status(); },
         "no group named All users"},
        {"unknown member",
         [&] {
             return setGroupMembers(*session, teamIndex, {"ANNA", "NOBODY"});
         },
         "no user has the logon name NOBODY"},
        {"empty member", [&] { return setGroupMembers(*session, teamIndex, {""}); }, "no user has the logon name"},
        {"member with a path", [&] { return setGroupMembers(*session, teamIndex, {"../ANNA"}); },
         "no user has the logon name ../ANNA"},
        {"too many members", [&] { return setGroupMembers(*session, teamIndex, tooMany); }, "at most 20 members"},
        {"members of all users", [&] { return setGroupMembers(*session, 0, {"ANNA"}); }, "group of all users"},
        {"members of no group", [&] { return setGroupMembers(*session, past, {"ANNA"}); }, "no group number"},
        {"leaving all users", [&] { return setMembership(*session, anna, 0, false); }, "group of all users"},
        {"a user out of range", [&] { return setMembership(*session, 99, teamIndex, true); }, "no user number 99"},
        {"a group out of range", [&] { return setMembership(*session, anna, past, true); }, "no group number"},
        {"deleting all users", [&] { return deleteGroup(*session, 0); }, "group of all users"},
        {"deleting no group", [&] { return deleteGroup(*session, past); }, "no group number"},
    };
    const Tables before = tables();
    for (const auto& row : rows) {
        const Status done = row.edit();
        EXPECT_FALSE(done) << row.what;
        EXPECT_NE(done.message().find(row.said), std::string::npos) << row.what << ": " << done.message();
        EXPECT_TRUE(tables() == before) << row.what;
    }
    // A group marked for deletion is found no more and edited no more.
    ASSERT_TRUE(deleteGroup(*session, teamIndex));
    const Tables deleted = tables();
    EXPECT_FALSE(findGroup(*session, "Team"));
    EXPECT_FALSE(deleteGroup(*session, teamIndex));
    EXPECT_FALSE(setGroupMembers(*session, teamIndex, {"ANNA"}));
    EXPECT_FALSE(setMembership(*session, anna, teamIndex, true));
    EXPECT_TRUE(tables() == deleted);
    EXPECT_TRUE(ui.messages.empty()) << "the library tells the user nothing itself";
}

TEST_F(GroupEditingTest, MembersAreSetInAnyCaseAndListedUpperCasedInUsersTableOrder) {
    // The users table in listing order, whatever the file system gives.
    std::vector<std::string> bothInTableOrder;
    for (const UserEntry& user : session->users)
        bothInTableOrder.push_back(user.logonName);
    ASSERT_EQ(bothInTableOrder.size(), 2u);

    const struct {
        std::vector<std::string> set;
        std::vector<std::string> members;
    } rows[] = {
        {{"anna"}, {"ANNA"}},
        {{}, {}},
        {{"Administrator", "anna"}, bothInTableOrder},
        {{"ANNA", "administrator"}, bothInTableOrder},
        {{"ADMINISTRATOR"}, {"ADMINISTRATOR"}},
    };
    for (const auto& row : rows) {
        session->groups[teamIndex].modified = false;
        ASSERT_TRUE(setGroupMembers(*session, teamIndex, row.set)) << row.set.size();
        EXPECT_EQ(groupMembers(*session, teamIndex), row.members);
        EXPECT_TRUE(session->groups[teamIndex].modified);
        for (std::size_t u = 0; u < session->users.size(); ++u) {
            EXPECT_TRUE(isMember(*session, u, 0)) << "everyone stays in the group of all users";
            const bool listed =
                std::find(row.members.begin(), row.members.end(), session->users[u].logonName) != row.members.end();
            EXPECT_EQ(isMember(*session, u, teamIndex), listed) << session->users[u].logonName;
        }
        // What is saved is what is read back.
        ASSERT_TRUE(saveGroups(*session));
        loadGroups(*session);
        const Result<std::size_t> reread = findGroup(*session, "TEAM");
        ASSERT_TRUE(reread);
        EXPECT_EQ(groupMembers(*session, *reread), row.members);
        teamIndex = *reread;
    }

    // One mark at a time, as the users view sets them.
    const std::size_t anna = userIndex("ANNA");
    ASSERT_TRUE(setMembership(*session, anna, teamIndex, true));
    EXPECT_EQ(groupMembers(*session, teamIndex), bothInTableOrder);
    ASSERT_TRUE(setMembership(*session, anna, teamIndex, false));
    EXPECT_EQ(groupMembers(*session, teamIndex), (std::vector<std::string>{"ADMINISTRATOR"}));
    EXPECT_FALSE(isMember(*session, 99, teamIndex));
    EXPECT_FALSE(isMember(*session, anna, 99));
}

TEST_F(GroupEditingTest, DeletingAGroupTakesOnlyItsFileAndItsMemberships) {
    const Result<std::size_t> board = addGroup(*session, "Board");
    ASSERT_TRUE(board);
    ASSERT_TRUE(setGroupMembers(*session, *board, {"ANNA"}));
    ASSERT_TRUE(saveGroups(*session));
    const std::string teamFile = session->groups[teamIndex].file;
    const std::string boardFile = session->groups[*board].file;
    const std::string annaRecord = dataPoint + "/DataPoint.system/Users/ANNA.user";
    const std::string annaBefore = test::readBytes(annaRecord);
    ASSERT_TRUE(fs::exists(teamFile));

    ASSERT_TRUE(deleteGroup(*session, teamIndex));
    EXPECT_TRUE(groupMembers(*session, teamIndex).empty()) << "nobody is a member of a deleted group";
    EXPECT_EQ(findGroup(*session, "Board").valueOr(0), *board) << "the other groups keep their places";
    EXPECT_EQ(groupMembers(*session, *board), (std::vector<std::string>{"ANNA"}));
    EXPECT_EQ(session->users.size(), 2u);

    ASSERT_TRUE(saveGroups(*session));
    EXPECT_FALSE(fs::exists(teamFile));
    EXPECT_TRUE(fs::exists(boardFile));
    EXPECT_EQ(test::readBytes(annaRecord), annaBefore) << "the members' own records stay";
    loadGroups(*session);
    EXPECT_FALSE(findGroup(*session, "Team"));
    const Result<std::size_t> reread = findGroup(*session, "Board");
    ASSERT_TRUE(reread);
    EXPECT_EQ(groupMembers(*session, *reread), (std::vector<std::string>{"ANNA"}));
}

TEST_F(GroupEditingTest, ARecordThatCannotBeWrittenFailsOnceAndIsNotShownByTheLibrary) {
    const struct {
        const char* what;
        std::function<Status()> fail;
        const char* said;
    } rows[] = {
        {"a group record that is a directory",
         [this] {
             const Result<std::size_t> added = addGroup(*session, "Blocked");
             if (!added)
                 return added.status();
             std::filesystem::create_directories(session->groups[*added].file);
             return saveGroups(*session);
         },
         "the group Blocked could not be written"},
        {"a group name no record line can hold",
         [this] {
             session->groups[teamIndex].name = "Two\nlines";
             session->groups[teamIndex].modified = true;
             return saveGroups(*session);
         },
         "could not be written"},
        {"a user name no record line can hold",
         [this] {
             NewUser user;
             user.logonName = "NEWBIE";
             user.name = "New\nBie";
             user.surname = "Smith";
             return createUser(*session, user);
         },
         "the user NEWBIE was not created"},
    };
    for (const auto& row : rows) {
        const std::size_t messages = ui.messages.size();
        const Status done = row.fail();
        EXPECT_FALSE(done) << row.what;
        EXPECT_NE(done.message().find(row.said), std::string::npos) << row.what << ": " << done.message();
        EXPECT_EQ(ui.messages.size(), messages) << row.what << ": the caller reports it, once";
    }
    EXPECT_FALSE(fs::exists(dataPoint + "/DataPoint.system/Users/NEWBIE.user")) << "no half-made user is left";

    // One group that fails does not keep the others from being stored.
    loadGroups(*session);
    const Result<std::size_t> fine = addGroup(*session, "Fine");
    ASSERT_TRUE(fine);
    ASSERT_TRUE(setGroupMembers(*session, *fine, {"ANNA"}));
    session->groups[teamIndex].name = "Two\nlines";
    session->groups[teamIndex].modified = true;
    EXPECT_FALSE(saveGroups(*session));
    EXPECT_TRUE(fs::exists(session->groups[*fine].file));
    EXPECT_FALSE(session->groups[*fine].modified);
    EXPECT_TRUE(session->groups[teamIndex].modified) << "what failed is tried again on the next save";
}

} // namespace
} // namespace quill
