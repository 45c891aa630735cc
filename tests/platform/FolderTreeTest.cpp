#include "formats/CompanionNames.h"
#include "platform/FolderTree.h"

#include "platform/FileSystem.h"
#include "platform/Trash.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace quill {
namespace {

using test::FixedClock;
using test::readBytes;
using test::TempDir;
using test::writeBytes;

namespace stdfs = std::filesystem;

std::vector<std::string> sortedNames(const std::vector<std::string>& paths) {
    std::vector<std::string> names;
    for (const std::string& p : paths)
        names.push_back(stdfs::path(p).filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void setTime(const std::string& file, std::int64_t seconds, std::int64_t extraNs = 0) {
    ASSERT_TRUE(fs::setModificationTime(file, seconds * 1000000000LL + extraNs));
}

// Each test works in a directory of its own.
class FolderTreeTest : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(FolderTreeTest, MasksMatchLikeWindowsPatterns) {
    const struct {
        const char* name;
        const char* mask;
        bool matches;
    } rows[] = {
        {"Offer.contract", "*.*", true},
        {"noext", "*.*", true},
        {"noext", "", true},
        {"Offer.contract", "Offer.*", true},
        {"Offer", "Offer.*", true},
        {"Offers.x", "Offer.*", false},
        {"a.TXT", "*.txt", true},
        {"a.txt.bak", "*.txt", false},
        {"ab", "a?", true},
        {"a", "a?", false},
        {"aaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*c", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(matchesMask(row.name, row.mask), row.matches) << row.name << " ~ " << row.mask;
}

TEST_F(FolderTreeTest, ListingsReturnFilesAndDirectoriesAsFullPaths) {
    writeBytes(dir / "a.txt", "");
    writeBytes(dir / "b.doc", "");
    stdfs::create_directory(dir / "sub");
    EXPECT_EQ(sortedNames(listFiles(dir.path(), "*.*")), (std::vector<std::string>{"a.txt", "b.doc", "sub"}));
    EXPECT_EQ(sortedNames(listFiles(dir.path(), "*.txt")), (std::vector<std::string>{"a.txt"}));
    EXPECT_EQ(listSubDirectories(dir.path()), (std::vector<std::string>{dir / "sub"}));
    EXPECT_TRUE(listFiles(dir / "missing").empty());
}

TEST_F(FolderTreeTest, MainFileOfACompanionIsTheDocumentBesideIt) {
    for (const char* name :
         {"Offer.contract", "Offer.comments", "Offer.history", "Offer.scheduler", "Offerx.note", "Other.note"})
        writeBytes(dir / name, "");
    EXPECT_EQ(mainFileOfCompanion(dir / "Offer.scheduler"), dir / "Offer.contract");
    EXPECT_EQ(mainFileOfCompanion(dir / "Missing.scheduler"), "PARROR");
    writeBytes(dir / "Lonely.comments", "");
    EXPECT_EQ(mainFileOfCompanion(dir / "Lonely.comments"), "") << "a companion without its document";
    writeBytes(dir / "Report.doc.comments", "");
    writeBytes(dir / "Report.doc", "");
    EXPECT_EQ(mainFileOfCompanion(dir / "Report.doc.comments"), dir / "Report.doc");
}

TEST_F(FolderTreeTest, MirrorCopiesWhatIsMissingOrOfAnotherTime) {
    const std::string src = dir / "src", dst = dir / "dst";
    writeBytes(src + "/same.txt", "source");
    writeBytes(src + "/older.txt", "old source");
    writeBytes(src + "/new.txt", "new");
    writeBytes(src + "/sub/deep.txt", "deep");
    stdfs::create_directories(src + "/empty");
    writeBytes(dst + "/same.txt", "target keeps this");
    writeBytes(dst + "/older.txt", "newer target");
    setTime(src + "/same.txt", 1000000);
    setTime(dst + "/same.txt", 1000000, 500000); // half a millisecond apart counts as equal
    setTime(src + "/older.txt", 1000000);
    setTime(dst + "/older.txt", 2000000);

    mirrorTree(src, dst);
    EXPECT_EQ(readBytes(dst + "/same.txt"), "target keeps this");
    EXPECT_EQ(readBytes(dst + "/older.txt"), "old source") << "an older source overwrites a newer target";
    EXPECT_EQ(fs::modificationTime(dst + "/older.txt"), fs::modificationTime(src + "/older.txt"));
    EXPECT_EQ(readBytes(dst + "/new.txt"), "new");
    EXPECT_EQ(readBytes(dst + "/sub/deep.txt"), "deep");
    EXPECT_FALSE(stdfs::exists(dst + "/empty")) << "a directory without files creates nothing";
}

TEST_F(FolderTreeTest, PruneDeletesWhatTheReferenceLacks) {
    const std::string src = dir / "local", ref = dir / "master";
    writeBytes(src + "/keep.txt", "");
    writeBytes(src + "/gone.txt", "");
    writeBytes(src + "/sub/keep.txt", "");
    writeBytes(src + "/sub/gone.txt", "");
    writeBytes(src + "/extra/a/b.txt", "");
    stdfs::create_directories(src + "/emptyextra");
    writeBytes(ref + "/keep.txt", "");
    writeBytes(ref + "/sub/keep.txt", "");
    pruneTree(src, ref);
    EXPECT_TRUE(stdfs::exists(src + "/keep.txt"));
    EXPECT_FALSE(stdfs::exists(src + "/gone.txt"));
    EXPECT_TRUE(stdfs::exists(src + "/sub/keep.txt"));
    EXPECT_FALSE(stdfs::exists(src + "/sub/gone.txt"));
    EXPECT_FALSE(stdfs::exists(src + "/extra")) << "with its contents";
    EXPECT_FALSE(stdfs::exists(src + "/emptyextra"));
}

TEST_F(FolderTreeTest, PruneMatchesNamesInAnyCaseAndDeletesNothingWhereTheReferenceCannotBeListed) {
    const std::string src = dir / "local", ref = dir / "master";
    writeBytes(src + "/Logo.BMP", "");
    writeBytes(src + "/Sub/Keep.txt", "");
    writeBytes(src + "/Sub/gone.txt", "");
    writeBytes(src + "/Locked/mine.txt", "");
    writeBytes(ref + "/LOGO.bmp", "");
    writeBytes(ref + "/SUB/keep.TXT", "");
    stdfs::create_directories(ref + "/Locked");
    stdfs::permissions(ref + "/Locked", stdfs::perms::none);
    const bool unreadable = !fs::list(ref + "/Locked"); // root reads any directory
    pruneTree(src, ref);
    stdfs::permissions(ref + "/Locked", stdfs::perms::owner_all);
    EXPECT_TRUE(stdfs::exists(src + "/Logo.BMP"));
    EXPECT_TRUE(stdfs::exists(src + "/Sub/Keep.txt"));
    EXPECT_FALSE(stdfs::exists(src + "/Sub/gone.txt"));
    if (unreadable) {
        EXPECT_TRUE(stdfs::exists(src + "/Locked/mine.txt")) << "a reference that cannot be listed prunes nothing";
    }
    pruneTree(src, dir / "missing");
    EXPECT_TRUE(stdfs::exists(src + "/Logo.BMP")) << "nor does a missing one";
}

TEST_F(FolderTreeTest, MirrorAndPruneDoNotFollowLinksToDirectories) {
    const std::string src = dir / "src", dst = dir / "dst", outside = dir / "outside";
    writeBytes(src + "/a.txt", "a");
    stdfs::create_directory_symlink(".", src + "/loop1"); // two links back up: 2^40 paths if followed
    stdfs::create_directory_symlink(".", src + "/loop2");
    mirrorTree(src, dst);
    EXPECT_EQ(readBytes(dst + "/a.txt"), "a");
    EXPECT_FALSE(stdfs::exists(dst + "/loop1"));

    writeBytes(outside + "/precious.txt", "keep");
    stdfs::create_directory_symlink(outside, dst + "/link");
    pruneTree(dst, src);
    EXPECT_EQ(readBytes(outside + "/precious.txt"), "keep") << "pruning removes the link, not what it points to";
    EXPECT_FALSE(stdfs::exists(stdfs::symlink_status(dst + "/link")));
}

class FileOperationTest : public ::testing::Test {
protected:
    test::IsolatedHome home;
    TempDir dir;
    FixedClock clock;
    Trash trash{dir / "Trash", clock};
};

TEST_F(FileOperationTest, CopyMoveAndRename) {
    writeBytes(dir / "a/one.txt", "1");
    writeBytes(dir / "a/two.txt", "2");
    writeBytes(dir / "a/sub/three.txt", "3");
    ASSERT_TRUE(runFileOperation(dir / "a/*.*", dir / "b", FileOperation::Copy, trash).ok());
    EXPECT_EQ(readBytes(dir / "b/one.txt"), "1");
    EXPECT_EQ(readBytes(dir / "b/sub/three.txt"), "3");
    EXPECT_TRUE(stdfs::exists(dir / "a/one.txt"));

    stdfs::create_directory(dir / "c");
    ASSERT_TRUE(runFileOperation(dir / "a/one.txt", dir / "c", FileOperation::Move, trash).ok());
    EXPECT_EQ(readBytes(dir / "c/one.txt"), "1") << "onto an existing directory: inside it";
    EXPECT_FALSE(stdfs::exists(dir / "a/one.txt"));

    ASSERT_TRUE(runFileOperation(dir / "c/one.txt", dir / "c/uno.txt", FileOperation::Rename, trash).ok());
    EXPECT_EQ(readBytes(dir / "c/uno.txt"), "1");
    EXPECT_FALSE(runFileOperation(dir / "c/missing.txt", dir / "c/x", FileOperation::Rename, trash).ok());
}

TEST_F(FileOperationTest, NothingGoesIntoItselfAndRenamesNeverReplace) {
    writeBytes(dir / "a/one.txt", "1");
    stdfs::create_directory(dir / "a/sub");
    EXPECT_FALSE(runFileOperation(dir / "a", dir / "a/sub", FileOperation::Copy, trash).ok());
    EXPECT_FALSE(runFileOperation(dir / "a", dir / "a/sub", FileOperation::Move, trash).ok());
    EXPECT_TRUE(stdfs::is_empty(dir / "a/sub")) << "refused before anything was copied";

    writeBytes(dir / "b.txt", "other");
    EXPECT_FALSE(runFileOperation(dir / "a/one.txt", dir / "b.txt", FileOperation::Rename, trash).ok());
    EXPECT_EQ(readBytes(dir / "b.txt"), "other");
    ASSERT_TRUE(runFileOperation(dir / "b.txt", dir / "B.TXT", FileOperation::Rename, trash).ok())
        << "a change of case is allowed";
    EXPECT_EQ(readBytes(dir / "B.TXT"), "other");
    EXPECT_FALSE(stdfs::exists(dir / "b.txt"));
}

TEST_F(FileOperationTest, DeleteForGoodAndToTheTrash) {
    writeBytes(dir / "a/one.txt", "1");
    writeBytes(dir / "a/sub/two.txt", "2");
    writeBytes(dir / "b/x.txt", "x");
    ASSERT_TRUE(runFileOperation(dir / "a/*.*", "", FileOperation::DeleteForGood, trash).ok());
    EXPECT_TRUE(stdfs::is_empty(dir / "a"));
    ASSERT_TRUE(runFileOperation(dir / "b", "", FileOperation::DeleteToTrash, trash).ok());
    EXPECT_FALSE(stdfs::exists(dir / "b"));
    EXPECT_EQ(readBytes(dir / "Trash/files/b/x.txt"), "x");
    EXPECT_FALSE(runFileOperation(dir / "b", "", FileOperation::DeleteForGood, trash).ok()) << "already gone";
}

} // namespace
} // namespace quill
