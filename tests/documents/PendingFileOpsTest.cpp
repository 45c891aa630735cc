#include "documents/PendingFileOps.h"

#include "SessionFixture.h"

#include "core/Cp1250.h"
#include "core/FileSystem.h"
#include "core/Paths.h"
#include "documents/Companions.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quill {
namespace {

using test::readBytes;
using test::writeBytes;

class PendingFileOpsTest : public ::testing::Test, public test::SessionFixture {
protected:
    void SetUp() override { ASSERT_TRUE(open()); }

    std::string folder() const { return dataPoint + "/DataPoint.root/Projects"; }
    std::string document() const { return folder() + "/Ideas.note"; }
    std::string attached(const std::string& name) const { return folder() + "/Attachments.systemfiles/" + name; }

    // The user's file, staged and added to the editor's list as the
    // add-files view and the editor do it.
    std::string addUserFile(std::vector<Attachment>& list, const std::string& content = "report") {
        const std::string chosen = dir / "home/report.txt";
        writeBytes(chosen, content);
        std::string staged;
        EXPECT_TRUE(stageAttachment(*session, chosen, staged));
        EXPECT_TRUE(addAttachment(*session, document(), list, {"Report", staged, AttachmentType::Document, ""}));
        return staged;
    }
};

TEST_F(PendingFileOpsTest, AStagedFileReachesTheFolderOnlyOnSave) {
    std::vector<Attachment> list;
    const std::string staged = addUserFile(list);
    EXPECT_EQ(path::directory(staged), attachmentStagingDirectory(*session));
    EXPECT_EQ(readBytes(staged), "report");
    const std::string target = attached(path::fileName(staged));
    EXPECT_FALSE(fs::exists(target)) << "nothing moves before the save";

    ASSERT_TRUE(writeAttachments(*session, document(), list));
    ui.cursors.clear();
    ASSERT_TRUE(commitPendingFileOps(*session));
    EXPECT_EQ(readBytes(target), "report");
    EXPECT_FALSE(fs::exists(staged));
    EXPECT_TRUE(session->pendingFileOps.empty());
    EXPECT_EQ(ui.cursors, (std::vector<CursorShape>{CursorShape::Busy, CursorShape::Default}));

    std::vector<Attachment> read;
    ASSERT_EQ(readAttachments(*session, document(), read), RecordRead::Ok);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].path, target) << "the companion names the file under the name it was moved to";
}

TEST_F(PendingFileOpsTest, AddingAndRemovingBeforeSaveLeavesNothingBehind) {
    std::vector<Attachment> list;
    const std::string staged = addUserFile(list);
    ASSERT_TRUE(removeAttachment(*session, list, 0));
    ASSERT_TRUE(writeAttachments(*session, document(), list));
    ASSERT_TRUE(commitPendingFileOps(*session));
    EXPECT_FALSE(fs::exists(staged));
    EXPECT_FALSE(fs::exists(folder() + "/Attachments.systemfiles")) << "not even an empty directory";
    EXPECT_FALSE(fs::exists(companionPath(document(), Companion::Attachments)));
    EXPECT_TRUE(fs::exists(dir / "home/report.txt")) << "the user's own file is not the journal's";
}

TEST_F(PendingFileOpsTest, AStoredAttachmentIsDeletedOnSaveOnceNoCompanionNamesIt) {
    const std::string contracts = dataPoint + "/DataPoint.root/Contracts/";
    const std::string contract = contracts + "Supplier.contract";
    writeBytes(contracts + "Attachments.systemfiles/other.txt", "another document's");
    std::vector<Attachment> list;
    ASSERT_EQ(readAttachments(*session, contract, list), RecordRead::Ok);
    const std::string stored = list.at(0).path;
    ASSERT_TRUE(removeAttachment(*session, list, 0));
    ASSERT_TRUE(writeAttachments(*session, contract, list));
    EXPECT_TRUE(fs::exists(stored)) << "nothing is deleted before the journal runs";

    // Closing the editor without saving: the next opening empties the journal.
    clearPendingFileOps(*session);
    ASSERT_TRUE(commitPendingFileOps(*session));
    EXPECT_TRUE(fs::exists(stored));

    // A copy of the document in the same folder still names the file.
    writeBytes(contracts + "Supplier copy.attachments", "Terms\r\n" + path::fileName(stored) + "\r\n\r\n");
    ASSERT_TRUE(addPendingFileOp(*session, stored, "", FileOpMode::QueueRemoval));
    ASSERT_TRUE(commitPendingFileOps(*session));
    EXPECT_TRUE(fs::exists(stored));

    std::filesystem::remove(contracts + "Supplier copy.attachments");
    ASSERT_TRUE(addPendingFileOp(*session, stored, "", FileOpMode::QueueRemoval));
    ASSERT_TRUE(commitPendingFileOps(*session));
    EXPECT_FALSE(fs::exists(stored));
    EXPECT_TRUE(fs::exists(contracts + "Attachments.systemfiles/other.txt"));
}

