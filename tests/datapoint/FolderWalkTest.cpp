#include "datapoint/FolderWalk.h"

#include "formats/RecordFile.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace quill {
namespace {

using test::FixedClock;
using test::TempDir;
using test::writeBytes;

// Records what the walk reports as "parent > folder" lines; nodes are
// indexes into the list of folders found, 0 standing for the walk's root.
class RecordingVisitor final : public FolderWalkVisitor {
public:
    std::vector<std::string> folders{"(root)"};
    std::vector<std::string> lines;
    std::vector<std::string> notes;
    std::vector<std::pair<std::string, std::string>> schedules;

    Node folderFound(const std::string& name, const std::string&, const Record& record, Node parent) override {
        lines.push_back(folders[parent] + " > " + name);
        notes.push_back(record.value("NOTE"));
        folders.push_back(name);
        return folders.size() - 1;
    }
    void scheduleFound(const std::string& companion, const std::string& mainFile) override {
        schedules.emplace_back(std::filesystem::path(companion).filename().string(),
                               std::filesystem::path(mainFile).filename().string());
    }
};

TEST(FolderWalkTest, FoldersGoUnderTheNearestFolderAbove) {
    TempDir dir;
    DefinitionLists lists;
    loadDefinitionText("folders.info", "[TYPE]\nTYPE=OBJECT.PUBLIC\n[INFO.OBJECT]\nPROPERTY_0=ICON\nPROPERTY_1=NOTE\n",
                       lists, nullptr);
    loadDefinitionText("ICON", "[TYPE]\nTYPE=PROPERTY.PUBLIC\n", lists, nullptr);
    loadDefinitionText("NOTE", "[TYPE]\nTYPE=PROPERTY.PUBLIC\n", lists, nullptr);
    const TypeTables tables = mergeDefinitions(lists);
    FixedClock clock;
    DateTimeFormats formats;
    const RecordFiles records(tables, clock, formats);

    const std::string root = dir / "root";
    writeBytes(root + "/Projects/folder.folders", "FOLDER.BMP\nAll projects\n");
    writeBytes(root + "/Projects/Web/Folder.FOLDERS", "FOLDER.BMP\nThe web site\n");
    writeBytes(root + "/Projects/plain/Inner/folder.folders", "");
    writeBytes(root + "/plain/Deep/folder.folders", "");
    writeBytes(root + "/plain/nothing.txt", "");
    writeBytes(root + "/Projects/Web/Offer.contract", "");
    writeBytes(root + "/Projects/Web/Offer.scheduler", "");
    std::filesystem::create_directory_symlink(root + "/Projects", root + "/Projects/Web/loop");

    RecordingVisitor visitor;
    walkFolderTree(records, root, visitor, 0);
    std::vector<std::string> lines = visitor.lines;
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines,
              (std::vector<std::string>{"(root) > Deep", "(root) > Projects", "Projects > Inner", "Projects > Web"}))
        << "directories without a folder record add no node but are walked with the same parent";
    EXPECT_NE(std::find(visitor.notes.begin(), visitor.notes.end(), "The web site"), visitor.notes.end());
    ASSERT_EQ(visitor.schedules.size(), 1u) << "the symbolic link loop is not followed";
    EXPECT_EQ(visitor.schedules[0], (std::pair<std::string, std::string>{"Offer.scheduler", "Offer.contract"}));
}

TEST(FolderWalkTest, AMissingDirectoryWalksNothing) {
    TempDir dir;
    const TypeTables tables;
    FixedClock clock;
    DateTimeFormats formats;
    const RecordFiles records(tables, clock, formats);
    RecordingVisitor visitor;
    walkFolderTree(records, dir / "missing", visitor, 0);
    EXPECT_TRUE(visitor.lines.empty());
}

} // namespace
} // namespace quill
