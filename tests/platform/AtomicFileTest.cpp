#include "platform/AtomicFile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace quill {
namespace {

using test::TempDir;

// Every name in the directory, leftovers of writes included (fs::list
// would hide those and let a leaked temporary file go unnoticed).
std::set<std::string> namesIn(const TempDir& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.insert(entry.path().filename().string());
    return names;
}

unsigned modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

class UmaskGuard {
public:
    explicit UmaskGuard(mode_t mask) : saved_(::umask(mask)) {}
    ~UmaskGuard() { ::umask(saved_); }

private:
    mode_t saved_;
};

// Each test works in a directory of its own.
class AtomicFileTest : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(AtomicFileTest, ReplacesContentWithoutLeavingTemporaryFiles) {
    const std::string file = dir / "doc.txt";
    ASSERT_TRUE(replaceFile(file, "first").ok());
    EXPECT_EQ(test::readBytes(file), "first");
    ASSERT_TRUE(replaceFile(file, std::string("second\0\xFF", 8)).ok());
    EXPECT_EQ(test::readBytes(file), std::string("second\0\xFF", 8));
    ASSERT_TRUE(replaceFile(file, "").ok());
    EXPECT_EQ(test::readBytes(file), "");
    EXPECT_EQ(namesIn(dir), std::set<std::string>{"doc.txt"});
}

TEST_F(AtomicFileTest, ReplacesTheExistingFileSpeltInAnotherCase) {
    test::writeBytes(dir / "Notes.txt", "old");
    ASSERT_TRUE(replaceFile(dir / "NOTES.TXT", "new").ok());
    EXPECT_EQ(test::readBytes(dir / "Notes.txt"), "new");
    EXPECT_EQ(namesIn(dir), std::set<std::string>{"Notes.txt"});
}

TEST_F(AtomicFileTest, PermissionBits) {
    struct Row {
        unsigned oldMode; // 0: no old file
        std::optional<unsigned> mode;
        mode_t umask;
        unsigned expected;
        const char* why;
    };
    const Row rows[] = {
        {0640, std::nullopt, 022, 0640, "old file's bits kept"},
        {0664, std::nullopt, 077, 0664, "umask does not narrow the kept bits"},
        {0644, 0600u, 0, 0600, "explicit mode over an old file, no umask"},
        {0, 0600u, 0, 0600, "explicit mode on a new file, no umask"},
        {0, 0644u, 077, 0644, "explicit mode wider than the umask allows"},
        {0, std::nullopt, 022, 0644, "new file without a mode follows the umask"},
    };
    int n = 0;
    for (const Row& r : rows) {
        const std::string file = dir / ("f" + std::to_string(n++));
        if (r.oldMode) {
            test::writeBytes(file, "old");
            ASSERT_EQ(::chmod(file.c_str(), r.oldMode), 0);
        }
        UmaskGuard guard(r.umask);
        ASSERT_TRUE(replaceFile(file, "new", r.mode).ok()) << r.why;
        EXPECT_EQ(modeOf(file), r.expected) << r.why;
    }
}

TEST_F(AtomicFileTest, FailedWriteKeepsTheOldContent) {
    const Status missing = replaceFile(dir / "no/such/dir/doc.txt", "x");
    EXPECT_FALSE(missing.ok());
    EXPECT_FALSE(missing.message().empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "no"));

    std::filesystem::create_directory(dir / "folder");
    EXPECT_FALSE(replaceFile(dir / "folder", "x").ok()) << "a directory is not replaced by a file";
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));

    // A full disk: the write fails half way.
    test::writeBytes(dir / "doc.txt", "old");
    EXPECT_TRUE(test::passesInChild([&] { return !replaceFile(dir / "doc.txt", std::string(100000, 'n')).ok(); }, 1000))
        << "the failed write was reported as success";
    EXPECT_EQ(test::readBytes(dir / "doc.txt"), "old");
    EXPECT_EQ(namesIn(dir), (std::set<std::string>{"doc.txt", "folder"}));
}

