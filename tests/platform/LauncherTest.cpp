#include "platform/Launcher.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace quill {
namespace {

std::optional<int> waitForExit(int pid) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < until) {
        if (const auto code = launchedProgramExit(pid))
            return code;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::nullopt;
}

// How a launched helper ended, as the window learns it afterwards.
TEST(LauncherTest, TellsHowTheProgramEnded) {
    test::TempDir dir;
    struct Case {
        const char* what;
        std::vector<std::string> commandLine;
        std::string directory;
        int exit; // -1: it does not start
    };
    const Case cases[] = {
        {"success", {"sh", "-c", "exit 0"}, {}, 0},
        {"printer refuses", {"sh", "-c", "exit 1"}, {}, 1},
        {"no mail program", {"sh", "-c", "exit 3"}, {}, 3},
        {"no program for the type", {"sh", "-c", "exit 4"}, {}, 4},
        {"arguments passed as they are", {"sh", "-c", "test \"$0\" = 'a b;c'", "a b;c"}, {}, 0},
        {"runs in the directory", {"sh", "-c", "test \"$(pwd)\" = \"$0\"", dir.path()}, dir.path(), 0},
        {"missing directory", {"sh", "-c", "exit 0"}, dir / "missing", -1},
        {"no such program", {"quill-no-such-helper"}, {}, -1},
        {"ended by a signal", {"sh", "-c", "kill -TERM $$"}, {}, 128 + 15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int pid = launchProgram(c.commandLine, c.directory);
        if (c.exit < 0) {
            EXPECT_EQ(pid, -1);
            continue;
        }
        ASSERT_GT(pid, 0);
        EXPECT_EQ(waitForExit(pid), c.exit);
    }
}

TEST(LauncherTest, AnswersNothingWhileTheProgramRuns) {
    const int pid = launchProgram({"sh", "-c", "read line"});
    ASSERT_GT(pid, 0);
    // Its input is not the terminal's: it reads an end at once.
    EXPECT_EQ(waitForExit(pid), 1);
    const int sleeper = launchProgram({"sleep", "0.3"});
    ASSERT_GT(sleeper, 0);
    EXPECT_EQ(launchedProgramExit(sleeper), std::nullopt);
    EXPECT_EQ(waitForExit(sleeper), 0);
    EXPECT_EQ(launchProgram({}), -1);
}

} // namespace
} // namespace quill