TEST_F(PendingFileOpsTest, AFailedMoveKeepsTheStagedFileAndSaysSo) {
    // The staged file may be the only copy left: the user may have moved it in.
    std::vector<Attachment> list;
    const std::string staged = addUserFile(list, "only copy");
    writeBytes(folder() + "/Attachments.systemfiles", "a file where the directory should be");
    const Status committed = commitPendingFileOps(*session);
    EXPECT_FALSE(committed);
    EXPECT_NE(committed.message().find("Attachments.systemfiles"), std::string::npos) << committed.message();
    EXPECT_EQ(readBytes(staged), "only copy");
    EXPECT_TRUE(session->pendingFileOps.empty());
}

TEST_F(PendingFileOpsTest, OnlyAttachedAndStagedFilesAreTouched) {
    const std::string contracts = dataPoint + "/DataPoint.root/Contracts/";
    const std::string stored = contracts + "Attachments.systemfiles/Delivery terms417.DT20.11.20263381.TD.txt";
    const std::string staging = attachmentStagingDirectory(*session) + "/";
    writeBytes(staging + "staged.txt", "staged");
    const struct {
        std::string source;
        std::string target;
        FileOpMode mode;
        const char* why;
    } rows[] = {
        {contracts + "Supplier.contract", "", FileOpMode::QueueRemoval, "a document is no attachment"},
        {contracts + "Attachments.systemfiles/../Supplier.contract", "", FileOpMode::QueueRemoval,
         "a parent step leaves the directory"},
        {contracts + "Attachments.systemfiles", "", FileOpMode::QueueRemoval, "the directory itself"},
        {staging + "staged.txt", contracts + "Supplier.contract", FileOpMode::QueueMove, "a move over a document"},
        {contracts + "Supplier.contract", staging + "../escaped.txt", FileOpMode::CopyNow,
         "a copy out of the staging directory"},
        {contracts + "Supplier.contract", contracts + "Copy.contract", FileOpMode::CopyNow, "a copy into the folder"},
        {stored, "", static_cast<FileOpMode>(4), "no such mode"},
    };
    for (const auto& row : rows) {
        EXPECT_FALSE(addPendingFileOp(*session, row.source, row.target, row.mode)) << row.why;
        EXPECT_TRUE(session->pendingFileOps.empty()) << row.why;
    }
    EXPECT_FALSE(fs::exists(contracts + "Copy.contract"));

    // Whatever reaches the journal, its carrying out checks again.
    session->pendingFileOps.append({contracts + "Supplier.contract", "", FileOpAction::Delete});
    session->pendingFileOps.append({staging + "staged.txt", contracts + "Supplier.contract", FileOpAction::Add});
    EXPECT_FALSE(commitPendingFileOps(*session));
    EXPECT_TRUE(fs::exists(contracts + "Supplier.contract"));
    EXPECT_EQ(readBytes(staging + "staged.txt"), "staged");

    // A directory under an attachment name is not deleted either.
    std::filesystem::create_directories(contracts + "Attachments.systemfiles/sub/keep");
    ASSERT_TRUE(addPendingFileOp(*session, contracts + "Attachments.systemfiles/sub", "", FileOpMode::QueueRemoval));
    EXPECT_FALSE(commitPendingFileOps(*session));
    EXPECT_TRUE(fs::exists(contracts + "Attachments.systemfiles/sub/keep"));
}

TEST_F(PendingFileOpsTest, AMoveOfAFileOntoItselfKeepsIt) {
    const std::string stored =
        dataPoint + "/DataPoint.root/Contracts/Attachments.systemfiles/Delivery terms417.DT20.11.20263381.TD.txt";
    ASSERT_TRUE(addPendingFileOp(*session, stored, stored, FileOpMode::QueueMove));
    ASSERT_TRUE(commitPendingFileOps(*session));
    EXPECT_TRUE(fs::exists(stored));
}

TEST_F(PendingFileOpsTest, ARemovalCancelsQueuedMovesOfItsSourceInAnyCase) {
    std::vector<Attachment> list;
    const std::string staged = addUserFile(list);
    const std::string shouted = path::join(path::directory(staged), cp1250::upper(path::fileName(staged)));
    ASSERT_TRUE(addPendingFileOp(*session, shouted, "", FileOpMode::QueueRemoval));
    ASSERT_EQ(session->pendingFileOps.entries().size(), 2u);
    EXPECT_EQ(session->pendingFileOps.entries()[0].action, FileOpAction::None);
    EXPECT_EQ(session->pendingFileOps.entries()[1].action, FileOpAction::Delete);
    ASSERT_TRUE(commitPendingFileOps(*session));
    EXPECT_FALSE(fs::exists(staged));
    EXPECT_FALSE(fs::exists(attached(path::fileName(staged))));
}

TEST_F(PendingFileOpsTest, AFullListTakesNoEleventhAttachment) {
    std::vector<Attachment> list(kMaxAttachments, {"n", attached("f"), AttachmentType::Document, ""});
    const std::string chosen = dir / "eleventh.txt";
    writeBytes(chosen, "x");
    std::string staged;
    ASSERT_TRUE(stageAttachment(*session, chosen, staged));
    EXPECT_FALSE(addAttachment(*session, document(), list, {"Eleventh", staged, AttachmentType::Document, ""}));
    EXPECT_EQ(list.size(), kMaxAttachments);
    EXPECT_TRUE(session->pendingFileOps.empty());
}

} // namespace
} // namespace quill
