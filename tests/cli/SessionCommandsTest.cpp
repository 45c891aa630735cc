// quill-cli's session commands end to end: a data point and a user on the
// command line, the output as scripts read it.
#include "CliTest.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace quill {
namespace {

using test::readBytes;
using test::runCli;
using test::TempDir;
using test::writeBytes;

class SessionCommandsTest : public test::CliTest {
protected:
    std::string logs = dataPoint + "/DataPoint.system/Logs/";
};

TEST_F(SessionCommandsTest, ExpandUsesTheUserRecordTheAdminFlagAndARecord) {
    const std::string record = "--record " + test::shellWord(dataPoint + "/DataPoint.system/Users/ANNA.user");
    const struct {
        std::string options;
        std::string text;
        std::string expected;
        const char* why;
    } rows[] = {
        {"", "x $LOGONNAME$ $FULLNAME$", "x ANNA Anna Novak\n", "the full name comes from the user record"},
        {"", "$DATA_POINT_PATH$", dataPoint + "\n", "the data point as given"},
        {"", "$IF_ADMIN$secret $LOGONNAME$", "\n", "not an administrator: the whole text goes"},
        {"--admin", "$IF_ADMIN$secret $LOGONNAME$", "$IF_ADMIN$secret ANNA\n", "the marker stays for administrators"},
        {record, "Hello $DATA.NAME.DATA$", "Hello Anna\n", "a field of the record"},
        {record, "$DATA.WEB.DATA$ label", " label\n", "an empty field just vanishes"},
        {"--blank " + record, "$DATA.WEB.DATA$ label", "\n", "blank on empty data empties the line"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(runOk(commandLine("expand", row.options + " " + test::shellWord(row.text))), row.expected) << row.why;
}

TEST_F(SessionCommandsTest, CollapseTurnsPathAndNamesBackIntoVariables) {
    EXPECT_EQ(run("collapse", test::shellWord(dataPoint + "/Docs/ANNA/Anna Novak.note")),
              "$DATA_POINT_PATH$\\Docs/$LOGONNAME$/$FULLNAME$.note\n");
    EXPECT_EQ(run("collapse", "'nothing to do'"), "nothing to do\n");
}

TEST(SessionCommandsFormTest, DecodeFormPrintsPairsThenTheLastFieldName) {
    const struct {
        const char* data;
        const char* expected;
    } rows[] = {
        {"A=1&B=x+y&C=on&SAVE=Save", "A\t1\nB\tx y\nC\tTRUE\nLAST\tSAVE\n"},
        {"name=%41nn&off=OFF&flag&go=Go", "NAME\tAnn\nOFF\tFALSE\n\tflag\nLAST\tGO\n"},
        {"ONLY=1", "LAST\tONLY\n"},
    };
    test::IsolatedHome home;
    for (const auto& row : rows)
        EXPECT_EQ(runCli(std::string("decode-form ") + test::shellWord(row.data)), row.expected) << row.data;
}

TEST_F(SessionCommandsTest, LogAppendsOneLineToTheLogOfTheEvent) {
    const struct {
        const char* event;
        const char* file;
        const char* other;
    } rows[] = {{"2", "system.log", "ANNA.log"}, {"51", "ANNA.log", "system.log"}};
    for (const auto& row : rows) {
        const std::string before = readBytes(logs + row.file), otherBefore = readBytes(logs + row.other);
        EXPECT_EQ(statusOf("log", row.event), 0);
        const std::string after = readBytes(logs + row.file);
        ASSERT_GT(after.size(), before.size()) << row.event;
        const std::string added = after.substr(before.size());
        EXPECT_EQ(test::occurrences(added, "\r\n"), 1u) << added;
        EXPECT_EQ(added.substr(added.size() - 2), "\r\n");
        EXPECT_NE(added.find("ANNA@"), std::string::npos) << added;
        EXPECT_NE(added.find("logon succeeded"), std::string::npos) << added;
        EXPECT_EQ(readBytes(logs + row.other), otherBefore) << row.event;
    }
}

TEST_F(SessionCommandsTest, InfoReadsTheDataPointAndTheTaskCount) {
    const std::string info = readBytes(dataPoint + "/DataPoint.info");
    const std::size_t at = info.find("CREATOR=") + 8;
    const std::string creator = info.substr(at, info.find_first_of("\r\n", at) - at);
    ASSERT_FALSE(creator.empty());
    EXPECT_EQ(run("info", "DATAPOINT_CREATOR_NAME"), creator + "\n");
    EXPECT_EQ(run("info", "datapoint_creator_name"), creator + "\n") << "names in any case";
    EXPECT_EQ(run("info", "SCHEDULER_COUNT_ALL"), "0\n");
}

TEST_F(SessionCommandsTest, SettingsPrintsFiveLinesInOrder) {
    const std::string temp = std::string(std::getenv("XDG_CACHE_HOME")) + "/Quill.temp/";
    EXPECT_EQ(run("settings", ""), "TEMPDIR\t" + temp + "\nREMOVEONEXIT\tFALSE\nRESOURCEDIR\t" + temp +
                                       "Resources/\nGROUPSDIR\t" + temp +
                                       "Resources/Users/ANNA/Groups\nSYNCHRONIZE\tTRUE\n");
    writeBytes(dataPoint + "/DataPoint.settings", "[SETTINGS_IO]\r\nTEMPPATH=" + dir / "t" +
                                                      "\r\nTEMPREMOVEONEXIT=true\r\nRESOURCEPATH=" + dir / "r" +
                                                      "\r\nRESOURCESYNCHRONIZE=False\r\n");
    EXPECT_EQ(run("settings", ""), "TEMPDIR\t" + dir / "t/ANNA/" + "\nREMOVEONEXIT\tTRUE\nRESOURCEDIR\t" + dir / "r/" +
                                       "\nGROUPSDIR\t" + dir / "r/Users/ANNA/Groups" + "\nSYNCHRONIZE\tFALSE\n");
}

TEST_F(SessionCommandsTest, FailuresExitWithStatus1AndAMessage) {
    TempDir other;
    const std::string broken = test::copySampleDataPoint(other);
    writeBytes(broken + "/DataPoint.info",
               "[DATAPOINT]\r\nROOT=" + other / "nowhere" + "\r\nUSERS=$DATA_POINT_PATH$\\DataPoint.users\r\n");
    const std::string systemLog = readBytes(logs + "system.log");
    const struct {
        std::string arguments;
        const char* why;
    } rows[] = {
        {"settings --datapoint " + test::shellWord(broken) + " --user ANNA", "ROOT is missing"},
        {"expand --datapoint " + test::shellWord(dataPoint) + " 'x'", "no --user"},
        {"log --datapoint " + test::shellWord(dataPoint) + " --user ANNA abc", "not an event number"},
        {"expand --datapoint " + test::shellWord(dataPoint) + " --user ANNA --record " +
             test::shellWord(dir / "none.note") + " x",
         "a record that is not there"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        EXPECT_EQ(expectFailure(row.arguments, "quill-cli: "), "");
    }
    EXPECT_EQ(readBytes(logs + "system.log"), systemLog);
}

} // namespace
} // namespace quill
