#include "documents/PendingFileOps.h"

#include "SessionFixture.h"

#include "documents/Companions.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quill {
namespace {

using test::readBytes;
using test::writeBytes;

class PendingFileOpsTest : public ::testing::Test, public test::SessionFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(open());
        writeBytes(document(), "");
    }

    std::string folder() const { return dataPoint + "/DataPoint.root/Fresh"; }
    std::string document() const { return folder() + "/Fresh.note"; }
    std::string contracts() const { return dataPoint + "/DataPoint.root/Contracts/"; }
    std::string stored() const {
        return contracts() + "Attachments.systemfiles/Delivery terms417.DT20.11.20263381.TD.txt";
    }

    // The user's file, staged and added to the editor's list as the
    // add-files view and the editor do it.
    std::string addUserFile(std::vector<Attachment>& list, const std::string& content = "report") {
        writeBytes(dir / "home/report.txt", content);
        std::string staged;
        EXPECT_TRUE(stageAttachment(*session, dir / "home/report.txt", staged));
        EXPECT_TRUE(addAttachment(*session, document(), list, {"Report", staged, AttachmentType::Document, ""}));
        return staged;
    }
};

TEST_F(PendingFileOpsTest, AStagedFileReachesTheFolderOnlyOnSave) {
    std::vector<Attachment> list;
    const std::string staged = addUserFile(list);
    EXPECT_EQ(path::directory(staged), attachmentStagingDirectory(*session));
    const std::string target = folder() + "/Attachments.systemfiles/" + path::fileName(staged);
    EXPECT_FALSE(fs::exists(target)) << "nothing moves before the save";

    ASSERT_TRUE(writeAttachments(*session, document(), list));
    ui.cursors.clear();
    ASSERT_TRUE(commitPendingFileOps(*session));
    EXPECT_EQ(readBytes(target), "report");
    EXPECT_FALSE(fs::exists(staged));
    EXPECT_TRUE(session->pendingFileOps.empty());
    EXPECT_EQ(ui.cursors, (std::vector<CursorShape>{CursorShape::Busy, CursorShape::Default}));
    ASSERT_EQ(readAttachments(*session, document(), list), RecordRead::Ok);
    EXPECT_EQ(list.at(0).path, target) << "the companion names the file under the name it was moved to";

    // A full list takes no eleventh attachment, and nothing is queued for it.
    list.resize(kMaxAttachments, list[0]);
    std::string eleventh;
    ASSERT_TRUE(stageAttachment(*session, dir / "home/report.txt", eleventh));
    EXPECT_FALSE(addAttachment(*session, document(), list, {"Eleventh", eleventh, AttachmentType::Document, ""}));
    EXPECT_EQ(list.size(), kMaxAttachments);
    EXPECT_TRUE(session->pendingFileOps.empty());
}

TEST_F(PendingFileOpsTest, AddingAndRemovingBeforeSaveLeavesNothingBehind) {
    std::vector<Attachment> list;
    const std::string staged = addUserFile(list);
    // Queued moves of a removed file are called off whatever the case of its name.
    list[0].path = path::join(path::directory(staged), cp1250::upper(path::fileName(staged)));
    ASSERT_TRUE(removeAttachment(*session, list, 0));
    EXPECT_EQ(session->pendingFileOps.entries().at(0).action, FileOpAction::None);
    ASSERT_TRUE(writeAttachments(*session, document(), list));
    ASSERT_TRUE(commitPendingFileOps(*session));
    EXPECT_FALSE(fs::exists(staged));
    EXPECT_FALSE(fs::exists(folder() + "/Attachments.systemfiles")) << "not even an empty directory";
    EXPECT_TRUE(fs::exists(dir / "home/report.txt")) << "the user's own file is not the journal's";
}

