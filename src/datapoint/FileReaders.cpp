#include "datapoint/FileReaders.h"

#include <algorithm>

namespace quill {

namespace {

// Files a reader takes at most at once, and how many must wait before an
// add wakes a reader: handing over one small file at a time would cost
// more than reading it.
constexpr std::size_t kBatch = 16;

} // namespace

FileReaders::FileReaders(const TextSearch& text, const std::atomic<bool>& stop, std::size_t readers, std::size_t window)
    : stop_(stop), readers_(std::max<std::size_t>(readers, 1)), slots_(std::max<std::size_t>(window, 1)) {
    threads_.reserve(readers_);
    for (std::size_t i = 0; i < readers_; ++i)
        threads_.emplace_back(&FileReaders::read, this, text);
}

FileReaders::~FileReaders() {
    {
        const std::lock_guard guard(lock_);
        closing_ = true;
    }
    work_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

std::size_t FileReaders::defaultReaders() {
    // On a local disk two readers a core do best; on a network share each
    // read mostly waits for the server, and eight readers on two cores
    // search several times faster than two, while costing a local disk a
    // third more time.
    return std::max<std::size_t>(std::thread::hardware_concurrency() * 2, 8);
}

void FileReaders::takeAnswers(std::vector<bool>& answers) {
    while (oldest_ != end_) {
        Slot& slot = slots_[oldest_ % slots_.size()];
        if (slot.state != State::Answered)
            return;
        answers.push_back(slot.contains);
        slot.state = State::Free;
        ++oldest_;
    }
}

bool FileReaders::shouldWake(std::size_t waiting) {
    if (idle_ == 0 || wakePending_ || end_ - next_ < std::max<std::size_t>(waiting, 1))
        return false;
    wakePending_ = true;
    return true;
}

void FileReaders::add(int folder, std::string name, const Answer& answered) {
    std::vector<bool> answers;
    bool wake = false;
    {
        std::unique_lock guard(lock_);
        takeAnswers(answers);
        if (end_ - oldest_ == slots_.size()) {
            // Full: everything in the window waits for the oldest file.
            if (shouldWake(1))
                work_.notify_one();
            answered_.wait(guard, [&] { return slots_[oldest_ % slots_.size()].state == State::Answered; });
            takeAnswers(answers);
        }
        Slot& slot = slots_[end_ % slots_.size()];
        slot.folder = folder;
        slot.name = std::move(name);
        slot.state = State::Waiting;
        ++end_;
        wake = shouldWake(std::min(kBatch, slots_.size()));
    }
    if (wake)
        work_.notify_one();
    // Outside the lock: an answer may take its time, or stop the search.
    for (const bool contains : answers)
        answered(contains);
}

void FileReaders::flush() {
    bool wake = false;
    {
        const std::lock_guard guard(lock_);
        wake = shouldWake(1);
    }
    if (wake)
        work_.notify_one();
}

void FileReaders::finish(const Answer& answered) {
    while (answerOldest(answered)) {
    }
}

bool FileReaders::answerOldest(const Answer& answered) {
    std::vector<bool> answers;
    {
        std::unique_lock guard(lock_);
        if (oldest_ == end_)
            return false;
        if (shouldWake(1))
            work_.notify_one();
        answered_.wait(guard, [&] { return slots_[oldest_ % slots_.size()].state == State::Answered; });
        takeAnswers(answers);
    }
    for (const bool contains : answers)
        answered(contains);
    return true;
}

void FileReaders::read(TextSearch text) {
    std::unique_lock guard(lock_);
    for (;;) {
        ++idle_;
        work_.wait(guard, [&] { return closing_ || next_ != end_; });
        --idle_;
        wakePending_ = false;
        if (next_ == end_)
            return; // closing, and nothing is left to read
        // A share of what waits, so that the other busy readers get some
        // too (idle ones are woken for what is left); the slots taken stay
        // this reader's until answered: the lister neither reuses nor reads
        // them before then.
        const std::size_t first = next_;
        const std::size_t count = std::clamp<std::size_t>((end_ - next_) / (readers_ - idle_), 1, kBatch);
        next_ += count;
        // More is waiting than taken: another reader may start on it.
        const bool more = shouldWake(1);
        // Once closing, what is left is answered unread.
        const bool skip = closing_;
        guard.unlock();
        if (more)
            work_.notify_one();
        for (std::size_t index = first; index != first + count; ++index) {
            Slot& slot = slots_[index % slots_.size()];
            slot.contains = !skip && !stop_ && text.fileContains(slot.folder, slot.name, &stop_);
        }
        guard.lock();
        bool oldestAnswered = false;
        for (std::size_t index = first; index != first + count; ++index) {
            slots_[index % slots_.size()].state = State::Answered;
            oldestAnswered = oldestAnswered || index == oldest_;
        }
        if (oldestAnswered)
            answered_.notify_one();
    }
}

} // namespace quill
