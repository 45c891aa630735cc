// What a page's link or posted form does: which file a command acts on,
// what reaches the desktop, what the window is left to ask, and the
// warning each refusal ends with.
#include "navigation/PageCommands.h"

#include "SessionTest.h"
#include "TestSupport.h"

#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using Kind = EmbeddedCommandKind;

class PageCommandsTest : public test::OpenSessionTest {
protected:
    void SetUp() override {
        OpenSessionTest::SetUp();
        document = dir / "Contracts/Offer.record";
        attachments = dir / "Contracts/Attachments.systemfiles";
        a1 = attachments + "/a1.pdf";
        test::writeBytes(attachments + "/a1.pdf", "price list");
        test::writeBytes(attachments + "/t1.doc", "template");
        test::writeBytes(dir / "secret.txt", "private");
        stdfs::create_symlink(dir / "secret.txt", attachments + "/link.pdf");
        listing = dir / "Listing";
        test::writeBytes(listing + "/report.txt", "listed");
        session->actual.mainPath = listing;
    }

    std::string document;
    std::string attachments;
    std::string a1;
    std::string listing;
};

PageCommandStep warned(int number, std::string detail = {}) {
    PageCommandStep step;
    step.step = PageStep::Warn;
    step.warning = number;
    step.detail = std::move(detail);
    return step;
}

PageCommandStep asking(PageStep kind, std::string file, std::string displayName, std::string printer = {}) {
    PageCommandStep step;
    step.step = kind;
    step.file = std::move(file);
    step.displayName = std::move(displayName);
    step.printer = std::move(printer);
    return step;
}

PageCommandStep wizard(Kind kind) {
    PageCommandStep step;
    step.step = PageStep::DataPointCommand;
    step.command = kind;
    return step;
}

TEST_F(PageCommandsTest, EachCommandActsOnItsFileOrTellsWhyNot) {
    shell.printer = "office";
    const std::string t1 = attachments + "/t1.doc";
    const std::string report = listing + "/report.txt";
    const PageCommandStep done;
    const struct {
        const char* why;
        std::string address;
        bool onDocument; // the page shows the document, else no document
        bool refusing;   // the desktop refuses requests
        PageCommandStep step;
        std::string opened; // empty: nothing
    } rows[] = {
        {"a listed file opens", "COMMAND:FILE:OPEN:report.txt", false, false, done, report},
        {"the desktop refuses a listed file", "COMMAND:FILE:OPEN:report.txt", false, true, warned(9, report), report},
        {"a listed file outside the listing", "COMMAND:FILE:OPEN:../secret.txt", false, false, warned(6), ""},
        {"a listed file that is not there", "COMMAND:FILE:OPEN:missing.txt", false, false, warned(6), ""},
        {"a listed file without a name", "COMMAND:FILE:OPEN:", false, false, warned(6), ""},
        {"an attached document opens", "COMMAND:ATTACHMENT:OPEN_ATTACHMENT_DOCUMENT:a1.pdf", true, false, done, a1},
        {"the desktop refuses an attached document", "command:attachment:open_attachment_document:a1.pdf", true, true,
         warned(9, a1), a1},
        {"an attachment asks where to save", "COMMAND:ATTACHMENT:SAVE_ATTACHMENT:a1.pdf;Price list", true, false,
         asking(PageStep::ChooseSaveTarget, a1, "Price list.pdf"), ""},
        {"an attachment asks to print on the default printer", "COMMAND:ATTACHMENT:PRINT_ATTACHMENT:a1.pdf;Price list",
         true, false, asking(PageStep::ConfirmPrint, a1, "Price list.pdf", "office"), ""},
        {"a template opens the template wizard", "COMMAND:ATTACHMENT:OPEN_ATTACHMENT_TEMPLATE:t1.doc", true, false,
         asking(PageStep::MakeFromTemplate, t1, ".doc"), ""},
        {"an attachment out of its directory", "COMMAND:ATTACHMENT:SAVE_ATTACHMENT:../../secret.txt;x", true, false,
         warned(6), ""},
        {"an attachment through a link", "COMMAND:ATTACHMENT:OPEN_ATTACHMENT_DOCUMENT:link.pdf", true, false, warned(6),
         ""},
        {"an attachment without a name", "COMMAND:ATTACHMENT:SAVE_ATTACHMENT:", true, false, warned(6), ""},
        {"an attachment on a page of no document", "COMMAND:ATTACHMENT:SAVE_ATTACHMENT:a1.pdf;x", false, false,
         warned(6), ""},
        {"creating a user is the window's wizard", "COMMAND:DATAPOINT:CREATE_NEW_USER", false, false,
         wizard(Kind::CreateUser), ""},
        {"deleting a user too", "COMMAND:DATAPOINT:DELETE_USER", false, false, wizard(Kind::DeleteUser), ""},
        {"and a new data point", "COMMAND:DATAPOINT:CREATE_NEW_DATAPOINT", true, false, wizard(Kind::CreateDataPoint),
         ""},
        {"an unknown command does nothing", "COMMAND:NO_SUCH:a1.pdf", true, false, done, ""},
        {"an address that is no command does nothing", "file:///etc/passwd", true, false, done, ""},
    };
    for (const auto& row : rows) {
        shell.opened.clear();
        shell.refusing = row.refusing;
        const PageCommandStep step =
            runPageCommand(*session, row.address, {}, row.onDocument ? document : "", Record());
        EXPECT_EQ(step, row.step) << row.why;
        EXPECT_EQ(shell.opened, row.opened.empty() ? std::vector<std::string>{} : std::vector{row.opened}) << row.why;
    }
    EXPECT_TRUE(shell.mailed.empty());
    EXPECT_TRUE(shell.printed.empty()) << "printing waits for the user's answer";
}

