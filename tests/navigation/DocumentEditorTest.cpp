// The object editor's model: what it shows for stored and empty values,
// what its save writes, and that neither a cancelled edit nor a document
// changed by someone else meanwhile loses anything.
#include "navigation/DocumentCommands.h"
#include "navigation/DocumentEditor.h"

#include "SessionTest.h"

#include "session/Logon.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using test::readBytes;

class DocumentEditorTest : public test::LoggedOnTest {
protected:
    std::string newDocument(const std::string& folder, const char* extension) {
        std::string created;
        EXPECT_TRUE(createObject(*session, root + folder, session->tables.objectTypeOf(extension), created));
        return created;
    }
    static std::string valueOf(const DocumentEditor& editor, EditorBranch branch, std::string_view key) {
        for (const EditorRow& row : editor.rows(branch)) {
            if (row.field == key || propertyKindName(row.kind) == key)
                return row.value;
        }
        return "<none>";
    }
    // The administrator edits the contract with quill-cli, as another user
    // in another process would.
    void theirEdit(const std::string& options) {
        int status = -1;
        test::runCli("edit --datapoint " + test::shellWord(dataPoint) + " --user ADMINISTRATOR " +
                         test::shellWord(contract) + " " + options,
                     &status);
        ASSERT_EQ(status, 0) << options;
    }
    std::string root = dataPoint + "/DataPoint.root/";
    std::string contract = root + "Contracts/Supplier.contract";
};

TEST_F(DocumentEditorTest, ShownDefaultsAndYesNoTextsAreSavedAsTheirStoredValues) {
    const std::string meeting = newDocument("Meetings", "x.meeting");
    DocumentEditor editor(*session);
    ASSERT_TRUE(editor.open(meeting));
    const struct {
        const char* field;
        const char* shown;
        const char* stored;
    } defaults[] = {
        {"OWNER", "Anna Novak (ANNA)", "Anna Novak (ANNA)"},
        {"DATE", "8.12.2026", "8.12.2026"},
        {"TIME", "9:05:07", "9:05:07"},
        {"ICON", "MEETING.BMP", "MEETING.BMP"},
    };
    for (const auto& row : defaults)
        EXPECT_EQ(valueOf(editor, EditorBranch::Properties, row.field), row.shown) << row.field;
    // A document without a name is called after its first attachment.
    const std::string agenda = dir / "Agenda.txt";
    test::writeBytes(agenda, "1. Budget");
    ASSERT_TRUE(editor.attachFile(agenda, "Agenda 2027", AttachmentType::Document));
    EXPECT_EQ(valueOf(editor, EditorBranch::Properties, "NAME"), "Agenda 2027");
    ASSERT_TRUE(editor.save());
    const std::string stored = readBytes(meeting);
    for (const auto& row : defaults)
        EXPECT_NE(stored.find(row.stored), std::string::npos) << row.field;
    EXPECT_EQ(stored.rfind("Agenda 2027", 0), 0u);

    // Yes and no are shown in the language and stored as their keys.
    ASSERT_TRUE(editor.open(contract));
    EXPECT_EQ(valueOf(editor, EditorBranch::Properties, "SIGNED"), "Yes");
    ASSERT_TRUE(editor.setProperty("signed", "no"));
    EXPECT_EQ(valueOf(editor, EditorBranch::Properties, "SIGNED"), "No");
    ASSERT_TRUE(editor.save());
    EXPECT_NE(readBytes(contract).find("VALUE_NO"), std::string::npos);
}

