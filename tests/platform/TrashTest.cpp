#include "platform/Trash.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using test::IsolatedHome;

// The .trashinfo a file manager expects; a '\r' would end up in the path.
std::vector<std::string> expectedInfo(const std::string& encodedPath) {
    return {"[Trash Info]", "Path=" + encodedPath, "DeletionDate=2026-12-08T09:05:07"};
}

std::vector<std::string> namesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : stdfs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class TrashTest : public ::testing::Test {
protected:
    void SetUp() override {
        work = home.dir() / "work";
        // The expected Path= values below assume nothing to encode here.
        ASSERT_EQ(work.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/-_."),
                  std::string::npos);
    }

    std::string trashDir() const { return std::string(std::getenv("XDG_DATA_HOME")) + "/Trash"; }
    // The lines of the .trashinfo of a name in the trash.
    std::vector<std::string> infoOf(const std::string& name, const std::string& trash = {}) const {
        return test::linesOf(test::readBytes((trash.empty() ? trashDir() : trash) + "/info/" + name + ".trashinfo"),
                             "\n");
    }

    IsolatedHome home;
    test::FixedClock clock;
    std::string work;
    const Trash trash{Trash::defaultDirectory(), clock}; // the user's own trash
};

TEST_F(TrashTest, DefaultDirectoryFollowsXdgDataHome) {
    EXPECT_EQ(Trash::defaultDirectory(), trashDir());
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(Trash::defaultDirectory(), std::string(std::getenv("HOME")) + "/.local/share/Trash");
}

TEST_F(TrashTest, MovesAFileAndRecordsWhereItCameFrom) {
    const std::string name = "My Notes \x9E.txt"; // cp1250 z caron
    const std::string utf8Name = "My Notes ž.txt";
    test::writeBytes(work + "/" + utf8Name, "content");
    ASSERT_TRUE(trash.moveToTrash(work + "/" + name).ok());

    EXPECT_FALSE(stdfs::exists(work + "/" + utf8Name));
    EXPECT_EQ(test::readBytes(trashDir() + "/files/" + utf8Name), "content");
    EXPECT_EQ(infoOf(utf8Name), expectedInfo(work + "/My%20Notes%20%C5%BE.txt"));
}

TEST_F(TrashTest, MovesADirectoryTree) {
    test::writeBytes(work + "/Project/top.txt", "top");
    test::writeBytes(work + "/Project/sub/deep.txt", "deep");
    // Spelt in another case: the trash must record the name as it is on disk.
    ASSERT_TRUE(trash.moveToTrash(work + "/PROJECT").ok());

    EXPECT_FALSE(stdfs::exists(work + "/Project"));
    EXPECT_EQ(test::readBytes(trashDir() + "/files/Project/top.txt"), "top");
    EXPECT_EQ(test::readBytes(trashDir() + "/files/Project/sub/deep.txt"), "deep");
    EXPECT_EQ(infoOf("Project"), expectedInfo(work + "/Project"));
}

TEST_F(TrashTest, MovesASymlinkNotWhatItPointsTo) {
    test::writeBytes(work + "/Target/keep.txt", "keep");
    stdfs::create_directory_symlink(work + "/Target", work + "/Link");
    ASSERT_TRUE(trash.moveToTrash(work + "/Link").ok());
    EXPECT_FALSE(stdfs::exists(stdfs::symlink_status(work + "/Link")));
    EXPECT_TRUE(stdfs::is_symlink(trashDir() + "/files/Link"));
    EXPECT_EQ(test::readBytes(work + "/Target/keep.txt"), "keep");
}

