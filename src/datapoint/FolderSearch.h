#pragma once

#include "platform/TextSearch.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

struct TypeTables;

// A folder to search and whether its subfolders are searched too.
struct SearchScope {
    std::string folder;
    bool subfolders = true;
};

// The documents whose text, or a companion's, holds a word: the folders
// walked without an index, attached files, histories and folder records
// left out, links never followed. It touches no session, so it may run on
// a thread of its own; stop() and the counts may be used from any thread.
// One thread lists the folders while a few others read the files.
class FolderSearch {
public:
    // nameFilter: only files whose name holds it (in any case) are read;
    // empty for every file. readers: how many files are read at once; 0
    // for as many as suit this machine.
    FolderSearch(std::string_view text, std::string_view nameFilter, std::size_t readers = 0);

    // found is told each matching document once as it is met, in the order
    // found: a document and its companions count once wherever they stand
    // in the listing, and a folder that two scopes reach (a subfolder that
    // is also a top folder) is searched once. found is called on the
    // thread that runs the search, in the order of the walk whichever file
    // is read first, so the list comes out the same each time. Returns
    // early once stop() was called, and found is not called after that.
    void run(const std::vector<SearchScope>& scopes, const std::function<void(const std::string& document)>& found);

    void stop() { stopRequested_ = true; }
    bool stopRequested() const { return stopRequested_; }
    std::size_t foldersSearched() const { return folders_; }
    std::size_t filesSearched() const { return files_; }

private:
    struct Walk;
    void searchFolder(Walk& walk, const std::string& folder, bool subfolders);

    TextSearch text_;
    std::string filter_; // upper-cased
    std::size_t readers_;
    std::atomic<bool> stopRequested_{false};
    std::atomic<std::size_t> folders_{0};
    std::atomic<std::size_t> files_{0};
};

// The file name filter of a kind of object chosen by its caption: "." and
// the name of the first object type with that caption, without ".info"
// (".contract"); empty when no type has that caption.
std::string searchFilterFor(const TypeTables& tables, std::string_view caption);

} // namespace quill