TEST_F(DocumentEditorTest, OnlyAChangeOfTheUsersCountsAsUnsaved) {
    // The editor asks before closing on these alone: a flag that stayed
    // set after an edit was undone, or missed one branch, would ask too
    // often or lose work.
    const std::string agenda = dir / "Agenda.txt";
    test::writeBytes(agenda, "1. Budget");
    const struct {
        const char* what;
        std::function<void(DocumentEditor&)> change;
        bool unsaved;
    } rows[] = {
        {"nothing", [](DocumentEditor&) {}, false},
        {"a property", [](DocumentEditor& e) { ASSERT_TRUE(e.setProperty("NAME", "Other supplier")); }, true},
        {"a property set to what it was",
         [](DocumentEditor& e) {
             const std::string was = e.rows(EditorBranch::Properties)[0].value;
             ASSERT_TRUE(e.setValue(EditorBranch::Properties, 0, "changed"));
             ASSERT_TRUE(e.setValue(EditorBranch::Properties, 0, was));
         },
         false},
        {"a comment added", [](DocumentEditor& e) { ASSERT_TRUE(e.addComment("Checked")); }, true},
        {"a comment removed", [](DocumentEditor& e) { ASSERT_TRUE(e.removeComment(0)); }, true},
        {"an attachment added",
         [&agenda](DocumentEditor& e) { ASSERT_TRUE(e.attachFile(agenda, "Agenda", AttachmentType::Document)); }, true},
        {"an attachment renamed",
         [](DocumentEditor& e) { ASSERT_TRUE(e.changeAttachment(0, "Renamed", AttachmentType::Document)); }, true},
        {"the schedule turned over", [](DocumentEditor& e) { e.setScheduled(!e.scheduled()); }, true},
        {"the schedule turned over and back",
         [](DocumentEditor& e) {
             e.setScheduled(!e.scheduled());
             e.setScheduled(!e.scheduled());
         },
         false},
    };
    for (const auto& row : rows) {
        DocumentEditor editor(*session);
        ASSERT_TRUE(editor.open(contract));
        ASSERT_FALSE(editor.rows(EditorBranch::Comments).empty());
        ASSERT_FALSE(editor.rows(EditorBranch::Attachments).empty());
        EXPECT_FALSE(editor.hasUnsavedChanges()) << "just opened";
        row.change(editor);
        EXPECT_EQ(editor.hasUnsavedChanges(), row.unsaved) << row.what;
    }
}

TEST_F(DocumentEditorTest, TheScheduleCompanionFollowsTheBranchAtSave) {
    const std::string note = root + "Projects/Ideas.note";
    const std::string noteSchedule = root + "Projects/Ideas.scheduler";
    DocumentEditor editor(*session);

    // Switched on and off again before saving: no companion.
    ASSERT_TRUE(editor.open(note));
    editor.setScheduled(true);
    EXPECT_EQ(valueOf(editor, EditorBranch::Schedule, "DATE"), "9.12.2026") << "tomorrow";
    EXPECT_EQ(valueOf(editor, EditorBranch::Schedule, "EVENT"), "No reminder");
    editor.setScheduled(false);
    ASSERT_TRUE(editor.save());
    EXPECT_FALSE(stdfs::exists(noteSchedule));

    // A typed event that is no event's name is stored as the first one.
    ASSERT_TRUE(editor.open(note));
    editor.setScheduled(true);
    ASSERT_TRUE(editor.setValue(EditorBranch::Schedule, 4, "Whenever it suits"));
    ASSERT_TRUE(editor.save());
    EXPECT_NE(readBytes(noteSchedule).find("\r\n0\r\n"), std::string::npos) << readBytes(noteSchedule);

    // Switched off on a scheduled document: the save deletes the companion.
    ASSERT_TRUE(editor.open(contract));
    ASSERT_TRUE(editor.scheduled());
    EXPECT_EQ(valueOf(editor, EditorBranch::Schedule, "DATE"), "1.12.2027");
    editor.setScheduled(false);
    ASSERT_TRUE(editor.save());
    EXPECT_FALSE(stdfs::exists(root + "Contracts/Supplier.scheduler"));
}

