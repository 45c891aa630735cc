#include "documents/Companions.h"

#include "SessionTest.h"

#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quill {
namespace {

using test::readBytes;
using test::writeBytes;

// Record lines, CR LF each; slots not given are empty.
std::string lines(const std::vector<std::string>& values, std::size_t count = 0) {
    std::string out;
    for (std::size_t i = 0; i < std::max(count, values.size()); ++i)
        out += (i < values.size() ? values[i] : std::string()) + "\r\n";
    return out;
}

class CompanionsTest : public test::OpenSessionTest {
protected:
    std::string root() const { return dataPoint + "/DataPoint.root"; }
    std::string kickoff() const { return root() + "/Projects/Website/Kickoff.meeting"; }
    std::string supplier() const { return root() + "/Contracts/Supplier.contract"; }

    std::vector<std::string> commentTexts(const std::string& document) {
        std::vector<Comment> comments;
        EXPECT_NE(readComments(*session, document, comments), RecordRead::Failed);
        std::vector<std::string> out;
        for (const Comment& c : comments)
            out.push_back(c.text);
        return out;
    }
};

TEST_F(CompanionsTest, CommentsAreReadInSlotOrderAndSavedWithoutGaps) {
    writeBytes(root() + "/Offer.contract", "");
    writeBytes(root() + "/Offer.note", "");
    writeBytes(root() + "/Offer.comments", lines({"", "second", "", "", "fifth"}, 20));
    const std::vector<std::string> read = commentTexts(root() + "/Offer.contract");
    EXPECT_EQ(read, (std::vector<std::string>{"second", "fifth"}));

    ASSERT_TRUE(writeComments(*session, root() + "/Offer.contract", read));
    EXPECT_EQ(readBytes(root() + "/Offer.comments"), lines({"second", "fifth"}, 20));
    // Offer.note differs only in its extension: the companion is the same.
    EXPECT_EQ(commentTexts(root() + "/Offer.note"), read);
}

TEST_F(CompanionsTest, EmptyListsDeleteTheCompanionAndCreateNone) {
    ASSERT_TRUE(writeComments(*session, kickoff(), {"", ""})) << "empty texts are no comments";
    ASSERT_TRUE(writeSchedule(*session, kickoff(), std::nullopt));
    ASSERT_TRUE(writeAttachments(*session, supplier(), {}));
    ASSERT_TRUE(writeAttachments(*session, kickoff(), {}));
    for (const auto& [document, kind] : {std::pair{kickoff(), Companion::Comments},
                                         {kickoff(), Companion::Schedule},
                                         {supplier(), Companion::Attachments},
                                         {kickoff(), Companion::Attachments}})
        EXPECT_FALSE(fs::exists(companionPath(document, kind))) << companionPath(document, kind);
    EXPECT_TRUE(fs::exists(companionPath(kickoff(), Companion::History))) << "not the editor's to delete";
}

TEST_F(CompanionsTest, ACompanionThatCannotBeReadIsNeverTakenForAnEmptyOne) {
    // Read as empty, the editor's next save would delete it.
    writeBytes(root() + "/Odd.note", "");
    std::filesystem::create_directories(root() + "/Odd.comments");
    std::vector<Comment> comments;
    EXPECT_EQ(readComments(*session, root() + "/Odd.note", comments), RecordRead::Failed);
    EXPECT_EQ(ui.messages.size(), 1u) << "the failure is shown";

    // Without the companion's object type its lines would be read and
    // written as the fields of another type.
    std::filesystem::remove(dataPoint + "/DataPoint.system/Objects/Private/comments.info");
    ASSERT_TRUE(open());
    const std::string before = readBytes(companionPath(kickoff(), Companion::Comments));
    EXPECT_EQ(readComments(*session, kickoff(), comments), RecordRead::Failed);
    const Status written = writeComments(*session, kickoff(), {"lost?"});
    EXPECT_NE(written.message().find("comments.info"), std::string::npos) << written.message();
    EXPECT_EQ(readBytes(companionPath(kickoff(), Companion::Comments)), before);
}

TEST_F(CompanionsTest, ListsACompanionCannotHoldAreRefusedWhole) {
    const std::string dir = root() + "/Contracts/Attachments.systemfiles/";
    const Attachment plain{"n", dir + "f", AttachmentType::Document, ""};
    const struct {
        std::vector<std::string> comments;
        std::vector<Attachment> attachments;
        const char* why;
    } rows[] = {
        {std::vector<std::string>(kMaxComments + 1, "x"), {}, "a 21st comment has no field"},
        {{"two\r\nlines"}, {}, "a line break would split the record"},
        {{}, std::vector<Attachment>(kMaxAttachments + 1, plain), "an 11th attachment has no slot"},
        {{}, {{"n", dir, AttachmentType::Document, ""}}, "a path without a file name"},
        {{}, {{"n", dir + "..", AttachmentType::Document, ""}}, "a parent step as the file name"},
    };
    const std::string comments = readBytes(companionPath(kickoff(), Companion::Comments));
    const std::string attachments = readBytes(companionPath(supplier(), Companion::Attachments));
    for (const auto& row : rows) {
        EXPECT_FALSE(row.comments.empty() ? writeAttachments(*session, supplier(), row.attachments)
                                          : writeComments(*session, kickoff(), row.comments))
            << row.why;
        EXPECT_EQ(readBytes(companionPath(kickoff(), Companion::Comments)), comments) << row.why;
        EXPECT_EQ(readBytes(companionPath(supplier(), Companion::Attachments)), attachments) << row.why;
    }
}

TEST_F(CompanionsTest, AttachmentSlotsNeedANameAndAPlainFileName) {
    writeBytes(root() + "/Offer.contract", "");
    std::vector<std::string> slots;
    for (const auto& slot : std::vector<std::vector<std::string>>{
             {"Lower", "a.txt", "attachment_document"},  // a document
             {"", "orphan.txt", "ATTACHMENT_DOCUMENT"},  // no name: dropped
             {"Empty type", "c.txt", ""},                // a template
             {"Escape", "../../DataPoint.info", ""},     // refused
             {"Sub", "sub/e.txt", ""},                   // refused
             {"Foreign", "x\\y.txt", ""},                // refused
             {"No file", "", ""},                        // refused
             {"Other", "h.bin", "ATTACHMENT_SOMETHING"}, // a template
         })
        slots.insert(slots.end(), slot.begin(), slot.end());
    writeBytes(root() + "/Offer.attachments", lines(slots));
    std::vector<Attachment> read;
    std::vector<RefusedAttachment> refused;
    ASSERT_EQ(readAttachments(*session, root() + "/Offer.contract", read, &refused), RecordRead::Ok);
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[0].path, root() + "/Attachments.systemfiles/a.txt");
    EXPECT_EQ(read[0].type, AttachmentType::Document);
    EXPECT_EQ(read[1].type, AttachmentType::Template);
    EXPECT_EQ(read[2].type, AttachmentType::Template);
    std::vector<int> refusedSlots;
    for (const RefusedAttachment& r : refused)
        refusedSlots.push_back(r.slot);
    EXPECT_EQ(refusedSlots, (std::vector<int>{4, 5, 6, 7}));

