// Many writers at once, and writers killed at any moment: every record is
// one writer's whole content, no log line is torn, lost or interleaved, and
// what killed writers leave behind is cleared by the next save. The short
// form runs with the tests; QUILL_RELIABILITY_LONG=1 runs the long one.
#include "TestSupport.h"

#include "formats/ObjectTypes.h"
#include "formats/RecordFile.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/DateTimeFormat.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <random>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using test::TempDir;

long scaled(long shortForm, long longForm) {
    return std::getenv("QUILL_RELIABILITY_LONG") ? longForm : shortForm;
}

pid_t spawnWriter(const std::vector<std::string>& arguments, const char* computer = nullptr) {
    std::vector<char*> argv;
    std::string program = QUILL_STRESS_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& a : copies)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (computer)
            ::setenv("QUILL_STRESS_COMPUTER", computer, 1);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    return pid;
}

int exitStatus(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

std::size_t leftovers(const std::string& directory) {
    std::size_t count = 0;
    for (const auto& entry : stdfs::directory_iterator(directory))
        count += isTemporaryWriteName(entry.path().filename().string()) ? 1 : 0;
    return count;
}

// Every line whole, each writer's lines in order and none lost.
void expectWholeLines(const std::string& content, long writers, long linesEach) {
    std::istringstream lines(content);
    std::map<std::string, long> lastSeen;
    long total = 0;
    for (std::string line; std::getline(lines, line); ++total) {
        ASSERT_TRUE(!line.empty() && line.back() == '\r') << "line " << total << " is whole";
        std::istringstream fields(line.substr(0, line.size() - 1));
        std::string writer, padding;
        long number = 0;
        fields >> writer >> number >> padding;
        ASSERT_EQ(padding, std::string(120, static_cast<char>('a' + writer.back() % 26))) << line;
        ASSERT_EQ(number, lastSeen[writer] + 1) << writer << "'s lines in order, none lost";
        lastSeen[writer] = number;
    }
    EXPECT_EQ(total, writers * linesEach);
}

// Starts a writer that saves written over and over and kills it at a random
// moment, kills times; after each kill the record read at seen is one
// save's whole content. Returns the most leftovers seen in folder at once.
std::size_t killWritersAtRandom(const std::string& dataPoint, const std::string& written, const std::string& seen,
                                const std::string& folder, long kills, int maxDelayUs) {
    SystemClock clock;
    DateTimeFormats formats;
    const TypeTables tables = loadTypeTables(dataPoint, nullptr);
    const RecordFiles files(tables, clock, formats);
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> delayUs(0, maxDelayUs);
    std::size_t strayAtMost = 0;
    for (long k = 0; k < kills; ++k) {
        const pid_t pid = spawnWriter({"whole", dataPoint, written, "1000000"});
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ::kill(pid, SIGKILL);
        exitStatus(pid);
        Record r;
        const RecordRead result = files.read(seen, r);
        EXPECT_NE(result, RecordRead::Failed) << "kill " << k;
        for (const Field& field : r.fields) {
            if (field.value != r.fields.front().value) {
                ADD_FAILURE() << "kill " << k << ": not one save's whole content";
                return strayAtMost;
            }
        }
        strayAtMost = std::max(strayAtMost, leftovers(folder));
    }
    return strayAtMost;
}

class ReliabilityTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string dataPoint = test::copySampleDataPoint(dir);
    std::string folder = dir / "Shared";
    std::string record = folder + "/Plan.comments";
    SystemClock clock;
    DateTimeFormats formats;
    TypeTables tables = loadTypeTables(dataPoint, nullptr);
    RecordFiles files{tables, clock, formats};

    void SetUp() override { stdfs::create_directories(folder); }
    Record read(RecordRead expected = RecordRead::Ok) {
        Record r;
        EXPECT_EQ(files.read(record, r), expected);
        return r;
    }
};

TEST_F(ReliabilityTest, EightWritersOfOneRecordKeepEachOthersFields) {
    const long saves = scaled(40, 500);
    std::vector<pid_t> writers;
    for (int w = 1; w <= 8; ++w)
        writers.push_back(
            spawnWriter({"field", dataPoint, record, "COMMENT" + std::to_string(w), std::to_string(saves)}));
    for (pid_t pid : writers)
        EXPECT_EQ(exitStatus(pid), 0);
    const Record r = read();
    for (int w = 1; w <= 8; ++w)
        EXPECT_EQ(r.value("COMMENT" + std::to_string(w)), std::to_string(saves)) << "writer " << w << "'s last save";
    EXPECT_EQ(leftovers(folder), 0u) << "no temporary or lock file stays";
}

