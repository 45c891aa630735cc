#include "platform/FileLock.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <unistd.h>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using test::TempDir;

std::size_t entriesIn(const std::string& directory) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : stdfs::directory_iterator(directory))
        ++count;
    return count;
}

void age(const std::string& file, std::chrono::seconds by) {
    stdfs::last_write_time(file, stdfs::last_write_time(file) - by);
}

// What a killed holder leaves decides whether the next program may take
// the lock at once, after a short while, or only after the long wait.
TEST(FileLockTest, ALockLeftByAKilledHolderIsTakenOverAndALiveOneIsNot) {
    const long ended = test::endedProcessId();
    const std::string host = test::hostName();
    struct Row {
        const char* why;
        std::string content;
        std::chrono::seconds olderBy;
        bool taken;
    };
    const std::vector<Row> rows = {
        {"a process of this computer that has ended", std::string(host) + " " + std::to_string(ended),
         std::chrono::seconds(0), true},
        {"killed between making the lock file and naming itself", "", std::chrono::seconds(10), true},
        {"an empty lock file just made: its holder is still writing", "", std::chrono::seconds(0), false},
        {"a live holder of this computer", std::string(host) + " " + std::to_string(::getpid()),
         std::chrono::seconds(10), false},
        {"a holder on another computer, long gone", "elsewhere 1", std::chrono::seconds(120), true},
        {"a holder on another computer, recent", "elsewhere 1", std::chrono::seconds(5), false},
    };
    for (const Row& row : rows) {
        TempDir dir;
        const std::string record = dir / "Supplier.contract";
        test::writeBytes(lockFilePath(record), row.content);
        age(lockFilePath(record), row.olderBy);
        const FileLock lock(record, std::chrono::milliseconds(300));
        EXPECT_EQ(lock.held(), row.taken) << row.why;
    }
}

// The lock file carries its holder from the moment it exists, and taking
// and releasing it leaves nothing behind.
TEST(FileLockTest, ALockFileNamesItsHolderAndGoesWithIt) {
    TempDir dir;
    const std::string record = dir / "Supplier.contract";
    {
        const FileLock lock(record);
        ASSERT_TRUE(lock.held());
        EXPECT_EQ(test::readBytes(lockFilePath(record)).rfind(" " + std::to_string(::getpid())),
                  test::readBytes(lockFilePath(record)).size() - std::to_string(::getpid()).size() - 1);
        EXPECT_EQ(entriesIn(dir.path()), 1u);
        const FileLock second(record, std::chrono::milliseconds(50));
        EXPECT_FALSE(second.held());
        EXPECT_NE(second.status().message().find("another program"), std::string::npos);
    }
    EXPECT_EQ(entriesIn(dir.path()), 0u);
}

} // namespace
} // namespace quill