TEST_F(PageCommandsTest, AMailedAttachmentGoesAsACopyUnderItsDisplayName) {
    const std::string staging = path::join(session->temporaryDirectory(), "Attachments");
    const std::string mail = "COMMAND:ATTACHMENT:SEND_MAIL_ATTACHMENT:";
    const struct {
        const char* why;
        std::string address;
        bool refusing;
        PageCommandStep step;
        bool mailed; // as "Price list.pdf", a copy in the staging directory
    } rows[] = {
        {"mailed", mail + "a1.pdf;Price list", false, PageCommandStep{}, true},
        {"no mail program", mail + "a1.pdf;Price list", true, warned(9, "xdg-email"), true},
        {"a display name that is a path", mail + "a1.pdf;../../Escape", false, warned(9, a1), false},
        {"an attachment that is not there", mail + "gone.pdf;x", false, warned(6), false},
    };
    for (const auto& row : rows) {
        shell.mailed.clear();
        shell.refusing = row.refusing;
        EXPECT_EQ(runPageCommand(*session, row.address, {}, document, Record()), row.step) << row.why;
        const std::string copy = staging + "/Price list.pdf";
        EXPECT_EQ(shell.mailed, (row.mailed ? std::vector<std::pair<std::string, std::string>>{{"Price list.pdf", copy}}
                                            : std::vector<std::pair<std::string, std::string>>{}))
            << row.why;
        if (row.mailed) {
            EXPECT_EQ(test::readBytes(copy), "price list") << row.why;
        }
    }
    EXPECT_FALSE(stdfs::exists(path::join(staging, "../../Escape.pdf")));
}

TEST_F(PageCommandsTest, PrintingNeedsADefaultPrinterAndAnAcceptedJob) {
    const std::string address = "COMMAND:ATTACHMENT:PRINT_ATTACHMENT:a1.pdf;Price list";
    shell.printer = "";
    EXPECT_EQ(runPageCommand(*session, address, {}, document, Record()), warned(7)) << "no printer to ask about";

    const struct {
        bool refusing;
        PageCommandStep step;
    } rows[] = {{false, {}}, {true, warned(7)}};
    for (const auto& row : rows) {
        shell.printed.clear();
        shell.refusing = row.refusing;
        EXPECT_EQ(printAttachment(shell, a1, "office", "Price list.pdf"), row.step);
        EXPECT_EQ(shell.printed, (std::vector<std::pair<std::string, std::string>>{{a1, "office"}}));
    }
}

TEST_F(PageCommandsTest, ASavedCopyGoesWhereTheUserChose) {
    test::writeBytes(dir / "taken", "a file, not a directory");
    const struct {
        const char* why;
        std::string target;
        bool saved;
    } rows[] = {
        {"into an existing directory", dir / "Saved/Price list.pdf", true},
        {"directories on the way are made", dir / "New/Deeper/Price list.pdf", true},
        {"over an existing copy", dir / "Saved/Price list.pdf", true},
        {"below a file", dir / "taken/Price list.pdf", false},
    };
    for (const auto& row : rows) {
        const PageCommandStep step = saveAttachmentCopy(a1, row.target);
        if (row.saved) {
            EXPECT_EQ(step, PageCommandStep{}) << row.why;
            EXPECT_EQ(test::readBytes(row.target), "price list") << row.why;
        } else {
            EXPECT_EQ(step.step, PageStep::Warn) << row.why;
            EXPECT_EQ(step.warning, 9) << row.why;
            EXPECT_FALSE(step.detail.empty()) << row.why;
        }
    }
}

TEST_F(PageCommandsTest, APostedFormIsStoredOrWarnsWhyNot) {
    const struct {
        const char* why;
        bool recordShown;
        const char* body;
        PageStep step;
        int warning;
    } rows[] = {
        {"no record shown to store into", false, "NOTE=x&SAVE_DATA=Save", PageStep::Warn, 8},
        {"a button that stores nothing", true, "NOTE=x&OTHER=Go", PageStep::Warn, 8},
        {"stored into the record shown", true, "NOTE=x&SAVE_DATA=Save", PageStep::ShowAgain, 0},
    };
    for (const auto& row : rows) {
        Record shown;
        if (row.recordShown) {
            ASSERT_EQ(session->readRecord(session->context.userRecordFile, shown), RecordRead::Ok);
        }
        const PageCommandStep step = runPageCommand(*session, "COMMAND:SAVE", row.body, document, shown);
        EXPECT_EQ(step.step, row.step) << row.why;
        EXPECT_EQ(step.warning, row.warning) << row.why;
        EXPECT_EQ(step.detail.empty(), row.step != PageStep::Warn) << row.why;
    }
}

} // namespace
} // namespace quill