// Run as an ordinary user, so that this holds where the tests run as root.
TEST_F(AtomicFileTest, WhatTheUserMayNotWriteIsNotReplaced) {
    ::chmod(dir.path().c_str(), 0777);
    const std::string theirs = dir / "theirs.note", locked = dir / "locked";
    test::writeBytes(theirs, "old");
    ::chmod(theirs.c_str(), 0444);
    test::writeBytes(locked + "/doc.txt", "old");
    ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
    EXPECT_TRUE(test::passesInChild(
        [&] {
            const Status refused = replaceFile(theirs, "new");
            return !refused.ok() && refused.message().find("you may not write") != std::string::npos;
        },
        0, test::ChildUser::Ordinary))
        << "a file the user may not write";
    EXPECT_TRUE(test::passesInChild([&] { return !replaceFile(locked + "/doc.txt", "new").ok(); }, 0,
                                    test::ChildUser::Ordinary))
        << "a read-only directory";
    ::chmod(locked.c_str(), 0755);
    EXPECT_EQ(test::readBytes(theirs), "old");
    EXPECT_EQ(test::readBytes(locked + "/doc.txt"), "old");
}

TEST_F(AtomicFileTest, ALineTheDiskTakesOnlyInPartIsCutOffAndTheCauseNamed) {
    const std::string log = dir / "user.log";
    test::writeBytes(log, "first\r\n");
    // Room for part of the next line only.
    EXPECT_TRUE(test::passesInChild(
        [&] {
            const Status s = appendLine(log, "a line far longer than the room that is left");
            return !s.ok() && s.message().find("too large") != std::string::npos;
        },
        20))
        << "a failure naming the cause";
    EXPECT_EQ(test::readBytes(log), "first\r\n") << "no half line for the next one to continue";
    ASSERT_TRUE(appendLine(log, "second"));
    EXPECT_EQ(test::readBytes(log), "first\r\nsecond\r\n");
}

TEST_F(AtomicFileTest, LeftoversOfKilledWritesGoWhenTheyAreOld) {
    const std::string old = temporaryWritePath(dir / "a.note"), fresh = temporaryWritePath(dir / "b.note");
    test::writeBytes(old, "killed long ago");
    test::writeBytes(fresh, "being written now");
    std::filesystem::last_write_time(old, std::filesystem::file_time_type::clock::now() - std::chrono::minutes(6));
    sweepStaleTemporaryFiles(dir.path());
    EXPECT_FALSE(std::filesystem::exists(old));
    EXPECT_TRUE(std::filesystem::exists(fresh));
}

TEST_F(AtomicFileTest, AppendLineCreatesTheFileAndAddsWholeLines) {
    const std::string log = dir / "log.txt";
    ASSERT_TRUE(appendLine(log, "first").ok());
    ASSERT_TRUE(appendLine(log, "").ok());
    ASSERT_TRUE(appendLine(log, "third").ok());
    EXPECT_EQ(test::readBytes(log), "first\r\n\r\nthird\r\n");
    EXPECT_FALSE(appendLine(dir / "missing/log.txt", "x").ok());
}

TEST_F(AtomicFileTest, LinesOfConcurrentWritersNeverInterleave) {
    const std::string log = dir / "log.txt";
    constexpr int kWriters = 4;
    constexpr int kLines = 200;
    // Long lines make a torn or interleaved write far more likely to show.
    const std::string filler(2000, '.');
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            bool ok = true;
            for (int i = 0; i < kLines && ok; ++i)
                ok = appendLine(log, "writer " + std::to_string(w) + " line " + std::to_string(i) + filler).ok();
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    const std::string content = test::readBytes(log);
    std::set<std::string> expected;
    for (int w = 0; w < kWriters; ++w) {
        for (int i = 0; i < kLines; ++i)
            expected.insert("writer " + std::to_string(w) + " line " + std::to_string(i) + filler);
    }
    ASSERT_TRUE(content.ends_with("\r\n")) << "last line without a line break";
    const std::vector<std::string> lines = test::linesOf(content);
    const std::multiset<std::string> seen(lines.begin(), lines.end());
    EXPECT_EQ(seen.size(), expected.size());
    EXPECT_EQ(std::set<std::string>(seen.begin(), seen.end()), expected);
}

TEST_F(AtomicFileTest, TemporaryNamesAreRecognised) {
    const std::string a = temporaryWritePath("dir/doc.txt");
    const std::string b = temporaryWritePath("dir/doc.txt");
    EXPECT_NE(a, b);
    EXPECT_EQ(a.substr(0, 4), "dir/");
    EXPECT_TRUE(isTemporaryWriteName(a.substr(4)));
    for (const char* document : {"doc.txt", "", ".tmp", "notes.tmp", ".hidden"})
        EXPECT_FALSE(isTemporaryWriteName(document)) << document;
}

} // namespace
} // namespace quill
