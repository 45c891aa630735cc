#include "datapoint/FoundQueue.h"

#include <utility>

namespace quill {

void FoundQueue::restart() {
    const std::lock_guard lock(lock_);
    found_.clear();
    next_ = 0;
    finished_ = false;
}

void FoundQueue::push(std::string document) {
    const std::lock_guard lock(lock_);
    found_.push_back(std::move(document));
}

void FoundQueue::finish() {
    const std::lock_guard lock(lock_);
    finished_ = true;
}

bool FoundQueue::showFor(std::chrono::milliseconds budget,
                         const std::function<void(const std::string& document)>& show) {
    const auto until = std::chrono::steady_clock::now() + budget;
    for (;;) {
        std::string document;
        {
            const std::lock_guard lock(lock_);
            if (next_ == found_.size() || std::chrono::steady_clock::now() >= until)
                return finished_ && next_ == found_.size();
            document = std::move(found_[next_++]);
            // Emptied at once when all is taken, so the queue does not
            // grow with everything a long search finds.
            if (next_ == found_.size()) {
                found_.clear();
                next_ = 0;
            }
        }
        // Outside the lock: the walk goes on adding while this shows.
        show(document);
    }
}

} // namespace quill
