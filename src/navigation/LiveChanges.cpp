#include "navigation/LiveChanges.h"

#include "documents/Companions.h"

#include <string>

namespace quill {
namespace {

std::vector<std::string> documentFiles(std::string_view document) {
    if (document.empty())
        return {};
    return {std::string(document), companionPath(document, Companion::Comments),
            companionPath(document, Companion::Attachments), companionPath(document, Companion::Schedule),
            companionPath(document, Companion::History)};
}

} // namespace

OnScreenState onScreenState(std::string_view folder, std::string_view document) {
    OnScreenState state;
    if (!folder.empty())
        state.folder = fs::stamp(folder);
    for (const std::string& file : documentFiles(document))
        state.documentFiles.push_back(fs::stamp(file));
    return state;
}

std::vector<std::string> watchedPaths(std::string_view folder, std::string_view document) {
    std::vector<std::string> paths;
    if (!folder.empty() && fs::isDirectory(folder))
        paths.emplace_back(folder);
    for (const std::string& file : documentFiles(document)) {
        if (fs::isRegularFile(file))
            paths.push_back(file);
    }
    return paths;
}

} // namespace quill