    // Renumbered, types normalised; a slot without a name would vanish
    // on reading and orphan its file, so it takes the file's name.
    read[1].name.clear();
    ASSERT_TRUE(writeAttachments(*session, root() + "/Offer.contract", read));
    EXPECT_EQ(readBytes(root() + "/Offer.attachments"),
              lines({"Lower", "a.txt", "ATTACHMENT_DOCUMENT", "c.txt", "c.txt", "ATTACHMENT_TEMPLATE", "Other", "h.bin",
                     "ATTACHMENT_TEMPLATE"},
                    30));
}

TEST_F(CompanionsTest, ScheduleIsStoredWithItsEventAsAnIndex) {
    Schedule schedule;
    ASSERT_EQ(readSchedule(*session, kickoff(), schedule), RecordRead::Ok);
    EXPECT_EQ(schedule.owner + "|" + schedule.date + "|" + schedule.event, "Anna Novak (ANNA)|14.1.2027|3");
    const std::string offer = root() + "/Offer.contract";
    writeBytes(offer, "");
    EXPECT_EQ(readSchedule(*session, offer, schedule), RecordRead::Missing);

    // A first schedule that fails leaves no empty companion behind, which
    // would mark the document as scheduled with no owner and no date.
    ASSERT_FALSE(writeSchedule(*session, offer, Schedule{"two\nlines", "", "", "", "0"}));
    EXPECT_FALSE(fs::exists(companionPath(offer, Companion::Schedule)));

    for (const auto& [event, stored] : {std::pair{"+4", "4"}, {"-1", "0"}, {"15 minutes", "0"}}) {
        ASSERT_TRUE(writeSchedule(*session, offer, Schedule{"A (A)", "", "9.12.2026", "9:05:00", event}));
        EXPECT_EQ(readBytes(companionPath(offer, Companion::Schedule)),
                  lines({"A (A)", "", "9.12.2026", "9:05:00", stored}))
            << event;
    }
    EXPECT_EQ(eventIndexText({"None", "5 minutes", "15 Minutes"}, "15 MINUTES"), "2");
    EXPECT_EQ(eventIndexText({"None", "5 minutes"}, "a week"), "0");
}

} // namespace
} // namespace quill
