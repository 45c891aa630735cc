#include "navigation/FileTemplates.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/LogonContext.h"
#include "session/Session.h"

namespace quill {

std::vector<FileTemplate> listFileTemplates(const Session& session) {
    std::vector<FileTemplate> templates;
    const std::pair<std::string, bool> places[] = {
        {path::join(session.context.settings.resourceDirectory, "FileTemplates"), false},
        {path::join(ownResourceDirectory(session), "FileTemplates"), true},
    };
    for (const auto& [directory, own] : places) {
        const auto entries = fs::list(directory);
        if (!entries)
            continue;
        for (const fs::Entry& entry : *entries) {
            if (entry.isDirectory || entry.isSymlink)
                continue;
            templates.push_back({path::withoutExtension(entry.name), path::join(directory, entry.name), own});
        }
    }
    return templates;
}

} // namespace quill
