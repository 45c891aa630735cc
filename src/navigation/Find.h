#pragma once

#include "datapoint/FolderSearch.h"

#include <string>
#include <vector>

namespace quill {

class MainTree;
class Session;

// An item of the find view's kind list.
struct FindKind {
    std::string caption;
    std::string imageName;
};

// "FIND_1" to "FIND_4" of the find view's texts, then every object type
// offered in menus, in type order.
std::vector<FindKind> findKinds(Session& session);

// Where a find looks: every top folder of the tree with its subfolders, or
// one folder.
std::vector<SearchScope> topFolderScopes(const MainTree& tree);

// The scopes of a request: folder, with its subfolders when asked, or every
// top folder when folder is empty.
std::vector<SearchScope> findScopes(const MainTree& tree, const std::string& folder, bool subfolders);

// The file name filter of the kind at index in findKinds: none for the
// first (every kind) or an index out of range.
std::string findKindFilter(Session& session, int index);

// One result group: the document's name, owner and date from its record,
// the tree's name for its folder, and its picture.
struct FoundDocument {
    std::string name;
    std::string owner;
    std::string date;
    std::string location;
    std::string path;
    std::string imageName;
};
FoundDocument describeFound(Session& session, const MainTree& tree, const std::string& document);

} // namespace quill