TEST_F(DocumentEditorTest, AFileMovedInLeavesItsPlaceOnlyWhenTheSaveHasItsCopy) {
    const std::string chosen = dir / "Offer.pdf";
    test::writeBytes(chosen, "%PDF offer");
    DocumentEditor editor(*session);

    // The editor is closed without saving: the user's file stays.
    ASSERT_TRUE(editor.open(contract));
    ASSERT_TRUE(editor.attachFile(chosen, "Offer", AttachmentType::Document, true));
    ASSERT_TRUE(editor.open(contract));
    EXPECT_EQ(readBytes(chosen), "%PDF offer");

    ASSERT_TRUE(editor.attachFile(chosen, "Offer", AttachmentType::Document, true));
    const std::string staged = editor.rows(EditorBranch::Attachments).back().path;
    ASSERT_TRUE(editor.save());
    EXPECT_FALSE(stdfs::exists(chosen));
    EXPECT_EQ(readBytes(root + "Contracts/Attachments.systemfiles/" + stdfs::path(staged).filename().string()),
              "%PDF offer");
}

TEST_F(DocumentEditorTest, ASaveNoticesAnotherSaveMeanwhileAndLosesNeitherVersion) {
    DocumentEditor mine(*session);
    ASSERT_TRUE(mine.open(contract));
    // Another user saves the same document from another process meanwhile.
    ASSERT_NO_FATAL_FAILURE(theirEdit("--set 'PARTNER=Their partner'"));

    ASSERT_TRUE(mine.setProperty("PARTNER", "My partner"));
    std::vector<ForeignChange> changes;
    EXPECT_FALSE(mine.save(ConflictChoice::Ask, &changes));
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].path, contract);
    EXPECT_EQ(changes[0].who, "System Administrator (ADMINISTRATOR)");
    EXPECT_NE(readBytes(contract).find("Their partner"), std::string::npos);

    std::string copy;
    ASSERT_TRUE(mine.save(ConflictChoice::SaveAsCopy, nullptr, &copy));
    EXPECT_NE(copy, contract);
    EXPECT_NE(readBytes(copy).find("My partner"), std::string::npos);
    EXPECT_NE(readBytes(contract).find("Their partner"), std::string::npos);

    // Overwriting keeps the version it replaces in the trash.
    ASSERT_TRUE(mine.save(ConflictChoice::Overwrite));
    EXPECT_NE(readBytes(contract).find("My partner"), std::string::npos);
    const std::string kept = trashDirectory(*session) + "/Supplier.contract";
    EXPECT_NE(readBytes(kept).find("Their partner"), std::string::npos);
}

