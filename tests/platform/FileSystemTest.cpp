#include "platform/FileSystem.h"

#include "platform/AtomicFile.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace quill {
namespace {

using test::TempDir;

// What fs::list shows of a directory: names as it gives them and whether
// each is a directory, sorted; "<unlisted>" when it cannot list it.
using Listing = std::vector<std::pair<std::string, bool>>;
Listing listed(const std::string& directory) {
    const auto entries = fs::list(directory);
    if (!entries)
        return {{"<unlisted>", false}};
    Listing seen;
    for (const fs::Entry& e : *entries)
        seen.emplace_back(e.name, e.isDirectory);
    std::sort(seen.begin(), seen.end());
    return seen;
}

// Each test works in a directory of its own.
class FileSystemTest : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(FileSystemTest, ResolvesEachComponentWithoutRegardToCase) {
    test::writeBytes(dir / "Dir/Sub/File.TXT", "content");
    struct Row {
        std::string path;
        bool found;
        std::string why;
    };
    const Row rows[] = {
        {"Dir/Sub/File.TXT", true, "exact spelling"},
        {"dir/SUB/file.txt", true, "every component in another case"},
        {"Dir\\sub\\FILE.txt", true, "backslashes from data"},
        {"dir/sub/../SUB/file.txt", true, "a '..' between repaired components"},
        {"dir/SUB/missing.txt", false, "directories resolve but the file is missing"},
        {"nodir/Sub/File.TXT", false, "nothing below a missing directory"},
        {"Dir/Sub/File.TXT.bak", false, "a longer name is no match"},
    };
    for (const Row& r : rows) {
        const std::string p = dir / r.path;
        EXPECT_EQ(fs::exists(p), r.found) << r.why;
        EXPECT_EQ(fs::isRegularFile(p), r.found) << r.why;
        const fs::ReadResult read = fs::readFile(p, 100);
        EXPECT_EQ(read.error, r.found ? fs::ReadError::None : fs::ReadError::Missing) << r.why;
        EXPECT_EQ(read.content, r.found ? "content" : "") << r.why;
    }
    EXPECT_TRUE(fs::isDirectory(dir / "DIR/sub"));
    EXPECT_TRUE(fs::isDirectory(dir / "DIR/sub/")) << "trailing separator";
    EXPECT_EQ(listed(dir / "dir\\SUB\\"), (Listing{{"File.TXT", false}})) << "listed as spelt on disk";
}

TEST_F(FileSystemTest, ExactSpellingWinsOverACaseVariant) {
    test::writeBytes(dir / "Data/notes.txt", "exact");
    test::writeBytes(dir / "Data/NOTES.txt", "variant");
    EXPECT_EQ(fs::readFile(dir / "Data/notes.txt", 100).content, "exact");
    EXPECT_EQ(fs::readFile(dir / "Data/NOTES.txt", 100).content, "variant");
    // The directory is repaired, the file name is then exact.
    EXPECT_EQ(fs::readFile(dir / "data/notes.txt", 100).content, "exact");
    EXPECT_EQ(fs::readFile(dir / "DATA/NOTES.txt", 100).content, "variant");
}

TEST_F(FileSystemTest, Cp1250NamesAreUtf8OnDisk) {
    const std::string name = "\x9Elu\x9Dou\xE8k\xFD.txt"; // žluťoučký.txt
    ASSERT_TRUE(replaceFile(dir / name, "k\xF9\xF2").ok());
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::path(dir.path()) / "žluťoučký.txt"));

    EXPECT_EQ(listed(dir.path()), (Listing{{name, false}}));
    // Case is folded in cp1250, so the capitals of the diacritics match too.
    EXPECT_EQ(fs::readFile(dir / "\x8ELU\x8DOU\xC8K\xDD.TXT", 100).content, "k\xF9\xF2");
    EXPECT_EQ(fs::fromNative(std::filesystem::path(dir.path()) / "žluťoučký.txt"), dir / name);
}

// Shares written by a cp1250 system may hold names that are not UTF-8.
TEST_F(FileSystemTest, NamesOnDiskThatAreNotUtf8StayReachable) {
    test::writeBytes(dir / "\x9Elu\x9D.txt", "raw"); // the bytes as they are, not UTF-8
    EXPECT_EQ(listed(dir.path()), (Listing{{"\x9Elu\x9D.txt", false}}));
    EXPECT_EQ(fs::readFile(dir / "\x9Elu\x9D.txt", 100).content, "raw");
    EXPECT_EQ(fs::readFile(dir / "\x8ELU\x8D.TXT", 100).content, "raw");
}

