#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace quill {

// The documents a search running on its own thread has found, handed to
// the thread that shows them a few at a time. Showing a document means
// reading its record, which takes time: each turn shows what fits in a
// budget, so that the window keeps answering however much the walk finds.
// Every member may be used from any thread.
class FoundQueue {
public:
    // Empty, with the walk not yet ended: for a new search.
    void restart();
    // From the walk: one more document, and the walk has ended.
    void push(std::string document);
    void finish();

    // Shows the documents not yet shown, in the order found, until none
    // is left or budget has passed; none once it has passed before the
    // first. True when the walk has ended and all it found has been shown:
    // the search is over.
    bool showFor(std::chrono::milliseconds budget, const std::function<void(const std::string& document)>& show);

private:
    std::mutex lock_;
    std::vector<std::string> found_; // not yet shown from next_ on
    std::size_t next_ = 0;
    bool finished_ = false;
};

} // namespace quill
