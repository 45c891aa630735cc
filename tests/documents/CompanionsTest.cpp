#include "documents/Companions.h"

#include "SessionFixture.h"

#include "core/FileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quill {
namespace {

using test::readBytes;
using test::writeBytes;

// n record lines, CR LF each.
std::string lines(const std::vector<std::string>& values) {
    std::string out;
    for (const std::string& v : values)
        out += v + "\r\n";
    return out;
}

std::vector<std::string> texts(const std::vector<Comment>& comments) {
    std::vector<std::string> out;
    for (const Comment& c : comments)
        out.push_back(c.text);
    return out;
}

class CompanionsTest : public ::testing::Test, protected test::SessionFixture {
protected:
    void SetUp() override { ASSERT_TRUE(open()); }
    std::string root() const { return dataPoint + "/DataPoint.root"; }
    std::string kickoff() const { return root() + "/Projects/Website/Kickoff.meeting"; }
    std::string supplier() const { return root() + "/Contracts/Supplier.contract"; }
};

TEST(CompanionNamesTest, TheDocumentsExtensionIsReplacedNotExtended) {
    const struct {
        const char* document;
        Companion kind;
        const char* expected;
    } rows[] = {
        {"/d/Offer.contract", Companion::Comments, "/d/Offer.comments"},
        {"/d/Offer.contract", Companion::Schedule, "/d/Offer.scheduler"},
        {"/d/Offer", Companion::Attachments, "/d/Offer.attachments"},              // no extension to replace
        {"/d/v1.2/Offer.tar.gz", Companion::History, "/d/v1.2/Offer.tar.history"}, // only the last one
    };
    for (const auto& row : rows)
        EXPECT_EQ(companionPath(row.document, row.kind), row.expected) << row.document;
    EXPECT_EQ(attachmentDirectory("/d/v1.2/Offer.tar.gz"), "/d/v1.2/Attachments.systemfiles");
}

TEST_F(CompanionsTest, CommentsAreReadInSlotOrderAndSavedWithoutGaps) {
    const std::string doc = root() + "/Offer.contract";
    writeBytes(doc, "");
    std::vector<std::string> slots(20);
    slots[1] = "second slot";
    slots[4] = "fifth slot";
    writeBytes(root() + "/Offer.comments", lines(slots));

    std::vector<Comment> comments;
    ASSERT_EQ(readComments(*session, doc, comments), RecordRead::Ok);
    EXPECT_EQ(texts(comments), (std::vector<std::string>{"second slot", "fifth slot"}));
    EXPECT_EQ(comments[0].note, "Comment") << "the label is the field's description";

    ASSERT_TRUE(writeComments(*session, doc, texts(comments)));
    std::vector<std::string> expected(20);
    expected[0] = "second slot";
    expected[1] = "fifth slot";
    EXPECT_EQ(readBytes(root() + "/Offer.comments"), lines(expected));

    // Documents that differ only in their extension share the companion.
    writeBytes(root() + "/Offer.note", "");
    ASSERT_EQ(readComments(*session, root() + "/Offer.note", comments), RecordRead::Ok);
    EXPECT_EQ(texts(comments), (std::vector<std::string>{"second slot", "fifth slot"}));
}

TEST_F(CompanionsTest, EmptyListsDeleteTheCompanionAndCreateNone) {
    ASSERT_TRUE(writeComments(*session, kickoff(), {}));
    ASSERT_TRUE(writeSchedule(*session, kickoff(), std::nullopt));
    ASSERT_TRUE(writeAttachments(*session, supplier(), {}));
    EXPECT_FALSE(fs::exists(companionPath(kickoff(), Companion::Comments)));
    EXPECT_FALSE(fs::exists(companionPath(kickoff(), Companion::Schedule)));
    EXPECT_FALSE(fs::exists(companionPath(supplier(), Companion::Attachments)));
    // The history is not the editor's to delete.
    EXPECT_TRUE(fs::exists(companionPath(kickoff(), Companion::History)));

    const std::string note = root() + "/Projects/Ideas.note";
    ASSERT_TRUE(writeComments(*session, note, {"", ""})) << "empty texts are no comments";
    EXPECT_FALSE(fs::exists(companionPath(note, Companion::Comments)));
    std::vector<Comment> comments;
    EXPECT_EQ(readComments(*session, note, comments), RecordRead::Missing);
}

TEST_F(CompanionsTest, ACompanionThatCannotBeReadIsNeverTakenForAnEmptyOne) {
    // Read as empty, the editor's next save would delete it.
    const std::string doc = root() + "/Odd.note";
    writeBytes(doc, "");
    std::filesystem::create_directories(root() + "/Odd.comments");
    std::vector<Comment> comments;
    EXPECT_EQ(readComments(*session, doc, comments), RecordRead::Failed);
    EXPECT_EQ(ui.messages.size(), 1u) << "the failure is shown";
    EXPECT_FALSE(writeComments(*session, doc, {"new"}));
}

TEST_F(CompanionsTest, WithoutItsObjectTypeACompanionIsNeitherReadNorWritten) {
    std::filesystem::remove(dataPoint + "/DataPoint.system/Objects/Private/comments.info");
    ASSERT_TRUE(open());
    const std::string before = readBytes(companionPath(kickoff(), Companion::Comments));
    std::vector<Comment> comments;
    EXPECT_EQ(readComments(*session, kickoff(), comments), RecordRead::Failed);
    const Status written = writeComments(*session, kickoff(), {"lost?"});
    EXPECT_FALSE(written);
    EXPECT_NE(written.message().find("comments.info"), std::string::npos) << written.message();
    EXPECT_EQ(readBytes(companionPath(kickoff(), Companion::Comments)), before);
}

TEST_F(CompanionsTest, CommentListsTheCompanionCannotHoldAreRefusedWhole) {
    const std::string path = companionPath(kickoff(), Companion::Comments);
    const std::string before = readBytes(path);
    const struct {
        std::vector<std::string> comments;
        const char* why;
    } rows[] = {
        {std::vector<std::string>(kMaxComments + 1, "x"), "a 21st comment has no field"},
        {{"fine", "two\r\nlines"}, "a line break would split the record"},
    };
    for (const auto& row : rows) {
        EXPECT_FALSE(writeComments(*session, kickoff(), row.comments)) << row.why;
        EXPECT_EQ(readBytes(path), before) << row.why;
    }
}

TEST_F(CompanionsTest, AttachmentSlotsNeedANameAndAPlainFileName) {
    const std::string doc = root() + "/Offer.contract";
    writeBytes(doc, "");
    writeBytes(root() + "/Offer.attachments", lines({
                                                  "Lower",
                                                  "a.txt",
                                                  "attachment_document", // document
                                                  "",
                                                  "orphan.txt",
                                                  "ATTACHMENT_DOCUMENT", // no name
                                                  "Empty type",
                                                  "c.txt",
                                                  "", // template
                                                  "Escape",
                                                  "../../DataPoint.info",
                                                  "", // refused
                                                  "Sub",
                                                  "sub/e.txt",
                                                  "", // refused
                                                  "Foreign",
                                                  "x\\y.txt",
                                                  "", // refused
                                                  "No file",
                                                  "",
                                                  "", // refused
                                                  "Other",
                                                  "h.bin",
                                                  "ATTACHMENT_SOMETHING", // template
                                              }));
    std::vector<Attachment> attachments;
    std::vector<RefusedAttachment> refused;
    ASSERT_EQ(readAttachments(*session, doc, attachments, &refused), RecordRead::Ok);
    const std::string dir = root() + "/Attachments.systemfiles/";
    ASSERT_EQ(attachments.size(), 3u);
    EXPECT_EQ(attachments[0].path, dir + "a.txt");
    EXPECT_EQ(attachments[0].type, AttachmentType::Document);
    EXPECT_EQ(attachments[1].path, dir + "c.txt");
    EXPECT_EQ(attachments[1].type, AttachmentType::Template);
    EXPECT_EQ(attachments[2].name, "Other");
    EXPECT_EQ(attachments[2].type, AttachmentType::Template);
    std::vector<int> refusedSlots;
    for (const RefusedAttachment& r : refused)
        refusedSlots.push_back(r.slot);
    EXPECT_EQ(refusedSlots, (std::vector<int>{4, 5, 6, 7}));

    ASSERT_TRUE(writeAttachments(*session, doc, attachments));
    std::vector<std::string> expected(30);
    const std::vector<std::string> kept = {"Lower",      "a.txt", "ATTACHMENT_DOCUMENT",
                                           "Empty type", "c.txt", "ATTACHMENT_TEMPLATE",
                                           "Other",      "h.bin", "ATTACHMENT_TEMPLATE"};
    std::copy(kept.begin(), kept.end(), expected.begin());
    EXPECT_EQ(readBytes(root() + "/Offer.attachments"), lines(expected));
}

TEST_F(CompanionsTest, AttachmentListsThatCannotBeReadBackAreRefused) {
    const std::string path = companionPath(supplier(), Companion::Attachments);
    const std::string before = readBytes(path);
    const std::string dir = root() + "/Contracts/Attachments.systemfiles/";
    const struct {
        std::vector<Attachment> attachments;
        const char* why;
    } rows[] = {
        {std::vector<Attachment>(kMaxAttachments + 1, {"n", dir + "f", AttachmentType::Document, ""}), "11 slots"},
        {{{"n", dir, AttachmentType::Document, ""}}, "a path without a file name"},
        {{{"n", dir + "..", AttachmentType::Document, ""}}, "a parent step as the name"},
        {{{"two\nlines", dir + "f", AttachmentType::Document, ""}}, "a name with a line break"},
    };
    for (const auto& row : rows) {
        EXPECT_FALSE(writeAttachments(*session, supplier(), row.attachments)) << row.why;
        EXPECT_EQ(readBytes(path), before) << row.why;
    }

    // A slot without a name would vanish on reading and orphan its file.
    ASSERT_TRUE(writeAttachments(*session, supplier(), {{"", dir + "scan.pdf", AttachmentType::Document, ""}}));
    std::vector<Attachment> read;
    ASSERT_EQ(readAttachments(*session, supplier(), read), RecordRead::Ok);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].name, "scan.pdf");
}