TEST_F(FileSystemTest, NamesTheCodePageCannotHoldNeverResolveToAnotherFile) {
    // Greek and Cyrillic letters have no place in code page 1250.
    test::writeBytes(dir / "\xCE\x94 plan.note", "delta");
    test::writeBytes(dir / "\xCE\xA9 plan.note", "omega");
    std::filesystem::create_directory(dir / "\xD0\x94\xD0\xB0\xD0\xBD");
    std::filesystem::create_directory(dir / "\xD0\x94\xD0\xB0\xD0\xBC");
    EXPECT_EQ(listed(dir.path()), Listing{}) << "left out rather than listed as '?' names";
    EXPECT_FALSE(fs::exists(dir / "? plan.note"));
    EXPECT_FALSE(fs::isDirectory(dir / "???"));
    ASSERT_TRUE(replaceFile(dir / "? plan.note", "new"));
    EXPECT_EQ(test::readBytes(dir / "\xCE\x94 plan.note"), "delta");
    EXPECT_EQ(test::readBytes(dir / "\xCE\xA9 plan.note"), "omega");
}

TEST_F(FileSystemTest, ListSkipsLeftoversOfInterruptedWrites) {
    test::writeBytes(dir / "doc.txt", "x");
    test::writeBytes(temporaryWritePath(dir / "doc.txt"), "half");
    std::filesystem::create_directory(dir / "Sub");
    EXPECT_EQ(listed(dir.path()), (Listing{{"Sub", true}, {"doc.txt", false}}));
    EXPECT_FALSE(fs::list(dir / "missing"));
}

TEST_F(FileSystemTest, ReadFileRefusesFilesAboveTheLimit) {
    // Larger than one read buffer, so the limit is checked across reads.
    const std::string big(100000, 'b');
    test::writeBytes(dir / "big", big);
    test::writeBytes(dir / "empty", "");
    std::filesystem::create_directory(dir / "folder");
    struct Row {
        std::string name;
        std::size_t maxBytes;
        fs::ReadError error;
        std::size_t size;
    };
    const Row rows[] = {
        {"big", 100000, fs::ReadError::None, 100000}, {"big", 99999, fs::ReadError::TooLarge, 0},
        {"big", 70000, fs::ReadError::TooLarge, 0},   {"empty", 0, fs::ReadError::None, 0},
        {"nothing", 10, fs::ReadError::Missing, 0},   {"folder", 10, fs::ReadError::Unreadable, 0},
    };
    for (const Row& r : rows) {
        const fs::ReadResult read = fs::readFile(dir / r.name, r.maxBytes);
        EXPECT_EQ(read.error, r.error) << r.name << " limit " << r.maxBytes;
        EXPECT_EQ(read.content.size(), r.size) << r.name << " limit " << r.maxBytes;
    }
    EXPECT_EQ(fs::readFile(dir / "big", 100000).content, big);
}

TEST_F(FileSystemTest, ModificationTimeRoundTripsWithNanoseconds) {
    test::writeBytes(dir / "f", "x");
    for (std::int64_t ns : {std::int64_t{1700000000123456789}, std::int64_t{0}, std::int64_t{-1500000001}}) {
        ASSERT_TRUE(fs::setModificationTime(dir / "f", ns));
        EXPECT_EQ(fs::modificationTime(dir / "f"), ns);
    }
    EXPECT_TRUE(fs::setModificationTime(dir / "F", 5)) << "resolved without regard to case";
    EXPECT_EQ(fs::modificationTime(dir / "f"), 5);
    EXPECT_FALSE(fs::setModificationTime(dir / "missing", 5));
    EXPECT_EQ(fs::modificationTime(dir / "missing"), 0);
}

TEST_F(FileSystemTest, CopyFileKeepsContentAndModificationTime) {
    test::writeBytes(dir / "src.txt", "new content");
    test::writeBytes(dir / "dst.txt", "old");
    const std::int64_t when = 1600000000987654321;
    ASSERT_TRUE(fs::setModificationTime(dir / "src.txt", when));

    ASSERT_TRUE(fs::copyFile(dir / "src.txt", dir / "dst.txt").ok());
    EXPECT_EQ(test::readBytes(dir / "dst.txt"), "new content");
    EXPECT_EQ(fs::modificationTime(dir / "dst.txt"), when);
    // Listed with std::filesystem: fs::list would hide a leftover temporary.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);

    EXPECT_FALSE(fs::copyFile(dir / "missing", dir / "x").ok());
    EXPECT_FALSE(fs::exists(dir / "x"));
}

TEST_F(FileSystemTest, StampChangesWhenAFileIsReplacedWithTheSameSize) {
    test::writeBytes(dir / "f", "aaaa");
    const auto before = fs::stamp(dir / "f");
    ASSERT_TRUE(before);
    ASSERT_TRUE(replaceFile(dir / "f", "bbbb").ok());
    // Same size and time: only the inode can tell the two files apart.
    ASSERT_TRUE(fs::setModificationTime(dir / "f", before->modifiedNs));
    const auto after = fs::stamp(dir / "f");
    ASSERT_TRUE(after);
    EXPECT_EQ(after->size, before->size);
    EXPECT_NE(*after, *before);
    EXPECT_FALSE(fs::stamp(dir / "missing"));
}

} // namespace
} // namespace quill
