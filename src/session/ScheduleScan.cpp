#include "session/ScheduleScan.h"

#include "formats/CompanionNames.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/ScheduleCache.h"
#include "session/Scheduler.h"
#include "session/Session.h"
#include "session/Visibility.h"

#include <algorithm>
#include <map>
#include <unordered_set>

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

namespace {

constexpr std::size_t kOwner = 0, kTeam = 1, kDate = 2, kTime = 3, kEvent = 4;
constexpr std::size_t kName = 0, kIcon = 1, kRights = 2;

// The file name in the open directory when there is one; a name spelt in
// another case than on disk is then read through its path, which finds it.
RecordRead readPickedIn(const RecordFiles& records, const fs::OpenDirectory* directory, const std::string& path,
                        const FieldPick& pick, std::vector<std::string>& values, ScheduleFileReader::Seen* seen) {
    fs::Stamp stamp;
    RecordRead read = RecordRead::Missing;
    if (directory)
        read = records.readPicked(*directory, path::fileName(path), pick, values, &stamp);
    if (read == RecordRead::Missing)
        read = records.readPicked(path, pick, values, &stamp);
    if (seen && read != RecordRead::Failed)
        *seen = {true, read == RecordRead::Ok ? std::optional(stamp) : std::nullopt};
    return read;
}

} // namespace

struct ScheduleFileReader::Picks {
    FieldPick schedule;
    FieldPick document;
};

ScheduleFileReader::ScheduleFileReader(const RecordFiles& records, const TypeTables& tables)
    : records_(records), tables_(tables), picks_(tables.objectTypes.size() + 1) {}

ScheduleFileReader::~ScheduleFileReader() = default;

const ScheduleFileReader::Picks& ScheduleFileReader::picksOf(std::size_t type) const {
    const std::lock_guard lock(mutex_);
    // The last slot is for a file of no type the tables know.
    std::unique_ptr<Picks>& picks = picks_[std::min(type, tables_.objectTypes.size())];
    if (!picks)
        picks = std::make_unique<Picks>(Picks{FieldPick(tables_, type, {"OWNER", "TEAM", "DATE", "TIME", "EVENT"}),
                                              FieldPick(tables_, type, {"NAME", "ICON", "RIGHTS"})});
    return *picks;
}

ScheduleReading ScheduleFileReader::read(const std::string& documentPath, const fs::OpenDirectory* directory,
                                         Seen* schedule, Seen* document) const {
    ScheduleReading reading;
    reading.documentPath = documentPath;
    const std::string companion = companionPath(documentPath, Companion::Schedule);
    std::vector<std::string> values;
    if (!typeDefinedFor(tables_, companion))
        reading.scheduleRead = fs::exists(companion) ? RecordRead::Failed : RecordRead::Missing;
    else
        reading.scheduleRead = readPickedIn(records_, directory, companion,
                                            picksOf(tables_.objectTypeOf(companion)).schedule, values, schedule);
    if (reading.scheduleRead != RecordRead::Ok)
        return reading;
    reading.schedule = {std::move(values[kOwner]), std::move(values[kTeam]), std::move(values[kDate]),
                        std::move(values[kTime]), std::move(values[kEvent])};
    const std::string fileName = path::fileName(documentPath);
    const std::size_t type = tables_.objectTypeOf(fileName);
    if (readPickedIn(records_, directory, documentPath, picksOf(type).document, values, document) == RecordRead::Ok) {
        reading.documentRead = true;
        reading.name = std::move(values[kName]);
        reading.imageName = std::move(values[kIcon]);
        if (reading.imageName.empty() && type < tables_.objectTypes.size())
            reading.imageName = tables_.objectTypes[type].icon;
        if (recordCarriesRights(tables_, fileName))
            reading.rights = std::move(values[kRights]);
    }
    return reading;
}

ScheduleReading readScheduleFiles(const RecordFiles& records, const TypeTables& tables,
                                  const std::string& documentPath) {
    return ScheduleFileReader(records, tables).read(documentPath);
}

std::vector<ScheduleReading> readScheduleFiles(const RecordFiles& records, const TypeTables& tables,
                                               const std::vector<std::string>& documents,
                                               const std::atomic<bool>* stop) {
    std::vector<ScheduleReading> readings;
    readings.reserve(documents.size());
    const ScheduleFileReader reader(records, tables);
    for (const std::string& document : documents) {
        if (stop && *stop)
            break;
        readings.push_back(reader.read(document));
    }
    return readings;
}

void addFolderRightsAbove(const RecordFiles& records, const TypeTables& tables, const std::vector<std::string>& places,
                          ScheduleScanResult& result) {
    FolderRightsTexts& texts = result.folderRights;
    std::unordered_set<std::string> done; // comparable folders whose chain is complete
    for (const ScheduleReading& reading : result.readings) {
        std::string directory = path::withoutTrailingSeparator(path::directory(reading.documentPath));
        while (!directory.empty()) {
            std::string comparable = path::comparableFolder(directory);
            if (!done.insert(comparable).second)
                break;
            std::string parent = rightsParent(directory, comparable, places);
            if (!texts.contains(comparable))
                texts.emplace(std::move(comparable),
                              recordRights(records, tables, path::join(directory, kFolderRecordName)));
            directory = std::move(parent);
        }
    }
}

void takeScheduleScan(Session& session, ScheduleScanResult result) {
    const FolderRightsCache rights(session, std::move(result.folderRights));
    session.schedule.reserve(session.schedule.size() + result.readings.size());
    for (ScheduleReading& reading : result.readings)
        takeScheduleReading(session, std::move(reading));
}

void scanSchedules(Session& session, const std::vector<std::string>& places) {
    ScheduleScanResult result;
    result.readings = readSchedulesBelow(session.recordFiles(), session.tables, places,
                                         scheduleCacheFile(session.context.dataPointPath),
                                         session.context.dataPointPath, nullptr, &result.folderRights);
    addFolderRightsAbove(session.recordFiles(), session.tables, rightsPlaces(session.context), result);
    takeScheduleScan(session, std::move(result));
}

} // namespace quill
