// The local working copy of the data point's resources: download, upload,
// preparation at logon and clean-up at shutdown.
#include "datapoint/WorkingCopy.h"

#include "SessionFixture.h"

#include "platform/FileSystem.h"
#include "platform/OwnedDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using test::readBytes;
using test::SessionFixture;
using test::writeBytes;

class WorkingCopyTest : public ::testing::Test, public SessionFixture {
protected:
    // The local copy is one the program made, as the logon makes it.
    void SetUp() override {
        ASSERT_TRUE(open());
        ASSERT_TRUE(claimOwnedDirectory(session->context.settings.temporaryDirectory));
        ASSERT_TRUE(claimOwnedDirectory(local()));
    }
    std::string shared(const std::string& rel = {}) {
        return session->context.resourcesDirectory + (rel.empty() ? "" : "/" + rel);
    }
    std::string local(const std::string& rel = {}) { return session->context.settings.resourceDirectory + rel; }
    bool download() { return synchronizeResources(workingCopyOf(*session), SyncDirection::Download).done; }
    bool upload() { return synchronizeResources(workingCopyOf(*session), SyncDirection::Upload).done; }
    // Moves a file's time far from its copy's, as an edit some time later would.
    static void age(const std::string& file, int seconds) {
        const auto time = stdfs::last_write_time(file);
        stdfs::last_write_time(file, time - std::chrono::seconds(seconds));
    }
};

TEST_F(WorkingCopyTest, DownloadMirrorsFilesWithTheirTimesAndPrunesTheRest) {
    writeBytes(local("Templates/stale.txt"), "left from an old download");
    stdfs::create_directories(local("Templates/Old/Empty"));
    stdfs::create_directories(shared("Templates/NewEmpty"));
    ASSERT_TRUE(download());

    EXPECT_EQ(readBytes(local("FileTemplates/Letter.txt")), readBytes(shared("FileTemplates/Letter.txt")));
    EXPECT_EQ(stdfs::last_write_time(local("FileTemplates/Letter.txt")),
              stdfs::last_write_time(shared("FileTemplates/Letter.txt")));
    EXPECT_TRUE(fs::isRegularFile(local("Users/ANNA/Groups/Team.groups")));
    EXPECT_FALSE(stdfs::exists(local("Templates/stale.txt")));
    EXPECT_FALSE(stdfs::exists(local("Templates/Old")));

    // A changed file on the data point comes down again; an unchanged one
    // keeps its copy.
    writeBytes(shared("FileTemplates/Letter.txt"), "Dear reader,");
    age(shared("FileTemplates/Letter.txt"), -60);
    ASSERT_TRUE(download());
    EXPECT_EQ(readBytes(local("FileTemplates/Letter.txt")), "Dear reader,");
}

TEST_F(WorkingCopyTest, UploadSendsLocalChangesAndDeletionsButKeepsOthersWork) {
    ASSERT_TRUE(download());
    writeBytes(local("FileTemplates/Letter.txt"), "edited here");
    age(local("FileTemplates/Letter.txt"), -120);
    writeBytes(local("FileTemplates/Invoice.txt"), "new here");
    stdfs::remove(local("FileTemplates/Meeting minutes.txt"));
    // Meanwhile another user adds a template to the data point.
    writeBytes(shared("FileTemplates/Theirs.txt"), "added by someone else");
    writeBytes(local("Users/ANNA/Groups/Friends.groups"), "Friends\r\nANNA\r\n");

    ASSERT_TRUE(upload());
    EXPECT_EQ(readBytes(shared("FileTemplates/Letter.txt")), "edited here");
    EXPECT_EQ(readBytes(shared("FileTemplates/Invoice.txt")), "new here");
    EXPECT_FALSE(stdfs::exists(shared("FileTemplates/Meeting minutes.txt")));
    EXPECT_EQ(readBytes(shared("FileTemplates/Theirs.txt")), "added by someone else");
    EXPECT_TRUE(fs::isRegularFile(shared("Users/ANNA/Groups/Friends.groups")));
}