TEST_F(PendingFileOpsTest, AStoredAttachmentIsDeletedOnSaveOnceNoCompanionNamesIt) {
    writeBytes(contracts() + "Attachments.systemfiles/other.txt", "another document's");
    std::vector<Attachment> list;
    ASSERT_EQ(readAttachments(*session, contracts() + "Supplier.contract", list), RecordRead::Ok);
    ASSERT_TRUE(removeAttachment(*session, list, 0));
    // Closing the editor without saving: the next opening empties the journal.
    clearPendingFileOps(*session);
    ASSERT_TRUE(commitPendingFileOps(*session));
    EXPECT_TRUE(fs::exists(stored()));

    // A copy of the document in the same folder still names the file.
    writeBytes(contracts() + "Supplier copy.attachments", "Terms\r\n" + path::fileName(stored()) + "\r\n");
    ASSERT_TRUE(writeAttachments(*session, contracts() + "Supplier.contract", {}));
    ASSERT_TRUE(addPendingFileOp(*session, stored(), "", FileOpMode::QueueRemoval));
    ASSERT_TRUE(commitPendingFileOps(*session));
    EXPECT_TRUE(fs::exists(stored()));

    std::filesystem::remove(contracts() + "Supplier copy.attachments");
    ASSERT_TRUE(addPendingFileOp(*session, stored(), "", FileOpMode::QueueRemoval));
    ASSERT_TRUE(commitPendingFileOps(*session));
    EXPECT_FALSE(fs::exists(stored()));
    EXPECT_TRUE(fs::exists(contracts() + "Attachments.systemfiles/other.txt"));
}

TEST_F(PendingFileOpsTest, AFailedMoveKeepsTheStagedFileAndSaysSo) {
    // The staged file may be the only copy left: the user may have moved it in.
    std::vector<Attachment> list;
    const std::string staged = addUserFile(list, "only copy");
    writeBytes(folder() + "/Attachments.systemfiles", "a file where the directory should be");
    const Status committed = commitPendingFileOps(*session);
    EXPECT_NE(committed.message().find("Attachments.systemfiles"), std::string::npos) << committed.message();
    EXPECT_EQ(readBytes(staged), "only copy");
    EXPECT_FALSE(session->pendingFileOps.empty()) << "kept for the next attempt to save";
    clearPendingFileOps(*session);

    // Nor does a move of a file onto itself delete it.
    ASSERT_TRUE(addPendingFileOp(*session, stored(), stored(), FileOpMode::QueueMove));
    ASSERT_TRUE(commitPendingFileOps(*session));
    EXPECT_TRUE(fs::exists(stored()));
}

TEST_F(PendingFileOpsTest, OnlyAttachedAndStagedFilesAreTouched) {
    const std::string document = contracts() + "Supplier.contract";
    const std::string staged = attachmentStagingDirectory(*session) + "/staged.txt";
    writeBytes(staged, "staged");
    const struct {
        std::string source;
        std::string target;
        FileOpMode mode;
        const char* why;
    } rows[] = {
        {document, "", FileOpMode::QueueRemoval, "a document is no attachment"},
        {contracts() + "Attachments.systemfiles/../Supplier.contract", "", FileOpMode::QueueRemoval, "a parent step"},
        {staged, document, FileOpMode::QueueMove, "a move over a document"},
        {document, staged + "/../../escaped.txt", FileOpMode::CopyNow, "a copy out of the staging directory"},
        {document, contracts() + "Copy.contract", FileOpMode::CopyNow, "a copy into the folder"},
    };
    for (const auto& row : rows) {
        EXPECT_FALSE(addPendingFileOp(*session, row.source, row.target, row.mode)) << row.why;
        EXPECT_TRUE(session->pendingFileOps.empty()) << row.why;
    }
    EXPECT_FALSE(fs::exists(contracts() + "Copy.contract"));

    // Whatever reaches the journal, carrying it out checks again; and a
    // directory under an attached file's name is not deleted either.
    std::filesystem::create_directories(contracts() + "Attachments.systemfiles/sub/keep");
    session->pendingFileOps.append({document, "", FileOpAction::Delete});
    session->pendingFileOps.append({staged, document, FileOpAction::Add});
    session->pendingFileOps.append({contracts() + "Attachments.systemfiles/sub", "", FileOpAction::Delete});
    EXPECT_FALSE(commitPendingFileOps(*session));
    EXPECT_TRUE(fs::exists(document));
    EXPECT_EQ(readBytes(staged), "staged");
    EXPECT_TRUE(fs::exists(contracts() + "Attachments.systemfiles/sub/keep"));
}

} // namespace
} // namespace quill
