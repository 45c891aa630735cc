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

namespace quill {
namespace {

// Read ahead by threads, as on a network share, the walk tells the visitor
// the same things in the same order, whatever depth it is limited to.
TEST(FolderWalkReadAheadTest, ReadersChangeNothingTheVisitorSees) {
    test::TempDir dir;
    DefinitionLists lists;
    loadDefinitionText("folders.info", "[TYPE]\nTYPE=OBJECT.PUBLIC\n[INFO.OBJECT]\nPROPERTY_0=ICON\nPROPERTY_1=NOTE\n",
                       lists, nullptr);
    const TypeTables tables = mergeDefinitions(lists);
    test::FixedClock clock;
    DateTimeFormats formats;
    const RecordFiles records(tables, clock, formats);
    const std::string root = dir / "root";
    for (int a = 0; a < 6; ++a) {
        for (int b = 0; b < 5; ++b) {
            const std::string folder = root + "/A" + std::to_string(a) + "/B" + std::to_string(b);
            test::writeBytes(folder + "/folder.folders", "FOLDER.BMP\nnote " + std::to_string(a * 10 + b) + "\n");
            test::writeBytes(folder + "/plain/C/folder.folders", "");
            test::writeBytes(folder + "/Task.note", "");
            test::writeBytes(folder + "/Task.scheduler", "");
        }
        test::writeBytes(root + "/A" + std::to_string(a) + "/folder.folders", "");
    }
    for (const int levels : {0, 1, 2}) {
        RecordingVisitor alone;
        walkFolderTree(records, root, alone, 0, levels, 0);
        ASSERT_FALSE(alone.lines.empty());
        for (const int readers : {1, 4, 8}) {
            for (int round = 0; round < 5; ++round) {
                RecordingVisitor ahead;
                walkFolderTree(records, root, ahead, 0, levels, readers);
                EXPECT_EQ(ahead.lines, alone.lines) << levels << " levels, " << readers << " readers";
                EXPECT_EQ(ahead.notes, alone.notes);
                EXPECT_EQ(ahead.schedules, alone.schedules);
            }
        }
    }
}

} // namespace
} // namespace quill
