// What each kind of tree node stands for and which of the main window's
// commands it allows, with and without a document selected.
#include "navigation/NodeCommands.h"

#include "navigation/DocumentList.h"
#include "navigation/MainTree.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

namespace quill {

// Names the fields a failed row got, so that the difference shows.
static void PrintTo(const NodeCommands& c, std::ostream* out) {
    *out << "{newObject " << c.newObject << ", newFolder " << c.newFolder << ", remove " << c.remove << ", find "
         << c.find << ", print " << c.print << ", refreshFolder " << c.refreshFolder << ", disconnect " << c.disconnect
         << ", folderProperties " << c.folderProperties << ", newFolderInList " << c.newFolderInList
         << ", documentCommands " << c.documentCommands << "}";
}

namespace {

TEST(NodeKindTest, EachKindHasItsOwnKeyAndItsOwnPlaceAmongFolders) {
    const struct {
        NodeKind kind;
        const char* key;
        bool folder;   // holds documents one may add to
        bool listed;   // the list shows its directory's documents
        bool followed; // read again from the share when focused
    } rows[] = {
        {NodeKind::Folder, "", true, true, true},
        {NodeKind::TopFolder, "ROOT", true, true, true},
        {NodeKind::Settings, "SETTINGS", false, false, false},
        {NodeKind::TemplateFolder, "SETTINGS_OBJ", true, true, false},
        {NodeKind::Tasks, "MYTASKS", false, false, false},
        {NodeKind::Trash, "TRASH", false, true, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(keyOf(row.kind), row.key);
        EXPECT_EQ(isFolderKind(row.kind), row.folder) << row.key;
        EXPECT_EQ(listsDirectory(row.kind), row.listed) << row.key;
        EXPECT_EQ(followsShare(row.kind), row.followed) << row.key;
    }
}

TEST(NodeCommandsTest, TheNodesKindAndTheSelectedDocumentDecideWhatIsEnabled) {
    DocumentItem document;
    document.name = "Jan Novak";
    document.path = "/dp/Contacts/Jan Novak.contact";
    // The fields in order: newObject, newFolder, remove, find, print,
    // refreshFolder, disconnect, folderProperties, newFolderInList,
    // documentCommands.
    const auto commands = [](bool newObject, bool newFolder, bool remove, bool find, bool print, bool refresh,
                             bool disconnect, bool properties, bool listNewFolder, bool documents) {
        return NodeCommands{newObject, newFolder,  remove,     find,          print,
                            refresh,   disconnect, properties, listNewFolder, documents};
    };
    const struct {
        const char* why;
        std::optional<NodeKind> kind; // no node has the focus when empty
        const char* path;
        bool selected;
        bool trashHoldsSomething;
        NodeCommands expected;
    } rows[] = {
        {"a folder allows everything but disconnecting", NodeKind::Folder, "/dp/Contacts", false, false,
         commands(true, true, true, true, true, true, false, true, true, false)},
        {"a document selected in a folder adds its own commands", NodeKind::Folder, "/dp/Contacts", true, false,
         commands(true, true, true, true, true, true, false, true, true, true)},
        {"a folder without a directory shows no properties", NodeKind::Folder, "", false, false,
         commands(true, true, true, true, true, true, false, false, true, false)},
        {"a top folder is disconnected, never deleted", NodeKind::TopFolder, "/dp", false, false,
         commands(true, true, false, true, true, true, true, true, true, false)},
        {"Delete goes to a document selected in a top folder", NodeKind::TopFolder, "/dp", true, false,
         commands(true, true, true, true, true, true, true, true, true, true)},
        {"a template folder takes folders but no documents", NodeKind::TemplateFolder, "/res/Templates", false, false,
         commands(false, true, false, false, false, true, false, true, true, false)},
        {"an empty trash cannot be emptied", NodeKind::Trash, "/home/anna/Trash", false, false,
         commands(false, false, false, true, true, true, false, false, true, false)},
        {"a trash with something in it can", NodeKind::Trash, "/home/anna/Trash", false, true,
         commands(false, false, true, true, true, true, false, false, true, false)},
        {"a document selected in an empty trash can go", NodeKind::Trash, "/home/anna/Trash", true, false,
         commands(false, false, true, true, true, true, false, false, true, true)},
        {"a settings page allows nothing of its own", NodeKind::Settings, "", false, true,
         commands(false, false, false, false, false, false, false, false, false, false)},
        {"the task list allows nothing of its own", NodeKind::Tasks, "", false, false,
         commands(false, false, false, false, false, false, false, false, false, false)},
        {"a task selected in the task list", NodeKind::Tasks, "", true, false,
         commands(false, false, true, false, false, false, false, false, false, true)},
        {"without a focused node only the selected document counts", std::nullopt, "", true, true,
         commands(false, false, true, false, false, false, false, false, true, true)},
        {"without a focused node or a selection", std::nullopt, "", false, true,
         commands(false, false, false, false, false, false, false, false, true, false)},
    };
    for (const auto& row : rows) {
        TreeNode node;
        node.kind = row.kind.value_or(NodeKind::Folder);
        node.path = row.path;
        const NodeCommands got =
            allowedCommands(row.kind ? &node : nullptr, row.selected ? &document : nullptr, row.trashHoldsSomething);
        EXPECT_EQ(got, row.expected) << row.why;
    }
}

} // namespace
} // namespace quill
