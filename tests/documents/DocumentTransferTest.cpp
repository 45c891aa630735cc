// Copying, moving and deleting a document with everything that belongs to
// it, all or nothing.
#include "documents/DocumentTransfer.h"

#include "SessionFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <vector>
#include <sys/stat.h>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using test::readBytes;
using test::SessionFixture;
using test::writeBytes;

std::set<std::string> namesIn(const std::string& directory) {
    std::set<std::string> names;
    if (stdfs::is_directory(directory)) {
        for (const auto& entry : stdfs::directory_iterator(directory))
            names.insert(entry.path().filename().string());
    }
    return names;
}

class DocumentTransferTest : public ::testing::Test, public SessionFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(open());
        // A stranger's attached file beside the contract's three.
        writeBytes(contracts + "/Attachments.systemfiles/other.txt", "another document's");
        stdfs::create_directories(archive);
    }
    std::string contracts = dataPoint + "/DataPoint.root/Contracts";
    std::string archive = dataPoint + "/DataPoint.root/Archive";
    std::string contract = contracts + "/Supplier.contract";
    const std::set<std::string> parts = {"Supplier.contract", "Supplier.attachments", "Supplier.comments",
                                         "Supplier.history", "Supplier.scheduler"};
    const std::set<std::string> attached = {"Delivery terms417.DT20.11.20263381.TD.txt",
                                            "Order form93.DT21.11.20267105.TD.txt",
                                            "Price list 2027815.DT20.11.20262260.TD.pdf"};
};

TEST_F(DocumentTransferTest, MovingAndCopyingTakeExactlyTheDocumentsFiles) {
    ASSERT_TRUE(transferDocument(*session, contract, archive + "/Supplier.contract", TransferMode::Move));
    std::set<std::string> expected = parts;
    expected.insert("Attachments.systemfiles");
    EXPECT_EQ(namesIn(archive), expected);
    EXPECT_EQ(namesIn(archive + "/Attachments.systemfiles"), attached);
    EXPECT_EQ(namesIn(contracts), (std::set<std::string>{"folder.folders", "Attachments.systemfiles"}));
    EXPECT_EQ(namesIn(contracts + "/Attachments.systemfiles"), std::set<std::string>{"other.txt"});

    ASSERT_TRUE(transferDocument(*session, archive + "/Supplier.contract", contract, TransferMode::Copy));
    EXPECT_EQ(namesIn(archive + "/Attachments.systemfiles"), attached) << "a copy leaves the original whole";
    EXPECT_EQ(namesIn(contracts + "/Attachments.systemfiles").size(), 4u);
    EXPECT_EQ(readBytes(contract), readBytes(archive + "/Supplier.contract"));
}

TEST_F(DocumentTransferTest, ATransferThatCannotFinishChangesNothing) {
    const std::string before = readBytes(contract);
    // Something of the same name at the target is never replaced.
    writeBytes(archive + "/Supplier.comments", "the archive's own");
    EXPECT_FALSE(transferDocument(*session, contract, archive + "/Supplier.contract", TransferMode::Move));
    EXPECT_EQ(readBytes(archive + "/Supplier.comments"), "the archive's own");
    EXPECT_EQ(namesIn(archive), std::set<std::string>{"Supplier.comments"});
    EXPECT_EQ(readBytes(contract), before);
    EXPECT_FALSE(
        transferDocument(*session, contracts + "/Missing.contract", archive + "/M.contract", TransferMode::Copy));

    // A target folder the user may not write, tried as an ordinary user.
    const std::string locked = dataPoint + "/DataPoint.root/Locked";
    stdfs::create_directories(locked);
    ::chmod(dir.path().c_str(), 0777);
    for (const std::string& d : {dataPoint, dataPoint + "/DataPoint.root", contracts, archive})
        ::chmod(d.c_str(), 0777);
    ::chmod((contracts + "/Attachments.systemfiles").c_str(), 0777);
    ::chmod(locked.c_str(), 0555);
    EXPECT_TRUE(test::passesInChild(
        [&] { return !transferDocument(*session, contract, locked + "/Supplier.contract", TransferMode::Move); }, 0,
        test::ChildUser::Ordinary))
        << "the failure is reported";
    EXPECT_TRUE(namesIn(locked).empty());
    for (const std::string& name : parts)
        EXPECT_TRUE(stdfs::exists(contracts + "/" + name)) << name;
    EXPECT_EQ(namesIn(contracts + "/Attachments.systemfiles").size(), 4u);
}

