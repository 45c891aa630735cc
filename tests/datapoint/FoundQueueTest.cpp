// The queue between a search's thread and the window: every document is
// shown once, in the order found, a turn stops at its budget, and the
// search is over only when the walk has ended and all is shown.
#include "datapoint/FoundQueue.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace quill {
namespace {

using std::chrono::milliseconds;

TEST(FoundQueueTest, TurnsShowWhatIsThereAndTellWhenTheSearchIsOver) {
    FoundQueue queue;
    std::vector<std::string> shown;
    const auto show = [&shown](const std::string& document) { shown.push_back(document); };
    const struct {
        const char* what;
        std::vector<std::string> pushed;
        bool finish;
        milliseconds budget;
        std::vector<std::string> shownAfter; // everything shown so far
        bool over;
    } turns[] = {
        {"nothing found yet", {}, false, milliseconds(20), {}, false},
        {"two found", {"a", "b"}, false, milliseconds(20), {"a", "b"}, false},
        {"no budget shows none", {"c"}, false, milliseconds(0), {"a", "b"}, false},
        {"the rest after the walk ended", {"d"}, true, milliseconds(20), {"a", "b", "c", "d"}, true},
        {"over stays over", {}, false, milliseconds(20), {"a", "b", "c", "d"}, true},
    };
    for (const auto& turn : turns) {
        for (const std::string& document : turn.pushed)
            queue.push(document);
        if (turn.finish)
            queue.finish();
        EXPECT_EQ(queue.showFor(turn.budget, show), turn.over) << turn.what;
        EXPECT_EQ(shown, turn.shownAfter) << turn.what;
    }
    // A new search starts empty and not over, with nothing of the last.
    queue.restart();
    EXPECT_FALSE(queue.showFor(milliseconds(20), show));
    EXPECT_EQ(shown.size(), 4u);
}

TEST(FoundQueueTest, ASlowShowEndsTheTurnAndTheRestComesNext) {
    FoundQueue queue;
    for (const char* document : {"a", "b", "c"})
        queue.push(document);
    queue.finish();
    std::vector<std::string> shown;
    const auto slow = [&shown](const std::string& document) {
        shown.push_back(document);
        std::this_thread::sleep_for(milliseconds(30));
    };
    EXPECT_FALSE(queue.showFor(milliseconds(20), slow));
    EXPECT_EQ(shown, std::vector<std::string>({"a"}));
    EXPECT_FALSE(queue.showFor(milliseconds(20), slow));
    // The last one shown with the walk ended: the search is over.
    EXPECT_TRUE(queue.showFor(milliseconds(20), slow));
    EXPECT_EQ(shown, std::vector<std::string>({"a", "b", "c"}));
}

TEST(FoundQueueTest, AWalkOnAnotherThreadIsShownWholeAndInOrder) {
    FoundQueue queue;
    std::vector<std::string> expected;
    for (int i = 0; i < 5000; ++i)
        expected.push_back(std::to_string(i));
    std::thread walk([&] {
        for (const std::string& document : expected)
            queue.push(document);
        queue.finish();
    });
    std::vector<std::string> shown;
    while (!queue.showFor(milliseconds(1), [&shown](const std::string& document) { shown.push_back(document); }))
        std::this_thread::yield();
    walk.join();
    EXPECT_EQ(shown, expected);
}

} // namespace
} // namespace quill
