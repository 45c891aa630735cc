// The pool that keeps several file calls under way on a network share: the
// calls really run side by side, the answers come in the order asked, and
// a pool that goes leaves the jobs it never began broken, not hanging.
#include "platform/WorkPool.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quill {
namespace {

using namespace std::chrono_literals;

// Lets callers wait, with a limit, until count of them are in at once.
class Gathering {
public:
    explicit Gathering(int count) : count_(count) {}

    // False when the others did not come in time.
    bool arriveAndWait() {
        std::unique_lock lock(mutex_);
        ++arrived_;
        all_.notify_all();
        return all_.wait_for(lock, 20s, [this] { return arrived_ >= count_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable all_;
    int arrived_ = 0;
    const int count_;
};

TEST(WorkPoolTest, AnswersComeInTheOrderAskedWithOrWithoutAPool) {
    const std::vector<int> items{5, 3, 8, 1, 9, 2, 7, 4, 6, 0};
    std::vector<std::string> expected;
    for (int item : items)
        expected.push_back(std::to_string(item * item));
    const auto square = [](int item) { return std::to_string(item * item); };

    WorkPool pool(3);
    for (WorkPool* used : {static_cast<WorkPool*>(nullptr), &pool})
        EXPECT_EQ(mapInOrder(used, items, square), expected) << (used ? "pool" : "alone");
}

TEST(WorkPoolTest, AsManyCallsAsThreadsAreUnderWayAtOnce) {
    // Each call waits for all the others: they end only where every one
    // of them has a thread of its own.
    constexpr int kThreads = 4;
    WorkPool pool(kThreads);
    Gathering together(kThreads);
    const std::vector<int> items(kThreads, 0);
    const std::vector<bool> met = mapInOrder(&pool, items, [&](int) { return together.arriveAndWait(); });
    EXPECT_EQ(met, std::vector<bool>(kThreads, true));
}

TEST(WorkPoolTest, AGonePoolBreaksTheJobsItNeverBegan) {
    auto pool = std::make_unique<WorkPool>(1);
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::promise<void> began;
    std::future<int> running = pool->run([&began, released] {
        began.set_value();
        released.wait();
        return 1;
    });
    std::future<int> waiting = pool->run([] { return 2; });
    ASSERT_EQ(began.get_future().wait_for(20s), std::future_status::ready);

    // The pool goes while its one thread is busy: the waiting job is
    // dropped at once, the running one is finished before the pool is.
    std::thread ending([&pool] { pool.reset(); });
    EXPECT_EQ(waiting.wait_for(20s), std::future_status::ready);
    release.set_value();
    ending.join();
    EXPECT_EQ(running.get(), 1);
    try {
        waiting.get();
        ADD_FAILURE() << "a job never begun gave an answer";
    } catch (const std::future_error& error) {
        EXPECT_EQ(error.code(), std::future_errc::broken_promise);
    }
}

} // namespace
} // namespace quill
