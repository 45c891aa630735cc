// The users of a data point as their records say: the listing with the
// administrator flag, whether a user exists, and what keeps a new user from
// being created, on a fresh copy of the sample data point.
#include "session/UserAccounts.h"

#include "SessionTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace quill {
namespace {

NewUser newUser(const char* logon, const char* name, const char* surname, bool administrator = false) {
    NewUser user;
    user.logonName = logon;
    user.name = name;
    user.surname = surname;
    user.password = "pw";
    user.administrator = administrator;
    return user;
}

class UserAccountsTest : public test::OpenSessionTest {
protected:
    std::string users() const { return dataPoint + "/DataPoint.system/Users/"; }
};

TEST_F(UserAccountsTest, ListingHoldsEveryReadableRecordWithItsAdministratorFlag) {
    // A directory named like a record and a file that is no record of the
    // users are left out; a record keeps the logon name of its file.
    std::filesystem::create_directories(users() + "BROKEN.user");
    test::writeBytes(users() + "notes.txt", "ANNA\r\n");
    ASSERT_TRUE(createUser(*session, newUser("Boss", "Big", "Boss", true)));
    ASSERT_TRUE(createUser(*session, newUser("clerk", "Carl", "Clerk")));

    std::vector<UserAccount> accounts = listUserAccounts(*session);
    std::sort(accounts.begin(), accounts.end(),
              [](const UserAccount& a, const UserAccount& b) { return a.logonName < b.logonName; });
    const struct {
        const char* logon;
        const char* name;
        const char* surname;
        bool administrator;
    } expected[] = {
        {"ADMINISTRATOR", "System", "Administrator", true},
        {"ANNA", "Anna", "Novak", false},
        {"Boss", "Big", "Boss", true},
        {"clerk", "Carl", "Clerk", false},
    };
    ASSERT_EQ(accounts.size(), std::size(expected));
    for (std::size_t n = 0; n < accounts.size(); ++n) {
        EXPECT_EQ(accounts[n].logonName, expected[n].logon);
        EXPECT_EQ(accounts[n].name, expected[n].name) << expected[n].logon;
        EXPECT_EQ(accounts[n].surname, expected[n].surname) << expected[n].logon;
        EXPECT_EQ(accounts[n].administrator, expected[n].administrator) << expected[n].logon;
        EXPECT_TRUE(std::filesystem::equivalent(accounts[n].file, users() + expected[n].logon + ".user"))
            << accounts[n].file;
        EXPECT_EQ(isAdministratorAccount(*session, expected[n].logon), expected[n].administrator) << expected[n].logon;
    }
}

TEST_F(UserAccountsTest, NewUsersAreCheckedForNamesPathsAndExistingRecords) {
    // "../Users/ANNA" would reach ANNA's record through the users directory
    // itself: a name that leads anywhere is no logon name, not an existing
    // user.
    const struct {
        const char* logon;
        const char* name;
        const char* surname;
        bool exists;
        NewUserFault fault;
    } rows[] = {
        {"ANNA", "Anna", "Novak", true, NewUserFault::Exists},
        {"NEWBIE", "New", "Bie", false, NewUserFault::None},
        {"", "New", "Bie", false, NewUserFault::MissingName},
        {"NEWBIE", "", "Bie", false, NewUserFault::MissingName},
        {"NEWBIE", "New", "", false, NewUserFault::MissingName},
        {"a/b", "New", "Bie", false, NewUserFault::BadLogonName},
        {"a\\b", "New", "Bie", false, NewUserFault::BadLogonName},
        {"..", "New", "Bie", false, NewUserFault::BadLogonName},
        {".", "New", "Bie", false, NewUserFault::BadLogonName},
        {"../Users/ANNA", "Anna", "Novak", false, NewUserFault::BadLogonName},
        {"../Users/ADMINISTRATOR", "System", "Administrator", false, NewUserFault::BadLogonName},
    };
    for (const auto& row : rows) {
        const NewUser user = newUser(row.logon, row.name, row.surname);
        EXPECT_EQ(userExists(*session, row.logon), row.exists) << row.logon;
        EXPECT_EQ(newUserFault(*session, user), row.fault) << "'" << row.logon << "'";
        EXPECT_FALSE(isAdministratorAccount(*session, row.logon) && row.fault == NewUserFault::BadLogonName)
            << row.logon;
        // Creating refuses exactly what the check finds.
        if (row.fault != NewUserFault::None) {
            EXPECT_FALSE(createUser(*session, user)) << row.logon;
        }
    }
    EXPECT_TRUE(ui.messages.empty()) << "refusals are the caller's to show";
    EXPECT_FALSE(std::filesystem::exists(users() + "NEWBIE.user")) << "nothing was created";
}

} // namespace
} // namespace quill