// No operation on one document may change what another document shows.
TEST_F(DocumentTransferTest, OperationsOnOneDocumentLeaveEveryOtherDocumentWhole) {
    // A copy beside its original gets attached files of its own.
    ASSERT_TRUE(transferDocument(*session, contract, contracts + "/Copy.contract", TransferMode::Copy));
    EXPECT_EQ(namesIn(contracts + "/Attachments.systemfiles").size(), 7u);
    EXPECT_NE(readBytes(contracts + "/Copy.attachments"), readBytes(contracts + "/Supplier.attachments"));
    ASSERT_TRUE(
        transferDocument(*session, contracts + "/Copy.contract", archive + "/Copy.contract", TransferMode::Move));
    ASSERT_TRUE(deleteDocument(*session, archive + "/Copy.contract"));
    for (const std::string& name : attached)
        EXPECT_TRUE(stdfs::exists(contracts + "/Attachments.systemfiles/" + name)) << name;

    // An attached file that a second companion of the folder names stays
    // for it: the moving document takes a copy.
    writeBytes(contracts + "/Twin.attachments", readBytes(contracts + "/Supplier.attachments"));
    writeBytes(contracts + "/Twin.contract", readBytes(contract));
    ASSERT_TRUE(transferDocument(*session, contract, archive + "/Supplier.contract", TransferMode::Move));
    EXPECT_EQ(namesIn(archive + "/Attachments.systemfiles"), attached);
    EXPECT_EQ(namesIn(contracts + "/Attachments.systemfiles").size(), 4u);
    ASSERT_TRUE(deleteDocument(*session, archive + "/Supplier.contract"));
    EXPECT_EQ(namesIn(contracts + "/Attachments.systemfiles").size(), 4u) << "Twin still names them";

    // Offer.contract and Offer.note share their companions: moving or
    // deleting one leaves them to the other.
    writeBytes(contracts + "/Offer.contract", readBytes(contracts + "/Twin.contract"));
    writeBytes(contracts + "/Offer.note", "");
    writeBytes(contracts + "/Offer.comments", "COMMENT1=kept\r\n");
    ASSERT_TRUE(
        transferDocument(*session, contracts + "/Offer.contract", archive + "/Offer.contract", TransferMode::Move));
    EXPECT_TRUE(stdfs::exists(contracts + "/Offer.comments"));
    EXPECT_TRUE(stdfs::exists(archive + "/Offer.comments"));
    ASSERT_TRUE(deleteDocument(*session, contracts + "/Offer.note"));
    EXPECT_FALSE(stdfs::exists(contracts + "/Offer.comments")) << "its last document took it along";
}

// Only documents are documents: a companion, folder settings, an attached
// file or a file of no object type is refused, and nothing changes.
TEST_F(DocumentTransferTest, WhatIsNoDocumentIsRefusedUntouched) {
    struct Row {
        std::string path;
        const char* message;
    };
    const std::vector<Row> rows = {
        {contracts + "/Supplier.comments", "belongs to a document"},
        {contracts + "/Supplier.scheduler", "belongs to a document"},
        {contracts + "/Supplier.history", "belongs to a document"},
        {contracts + "/Supplier.attachments", "belongs to a document"},
        {contracts + "/folder.folders", "folder's settings"},
        {contracts + "/Attachments.systemfiles/other.txt", "attached to a document"},
        {contracts + "/Missing.contract", "does not exist"},
        {dataPoint + "/DataPoint.info", "no object type"},
    };
    for (const Row& row : rows) {
        const std::set<std::string> before = namesIn(contracts);
        const Status deleted = deleteDocument(*session, row.path);
        const Status moved = transferDocument(*session, row.path, archive + "/x.contract", TransferMode::Move);
        EXPECT_FALSE(deleted.ok()) << row.path;
        EXPECT_FALSE(moved.ok()) << row.path;
        EXPECT_NE(deleted.message().find(row.message), std::string::npos) << deleted.message();
        EXPECT_EQ(namesIn(contracts), before) << row.path;
        EXPECT_TRUE(namesIn(archive).empty()) << row.path;
    }
    EXPECT_EQ(namesIn(contracts + "/Attachments.systemfiles").size(), 4u);
}

} // namespace
} // namespace quill
