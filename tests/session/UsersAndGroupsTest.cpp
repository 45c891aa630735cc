// The users and groups tables, the user list text and the access tests, on a
// fresh copy of the sample data point.
#include "datapoint/WorkingCopy.h"
#include "formats/Record.h"
#include "session/UserAccounts.h"
#include "session/UsersAndGroups.h"
#include "session/Visibility.h"

#include "SessionFixture.h"

#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace quill {
namespace {

using test::SessionFixture;

class UsersAndGroupsTest : public ::testing::Test, public SessionFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(open());
        ASSERT_TRUE(synchronizeResources(workingCopyOf(*session), SyncDirection::Download));
    }

    // A user record made from ANNA's with another logon name and name.
    void addUser(const std::string& logon, const std::string& name, const std::string& surname) {
        const std::string users = dataPoint + "/DataPoint.system/Users/";
        Record user;
        ASSERT_EQ(session->readRecord(users + "ANNA.user", user), RecordRead::Ok);
        user.setValue("LOGON_NAME", logon);
        user.setValue("NAME", name);
        user.setValue("SURNAME", surname);
        user.header.fileName = logon + ".user";
        ASSERT_TRUE(session->writeRecord(user, users));
    }

    std::string groupsDirectory() { return session->context.settings.userGroupsResourceDirectory; }

    // Reads the users and then the groups tables, as a logon does.
    void loadTables() {
        ASSERT_TRUE(loadUsers(*session));
        loadGroups(*session);
    }

    std::vector<std::string> sortedLogons() {
        std::vector<std::string> logons;
        for (const UserEntry& user : session->users)
            logons.push_back(user.logonName);
        std::sort(logons.begin(), logons.end());
        return logons;
    }

    // The members of the group of that name, which must exist.
    std::vector<std::string> membersOf(const std::string& name) {
        const auto group = std::find_if(session->groups.begin(), session->groups.end(),
                                        [&](const GroupEntry& g) { return g.name == name; });
        EXPECT_NE(group, session->groups.end()) << name;
        return group == session->groups.end() ? std::vector<std::string>{"<no group " + name + ">"}
                                              : membersOf(static_cast<std::size_t>(group - session->groups.begin()));
    }

    std::vector<std::string> membersOf(std::size_t group) {
        std::vector<std::string> members;
        for (const UserEntry& user : session->users) {
            if (user.membership.at(group))
                members.push_back(user.logonName);
        }
        return members;
    }
};

TEST_F(UsersAndGroupsTest, UsersTableHoldsEveryReadableRecord) {
    // A record that cannot be read, such as a directory of that name, is
    // left out; the others still load.
    std::filesystem::create_directories(dataPoint + "/DataPoint.system/Users/BROKEN.user");
    ASSERT_TRUE(loadUsers(*session));
    EXPECT_EQ(sortedLogons(), (std::vector<std::string>{"ADMINISTRATOR", "ANNA"}));
}

TEST_F(UsersAndGroupsTest, CreatingAndDeletingUsersKeepsTheUsersTableInStep) {
    loadTables();
    ASSERT_EQ(session->groups.size(), 2u);
    const auto entryOf = [this](const std::string& logon) -> const UserEntry* {
        for (const UserEntry& user : session->users) {
            if (user.logonName == logon)
                return &user;
        }
        return nullptr;
    };
    // ANNA is in the Team group and picked in a list being edited: both
    // survive the table being read anew.
    ASSERT_TRUE(entryOf("ANNA"));
    const std::vector<bool> annasGroups = entryOf("ANNA")->membership;
    ASSERT_EQ(annasGroups, (std::vector<bool>{true, true}));
    session->users[static_cast<std::size_t>(entryOf("ANNA") - session->users.data())].selected = true;

    const struct {
        bool create; // else delete
        std::string logon;
        std::vector<std::string> logons; // in order
    } steps[] = {
        {true, "BOB", {"ADMINISTRATOR", "ANNA", "BOB"}},
        {true, "CAROL", {"ADMINISTRATOR", "ANNA", "BOB", "CAROL"}},
        {false, "BOB", {"ADMINISTRATOR", "ANNA", "CAROL"}},
        {false, "CAROL", {"ADMINISTRATOR", "ANNA"}},
    };
    for (const auto& step : steps) {
        const std::string what = (step.create ? "create " : "delete ") + step.logon;
        const Status done = step.create
                                ? createUser(*session, {step.logon, "New", step.logon, "pw", false, {}, {}, {}, {}})
                                : deleteUser(*session, step.logon, true);
        ASSERT_TRUE(done.ok()) << what << ": " << done.message();
        EXPECT_EQ(sortedLogons(), step.logons) << what;
        ASSERT_TRUE(entryOf("ANNA")) << what;
        EXPECT_EQ(entryOf("ANNA")->membership, annasGroups) << what;
        EXPECT_TRUE(entryOf("ANNA")->selected) << what;
        for (const UserEntry& user : session->users) {
            if (user.logonName != "ANNA" && user.logonName != "ADMINISTRATOR") {
                EXPECT_EQ(user.membership, (std::vector<bool>{true, false})) << what << " " << user.logonName;
            }
        }
    }
}

