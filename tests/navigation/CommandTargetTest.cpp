// What Delete and Print act on, how much a folder takes with it, and the
// question that names both.
#include "navigation/CommandTarget.h"

#include "SessionTest.h"

#include "navigation/DocumentCommands.h"
#include "navigation/DocumentList.h"
#include "navigation/MainTree.h"
#include "session/Logon.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using test::writeBytes;

// What a command acts on, written short.
CommandTarget target(TargetKind kind, const std::string& path, const std::string& name, bool top = false) {
    return {kind, path, name, top};
}

TEST(PickCommandTargetTest, ASelectedDocumentWinsElseTheNodeWhenItStandsForSomething) {
    DocumentItem janNovak;
    janNovak.name = "Jan Novak";
    janNovak.path = "/dp/Contacts/Jan Novak.contact";
    DocumentItem pathless;
    pathless.name = "Nobody";
    const CommandTarget contacts = target(TargetKind::Folder, "/dp/Contacts", "Contacts"), nothing;
    const CommandTarget jan = target(TargetKind::Document, janNovak.path, "Jan Novak");
    const struct {
        const char* why;
        std::optional<NodeKind> nodeKind; // no node at all when empty
        const char* nodePath;
        const DocumentItem* selected;
        CommandTarget expected;
    } rows[] = {
        {"a folder with no row selected is the folder, though the list shows documents", NodeKind::Folder,
         "/dp/Contacts", nullptr, contacts},
        {"a selected row is the document", NodeKind::Folder, "/dp/Contacts", &janNovak, jan},
        {"a top folder is a folder that may not go", NodeKind::TopFolder, "/dp", nullptr,
         target(TargetKind::Folder, "/dp", "Contacts", true)},
        {"a template folder of the settings", NodeKind::TemplateFolder, "/dp/Templates", nullptr,
         target(TargetKind::Folder, "/dp/Templates", "Contacts")},
        {"the trash node", NodeKind::Trash, "/tmp/Trash", nullptr, target(TargetKind::Trash, "/tmp/Trash", "Contacts")},
        {"a document selected in the trash", NodeKind::Trash, "/tmp/Trash", &janNovak, jan},
        {"a settings page stands for nothing", NodeKind::Settings, "", nullptr, nothing},
        {"the task node stands for nothing", NodeKind::Tasks, "", nullptr, nothing},
        {"a task selected in the task list", NodeKind::Tasks, "", &janNovak, jan},
        {"a folder node without a directory", NodeKind::Folder, "", nullptr, nothing},
        {"a row without a file is no document", NodeKind::Folder, "/dp/Contacts", &pathless, contacts},
        {"without a focused node nothing is chosen, not even a row", std::nullopt, "", &janNovak, nothing},
    };
    for (const auto& row : rows) {
        TreeNode node;
        node.caption = "Contacts";
        node.kind = row.nodeKind.value_or(NodeKind::Folder);
        node.path = row.nodePath;
        const CommandTarget got = pickCommandTarget(row.nodeKind ? &node : nullptr, row.selected);
        EXPECT_EQ(got, row.expected) << row.why;
    }
}