TEST_F(DocumentEditorTest, AMergingSaveKeepsBothSidesAndAsksOnlyAboutWhatCollides) {
    // Different fields and a comment each: merged without a question.
    DocumentEditor mine(*session);
    ASSERT_TRUE(mine.open(contract));
    theirEdit("--set 'PARTNER=Their partner' --comment 'their note'");
    ASSERT_TRUE(mine.setProperty("NAME", "My name"));
    ASSERT_TRUE(mine.addComment("my note"));
    ASSERT_TRUE(mine.save(ConflictChoice::Merge));
    EXPECT_NE(mine.mergeReport().find("System Administrator (ADMINISTRATOR)'s change"), std::string::npos)
        << mine.mergeReport();
    EXPECT_NE(mine.mergeReport().find("1 comment"), std::string::npos) << mine.mergeReport();
    std::string record = readBytes(contract);
    EXPECT_NE(record.find("Their partner"), std::string::npos);
    EXPECT_NE(record.find("My name"), std::string::npos);
    const std::string comments = readBytes(root + "Contracts/Supplier.comments");
    EXPECT_NE(comments.find("their note"), std::string::npos);
    EXPECT_NE(comments.find("my note"), std::string::npos);
    EXPECT_LT(comments.find("their note"), comments.find("my note"));

    // The same field to different values: nothing is written until the
    // user chooses; then the choice is kept and the other change too.
    theirEdit("--set 'PARTNER=Partner B' --set 'CURRENCY=CZK'");
    ASSERT_TRUE(mine.setProperty("PARTNER", "Partner A"));
    const Status asked = mine.save(ConflictChoice::Merge);
    EXPECT_FALSE(asked);
    EXPECT_NE(asked.message().find("differently"), std::string::npos) << asked.message();
    ASSERT_EQ(mine.mergeConflicts().size(), 1u);
    const MergeConflict conflict = mine.mergeConflicts().front();
    EXPECT_EQ(conflict.mine->value, "Partner A");
    EXPECT_EQ(conflict.theirs->value, "Partner B");
    EXPECT_NE(readBytes(contract).find("Partner B"), std::string::npos) << "nothing written";
    mine.settle(conflict.key, MergeChoice::Mine);
    ASSERT_TRUE(mine.save(ConflictChoice::Merge));
    record = readBytes(contract);
    EXPECT_NE(record.find("Partner A"), std::string::npos);
    EXPECT_NE(record.find("CZK"), std::string::npos);
    EXPECT_NE(record.find("My name"), std::string::npos);

    // A document moved meanwhile is not brought back by a merge; the editor
    // tells where it went, and saving again makes a whole new document at
    // the old place, comments and all.
    theirEdit("--set 'NAME=Last'");
    ASSERT_TRUE(mine.setProperty("NAME", "Gone?"));
    const std::string elsewhere = root + "Contracts/Supplier (old).contract";
    for (const char* extension : {".contract", ".comments", ".history"})
        stdfs::rename(root + "Contracts/Supplier" + extension, root + "Contracts/Supplier (old)" + extension);
    const Status gone = mine.save(ConflictChoice::Merge);
    EXPECT_FALSE(gone);
    EXPECT_NE(gone.message().find("deleted or moved"), std::string::npos) << gone.message();
    EXPECT_FALSE(stdfs::exists(contract));
    EXPECT_EQ(mine.whereItWent(), elsewhere);
    ASSERT_TRUE(mine.save(ConflictChoice::Overwrite));
    EXPECT_NE(readBytes(contract).find("Gone?"), std::string::npos);
    EXPECT_NE(readBytes(root + "Contracts/Supplier.comments").find("my note"), std::string::npos);
    EXPECT_NE(readBytes(elsewhere).find("Last"), std::string::npos) << "the moved one stays as it was";
}

// A save is one change: when a part of it cannot be made, the record,
// the companions and the attached files all stay as they were, and the
// save can be tried again.
TEST_F(DocumentEditorTest, ASaveThatCannotFinishChangesNothingAndCanBeRepeated) {
    const std::string chosen = dir / "Offer.pdf";
    test::writeBytes(chosen, "%PDF offer");
    const std::string folder = root + "Contracts/";
    const auto before = test::snapshotOf(folder, false);

    DocumentEditor editor(*session);
    ASSERT_TRUE(editor.open(contract));
    ASSERT_TRUE(editor.setProperty("NAME", "Changed name"));
    ASSERT_TRUE(editor.addComment("a new comment"));
    ASSERT_TRUE(editor.attachFile(chosen, "Offer", AttachmentType::Document, false));
    // The attached file cannot reach the folder: its place is taken by a
    // directory of the same name.
    const std::string staged = editor.rows(EditorBranch::Attachments).back().path;
    const std::string blocked = folder + "Attachments.systemfiles/" + stdfs::path(staged).filename().string();
    stdfs::create_directories(blocked);
    EXPECT_FALSE(editor.save());
    EXPECT_EQ(test::snapshotOf(folder, false), before);

    stdfs::remove(blocked);
    ASSERT_TRUE(editor.save());
    EXPECT_NE(readBytes(contract).find("Changed name"), std::string::npos);
    EXPECT_NE(readBytes(folder + "Supplier.comments").find("a new comment"), std::string::npos);
    EXPECT_EQ(readBytes(blocked), "%PDF offer");
    EXPECT_FALSE(stdfs::exists(staged));
}

