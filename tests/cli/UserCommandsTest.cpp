// quill-cli user create and delete: a new user can log on, and what is
// refused, and what deleting with and without the data removes.
#include "CliTest.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quill {
namespace {

namespace stdfs = std::filesystem;

class UserCommandsTest : public test::CliTest {
protected:
    std::string users = dataPoint + "/DataPoint.system/Users/";

    // The exit status of "user rest" run as as, the password from input.
    int user(const std::string& as, const std::string& rest, const std::string& password = {}) {
        int status = -1;
        runAs(as, "user " + rest, password.empty() ? std::string() : input(password + "\n"), &status);
        return status;
    }
};

TEST_F(UserCommandsTest, ANewUserLogsOnAndIsDeletedWithOrWithoutTheirData) {
    ASSERT_EQ(user("ADMINISTRATOR", "create ALEE Alice Lee --admin --mail alice@example.com", "s3cret word"), 0);
    EXPECT_EQ(test::readBytes(users + "ALEE.user").find("s3cret"), std::string::npos) << "stored enciphered";
    EXPECT_TRUE(stdfs::is_directory(dataPoint + "/DataPoint.system/Messages/Tasks/ALEE"));
    EXPECT_TRUE(stdfs::is_directory(dataPoint + "/DataPoint.users/ALEE"));
    EXPECT_EQ(runOk(commandLine("logon", input("s3cret word\n"), "ALEE")), "OK\n");

    const struct {
        std::string as;
        std::string rest;
        std::string said;
    } refused[] = {
        {"ANNA", "create BOB Bob Brown", "no administrator"},
        {"ADMINISTRATOR", "create ALEE Alice Lee", "exists already"},
        {"ADMINISTRATOR", "create ../BOB Bob Brown", "file name"},
        {"ADMINISTRATOR", "delete ADMINISTRATOR", "logged on with"},
        {"ADMINISTRATOR", "delete NOBODY", "no user NOBODY"},
    };
    for (const auto& r : refused)
        expectRefused("user " + r.rest, input("x\n"), r.said, r.as);

    // Without the data the user's folder area stays; with it, it goes.
    ASSERT_EQ(user("ALEE", "delete ANNA"), 0);
    EXPECT_FALSE(stdfs::exists(users + "ANNA.user"));
    EXPECT_TRUE(stdfs::is_directory(dataPoint + "/DataPoint.users/ANNA"));
    ASSERT_EQ(user("ADMINISTRATOR", "delete ALEE --with-data"), 0);
    EXPECT_FALSE(stdfs::exists(users + "ALEE.user"));
    EXPECT_FALSE(stdfs::exists(dataPoint + "/DataPoint.system/Messages/Tasks/ALEE"));
    EXPECT_FALSE(stdfs::exists(dataPoint + "/DataPoint.users/ALEE"));
}

} // namespace
} // namespace quill
