// The readers answer in the order files were given, whatever the window
// and however many read at once, and answer "no" unread after a stop.
#include "datapoint/FileReaders.h"
#include "platform/FileSystem.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace quill {
namespace {

class FileReadersTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Every third file holds the word; some are large enough to take
        // several blocks, so that readers finish out of turn.
        for (int n = 0; n < kFiles; ++n) {
            const std::string body = (n % 7 == 0 ? std::string(700 * 1024, 'x') : std::string()) + "paper\r\n";
            test::writeBytes(dir / name(n), n % 3 == 0 ? body + "toner\r\n" : body);
        }
        folder = fs::openForReading(dir.path(), O_DIRECTORY);
        ASSERT_GE(folder, 0);
    }
    void TearDown() override { ::close(folder); }
    static std::string name(int n) { return "N" + std::to_string(n) + ".note"; }

    static constexpr int kFiles = 60;
    test::TempDir dir;
    int folder = -1;
};

TEST_F(FileReadersTest, AnswersComeInTheOrderGiven) {
    std::vector<bool> expected;
    for (int n = 0; n < kFiles; ++n)
        expected.push_back(n % 3 == 0);
    const struct {
        std::size_t readers;
        std::size_t window;
    } cases[] = {{1, 1}, {3, 1}, {3, 2}, {8, 5}, {8, 16}, {2, 1024}, {8, 1024}};
    for (const auto& c : cases) {
        for (int round = 0; round < 10; ++round) {
            const std::atomic<bool> stop{false};
            std::vector<bool> answers;
            const FileReaders::Answer answered = [&](bool contains) { answers.push_back(contains); };
            {
                FileReaders readers(TextSearch("toner"), stop, c.readers, c.window);
                for (int n = 0; n < kFiles; ++n) {
                    readers.add(folder, name(n), answered);
                    ASSERT_LE(n + 1 - answers.size(), c.window) << "no more than the window waits";
                }
                readers.finish(answered);
            }
            ASSERT_EQ(answers, expected) << c.readers << " readers, window " << c.window << ", round " << round;
        }
    }
}

TEST_F(FileReadersTest, AfterAStopEveryAnswerIsNo) {
    std::atomic<bool> stop{false};
    std::vector<bool> answers;
    const FileReaders::Answer answered = [&](bool contains) {
        answers.push_back(contains);
        stop = true;
    };
    FileReaders readers(TextSearch("toner"), stop, 4, 8);
    for (int n = 0; n < kFiles; ++n)
        readers.add(folder, name(n), answered);
    readers.finish(answered);
    ASSERT_EQ(answers.size(), static_cast<std::size_t>(kFiles));
    // Files read before the stop keep their answer; after the first answer
    // the window's worth at most was read, and nothing later matches.
    for (std::size_t n = 9; n < answers.size(); ++n)
        EXPECT_FALSE(answers[n]) << "file " << n;
}

} // namespace
} // namespace quill
