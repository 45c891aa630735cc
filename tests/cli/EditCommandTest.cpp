// quill-cli edit: a document changed and saved as the editor saves it, and
// every refused change leaving the folder exactly as it was.
#include "CliTest.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using test::readBytes;
using test::shellWord;

class EditCommandTest : public test::CliTest {
protected:
    std::string folder = dataPoint + "/DataPoint.root/Contracts";
    std::string contract = folder + "/Supplier.contract";

    int edit(const std::string& changes) { return statusOf("edit", shellWord(contract) + " " + changes); }
};

TEST_F(EditCommandTest, ChangesAreSavedInOnePassWithTheirHistory) {
    const std::string quote = dir / "Quote.txt";
    test::writeBytes(quote, "12 boxes of paper");
    ASSERT_EQ(edit("--set SIGNED=No --set AMOUNT=5100 --comment 'Checked twice' --remove-comment 1 "
                   "--attach " +
                   shellWord(quote + "=Quote 2027") +
                   " --remove-attachment 1 "
                   "--schedule 3.2.2027 10:30 '1 day before'"),
              0);
    const std::string record = readBytes(contract);
    EXPECT_NE(record.find("VALUE_NO"), std::string::npos);
    EXPECT_NE(record.find("5100"), std::string::npos);
    const std::string comments = readBytes(folder + "/Supplier.comments");
    EXPECT_NE(comments.find("Checked twice"), std::string::npos);
    EXPECT_EQ(comments.find("Prices are fixed"), std::string::npos);
    const std::string attachments = readBytes(folder + "/Supplier.attachments");
    EXPECT_NE(attachments.find("Quote 2027"), std::string::npos);
    EXPECT_EQ(attachments.find("Delivery terms"), std::string::npos);
    EXPECT_FALSE(stdfs::exists(folder + "/Attachments.systemfiles/Delivery terms417.DT20.11.20263381.TD.txt"));
    EXPECT_TRUE(stdfs::exists(quote)) << "attaching copies; the user's file stays";
    const std::string schedule = readBytes(folder + "/Supplier.scheduler");
    EXPECT_NE(schedule.find("3.2.2027"), std::string::npos);
    EXPECT_NE(schedule.find("10:30:00"), std::string::npos);
    const std::string history = readBytes(folder + "/Supplier.history");
    for (const char* group : {".0.EDITHISTORY", ".10.EDITHISTORY", ".20.EDITHISTORY", ".30.EDITHISTORY"})
        EXPECT_NE(history.find(group), std::string::npos) << group;

    ASSERT_EQ(edit("--unschedule"), 0);
    EXPECT_FALSE(stdfs::exists(folder + "/Supplier.scheduler"));
}

TEST_F(EditCommandTest, ARefusedChangeLeavesTheFolderAsItWas) {
    std::string eightFiles;
    for (int i = 0; i < 8; ++i) {
        const std::string file = dir / ("Extra" + std::to_string(i) + ".txt");
        test::writeBytes(file, "x");
        eightFiles += " --attach " + shellWord(file);
    }
    const struct {
        std::string changes;
        const char* said;
    } refused[] = {
        {"--set NOSUCHFIELD=1", "no field NOSUCHFIELD"},
        {"--set SIGNED=Perhaps", "not \"Perhaps\""},
        {"--set SIGNED_ON=31.2.2027", "a date"},
        {"--set AMOUNT=lots", "whole number"},
        {"--comment Fine --attach " + shellWord(dir / "Missing.pdf"), "no file"},
        {"--comment Fine" + eightFiles, "at most 10 attachments"},
        {"--remove-comment 9", "no comment 9"},
        {"--schedule 3.2.2027 10:30 'Whenever'", "no reminder"},
        {"--schedule 3.2.2027", "needs a value"},
    };
    const auto before = test::snapshotOf(folder);
    for (const auto& row : refused) {
        expectRefused("edit", shellWord(contract) + " " + row.changes, row.said);
        EXPECT_EQ(test::snapshotOf(folder), before) << row.changes;
    }
}

} // namespace
} // namespace quill
