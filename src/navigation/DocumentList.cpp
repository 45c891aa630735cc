#include "navigation/DocumentList.h"

#include "documents/Companions.h"
#include "formats/CompanionNames.h"
#include "formats/RecordFile.h"
#include "navigation/ImageNames.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/ScheduleTable.h"
#include "session/Session.h"
#include "session/Visibility.h"

#include <algorithm>

namespace quill {

bool makeDocumentItem(Session& session, const ImageNameTable& images, const std::string& file, DocumentItem& item) {
    Record& record = session.record;
    if (session.recordFiles().read(file, record) == RecordRead::Missing)
        return false;
    const auto expand = [&session](const std::string& text) { return session.variables.expand(text, true); };
    item.name = expand(record.value("NAME"));
    if (item.name.empty())
        item.name = path::fileName(file);
    item.secondField = record.fields.size() >= 2 ? record.fields[1].value : std::string();
    item.typeCaption = objectTypeCaptionOf(session.tables, file, expand);
    item.date = expand(record.value("DATE"));
    item.time = expand(record.value("TIME"));
    item.path = file;
    item.imageName = record.value("ICON");
    item.imageIndex = images.imageIndex(item.imageName);
    item.rightsGranted = rightsAdmit(session.program, record.value("RIGHTS"));
    return true;
}

std::vector<DocumentItem> listFolderDocuments(Session& session, const ImageNameTable& images,
                                              std::string_view directory,
                                              const std::function<void(const std::string& document)>& scheduled) {
    std::vector<DocumentItem> items;
    const auto entries = fs::list(directory);
    if (!entries || !foldersAdmit(session, directory))
        return items;
    for (const fs::Entry& entry : *entries) {
        if (entry.isDirectory || entry.isSymlink || isCompanionExtension(path::extension(entry.name)))
            continue;
        const std::string file = path::join(directory, entry.name);
        DocumentItem item;
        if (!makeDocumentItem(session, images, file, item) || !item.rightsGranted)
            continue;
        items.push_back(std::move(item));
        if (scheduled && fs::isRegularFile(companionPath(file, Companion::Schedule)))
            scheduled(file);
    }
    sortDocumentItems(items);
    return items;
}

std::vector<DocumentItem> listTasks(Session& session, const ImageNameTable& images, std::string_view state) {
    const auto selected = [state](const ScheduleEntry& entry) {
        if (state == "MYTASKS_OPEN")
            return isOpenTask(entry);
        if (state == "MYTASKS_CLOSE")
            return !isOpenTask(entry);
        return state == "MYTASKS_ACTUAL" && entry.due;
    };
    std::vector<DocumentItem> items;
    // Reading a document's item reads into the session's record; the table
    // is copied so that nothing read can change what is being walked.
    const std::vector<ScheduleEntry> table = session.schedule;
    for (const ScheduleEntry& entry : table) {
        DocumentItem item;
        if (!selected(entry) || !fs::isRegularFile(entry.documentPath) ||
            !makeDocumentItem(session, images, entry.documentPath, item) || !item.rightsGranted)
            continue;
        item.location = path::directory(entry.documentPath);
        items.push_back(std::move(item));
    }
    sortDocumentItems(items);
    return items;
}

void sortDocumentItems(std::vector<DocumentItem>& items) {
    struct Key {
        std::string name;
        std::string file;
        std::size_t index;
    };
    std::vector<Key> keys;
    keys.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        keys.push_back({cp1250::upper(items[i].name), path::fileName(items[i].path), i});
    std::sort(keys.begin(), keys.end(),
              [](const Key& a, const Key& b) { return a.name != b.name ? a.name < b.name : a.file < b.file; });
    std::vector<DocumentItem> sorted;
    sorted.reserve(items.size());
    for (const Key& key : keys)
        sorted.push_back(std::move(items[key.index]));
    items = std::move(sorted);
}

} // namespace quill
