#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

namespace quill {

// Calls under way at once on a network share: enough to hide the round
// trips, few enough not to flood the server.
inline constexpr std::size_t kNetworkReaders = 8;

// A few threads that run the jobs handed to them in the order given. On a
// network share every file call waits a round trip; several calls under
// way at once make a walk over many small files take a fraction of the
// time. The pool is joined when it goes; jobs not yet begun then never run
// and their futures report a broken promise.
class WorkPool {
public:
    explicit WorkPool(std::size_t threads);
    ~WorkPool();
    WorkPool(const WorkPool&) = delete;
    WorkPool& operator=(const WorkPool&) = delete;

    template <typename Job> auto run(Job job) -> std::future<decltype(job())> {
        auto task = std::make_shared<std::packaged_task<decltype(job())()>>(std::move(job));
        auto result = task->get_future();
        {
            const std::lock_guard lock(mutex_);
            jobs_.emplace_back([task] { (*task)(); });
        }
        wake_.notify_one();
        return result;
    }

private:
    void work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool ending_ = false;
    std::vector<std::thread> threads_;
};

// A pool of kNetworkReaders threads where path lies on a network file
// system; none on a local disk, where calls run faster one after another.
std::unique_ptr<WorkPool> poolForShare(std::string_view path);

// f applied to every item, the results in the items' order; with a pool
// the calls are under way side by side.
template <typename Item, typename F>
auto mapInOrder(WorkPool* pool, const std::vector<Item>& items, F f) -> std::vector<decltype(f(items.front()))> {
    using Result = decltype(f(items.front()));
    std::vector<Result> results;
    results.reserve(items.size());
    if (!pool) {
        for (const Item& item : items)
            results.push_back(f(item));
        return results;
    }
    std::vector<std::future<Result>> ahead;
    ahead.reserve(items.size());
    for (const Item& item : items)
        ahead.push_back(pool->run([&f, &item] { return f(item); }));
    for (std::future<Result>& result : ahead)
        results.push_back(result.get());
    return results;
}

} // namespace quill
