#include "navigation/GoTo.h"

#include "navigation/MainTree.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/Visibility.h"

namespace quill {

Result<GoToTarget> goToTarget(Session& session, const MainTree& tree, std::string_view document) {
    const std::string wanted(document);
    // A list shows what was there when it was made; the document may have
    // gone since.
    if (wanted.empty() || !fs::isRegularFile(wanted))
        return Result<GoToTarget>::failure("the document " + wanted + " no longer exists");
    if (!isVisibleToUser(session, wanted))
        return Result<GoToTarget>::failure("the document " + wanted + " is not shown to you");
    std::string location = locationText(session, tree, path::directory(wanted));
    if (location.empty())
        return Result<GoToTarget>::failure("the document " + wanted + " lies outside your folders");
    return GoToTarget{std::move(location), wanted};
}

} // namespace quill
