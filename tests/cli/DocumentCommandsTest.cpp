// quill-cli's readers of a document's companions, as scripts use them.
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

using test::runCli;
using test::shellWord;
using test::writeBytes;

class DocumentCommandsTest : public ::testing::Test {
protected:
    test::IsolatedHome home;
    test::TempDir dir;
    std::string dataPoint = test::copySampleDataPoint(dir);
    std::string root = dataPoint + "/DataPoint.root";

    std::string run(const std::string& command, const std::string& document, int* status = nullptr,
                    std::string* errors = nullptr) {
        return runCli(command + " --datapoint " + shellWord(dataPoint) + " --user ANNA " + shellWord(document), status,
                      errors);
    }
};

TEST_F(DocumentCommandsTest, EachCommandPrintsItsCompanionLineByLine) {
    const std::string kickoff = root + "/Projects/Website/Kickoff.meeting";
    const std::string supplier = root + "/Contracts/Supplier.contract";
    const struct {
        const char* command;
        std::string document;
        std::string expected;
    } rows[] = {
        {"comments", kickoff,
         "Please bring the visitor statistics of the last year.\nRoom 2 is booked, the projector is there.\n"
         "Jan Novak from the agency joins at 10:30.\n"},
        {"schedule", kickoff,
         "OWNER\tAnna Novak (ANNA)\nTEAM\tSystem Administrator (ADMINISTRATOR); Anna Novak (ANNA); \n"
         "DATE\t14.1.2027\nTIME\t10:00:00\nEVENT\t3\n"},
        {"attachments", supplier,
         "Delivery terms\t" + root +
             "/Contracts/Attachments.systemfiles/Delivery terms417.DT20.11.20263381.TD.txt\tATTACHMENT_DOCUMENT\n"},
        // Without a companion there is nothing to print, and that is no error.
        {"comments", supplier, ""},
        {"schedule", supplier, ""},
        {"attachments", kickoff, ""},
    };
    for (const auto& row : rows) {
        int status = -1;
        EXPECT_EQ(run(row.command, row.document, &status), row.expected) << row.command << " " << row.document;
        EXPECT_EQ(status, 0) << row.command;
    }
}

TEST_F(DocumentCommandsTest, UnsafeSlotsAreLeftOutWithAWarning) {
    const std::string doc = root + "/Contracts/Supplier.contract";
    writeBytes(
        root + "/Contracts/Supplier.attachments",
        "Passwords\r\n../../DataPoint.system/Users/ANNA.user\r\n\r\nScan\r\nscan.pdf\r\nattachment_document\r\n");
    int status = -1;
    std::string errors;
    EXPECT_EQ(run("attachments", doc, &status, &errors),
              "Scan\t" + root + "/Contracts/Attachments.systemfiles/scan.pdf\tATTACHMENT_DOCUMENT\n");
    EXPECT_EQ(status, 0);
    EXPECT_NE(errors.find("attachment 1 (Passwords)"), std::string::npos) << errors;
}

TEST_F(DocumentCommandsTest, FailuresGoToStandardErrorWithStatusOne) {
    int status = -1;
    std::string errors;
    EXPECT_EQ(run("comments", root + "/Nothing.note", &status, &errors), "");
    EXPECT_EQ(status, 1);
    EXPECT_NE(errors.find("no such document"), std::string::npos) << errors;

    // A companion that cannot be read is an error, not an empty list.
    writeBytes(root + "/Odd.note", "");
    writeBytes(root + "/Odd.scheduler/inside", "");
    EXPECT_EQ(run("schedule", root + "/Odd.note", &status, &errors), "");
    EXPECT_EQ(status, 1);
    EXPECT_NE(errors.find("cannot read the schedule"), std::string::npos) << errors;
}

} // namespace
} // namespace quill
