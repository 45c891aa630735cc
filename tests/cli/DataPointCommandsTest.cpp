// quill-cli's data point commands end to end, as scripts use them.
#include "CliTest.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quill {
namespace {

using test::readBytes;
using test::runCli;
using test::shellWord;

class DataPointCommandsTest : public test::CliTest {
protected:
    // quill-cli logon with the password on standard input.
    Outcome logon(const std::string& user, const std::string& password) {
        return outcomeOf(commandLine("logon", input(password + "\n"), shellWord(user)));
    }
};

TEST_F(DataPointCommandsTest, LogonSucceedsOnlyWithTheRightPasswordAndWritesTheRegistry) {
    EXPECT_EQ(logon("ANNA", "wrong"), Outcome("WRONG_PASSWORD\n", 1));
    // A letter the code page lacks is refused before it is compared as '?'.
    EXPECT_EQ(logon("ANNA", "ann\xCE\xB1"), Outcome("", 1));
    // The first start wrote the defaults; a failed logon adds nothing.
    const std::string defaults = runCli("registry");
    EXPECT_NE(defaults.find("UserAutoLogon\t0\n"), std::string::npos);
    EXPECT_EQ(defaults.find("DataPointPath_1"), std::string::npos);

    EXPECT_EQ(logon("ANNA", "anna"), Outcome("OK\n", 0));
    const std::string registry = runOk("registry");
    EXPECT_NE(registry.find("DataPointPath_0\t"), std::string::npos);
    EXPECT_NE(registry.find("DataPointPath_1\t" + dataPoint + "\n"), std::string::npos);
    EXPECT_NE(registry.find("DataPointPathActual\t1\n"), std::string::npos);

    // Every line of the log names the date, time, user and computer.
    const std::string log = readBytes(dataPoint + "/DataPoint.system/Logs/system.log");
    EXPECT_NE(log.find("ANNA@"), std::string::npos);
    EXPECT_NE(log.find("logon failed, wrong password"), std::string::npos);
    EXPECT_NE(log.find("logon succeeded"), std::string::npos);
}

TEST_F(DataPointCommandsTest, LogonOnAFolderThatIsNoDataPoint) {
    EXPECT_EQ(outcomeOf("logon --datapoint " + shellWord(dir.path()) + " --user ANNA < /dev/null"),
              Outcome("NO_DATAPOINT\n", 1));
}

TEST_F(DataPointCommandsTest, UsersGroupsAndAccess) {
    EXPECT_EQ(run("users", ""), "ADMINISTRATOR\tSystem\tAdministrator\nANNA\tAnna\tNovak\n");
    const std::string groups = run("groups", "");
    EXPECT_EQ(groups.rfind("All users\tSYSTEM\tADMINISTRATOR,ANNA\n", 0), 0u) << groups;
    EXPECT_NE(groups.find("Team\t"), std::string::npos);

    EXPECT_EQ(run("access", shellWord("Anna Novak (ANNA); ")), "TRUE\n");
    EXPECT_EQ(run("access", "Someone"), "FALSE\n");
    EXPECT_EQ(run("access", "--admin Someone"), "TRUE\n");
    EXPECT_EQ(run("access", "--admin --named Someone"), "FALSE\n");
}

TEST_F(DataPointCommandsTest, AccessMatchesWholeListEntries) {
    const struct {
        const char* options;
        const char* text;
        const char* answer;
    } cases[] = {
        {"", "Anna Novakova (ANNABELLE); ", "FALSE"},
        {"--named", "Anna Novakova (ANNABELLE); ", "FALSE"},
        {"", "Anna Novakova (ANNABELLE); Anna Novak (ANNA); ", "TRUE"},
        {"", "Anna Novak, by hand", "TRUE"},
        {"", "", "TRUE"},
        {"--named", "", "FALSE"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(run("access", std::string(c.options) + " " + shellWord(c.text)), std::string(c.answer) + "\n")
            << c.options << " " << c.text;
}

TEST_F(DataPointCommandsTest, SyncDownloadsAndRejectsOtherDirections) {
    EXPECT_EQ(statusOf("sync", "download"), 0);
    const std::string settings = run("settings", "");
    const std::size_t at = settings.find("RESOURCEDIR\t");
    ASSERT_NE(at, std::string::npos);
    const std::string local = settings.substr(at + 12, settings.find('\n', at) - at - 12);
    EXPECT_TRUE(std::filesystem::exists(local + "FileTemplates/Letter.txt")) << local;

    expectRefused("sync", "sideways", "download or upload");
}

TEST_F(DataPointCommandsTest, DataPointInfoPrintsExpandedValues) {
    const std::string info = runOk("datapoint info " + shellWord(dataPoint));
    EXPECT_EQ(info.rfind("CREATOR\tSystem Administrator\n", 0), 0u) << info;
    EXPECT_NE(info.find("ROOT\t" + dataPoint + "/DataPoint.root\n"), std::string::npos) << "with '/' separators";
    EXPECT_NE(info.find("AUTOLOGON\tTRUE\n"), std::string::npos);
}

} // namespace
} // namespace quill
