#include "formats/CompanionNames.h"

#include "formats/ObjectTypes.h"
#include "platform/Cp1250.h"
#include "platform/Paths.h"

namespace quill {

bool isCompanionExtension(std::string_view extension) {
    for (const char* companion : {".ATTACHMENTS", ".COMMENTS", ".FOLDERS", ".HISTORY", ".SCHEDULER"}) {
        if (cp1250::equalsNoCase(extension, companion))
            return true;
    }
    return false;
}

bool isDocumentEntry(const TypeTables& tables, const fs::Entry& entry) {
    return !entry.isDirectory && !entry.isSymlink && !isCompanionExtension(path::extension(entry.name)) &&
           tables.definesTypeOf(entry.name);
}

std::string mainFileOfCompanion(std::string_view companion) {
    if (!fs::exists(companion))
        return "PARROR";
    const std::string directory = path::directory(companion);
    const auto entries = fs::list(directory.empty() ? std::string(".") : directory);
    return entries ? mainFileAmong(*entries, directory, path::fileName(companion)) : std::string();
}

std::string mainFileAmong(const std::vector<fs::Entry>& entries, std::string_view directory,
                          std::string_view companionName) {
    const std::string base = path::withoutExtension(companionName);
    std::string result;
    for (const fs::Entry& entry : entries) {
        const bool sameBase = cp1250::equalsNoCase(entry.name, base) ||
                              (cp1250::startsWithNoCase(entry.name, base) && entry.name.size() > base.size() &&
                               entry.name[base.size()] == '.');
        if (!sameBase || isCompanionExtension(path::extension(entry.name)))
            continue;
        result = directory.empty() ? entry.name : path::join(directory, entry.name);
    }
    return result;
}

} // namespace quill
