// quill-cli's readers of a document's companions, as scripts use them.
#include "CliTest.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

using test::shellWord;
using test::writeBytes;

class DocumentCommandsTest : public test::CliTest {
protected:
    std::string run(const std::string& command, const std::string& document, int* status, std::string* errors) {
        return CliTest::run(command, shellWord(document), status, errors);
    }
};

TEST_F(DocumentCommandsTest, EachCommandPrintsItsCompanionLineByLine) {
    const std::string kickoff = root + "/Projects/Website/Kickoff.meeting";
    const std::string offer = root + "/Offer.contract";
    writeBytes(offer, "");
    writeBytes(root + "/Offer.attachments",
               "Passwords\r\n../../DataPoint.system/Users/ANNA.user\r\n\r\nScan\r\nscan.pdf\r\nattachment_document\r\n"
               "Form\r\nform.txt\r\n\r\n");
    const struct {
        const char* command;
        std::string document;
        std::string expected;
        const char* warning;
    } rows[] = {
        {"comments", kickoff,
         "Please bring the visitor statistics of the last year.\nRoom 2 is booked, the projector is there.\n"
         "Jan Novak from the agency joins at 10:30.\n",
         ""},
        {"schedule", kickoff,
         "OWNER\tAnna Novak (ANNA)\nTEAM\tSystem Administrator (ADMINISTRATOR); Anna Novak (ANNA); \n"
         "DATE\t14.1.2027\nTIME\t10:00:00\nEVENT\t3\n",
         ""},
        {"attachments", offer,
         "Scan\t" + root + "/Attachments.systemfiles/scan.pdf\tATTACHMENT_DOCUMENT\nForm\t" + root +
             "/Attachments.systemfiles/form.txt\tATTACHMENT_TEMPLATE\n",
         "attachment 1 (Passwords)"},
        // Without its companion there is nothing to print, and that is no error.
        {"comments", offer, "", ""},
        {"schedule", offer, "", ""},
    };
    for (const auto& row : rows) {
        int status = -1;
        std::string errors;
        EXPECT_EQ(run(row.command, row.document, &status, &errors), row.expected) << row.command;
        EXPECT_EQ(status, 0) << row.command;
        EXPECT_NE(errors.find(row.warning), std::string::npos) << errors;
    }
}

TEST_F(DocumentCommandsTest, FailuresGoToStandardErrorWithStatusOne) {
    writeBytes(root + "/Odd.note", "");
    writeBytes(root + "/Odd.scheduler/inside", "");
    const struct {
        std::string document;
        const char* error;
    } rows[] = {
        {root + "/Nothing.note", "no such document"},
        // A companion that cannot be read is an error, not an empty list.
        {root + "/Odd.note", "cannot read the schedule"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(expectRefused("schedule", shellWord(row.document), row.error), "");
}

} // namespace
} // namespace quill
