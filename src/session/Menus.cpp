#include "session/Menus.h"

#include "formats/CompanionNames.h"
#include "platform/FileSystem.h"
#include "platform/FolderTree.h"
#include "platform/Paths.h"
#include "session/LogonContext.h"
#include "session/Session.h"

namespace quill {
namespace {

std::string userResource(const Session& session, const char* name) {
    return path::join(ownResourceDirectory(session), name);
}

} // namespace

std::vector<MenuEntry> buildObjectTypeMenu(const Session& session) {
    std::vector<MenuEntry> entries;
    const auto& types = session.tables.objectTypes;
    for (std::size_t i = 0; i < types.size(); ++i) {
        if (types[i].inMenus)
            entries.push_back({types[i].caption + "  - " + types[i].note, types[i].icon, std::to_string(i)});
    }
    return entries;
}

FolderTemplateMenu buildFolderTemplateMenu(Session& session) {
    FolderTemplateMenu menu;
    const std::string userTemplates = userResource(session, "Templates");
    fs::createDirectories(userTemplates);
    const RecordFiles files = session.recordFiles();
    const auto addFrom = [&](const std::string& base) {
        for (const std::string& directory : listSubDirectories(base)) {
            Record folder;
            if (files.read(path::join(directory, kFolderRecordName), folder) != RecordRead::Ok)
                continue;
            const std::string caption =
                session.variables.expand(path::fileName(directory), false) + "  - " + folder.value("NOTE");
            menu.entries.push_back({caption, folder.value("ICON"), std::to_string(menu.templates.size())});
            menu.templates.push_back({caption, directory});
        }
    };
    addFrom(path::join(session.context.settings.resourceDirectory, "Templates"));
    menu.entries.push_back({"-", {}, {}});
    addFrom(userTemplates);
    return menu;
}

std::vector<FileTemplate> buildFileTemplateList(const Session& session) {
    std::vector<FileTemplate> list;
    for (const std::string& base : {path::join(session.context.settings.resourceDirectory, "FileTemplates"),
                                    userResource(session, "FileTemplates")}) {
        const auto entries = fs::list(base);
        if (!entries)
            continue;
        for (const fs::Entry& entry : *entries) {
            if (!entry.isDirectory)
                list.push_back({entry.name, path::withTrailingSeparator(base)});
        }
    }
    return list;
}

} // namespace quill
