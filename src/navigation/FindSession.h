#pragma once

#include "datapoint/FolderSearch.h"
#include "datapoint/FoundQueue.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace quill {

class Session;

// How far a find has come: the folders listed and files read so far, and
// the documents handed out to be shown.
struct FindProgress {
    std::size_t folders = 0;
    std::size_t files = 0;
    std::size_t documents = 0;
};

// One find at a time: the walk runs on a thread of its own and streams
// what it finds; the documents are handed out on the owner's thread a few
// at a time, those the user's rights hide left out, so that whoever shows
// them keeps answering however much the walk finds. Every member is for
// the owner's thread; the walk touches no session. Destroying it stops
// the walk and waits for its thread.
class FindSession {
public:
    explicit FindSession(Session& session);
    ~FindSession();
    FindSession(const FindSession&) = delete;
    FindSession& operator=(const FindSession&) = delete;

    // Starts a search for text in the files of scopes whose names hold
    // nameFilter (empty for every file); a running one is stopped first and
    // what it found but had not handed out is dropped.
    void start(std::vector<SearchScope> scopes, std::string_view text, std::string_view nameFilter);
    // Stops the walk and waits for its thread, within one file of the walk.
    // What it found before is still handed out by take().
    void stop();

    // Hands the documents found and not yet handed out to visit, in the
    // order found, until none is left or budget has passed. True when the
    // walk has ended and all it found has been handed out: the search is
    // over (or none was started).
    bool take(std::chrono::milliseconds budget, const std::function<void(const std::string& document)>& visit);

    // The walk's thread is still there: take() has not yet seen it end and
    // it was not stopped.
    bool running() const { return worker_.joinable(); }
    // A search was started since this was made.
    bool started() const { return search_ != nullptr; }
    FindProgress progress() const;

private:
    Session& session_;
    std::unique_ptr<FolderSearch> search_;
    FoundQueue found_;
    std::size_t handedOut_ = 0;
    // Last: its thread uses the search and the queue above.
    std::jthread worker_;
};

} // namespace quill
