#include "session/ScheduleScan.h"

#include "formats/CompanionNames.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/ScheduleCache.h"
#include "session/Scheduler.h"
#include "session/Session.h"
#include "session/Visibility.h"

#include <map>

namespace quill {
std::vector<std::string> scheduledDocumentsIn(const std::string& directory) {
    std::vector<std::string> found;
    const auto entries = fs::list(directory);
    if (!entries)
        return found;
    std::map<std::string, std::string> documents;
    std::vector<std::string> scheduled;
    for (const fs::Entry& entry : *entries) {
        if (entry.isDirectory || entry.isSymlink)
            continue;
        const std::string extension = path::extension(entry.name);
        const std::string base = cp1250::upper(path::withoutExtension(entry.name));
        if (cp1250::equalsNoCase(extension, ".scheduler"))
            scheduled.push_back(base);
        else if (!isCompanionExtension(extension))
            documents[base] = entry.name;
    }
    for (const std::string& base : scheduled) {
        if (const auto document = documents.find(base); document != documents.end())
            found.push_back(path::join(directory, document->second));
    }
    return found;
}

ScheduleReading readScheduleFiles(const RecordFiles& records, const TypeTables& tables,
                                  const std::string& documentPath) {
    ScheduleReading reading;
    reading.documentPath = documentPath;
    const std::string companion = companionPath(documentPath, Companion::Schedule);
    Record record;
    if (!typeDefinedFor(tables, companion))
        reading.scheduleRead = fs::exists(companion) ? RecordRead::Failed : RecordRead::Missing;
    else
        reading.scheduleRead = records.read(companion, record);
    if (reading.scheduleRead != RecordRead::Ok)
        return reading;
    reading.schedule = scheduleOf(record);
    Record document;
    if (records.read(documentPath, document) == RecordRead::Ok) {
        reading.documentRead = true;
        reading.name = document.value("NAME");
        reading.imageName = document.value("ICON");
        const std::size_t type = tables.objectTypeOf(path::fileName(documentPath));
        if (reading.imageName.empty() && type < tables.objectTypes.size())
            reading.imageName = tables.objectTypes[type].icon;
        if (recordCarriesRights(tables, documentPath))
            reading.rights = document.value("RIGHTS");
    }
    return reading;
}

std::vector<ScheduleReading> readScheduleFiles(const RecordFiles& records, const TypeTables& tables,
                                               const std::vector<std::string>& documents,
                                               const std::atomic<bool>* stop) {
    std::vector<ScheduleReading> readings;
    readings.reserve(documents.size());
    for (const std::string& document : documents) {
        if (stop && *stop)
            break;
        readings.push_back(readScheduleFiles(records, tables, document));
    }
    return readings;
}

void scanSchedules(Session& session, const std::vector<std::string>& places) {
    FolderRightsTexts texts;
    const std::vector<ScheduleReading> readings = readSchedulesBelow(session.recordFiles(), session.tables, places,
                                                                     scheduleCacheFile(session.context.dataPointPath),
                                                                     session.context.dataPointPath, nullptr, &texts);
    const FolderRightsCache rights(session, std::move(texts));
    for (const ScheduleReading& reading : readings)
        takeScheduleReading(session, reading);
}

} // namespace quill