// Saved as a copy beside the original, the copy has attached files of its
// own, so that deleting it leaves the original whole.
TEST_F(DocumentEditorTest, ACopySavedBesideTheOriginalSharesNoAttachedFile) {
    DocumentEditor theirs(*session), mine(*session);
    ASSERT_TRUE(mine.open(contract));
    ASSERT_TRUE(mine.setProperty("NAME", "Mine"));
    ASSERT_TRUE(theirs.open(contract));
    ASSERT_TRUE(theirs.setProperty("NAME", "Theirs"));
    // Another save in between: the file is replaced, a new one.
    ASSERT_TRUE(theirs.save());
    std::string copy;
    ASSERT_TRUE(mine.save(ConflictChoice::SaveAsCopy, nullptr, &copy));
    std::vector<Attachment> original, copied;
    ASSERT_EQ(readAttachments(*session, contract, original), RecordRead::Ok);
    ASSERT_EQ(readAttachments(*session, copy, copied), RecordRead::Ok);
    ASSERT_EQ(copied.size(), original.size());
    for (std::size_t i = 0; i < copied.size(); ++i) {
        EXPECT_NE(copied[i].path, original[i].path);
        EXPECT_EQ(readBytes(copied[i].path), readBytes(original[i].path));
    }
    ASSERT_TRUE(deleteDocumentForGood(*session, copy));
    for (const Attachment& attachment : original)
        EXPECT_TRUE(stdfs::exists(attachment.path)) << attachment.path;
}

TEST_F(DocumentEditorTest, ANewDocumentLeftUnsavedGoesAgainUnlessItIsNoLongerAsCreated) {
    // What happens to the new document between opening and leaving.
    const struct {
        const char* why;
        bool openedAsCreated;
        std::function<void(DocumentEditor&, const std::string&)> meanwhile;
        bool removed;
    } rows[] = {
        {"closed as it came", true, [](DocumentEditor&, const std::string&) {}, true},
        {"edited in memory only", true,
         [](DocumentEditor& editor, const std::string&) { ASSERT_TRUE(editor.setProperty("NAME", "Kept?")); }, true},
        {"read again before leaving", true,
         [](DocumentEditor& editor, const std::string&) { ASSERT_TRUE(editor.reload()); }, true},
        {"an existing document is never removed", false, [](DocumentEditor&, const std::string&) {}, false},
        {"saved once, it is the user's", true,
         [](DocumentEditor& editor, const std::string&) { ASSERT_TRUE(editor.save()); }, false},
        {"someone else wrote into it meanwhile", true,
         [this](DocumentEditor&, const std::string& document) {
             ASSERT_TRUE(session->recordFiles().update(document, [](Record& record) {
                 record.setValue("NAME", "Theirs");
                 return Status::success();
             }));
         },
         false},
        {"another file took its name", true,
         [](DocumentEditor&, const std::string& document) {
             const std::string content = readBytes(document);
             stdfs::remove(document);
             test::writeBytes(document + ".new", content);
             stdfs::rename(document + ".new", document);
         },
         false},
        {"a companion was written beside it", true,
         [](DocumentEditor&, const std::string& document) {
             test::writeBytes(stdfs::path(document).replace_extension(".comments").string(), "");
         },
         false},
    };
    for (const auto& row : rows) {
        const std::string created = newDocument("Meetings", "x.meeting");
        DocumentEditor editor(*session);
        ASSERT_TRUE(row.openedAsCreated ? editor.openCreated(created) : editor.open(created)) << row.why;
        row.meanwhile(editor, created);
        bool removed = !row.removed;
        EXPECT_TRUE(editor.leaveUnsaved(&removed)) << row.why;
        EXPECT_EQ(removed, row.removed) << row.why;
        EXPECT_EQ(stdfs::exists(created), !row.removed) << row.why;
        // Leaving twice removes nothing more.
        EXPECT_TRUE(editor.leaveUnsaved(&removed)) << row.why;
        EXPECT_FALSE(removed) << row.why;
    }
    // Nothing else of the folder went with them.
    EXPECT_TRUE(stdfs::exists(root + "Meetings/Annual review.meeting"));
    EXPECT_TRUE(stdfs::exists(root + "Meetings/folder.folders"));
}

} // namespace
} // namespace quill