TEST_F(UsersAndGroupsTest, BuiltInGroupComesFirstAndHoldsEveryone) {
    loadTables();
    ASSERT_EQ(session->groups.size(), 2u);
    EXPECT_EQ(session->groups[0].name, "All users");
    EXPECT_EQ(session->groups[0].path, kBuiltInGroupPath);
    EXPECT_EQ(membersOf(0).size(), session->users.size());
    EXPECT_EQ(session->groups[1].name, "Team");
}

TEST(AdministratorRecordTest, OnlyTheAdministratorTypeInAnyCaseMakesAnAdministrator) {
    const struct {
        const char* type;
        bool administrator;
    } cases[] = {
        {"ADMINISTRATOR", true},   {"administrator", true},   {"Administrator", true}, {"USER", false}, {"", false},
        {" ADMINISTRATOR", false}, {"ADMINISTRATORS", false},
    };
    for (const auto& c : cases) {
        Record user;
        Field type;
        type.name = "user_type";
        type.value = c.type;
        user.fields.push_back(type);
        EXPECT_EQ(isAdministratorRecord(user), c.administrator) << "'" << c.type << "'";
    }
    EXPECT_FALSE(isAdministratorRecord(Record{})) << "a record without a type";
}

TEST_F(UsersAndGroupsTest, MembershipIgnoresTheCaseOfStoredLogonNames) {
    addUser("Bob", "Bob", "Stone");
    test::writeBytes(groupsDirectory() + "/Mixed.groups", "Mixed\r\nbob\r\n");
    loadTables();
    EXPECT_EQ(membersOf("Mixed"), (std::vector<std::string>{"Bob"}));
}

TEST_F(UsersAndGroupsTest, SavedGroupKeepsTwentyMembersUpperCasedAndEmptiesTheRest) {
    for (int n = 0; n < 22; ++n)
        addUser("u" + std::to_string(n), "User", std::to_string(n));
    loadTables();
    ASSERT_TRUE(addGroup(*session, "Big"));
    const std::size_t big = session->groups.size() - 1;
    for (UserEntry& user : session->users)
        user.membership[big] = true;
    ASSERT_TRUE(saveGroups(*session));

    Record groups;
    ASSERT_EQ(session->readRecord(groupsDirectory() + "/Big.groups", groups), RecordRead::Ok);
    EXPECT_EQ(groups.value("NAME"), "Big");
    for (int n = 1; n <= 20; ++n) {
        const std::string member = groups.value("USER" + std::to_string(n));
        EXPECT_FALSE(member.empty()) << n;
        EXPECT_EQ(member, cp1250::upper(member));
    }

    // Fewer members later: the fields beyond them are emptied, not kept.
    for (UserEntry& user : session->users)
        user.membership[big] = user.logonName == "ANNA";
    session->groups[big].modified = true;
    ASSERT_TRUE(saveGroups(*session));
    loadGroups(*session);
    EXPECT_EQ(membersOf("Big"), (std::vector<std::string>{"ANNA"}));
}

TEST_F(UsersAndGroupsTest, DeletionRemovesTheStoredFileEvenWhenTheNameChanged) {
    loadTables();
    GroupEntry& team = session->groups[1];
    const std::string file = team.file;
    ASSERT_TRUE(fs::exists(file));
    team.name = "Renamed";
    team.path = std::string(kDeletedGroupPath);
    ASSERT_TRUE(saveGroups(*session));
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(fs::exists(groupsDirectory() + "/Renamed.groups"));
}

