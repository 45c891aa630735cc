#include "navigation/Find.h"

#include "navigation/MainTree.h"
#include "platform/Paths.h"
#include "session/Session.h"

namespace quill {

std::vector<FindKind> findKinds(Session& session) {
    std::vector<FindKind> kinds;
    const std::pair<const char*, const char*> fixed[] = {
        {"FIND_1", "FIND.BMP"}, {"FIND_2", "ATTACHMENTS.BMP"}, {"FIND_3", "COMMENTS.BMP"}, {"FIND_4", "TASKS.BMP"}};
    for (const auto& [key, image] : fixed)
        kinds.push_back({session.texts.lookup("FIND_FORM", key, "GUI"), image});
    for (const ObjectType& type : session.tables.objectTypes) {
        if (type.inMenus)
            kinds.push_back({type.caption, type.icon});
    }
    return kinds;
}

std::vector<SearchScope> topFolderScopes(const MainTree& tree) {
    std::vector<SearchScope> scopes;
    for (const TopFolderEntry& top : tree.topFolders) {
        if (!top.path.empty())
            scopes.push_back({top.path, true});
    }
    return scopes;
}

std::vector<SearchScope> findScopes(const MainTree& tree, const std::string& folder, bool subfolders) {
    if (folder.empty())
        return topFolderScopes(tree);
    return {{folder, subfolders}};
}

std::string findKindFilter(Session& session, int index) {
    const std::vector<FindKind> kinds = findKinds(session);
    if (index <= 0 || index >= static_cast<int>(kinds.size()))
        return {};
    return searchFilterFor(session.tables, kinds[static_cast<std::size_t>(index)].caption);
}

FoundDocument describeFound(Session& session, const MainTree& tree, const std::string& document) {
    FoundDocument found;
    found.path = document;
    Record record;
    if (session.readRecord(document, record) == RecordRead::Ok) {
        found.name = session.variables.expand(record.value("NAME"), record, true);
        found.owner = record.value("OWNER");
        found.date = record.value("DATE");
        found.imageName = record.value("ICON");
    }
    if (found.name.empty())
        found.name = path::fileName(document);
    found.location = locationText(session, tree, path::directory(document));
    return found;
}

} // namespace quill
