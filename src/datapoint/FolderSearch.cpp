#include "datapoint/FolderSearch.h"

#include "datapoint/FileReaders.h"
#include "formats/CompanionNames.h"
#include "formats/ObjectTypes.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <unordered_set>

#include <fcntl.h>
#include <unistd.h>

namespace quill {

namespace {

// How many files may wait for a reader or be read at once.
constexpr std::size_t kWindow = 1024;
// How many folders the walk holds open for the readers at most: a process
// may have no more than a thousand or so files open.
constexpr std::size_t kOpenFolders = 128;

// A folder held open, with its entries: the readers open its files
// relative to it. Made and let go on the walk's thread only.
struct Listing {
    Listing(std::string directory, int heldOpen, std::vector<fs::Entry> listed, std::size_t& openCount)
        : folder(std::move(directory)), descriptor(heldOpen), entries(std::move(listed)), open(openCount) {
        ++open;
    }
    ~Listing() {
        ::close(descriptor);
        --open;
    }
    Listing(const Listing&) = delete;
    Listing& operator=(const Listing&) = delete;

    std::string folder;
    int descriptor;
    std::vector<fs::Entry> entries;
    std::size_t& open;
};

// A file handed to the readers, with what tells its document once it
// matches: its folder's listing, kept as long as one of its files waits.
struct Pending {
    std::shared_ptr<const Listing> listing;
    std::size_t entry;
};

} // namespace

// What one run keeps: the files in the readers' hands in the order given,
// and the comparable paths of what it has searched and reported.
struct FolderSearch::Walk {
    Walk(FolderSearch& owner, const std::function<void(const std::string& document)>& report)
        : search(owner), found(report), readers(owner.text_, owner.stopRequested_, owner.readers_, kWindow),
          answered([this](bool contains) { take(contains); }) {}

    void take(bool contains) {
        const Pending file = std::move(pending.front());
        pending.pop_front();
        if (!contains || search.stopRequested_)
            return;
        const Listing& listing = *file.listing;
        const std::string& name = listing.entries[file.entry].name;
        const std::string document = isCompanionExtension(path::extension(name))
                                         ? mainFileAmong(listing.entries, listing.folder, name)
                                         : path::join(listing.folder, name);
        if (document.empty() || !reportedDocuments.insert(cp1250::upper(document)).second)
            return;
        found(document);
    }

    FolderSearch& search;
    const std::function<void(const std::string& document)>& found;
    std::unordered_set<std::string> searchedFolders;
    std::unordered_set<std::string> reportedDocuments;
    std::size_t openFolders = 0;
    // Before the readers, so that the folders they read stay open until
    // they are gone.
    std::deque<Pending> pending;
    FileReaders readers;
    const FileReaders::Answer answered;
};

FolderSearch::FolderSearch(std::string_view text, std::string_view nameFilter, std::size_t readers)
    : text_(text), filter_(cp1250::upper(nameFilter)),
      readers_(readers == 0 ? FileReaders::defaultReaders() : readers) {}

void FolderSearch::run(const std::vector<SearchScope>& scopes,
                       const std::function<void(const std::string& document)>& found) {
    if (text_.matchesNothing())
        return;
    // Scopes that take their subfolders go first, so that a folder searched
    // alone and again with its subfolders is read once.
    std::vector<const SearchScope*> ordered;
    for (const SearchScope& scope : scopes)
        ordered.push_back(&scope);
    std::stable_partition(ordered.begin(), ordered.end(), [](const SearchScope* s) { return s->subfolders; });
    Walk walk(*this, found);
    for (const SearchScope* scope : ordered) {
        if (stopRequested_)
            break;
        searchFolder(walk, path::withoutTrailingSeparator(scope->folder), scope->subfolders);
    }
    walk.readers.finish(walk.answered);
}

void FolderSearch::searchFolder(Walk& walk, const std::string& folder, bool subfolders) {
    if (!walk.searchedFolders.insert(path::comparableFolder(folder)).second)
        return;
    // Listing may wait on a slow share: the readers start on what is there.
    walk.readers.flush();
    while (walk.openFolders >= kOpenFolders && walk.readers.answerOldest(walk.answered)) {
    }
    const int descriptor = fs::openForReading(folder, O_DIRECTORY);
    if (descriptor < 0)
        return;
    auto entries = fs::listOpen(descriptor);
    if (!entries) {
        ::close(descriptor);
        return;
    }
    ++folders_;
    const auto listing = std::make_shared<const Listing>(folder, descriptor, std::move(*entries), walk.openFolders);
    for (std::size_t i = 0; i < listing->entries.size(); ++i) {
        if (stopRequested_)
            return;
        const fs::Entry& entry = listing->entries[i];
        if (entry.isSymlink)
            continue;
        if (entry.isDirectory) {
            if (subfolders && !cp1250::equalsNoCase(entry.name, kAttachmentDirectoryName))
                searchFolder(walk, path::join(folder, entry.name), true);
            continue;
        }
        if (cp1250::equalsNoCase(entry.name, "FOLDER.FOLDERS") || cp1250::endsWithNoCase(entry.name, ".HISTORY"))
            continue;
        if (!filter_.empty() && cp1250::findNoCase(entry.name, filter_) == std::string::npos)
            continue;
        ++files_;
        walk.pending.push_back({listing, i});
        walk.readers.add(listing->descriptor, entry.name, walk.answered);
    }
}

std::string searchFilterFor(const TypeTables& tables, std::string_view caption) {
    for (const ObjectType& type : tables.objectTypes) {
        if (type.caption != caption)
            continue;
        const std::string name = path::withoutExtension(type.name);
        return name.empty() ? std::string() : "." + name;
    }
    return {};
}

} // namespace quill