TEST_F(ReliabilityTest, EightWritersOfOneLogNeverTearOrLoseALine) {
    const long lines = scaled(200, 2000);
    const std::string log = folder + "/system.log";
    std::vector<pid_t> writers;
    for (int w = 0; w < 8; ++w)
        writers.push_back(spawnWriter({"log", log, "W" + std::to_string(w), std::to_string(lines)}));
    for (pid_t pid : writers)
        EXPECT_EQ(exitStatus(pid), 0);

    expectWholeLines(test::readBytes(log), 8, lines);
}

TEST_F(ReliabilityTest, AKilledSaveLeavesTheOldOrTheNewRecordAndItsLeftoversAreCleared) {
    const long kills = scaled(60, 2000);
    const std::size_t strayAtMost = killWritersAtRandom(dataPoint, record, record, folder, kills, 15000);
    std::cout << "[ reliability ] " << kills << " kills, at most " << strayAtMost << " leftover files at once\n";

    // What the killed writers left is old by the next save's standards.
    const auto old = stdfs::file_time_type::clock::now() - std::chrono::minutes(10);
    for (const auto& entry : stdfs::directory_iterator(folder)) {
        if (isTemporaryWriteName(entry.path().filename().string()))
            stdfs::last_write_time(entry.path(), old);
    }
    EXPECT_EQ(exitStatus(spawnWriter({"whole", dataPoint, record, "1"})), 0) << "a killed writer's lock is taken over";
    EXPECT_EQ(leftovers(folder), 0u);
    EXPECT_EQ(read().value("COMMENT20"), "1");
}

// The same on a network file system: two sshfs mounts of one share stand
// for two computers (tests/reliability/network-mount.sh sets them up).
class NetworkShareTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* a = std::getenv("QUILL_SHARE_A");
        const char* b = std::getenv("QUILL_SHARE_B");
        const char* server = std::getenv("QUILL_SHARE");
        if (!a || !b || !server)
            GTEST_SKIP() << "no network mount: run through tests/reliability/network-mount.sh";
        mountA = a;
        mountB = b;
        share = server;
    }
    std::string mountA, mountB, share;
    TempDir dir;
    std::string dataPoint = test::copySampleDataPoint(dir);
};

TEST_F(NetworkShareTest, TwoComputersSavingOneRecordKeepEachOthersFields) {
    const long saves = scaled(20, 200);
    std::vector<pid_t> writers;
    for (int w = 1; w <= 8; ++w) {
        const bool first = w <= 4;
        writers.push_back(spawnWriter({"field", dataPoint, (first ? mountA : mountB) + "/Plan.comments",
                                       "COMMENT" + std::to_string(w), std::to_string(saves)},
                                      first ? "PC-A" : "PC-B"));
    }
    for (pid_t pid : writers)
        EXPECT_EQ(exitStatus(pid), 0);
    SystemClock clock;
    DateTimeFormats formats;
    const TypeTables tables = loadTypeTables(dataPoint, nullptr);
    Record r;
    ASSERT_EQ(RecordFiles(tables, clock, formats).read(share + "/Plan.comments", r), RecordRead::Ok);
    for (int w = 1; w <= 8; ++w)
        EXPECT_EQ(r.value("COMMENT" + std::to_string(w)), std::to_string(saves)) << "writer " << w;
    EXPECT_EQ(leftovers(share), 0u);
}

TEST_F(NetworkShareTest, TwoComputersAppendingToOneLogLoseNoLine) {
    const long lines = scaled(100, 1000);
    std::vector<pid_t> writers;
    for (int w = 0; w < 8; ++w) {
        const bool first = w < 4;
        writers.push_back(spawnWriter(
            {"log", (first ? mountA : mountB) + "/system.log", "W" + std::to_string(w), std::to_string(lines)},
            first ? "PC-A" : "PC-B"));
    }
    for (pid_t pid : writers)
        EXPECT_EQ(exitStatus(pid), 0);
    expectWholeLines(test::readBytes(share + "/system.log"), 8, lines);
}

TEST_F(NetworkShareTest, AKilledSaveOnTheShareLeavesTheOldOrTheNewRecord) {
    const long kills = scaled(30, 500);
    killWritersAtRandom(dataPoint, mountA + "/Killed.comments", share + "/Killed.comments", share, kills, 40000);
}

} // namespace
} // namespace quill
