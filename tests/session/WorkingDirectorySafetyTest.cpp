// What shared settings and planted links may never do: turn the working
// copy's download, prune or clean-up against the data point, the home
// directory or anything else, or carry a private file onto the share.
#include "SessionTest.h"

#include "formats/RegistryStore.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/Logon.h"
#include "session/LogonContext.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using test::readBytes;
using test::writeBytes;

class WorkingDirectorySafetyTest : public test::LogonAttemptTest {};

TEST_F(WorkingDirectorySafetyTest, SettingsNamingOthersFilesFallBackToTheDefaults) {
    const std::string home = fs::environment("HOME");
    writeBytes(home + "/thesis.odt", "years of work");
    const std::string foreign = dir / "someone-elses";
    writeBytes(foreign + "/notes.txt", "not the program's");
    const struct {
        std::string lines;
        const char* why;
    } rows[] = {
        {"RESOURCEPATH=$DATA_POINT_PATH$", "the data point itself"},
        {"RESOURCEPATH=" + dataPoint + "/DataPoint.system", "inside the data point"},
        {"RESOURCEPATH=" + path::directory(dataPoint), "a directory holding the data point"},
        {"RESOURCEPATH=" + home, "the home directory"},
        {"RESOURCEPATH=/", "the root"},
        {"RESOURCEPATH=" + foreign, "a directory the program did not make"},
        {"TEMPPATH=$DATA_POINT_PATH$\r\nTEMPREMOVEONEXIT=TRUE", "temporary files inside the data point"},
        {"TEMPPATH=" + foreign + "\r\nTEMPREMOVEONEXIT=TRUE", "a user directory the program did not make"},
    };
    const std::string info = readBytes(dataPoint + "/DataPoint.info");
    const std::string defaultTemp = defaultTemporaryDirectory();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        writeBytes(foreign + "/ANNA/keep.txt", "not the program's either");
        writeBytes(dataPoint + "/DataPoint.settings", "[SETTINGS_IO]\r\n" + row.lines + "\r\n");
        ui.messages.clear();
        ASSERT_EQ(logon("ANNA", "wrong"), LogonOutcome::WrongPassword) << "a failed logon prunes nothing either";
        ASSERT_EQ(logon("ANNA", "anna"), LogonOutcome::LoggedOn);
        EXPECT_EQ(session->context.settings.temporaryDirectory, defaultTemp);
        EXPECT_EQ(session->context.settings.resourceDirectory, defaultTemp + "Resources/");
        ASSERT_FALSE(ui.messages.empty());
        EXPECT_NE(ui.messages.back().second.find(session->texts.lookup("SYSTEM_IO", "WARNING_4", "Warnings")),
                  std::string::npos);
        EXPECT_TRUE(shutdown(*session));
        failed = 0;

        EXPECT_EQ(readBytes(dataPoint + "/DataPoint.info"), info);
        EXPECT_TRUE(stdfs::is_directory(dataPoint + "/DataPoint.root"));
        EXPECT_TRUE(stdfs::is_directory(dataPoint + "/DataPoint.system/Resources/HTML"));
        EXPECT_EQ(readBytes(home + "/thesis.odt"), "years of work");
        EXPECT_EQ(readBytes(foreign + "/notes.txt"), "not the program's");
        EXPECT_EQ(readBytes(foreign + "/ANNA/keep.txt"), "not the program's either");
    }
    EXPECT_NE(userLog().find("DataPoint.settings was refused"), std::string::npos);
}

TEST_F(WorkingDirectorySafetyTest, LinksInTheSharedResourcesAreNeverFollowed) {
    const std::string privateFile = dir / "private/id_rsa";
    writeBytes(privateFile, "PRIVATE KEY");
    ASSERT_TRUE(open());
    const std::string shared = session->context.resourcesDirectory;
    const std::string planted = shared + "/Users/ANNA/Groups/Stolen.groups";
    stdfs::create_directories(path::directory(planted));
    stdfs::create_symlink(privateFile, planted);
    stdfs::create_directory_symlink(dir / "private", shared + "/Templates/Private");

    ASSERT_EQ(logon("ANNA", "anna"), LogonOutcome::LoggedOn);
    const std::string local = session->context.settings.resourceDirectory;
    EXPECT_FALSE(stdfs::exists(stdfs::symlink_status(local + "Users/ANNA/Groups/Stolen.groups")));
    EXPECT_FALSE(stdfs::exists(stdfs::symlink_status(local + "Templates/Private")));

    // The link goes from the share; the next upload must not put the private
    // file there in its place.
    stdfs::remove(planted);
    EXPECT_TRUE(shutdown(*session));
    EXPECT_FALSE(stdfs::exists(planted));
    EXPECT_TRUE(stdfs::is_symlink(shared + "/Templates/Private")) << "nor is a link on the share touched";
    EXPECT_EQ(readBytes(privateFile), "PRIVATE KEY");

    const std::string log = userLog();
    const std::string note = "symbolic links in the resources were left alone";
    ASSERT_NE(log.find(note), std::string::npos);
    EXPECT_EQ(log.find(note), log.rfind(note)) << "said once per run";
}

} // namespace
} // namespace quill