TEST_F(WorkingCopyTest, UploadNeverUndoesAChangeMadeOnTheDataPoint) {
    ASSERT_TRUE(download());
    writeBytes(shared("FileTemplates/Letter.txt"), "newer, from another user");
    age(shared("FileTemplates/Letter.txt"), -300);
    ASSERT_TRUE(upload());
    EXPECT_EQ(readBytes(shared("FileTemplates/Letter.txt")), "newer, from another user");
}

TEST_F(WorkingCopyTest, OwnSubtreeReplacesTheDataPointsOnUpload) {
    ASSERT_TRUE(download());
    stdfs::remove(local("Users/ANNA/Groups/Team.groups"));
    ASSERT_TRUE(upload());
    EXPECT_FALSE(stdfs::exists(shared("Users/ANNA/Groups/Team.groups")));
    EXPECT_TRUE(stdfs::exists(shared("Users/ADMINISTRATOR/Groups/Team.groups")));
}

TEST_F(WorkingCopyTest, UnreachableResourcesLeaveTheLocalCopyAlone) {
    ASSERT_TRUE(download());
    writeBytes(local("Users/ANNA/Groups/Unsent.groups"), "Unsent\r\n");
    stdfs::rename(shared(), shared() + ".away");
    EXPECT_FALSE(download());
    EXPECT_FALSE(upload());
    EXPECT_TRUE(stdfs::exists(local("Users/ANNA/Groups/Unsent.groups")));
    EXPECT_TRUE(stdfs::exists(local("FileTemplates/Letter.txt")));
}

TEST_F(WorkingCopyTest, UploadWithoutADownloadedCopyDeletesNothing) {
    // A machine that never downloaded: its empty own directories must not
    // be taken for the user having deleted everything.
    stdfs::create_directories(local("Users/ANNA/Groups"));
    EXPECT_FALSE(upload());
    EXPECT_TRUE(stdfs::exists(shared("Users/ANNA/Groups/Team.groups")));

    ASSERT_TRUE(download());
    stdfs::remove_all(local());
    EXPECT_FALSE(upload());
    EXPECT_TRUE(stdfs::exists(shared("Users/ANNA/Groups/Team.groups")));
}

TEST_F(WorkingCopyTest, OwnFilesAddedElsewhereSurviveAnUpload) {
    ASSERT_TRUE(download());
    // The same user saved a group on another computer meanwhile.
    writeBytes(shared("Users/ANNA/Groups/Elsewhere.groups"), "Elsewhere\r\n");
    ASSERT_TRUE(upload());
    EXPECT_TRUE(stdfs::exists(shared("Users/ANNA/Groups/Elsewhere.groups")));
    // A name deleted here and later added there by someone is not deleted
    // by the next upload.
    stdfs::remove(local("FileTemplates/Letter.txt"));
    ASSERT_TRUE(upload());
    EXPECT_FALSE(stdfs::exists(shared("FileTemplates/Letter.txt")));
    writeBytes(shared("FileTemplates/Letter.txt"), "a new letter");
    ASSERT_TRUE(upload());
    EXPECT_EQ(readBytes(shared("FileTemplates/Letter.txt")), "a new letter");
}

TEST_F(WorkingCopyTest, PreparationCreatesTheWorkingDirectoriesAndCleanUpEmptiesAttachments) {
    ASSERT_TRUE(prepareDataPointFolders(workingCopyOf(*session), session->ui));
    const std::string temp = session->context.settings.temporaryDirectory;
    for (const char* sub : {"Attachments", "Trash"})
        EXPECT_TRUE(fs::isDirectory(temp + sub)) << sub;
    for (const char* sub : {"Users/ANNA/Groups", "Users/ANNA/Templates", "Users/ANNA/FileTemplates", "FileTemplates"})
        EXPECT_TRUE(fs::isDirectory(local(sub))) << sub;
    EXPECT_TRUE(fs::isRegularFile(local("FileTemplates/Letter.txt")));

    writeBytes(temp + "Attachments/opened.pdf", "%PDF");
    ASSERT_TRUE(cleanUpDataPointFolders(workingCopyOf(*session)));
    EXPECT_FALSE(stdfs::exists(temp + "Attachments/opened.pdf"));
}

} // namespace
} // namespace quill
