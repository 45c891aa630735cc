#include "datapoint/FolderSearch.h"

#include "formats/CompanionNames.h"
#include "formats/ObjectTypes.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <algorithm>

namespace quill {

FolderSearch::FolderSearch(std::string_view text, std::string_view nameFilter)
    : text_(text), filter_(cp1250::upper(nameFilter)) {}

void FolderSearch::run(const std::vector<SearchScope>& scopes,
                       const std::function<void(const std::string& document)>& found) {
    searchedFolders_.clear();
    reportedDocuments_.clear();
    if (text_.matchesNothing())
        return;
    // Scopes that take their subfolders go first, so that a folder searched
    // alone and again with its subfolders is read once.
    std::vector<const SearchScope*> ordered;
    for (const SearchScope& scope : scopes)
        ordered.push_back(&scope);
    std::stable_partition(ordered.begin(), ordered.end(), [](const SearchScope* s) { return s->subfolders; });
    for (const SearchScope* scope : ordered) {
        if (stopRequested_)
            return;
        searchFolder(path::withoutTrailingSeparator(scope->folder), scope->subfolders, found);
    }
}

void FolderSearch::searchFolder(const std::string& folder, bool subfolders,
                                const std::function<void(const std::string& document)>& found) {
    if (!searchedFolders_.insert(path::comparableFolder(folder)).second)
        return;
    const auto entries = fs::list(folder);
    if (!entries)
        return;
    ++folders_;
    for (const fs::Entry& entry : *entries) {
        if (stopRequested_)
            return;
        if (entry.isSymlink)
            continue;
        const std::string upper = cp1250::upper(entry.name);
        if (entry.isDirectory) {
            if (subfolders && upper != "ATTACHMENTS.SYSTEMFILES")
                searchFolder(path::join(folder, entry.name), true, found);
            continue;
        }
        if (upper == "FOLDER.FOLDERS" || cp1250::upper(path::extension(entry.name)) == ".HISTORY")
            continue;
        if (!filter_.empty() && upper.find(filter_) == std::string::npos)
            continue;
        ++files_;
        const std::string file = path::join(folder, entry.name);
        if (!text_.fileContains(file, &stopRequested_))
            continue;
        const std::string document =
            isCompanionExtension(path::extension(entry.name)) ? mainFileAmong(*entries, folder, entry.name) : file;
        if (document.empty() || !reportedDocuments_.insert(cp1250::upper(document)).second)
            continue;
        found(document);
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
