#include "navigation/FindSession.h"

#include "session/Visibility.h"

#include <stop_token>
#include <utility>

namespace quill {

FindSession::FindSession(Session& session) : session_(session) {}

FindSession::~FindSession() {
    stop();
}

void FindSession::start(std::vector<SearchScope> scopes, std::string_view text, std::string_view nameFilter) {
    stop();
    search_ = std::make_unique<FolderSearch>(text, nameFilter);
    found_.restart();
    handedOut_ = 0;
    worker_ = std::jthread([this, scopes = std::move(scopes), search = search_.get()](std::stop_token stopping) {
        // The walk looks at its own flag between files.
        const std::stop_callback onStop(stopping, [search] { search->stop(); });
        search->run(scopes, [this](const std::string& document) { found_.push(document); });
        found_.finish();
    });
}

void FindSession::stop() {
    if (!worker_.joinable())
        return;
    worker_.request_stop();
    worker_.join();
}

bool FindSession::take(std::chrono::milliseconds budget,
                       const std::function<void(const std::string& document)>& visit) {
    if (!search_)
        return true;
    // The walk reads every folder; what the rights hide is not handed out.
    // A turn asks about many documents in few folders.
    const FolderRightsCache rights(session_);
    const bool done = found_.showFor(budget, [&](const std::string& document) {
        if (!isVisibleToUser(session_, document))
            return;
        ++handedOut_;
        visit(document);
    });
    // The walk has ended, by itself or stopped.
    if (done && worker_.joinable())
        worker_.join();
    return done;
}

FindProgress FindSession::progress() const {
    if (!search_)
        return {};
    return {search_->foldersSearched(), search_->filesSearched(), handedOut_};
}

} // namespace quill
