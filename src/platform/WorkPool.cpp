#include "platform/WorkPool.h"

#include "platform/FileSystem.h"

namespace quill {

WorkPool::WorkPool(std::size_t threads) {
    for (std::size_t i = 0; i < threads; ++i)
        threads_.emplace_back([this] { work(); });
}

WorkPool::~WorkPool() {
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
        jobs_.clear();
    }
    wake_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

void WorkPool::work() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return ending_ || !jobs_.empty(); });
            if (ending_)
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

std::unique_ptr<WorkPool> poolForShare(std::string_view path) {
    if (!path.empty() && fs::isNetworkFileSystem(path))
        return std::make_unique<WorkPool>(kNetworkReaders);
    return nullptr;
}

} // namespace quill