TEST(UserListTextTest, RoundTripAndParsing) {
    std::vector<UserEntry> users = {
        {"ANNA", "Anna", "Novak", {}, true}, {"BOB", "Bob", "Stone", {}, false}, {"Carl", "Carl", "Orr", {}, true}};
    const std::string text = selectedUsersToListText(users);
    EXPECT_EQ(text, "Anna Novak (ANNA); Carl Orr (Carl)") << "no separator after the last user";
    users[0].selected = false;
    EXPECT_EQ(selectedUsersToListText(users), "Carl Orr (Carl)") << "none before the first";
    users[0].selected = true;

    // Texts as written now and as written with a trailing separator before.
    for (const std::string& written : {text, text + "; "}) {
        for (UserEntry& user : users)
            user.selected = false;
        ASSERT_TRUE(listTextToSelection(users, written)) << written;
        EXPECT_TRUE(users[0].selected) << written;
        EXPECT_FALSE(users[1].selected) << written;
        EXPECT_TRUE(users[2].selected) << written;
    }

    // Logon names match in any case; a last entry without ";" or ")" counts;
    // earlier selections stay.
    ASSERT_TRUE(listTextToSelection(users, "Bob Stone (bob"));
    EXPECT_TRUE(users[0].selected && users[1].selected && users[2].selected);
}

TEST(UserListTextTest, TextsThatAreNoListsSelectNobody) {
    std::vector<UserEntry> users = {{"ANNA", "Anna", "Novak", {}, false}};
    for (const char* text : {"", "(A)", "Anna Novak", "Nobody (NOBODY); "}) {
        listTextToSelection(users, text);
        EXPECT_FALSE(users[0].selected) << text;
    }
    EXPECT_FALSE(listTextToSelection(users, "Anna Novak"));
}

TEST(AccessTest, ListEntriesNameAUserByFullAndLogonNameHandWrittenOnesByFullName) {
    ProgramValues anna;
    anna.fullName = "Anna Novak";
    anna.logonName = "ANNA";
    ProgramValues admin;
    admin.fullName = "System Administrator";
    admin.logonName = "ADMINISTRATOR";
    admin.isAdministrator = true;
    // A user whose record has no name is named by no text.
    ProgramValues blank;
    blank.fullName = " ";
    blank.logonName = "NONAME";
    const struct {
        const char* text;
        const ProgramValues& user;
        bool named;
        bool access;
        bool admitted; // shown with the text as its rights
    } cases[] = {
        {"System Administrator (ADMINISTRATOR); ANNA NOVAK (anna); ", anna, true, true, true},
        {"Anna Novak (ANNA)", anna, true, true, true},
        {"  anna novak  ( ANNA )  ;", anna, true, true, true},
        // Somebody else whose name only begins with the user's.
        {"Anna Novakova (ANNABELLE); ", anna, false, false, false},
        {"Anna Novakova (ANNA); ", anna, false, false, false},
        {"Anna Novak (ANNABELLE); ", anna, false, false, false},
        {"Anna Novakova (ANNABELLE); Anna Novak (ANNA); ", anna, true, true, true},
        {"Owner: Anna Novak (ANNA); ", anna, false, false, false},
        // Typed by hand: the full name anywhere in an entry.
        {"anna novak", anna, true, true, true},
        {"Jan Novy; Anna Novak and team; ", anna, true, true, true},
        {"Anna Nowak; Novak Anna", anna, false, false, false},
        {"Anna Novakova (ANNABELLE); anna novak; ", anna, true, true, true},
        {"", anna, false, false, true},
        {"  ", anna, false, false, true},
        {"Anna Novak", admin, false, true, true},
        {"", admin, false, true, true},
        {"Anna Novak (ANNA); ", blank, false, false, false},
        {" (NONAME); ", blank, false, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(namedTest(c.user, c.text), c.named) << c.user.logonName << ": " << c.text;
        EXPECT_EQ(accessTest(c.user, c.text), c.access) << c.user.logonName << ": " << c.text;
        EXPECT_EQ(rightsAdmit(c.user, c.text), c.admitted) << c.user.logonName << ": " << c.text;
    }
}

} // namespace
} // namespace quill
