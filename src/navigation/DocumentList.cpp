#include "navigation/DocumentList.h"

#include "documents/Companions.h"
#include "formats/CompanionNames.h"
#include "formats/RecordFile.h"
#include "navigation/ImageNames.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/OwnedDirectory.h"
#include "platform/Paths.h"
#include "session/ScheduleTable.h"
#include "session/TaskSets.h"
#include "session/Session.h"
#include "session/Visibility.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <unordered_set>

namespace quill {

bool makeDocumentItem(Session& session, const ImageNameTable& images, const std::string& file, DocumentItem& item) {
    Record record;
    if (session.recordFiles().read(file, record) == RecordRead::Missing)
        return false;
    const auto expand = [&](const std::string& text) { return session.variables.expand(text, record, true); };
    item.name = documentListName(session, record, file);
    item.secondField = record.fields.size() >= 2 ? record.fields[1].value : std::string();
    item.typeCaption = objectTypeCaptionOfRead(session.tables, file, expand);
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
    // Which documents have a schedule, from the listing: asking the file
    // system once per document would cost a round trip each on a share.
    std::unordered_set<std::string> scheduledNames;
    for (const fs::Entry& entry : *entries) {
        if (!entry.isDirectory &&
            cp1250::equalsNoCase(path::extension(entry.name), companionExtension(Companion::Schedule)))
            scheduledNames.insert(cp1250::upper(path::withoutExtension(entry.name)));
    }
    for (const fs::Entry& entry : *entries) {
        // The mark of a directory this program owns (the trash) is no document.
        if (entry.isDirectory || entry.isSymlink || isCompanionExtension(path::extension(entry.name)) ||
            entry.name == kOwnedDirectoryMark)
            continue;
        const std::string file = path::join(directory, entry.name);
        DocumentItem item;
        if (!makeDocumentItem(session, images, file, item) || !item.rightsGranted)
            continue;
        items.push_back(std::move(item));
        if (scheduled && scheduledNames.contains(cp1250::upper(path::withoutExtension(entry.name))))
            scheduled(file);
    }
    sortDocumentItems(items);
    return items;
}

namespace {

// The task nodes of the main tree by their keys; the incoming tasks are a
// folder of their own there, not a task node.
std::optional<TaskSet> taskSetOfNode(std::string_view key) {
    static constexpr std::pair<std::string_view, TaskSet> nodes[] = {
        {"MYTASKS_OPEN", TaskSet::Open},
        {"MYTASKS_CLOSE", TaskSet::Closed},
        {"MYTASKS_ACTUAL", TaskSet::Due},
    };
    for (const auto& [name, set] : nodes) {
        if (key == name)
            return set;
    }
    return std::nullopt;
}

} // namespace

std::vector<DocumentItem> listTasks(Session& session, const ImageNameTable& images, std::string_view state) {
    const std::optional<TaskSet> set = taskSetOfNode(state);
    std::vector<DocumentItem> items;
    if (!set)
        return items;
    // Reading a document's item leaves the table as it is: it is walked in
    // place, not copied, which on a large data point would cost megabytes.
    for (const ScheduleEntry& entry : session.schedule.entries()) {
        DocumentItem item;
        if (!inTaskSet(entry, *set) || !fs::isRegularFile(entry.documentPath) ||
            !makeDocumentItem(session, images, entry.documentPath, item) || !item.rightsGranted)
            continue;
        item.location = path::directory(entry.documentPath);
        items.push_back(std::move(item));
    }
    sortDocumentItems(items);
    return items;
}

void sortDocumentItems(std::vector<DocumentItem>& items) {
    std::vector<std::pair<DocumentOrderKey, std::size_t>> keys;
    keys.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        keys.emplace_back(documentOrderKey(items[i].name, items[i].path), i);
    std::sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<DocumentItem> sorted;
    sorted.reserve(items.size());
    for (const auto& key : keys)
        sorted.push_back(std::move(items[key.second]));
    items = std::move(sorted);
}

DocumentOrderKey documentOrderKey(std::string_view name, std::string_view path) {
    return {cp1250::upper(name), path::fileName(path)};
}

std::string documentListName(Session& session, const Record& record, const std::string& file) {
    std::string name = session.variables.expand(record.value("NAME"), record, true);
    return name.empty() ? path::fileName(file) : name;
}

} // namespace quill
