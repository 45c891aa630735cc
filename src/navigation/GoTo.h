#pragma once

#include "platform/Result.h"

#include <string>
#include <string_view>

namespace quill {

class MainTree;
class Session;

// Where "go to" on a document of a result or task list leads: the folder,
// as the location text the main tree follows, and the document to select
// in that folder's list.
struct GoToTarget {
    std::string location;
    std::string document;
};

// The place of document in the main tree. A failure when the document is
// gone (moved or deleted since it was listed), when the user may not see
// it, or when it lies outside every folder of the tree.
Result<GoToTarget> goToTarget(Session& session, const MainTree& tree, std::string_view document);

} // namespace quill