TEST_F(CompanionsTest, ScheduleIsWrittenWithItsEventAsAnIndex) {
    Schedule schedule;
    ASSERT_EQ(readSchedule(*session, kickoff(), schedule), RecordRead::Ok);
    EXPECT_EQ(schedule.owner, "Anna Novak (ANNA)");
    EXPECT_EQ(schedule.date, "14.1.2027");
    EXPECT_EQ(schedule.event, "3");
    EXPECT_EQ(readSchedule(*session, supplier(), schedule), RecordRead::Missing);

    const struct {
        const char* event;
        const char* stored;
    } rows[] = {{"2", "2"}, {"+4", "4"}, {"-1", "0"}, {"15 minutes", "0"}, {"", "0"}};
    for (const auto& row : rows) {
        ASSERT_TRUE(writeSchedule(*session, supplier(), Schedule{"A (A)", "", "9.12.2026", "9:05:00", row.event}));
        EXPECT_EQ(readBytes(companionPath(supplier(), Companion::Schedule)),
                  lines({"A (A)", "", "9.12.2026", "9:05:00", row.stored}))
            << row.event;
    }

    const std::vector<std::string> events = {"No reminder", "5 minutes", "15 Minutes"};
    EXPECT_EQ(eventIndexText(events, "15 MINUTES"), "2");
    EXPECT_EQ(eventIndexText(events, "a week"), "0");
}

TEST_F(CompanionsTest, AFailedFirstScheduleLeavesTheDocumentUnscheduled) {
    // An empty schedule companion left behind would mark the document as
    // scheduled with no owner and no date.
    ASSERT_FALSE(writeSchedule(*session, supplier(), Schedule{"two\nlines", "", "", "", "0"}));
    EXPECT_FALSE(fs::exists(companionPath(supplier(), Companion::Schedule)));
}

TEST_F(CompanionsTest, CompanionsAreFoundInAnyCase) {
    std::filesystem::rename(companionPath(kickoff(), Companion::Schedule),
                            root() + "/Projects/Website/KICKOFF.SCHEDULER");
    Schedule schedule;
    ASSERT_EQ(readSchedule(*session, kickoff(), schedule), RecordRead::Ok);
    ASSERT_TRUE(writeSchedule(*session, kickoff(), schedule));
    EXPECT_EQ(test::readBytes(root() + "/Projects/Website/KICKOFF.SCHEDULER").substr(0, 17), "Anna Novak (ANNA)");
    EXPECT_FALSE(std::filesystem::exists(companionPath(kickoff(), Companion::Schedule))) << "no second companion";
}

} // namespace
} // namespace quill
