#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <string>

namespace quill {
namespace {

TEST(PathsTest, JoinInsertsOneSeparatorAndReadsBackslashesAsSeparators) {
    struct Row {
        std::string dir, name, expected, why;
    };
    const Row rows[] = {
        {"a", "b", "a/b", "separator added"},
        {"a/", "b", "a/b", "no second separator"},
        {"a\\", "b", "a/b", "a backslash from data already separates"},
        {"", "b", "b", "nothing to join to"},
        {"/", "b", "/b", "root"},
        {"Data\\Point", "Folder\\doc.txt", "Data/Point/Folder/doc.txt", "backslashes in both parts"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(path::join(r.dir, r.name), r.expected) << r.why;
}

TEST(PathsTest, TrailingSeparators) {
    EXPECT_EQ(path::withTrailingSeparator("a"), "a/");
    EXPECT_EQ(path::withTrailingSeparator("a\\"), "a/");
    EXPECT_EQ(path::withTrailingSeparator("a/"), "a/");
    EXPECT_EQ(path::withoutTrailingSeparator("a//"), "a");
    EXPECT_EQ(path::withoutTrailingSeparator("a\\"), "a");
    EXPECT_EQ(path::withoutTrailingSeparator("/"), "/") << "the root must stay a path";
}

TEST(PathsTest, SplitsNamesAndExtensions) {
    struct Row {
        std::string path, fileName, directory, extension, withoutExtension, why;
    };
    const Row rows[] = {
        {"dir/report.txt", "report.txt", "dir", ".txt", "dir/report", "plain"},
        {"dir/archive.tar.gz", "archive.tar.gz", "dir", ".gz", "dir/archive.tar", "last dot counts"},
        {"dir/README", "README", "dir", "", "dir/README", "no dot"},
        {"a.b/c", "c", "a.b", "", "a.b/c", "dot in a directory name is no extension"},
        {"a.b\\c", "c", "a.b", "", "a.b/c", "same with a backslash"},
        {"x\\y\\z.ini", "z.ini", "x/y", ".ini", "x/y/z", "backslash separators"},
        {"name.", "name.", "", ".", "name", "bare name ending in a dot"},
        {"dir/sub/", "", "dir/sub", "", "dir/sub/", "trailing separator: empty name"},
        {"/top.txt", "top.txt", "/", ".txt", "/top", "file in the root"},
    };
    // Either separator may come back in the parts; only where they split matters.
    for (const Row& r : rows) {
        EXPECT_EQ(path::fileName(r.path), r.fileName) << r.why;
        EXPECT_EQ(path::normalize(path::directory(r.path)), r.directory) << r.why;
        EXPECT_EQ(path::extension(r.path), r.extension) << r.why;
        EXPECT_EQ(path::normalize(path::withoutExtension(r.path)), r.withoutExtension) << r.why;
    }
}

TEST(PathsTest, ChangeExtension) {
    EXPECT_EQ(path::changeExtension("dir/archive.tar.gz", ".zip"), "dir/archive.tar.zip");
    EXPECT_EQ(path::changeExtension("a.b/c", ".txt"), "a.b/c.txt");
    EXPECT_EQ(path::changeExtension("doc.htm", ""), "doc");
}

TEST(PathsTest, PlainFileNames) {
    for (const char* good : {"doc.txt", "a b", "..x", "x..", "\x9Elu\x9Dou\xE8k\xFD.txt"})
        EXPECT_TRUE(path::isPlainFileName(good)) << good;
    for (const char* bad : {"", ".", "..", "a/b", "a\\b", "/", "\\", "../x", "x/"})
        EXPECT_FALSE(path::isPlainFileName(bad)) << bad;
    EXPECT_FALSE(path::isPlainFileName(std::string("a\0b", 3))) << "an embedded zero cuts the name short";
}

} // namespace
} // namespace quill