TEST(FillInTextTest, MarkersAreReplacedOnceAndValuesAreNeverSearchedAgain) {
    const struct {
        const char* text;
        const char* name;
        const char* expected;
    } rows[] = {
        {"Move $TARGET$ away?", "Contacts", "Move Contacts away?"},
        {"$TARGET$ and $TARGET$", "A", "A and A"},
        {"no marker", "A", "no marker"},
        {"$TARGET", "A", "$TARGET"},
        {"$$TARGET$$", "A", "$A$"},
        // A name that holds a marker shows as it is.
        {"[$TARGET$] $COUNT$", "$COUNT$", "[$COUNT$] 7"},
        {"", "A", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(fillInText(row.text, {{"$TARGET$", row.name}, {"$COUNT$", "7"}}), row.expected) << row.text;
}

class CommandTargetTest : public test::LoggedOnTest {
protected:
    std::string root = dataPoint + "/DataPoint.root";
};

TEST_F(CommandTargetTest, AFolderHoldsItsDocumentsAndFoldersAllTheWayDown) {
    const std::string outside = dir / "Outside";
    writeBytes(outside + "/Secret.note", "");
    const struct {
        const char* why;
        std::vector<const char*> files; // created below the folder; a trailing '/' makes a directory
        FolderContents expected;
    } rows[] = {
        {"an empty folder", {}, {0, 0}},
        {"records of the object types, in any case", {"a.note", "b.CONTACT", "c.meeting"}, {3, 0}},
        {"companions, the folder record and foreign files are no documents",
         {"a.note", "a.comments", "a.history", "a.attachments", "a.scheduler", "folder.folders", "readme.txt",
          "noextension", "x.info"},
         {1, 0}},
        {"sub-folders count, and so does what is in them",
         {"Sub/x.meeting", "Sub/Deeper/y.note", "Sub/Deeper/Deepest/", "Other/"},
         {2, 4}},
        {"the attached files' directory is neither a folder nor documents",
         {"Attachments.systemfiles/p.note", "attachments.SYSTEMFILES/q.note", "Sub/Attachments.systemfiles/r.note"},
         {0, 1}},
    };
    int number = 0;
    for (const auto& row : rows) {
        const std::string folder = dir / ("Folder" + std::to_string(number++));
        stdfs::create_directories(folder);
        for (const char* file : row.files) {
            const std::string at = folder + "/" + file;
            if (at.ends_with('/'))
                stdfs::create_directories(at);
            else
                writeBytes(at, "");
        }
        EXPECT_EQ(countFolderContents(session->tables, folder), row.expected) << row.why;
    }

    // Links are not followed: neither a linked folder nor a linked record
    // counts, and a link back up does not count for ever.
    const std::string linked = dir / "Linked";
    stdfs::create_directories(linked);
    stdfs::create_directory_symlink(outside, linked + "/Elsewhere");
    stdfs::create_directory_symlink(linked, linked + "/Loop");
    stdfs::create_symlink(outside + "/Secret.note", linked + "/Secret.note");
    EXPECT_EQ(countFolderContents(session->tables, linked), (FolderContents{0, 0}));

    EXPECT_EQ(countFolderContents(session->tables, dir / "Missing"), (FolderContents{0, 0}));
}

TEST_F(CommandTargetTest, TheSampleFoldersAreCountedAsTheListsShowThem) {
    const struct {
        const char* folder;
        FolderContents expected;
    } rows[] = {
        {"/Contacts", {1, 0}}, {"/Contracts", {1, 0}}, {"/Meetings", {6, 0}}, {"/Projects", {2, 1}}, {"", {10, 5}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(countFolderContents(session->tables, root + row.folder), row.expected) << row.folder;
}

TEST_F(CommandTargetTest, TheDeleteQuestionNamesItsTargetAndWhatGoesWithIt) {
    stdfs::create_directories(root + "/Empty");
    stdfs::create_directories(root + "/Only folders/Inner");
    const std::string trash = trashDirectory(*session);
    writeBytes(trash + "/Old.note", "");
    const auto folder = [&](const char* name, bool top = false) {
        return target(TargetKind::Folder, root + "/" + name, name, top);
    };
    const auto document = [](const std::string& path, const char* name) {
        return target(TargetKind::Document, path, name);
    };
    const struct {
        const char* why;
        CommandTarget target;
        bool forGood;
        DeleteAction action;
        const char* text;
        bool warning;
        bool defaultYes;
    } rows[] = {
        {"a document goes to the trash", document(root + "/Contacts/Jan Novak.contact", "Jan Novak"), false,
         DeleteAction::MoveToTrash, "Move the document Jan Novak to the trash?", false, true},
        {"Shift deletes a document for good, No unless the user says Yes",
         document(root + "/Contacts/Jan Novak.contact", "Jan Novak"), true, DeleteAction::DeleteForGood,
         "Delete the document Jan Novak for good? This cannot be undone.", false, false},
        {"a document in the trash can only go for good", document(trash + "/Old.note", "Old"), false,
         DeleteAction::DeleteForGood, "Delete the document Old for good? This cannot be undone.", false, false},
        {"a folder with one document", folder("Contacts"), false, DeleteAction::MoveToTrash,
         "Move the folder Contacts with 1 document to the trash?", true, false},
        {"a folder with documents and a folder", folder("Projects"), false, DeleteAction::MoveToTrash,
         "Move the folder Projects with 2 documents and 1 folder to the trash?", true, false},
        {"a folder with many documents, for good", folder("Meetings"), true, DeleteAction::DeleteForGood,
         "Delete the folder Meetings with 6 documents for good? This cannot be undone.", true, false},
        {"a folder with folders only may go on Enter", folder("Only folders"), false, DeleteAction::MoveToTrash,
         "Move the folder Only folders with 1 folder to the trash?", true, true},
        {"an empty folder", folder("Empty"), false, DeleteAction::MoveToTrash,
         "Move the empty folder Empty to the trash?", true, true},
        {"an empty folder, for good: No on Enter, as whatever is deleted for good", folder("Empty"), true,
         DeleteAction::DeleteForGood, "Delete the empty folder Empty for good? This cannot be undone.", true, false},
        {"a name that looks like a marker is shown as it is",
         target(TargetKind::Folder, root + "/Empty", "$DATE$ $CONTENTS$"), false, DeleteAction::MoveToTrash,
         "Move the empty folder $DATE$ $CONTENTS$ to the trash?", true, true},
        {"a top folder is never deleted", folder("Contacts", true), true, DeleteAction::None, "", false, true},
        {"nothing chosen, nothing asked", CommandTarget{}, false, DeleteAction::None, "", false, true},
        {"the trash node is emptied", target(TargetKind::Trash, trash, "Trash"), false, DeleteAction::EmptyTrash,
         "Empty the trash? Everything in it will be deleted for good.", true, false},
    };
    for (const auto& row : rows) {
        const DeleteQuestion asked = deleteQuestion(*session, row.target, row.forGood);
        EXPECT_EQ(asked.action, row.action) << row.why;
        EXPECT_EQ(asked.text, row.text) << row.why;
        EXPECT_EQ(asked.warning, row.warning) << row.why;
        EXPECT_EQ(asked.defaultYes, row.defaultYes) << row.why;
    }

    // The trash without documents may be emptied on Enter.
    stdfs::remove(trash + "/Old.note");
    EXPECT_TRUE(deleteQuestion(*session, {TargetKind::Trash, trash, "Trash", false}, false).defaultYes);
}

} // namespace
} // namespace quill