TEST_F(TrashTest, SameNameTwiceGetsTwoTrashNames) {
    test::writeBytes(work + "/a/notes.txt", "from a");
    test::writeBytes(work + "/b/notes.txt", "from b");
    ASSERT_TRUE(trash.moveToTrash(work + "/a/notes.txt").ok());
    ASSERT_TRUE(trash.moveToTrash(work + "/b/notes.txt").ok());

    const std::vector<std::string> files = namesIn(trashDir() + "/files");
    ASSERT_EQ(files.size(), 2u);
    std::vector<std::string> infos;
    for (const std::string& f : files)
        infos.push_back(f + ".trashinfo");
    EXPECT_EQ(namesIn(trashDir() + "/info"), infos);
    // Each trashed file must stay paired with the info naming its origin.
    for (const std::string& f : files) {
        const std::string content = test::readBytes(trashDir() + "/files/" + f);
        const std::string origin = content == "from a" ? "/a/notes.txt" : "/b/notes.txt";
        EXPECT_EQ(infoOf(f), expectedInfo(work + origin));
    }
}

// A directory on another file system than the temporary directory, where
// a move into the trash cannot be a rename; empty when there is none.
class OtherFileSystemDir {
public:
    OtherFileSystemDir() {
        struct stat here {
        }, there{};
        char pattern[] = "/dev/shm/quill-test-XXXXXX";
        if (::stat(stdfs::temp_directory_path().c_str(), &here) == 0 && ::stat("/dev/shm", &there) == 0 &&
            here.st_dev != there.st_dev && ::mkdtemp(pattern))
            path_ = pattern;
    }
    ~OtherFileSystemDir() {
        std::error_code ec;
        if (!path_.empty())
            stdfs::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

TEST_F(TrashTest, MovesATreeAcrossFileSystemsKeepingSymlinks) {
    OtherFileSystemDir other;
    if (other.path().empty())
        GTEST_SKIP() << "no second file system at /dev/shm";
    test::writeBytes(work + "/Project/top.txt", "top");
    test::writeBytes(work + "/Project/sub/deep.txt", "deep");
    stdfs::create_symlink("/nonexistent/target", work + "/Project/dangling");
    stdfs::create_directory_symlink(work + "/Elsewhere", work + "/Project/linked");
    test::writeBytes(work + "/Elsewhere/e.txt", "e");
    const std::string trashDir = other.path() + "/Trash";
    const Trash elsewhere(trashDir, clock);
    ASSERT_TRUE(elsewhere.moveToTrash(work + "/Project").ok());

    EXPECT_FALSE(stdfs::exists(work + "/Project"));
    EXPECT_EQ(test::readBytes(trashDir + "/files/Project/sub/deep.txt"), "deep");
    EXPECT_EQ(stdfs::read_symlink(trashDir + "/files/Project/dangling"), "/nonexistent/target");
    EXPECT_TRUE(stdfs::is_symlink(trashDir + "/files/Project/linked")) << "a link is moved, not what it points to";
    EXPECT_EQ(infoOf("Project", trashDir), expectedInfo(work + "/Project"));
}

// Moving a directory into a trash inside it is impossible; the attempt must
// not leave a partial copy in the trash. The trash sits deep, so that a copy
// of the directory into itself soon runs out of path length.
TEST_F(TrashTest, FailedMoveLeavesNothingInTheTrash) {
    test::writeBytes(work + "/Project/top.txt", "top");
    std::string trashDir = work + "/Project";
    while (trashDir.size() < 3600)
        trashDir += "/" + std::string(200, 't');
    const Trash inside(trashDir, clock);
    EXPECT_FALSE(inside.moveToTrash(work + "/Project").ok());
    EXPECT_EQ(test::readBytes(work + "/Project/top.txt"), "top");
    EXPECT_TRUE(!stdfs::exists(trashDir + "/files") || stdfs::is_empty(trashDir + "/files"));
    EXPECT_TRUE(!stdfs::exists(trashDir + "/info") || stdfs::is_empty(trashDir + "/info"));

    // Nor does a move of what is not there.
    EXPECT_FALSE(trash.moveToTrash(work + "/nothing.txt").ok());
    EXPECT_TRUE(!stdfs::exists(this->trashDir() + "/info") || stdfs::is_empty(this->trashDir() + "/info"));
}

} // namespace
} // namespace quill
