// Where "go to" on a listed document leads: its folder's location text and
// the document, or a failure for a document that is gone, hidden from the
// user, or outside the tree's folders.
#include "navigation/GoTo.h"

#include "navigation/MainTree.h"
#include "platform/Paths.h"

#include "SessionFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using test::readBytes;
using test::writeBytes;

// The sample data point's shared folder, and a meeting in it.
std::string weeklyIn(const std::string& root) {
    return root + "/Meetings/Weekly review.meeting";
}

// A folder whose rights leave Anna out, with a copy of a meeting.
std::string inHiddenFolder(const std::string& root) {
    const std::string folder = root + "/Meetings/Board";
    stdfs::create_directories(folder);
    writeBytes(folder + "/folder.folders", "FOLDER.BMP\r\n\r\nJan Novy (JAN); \r\n\r\n");
    stdfs::copy_file(weeklyIn(root), folder + "/Weekly review.meeting");
    return folder + "/Weekly review.meeting";
}

// A meeting whose own rights leave Anna out.
std::string hiddenByItsRights(const std::string& root) {
    std::string content = readBytes(weeklyIn(root));
    const std::string anna = "Anna Novak (ANNA); ";
    for (std::size_t at; (at = content.find(anna)) != std::string::npos;)
        content.erase(at, anna.size());
    writeBytes(root + "/Meetings/Private.meeting", content);
    return root + "/Meetings/Private.meeting";
}

TEST(GoToTest, LeadsToTheDocumentsFolderOrSaysWhyNot) {
    using Document = std::function<std::string(const std::string& root)>;
    const struct {
        const char* why;
        Document document;
        bool administrator;
        const char* location; // nullptr: a failure
        const char* said;     // what the failure names
    } rows[] = {
        {"a meeting in a top folder", weeklyIn, false, "Shared documents\\Meetings", nullptr},
        {"a document two levels down",
         [](const std::string& root) { return root + "/Projects/Website/Kickoff.meeting"; }, false,
         "Shared documents\\Projects\\Website", nullptr},
        {"gone since it was listed",
         [](const std::string& root) {
             stdfs::remove(weeklyIn(root));
             return weeklyIn(root);
         },
         false, nullptr, "no longer exists"},
        {"a directory, not a document", [](const std::string& root) { return root + "/Meetings"; }, false, nullptr,
         "no longer exists"},
        {"no document at all", [](const std::string&) { return std::string(); }, false, nullptr, "no longer exists"},
        {"in a folder hidden from the user", inHiddenFolder, false, nullptr, "not shown to you"},
        {"the same for an administrator", inHiddenFolder, true, "Shared documents\\Meetings\\Board", nullptr},
        {"hidden by its own rights", hiddenByItsRights, false, nullptr, "not shown to you"},
        {"outside every top folder",
         [](const std::string& root) {
             const stdfs::path elsewhere = stdfs::path(root).parent_path().parent_path() / "elsewhere";
             stdfs::create_directories(elsewhere);
             stdfs::copy_file(weeklyIn(root), elsewhere / "Weekly review.meeting");
             return (elsewhere / "Weekly review.meeting").string();
         },
         false, nullptr, "outside your folders"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        // Each row on a data point of its own: the rows change files.
        test::SessionFixture f;
        ASSERT_TRUE(f.open());
        f.session->program.isAdministrator = row.administrator;
        const std::string document = row.document(f.dataPoint + "/DataPoint.root");
        MainTree tree;
        buildMainTree(*f.session, tree);
        const Result<GoToTarget> target = goToTarget(*f.session, tree, document);
        if (!row.location) {
            ASSERT_FALSE(target.ok());
            EXPECT_NE(target.message().find(row.said), std::string::npos) << target.message();
            continue;
        }
        ASSERT_TRUE(target.ok()) << target.message();
        EXPECT_EQ(target->location, row.location);
        EXPECT_EQ(target->document, document);
        // The main tree follows the location back to the document's folder.
        const TreeNode* node = navigateToLocation(*f.session, tree, target->location);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(path::comparableFolder(node->path), path::comparableFolder(path::directory(document)));
    }
}

} // namespace
} // namespace quill
