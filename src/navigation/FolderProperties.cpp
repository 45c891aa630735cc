// A folder's settings and name, and the file facts and history of any
// document or folder.
#include "navigation/FolderProperties.h"

#include "formats/ObjectTypes.h"
#include "platform/Clock.h"
#include "platform/Cp1250.h"
#include "platform/DateTimeFormat.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "session/EventLog.h"
#include "session/Session.h"

#include <algorithm>

namespace quill {
namespace {

constexpr std::string_view kFolderRecord = "folder.folders";
// The edit group a change of folder settings is recorded under.
constexpr int kFolderSettingsEdit = 40;
constexpr std::size_t kMaxHistoryBytes = 16 * 1024 * 1024;

std::string shownTime(const Session& session, std::int64_t nanoseconds) {
    if (nanoseconds == 0)
        return "";
    const LocalDateTime at = localTimeOf(nanoseconds / 1000000);
    return formatDate(at, session.formats) + ", " + formatTime(at, session.formats);
}

// A stored folder path in the form every copy of the program compares:
// '\' between the parts, upper-cased, no trailing separator.
std::string comparableStored(std::string_view stored) {
    std::string text = cp1250::upper(stored);
    std::replace(text.begin(), text.end(), '/', '\\');
    while (!text.empty() && text.back() == '\\')
        text.pop_back();
    return text;
}

// The stored path with its leading from replaced by to, when it names from
// or a folder below it; nothing otherwise.
std::optional<std::string> movedStored(std::string_view stored, const std::string& from, const std::string& to) {
    const std::string comparable = comparableStored(stored);
    const std::string wanted = comparableStored(from);
    if (wanted.empty() || comparable.compare(0, wanted.size(), wanted) != 0 ||
        (comparable.size() > wanted.size() && comparable[wanted.size()] != '\\'))
        return std::nullopt;
    std::string result = to;
    std::replace(result.begin(), result.end(), '/', '\\');
    std::string rest(stored.substr(std::min(stored.size(), wanted.size())));
    std::replace(rest.begin(), rest.end(), '/', '\\');
    return result + rest;
}

// Every user's folder list follows a renamed folder, whether it stores the
// folder with text variables or as a plain path.
void moveFolderListEntries(Session& session, const std::string& from, const std::string& to) {
    const auto entries = fs::list(session.context.userRecordsDirectory);
    if (!entries)
        return;
    const std::vector<std::pair<std::string, std::string>> forms = {
        {session.variables.collapse(from), session.variables.collapse(to)}, {from, to}};
    for (const fs::Entry& entry : *entries) {
        if (entry.isDirectory || entry.isSymlink || !cp1250::equalsNoCase(path::extension(entry.name), ".usrfolders"))
            continue;
        const std::string file = path::join(session.context.userRecordsDirectory, entry.name);
        Record list;
        if (session.readRecord(file, list) != RecordRead::Ok)
            continue;
        bool changed = false;
        for (Field& field : list.fields) {
            if (field.value.empty())
                continue;
            for (const auto& [oldForm, newForm] : forms) {
                if (const auto moved = movedStored(field.value, oldForm, newForm)) {
                    field.value = *moved;
                    changed = true;
                    break;
                }
            }
        }
        if (changed)
            (void)session.writeRecord(list, file);
    }
}

bool isDataPointOwnDirectory(const Session& session, const std::string& folder) {
    const std::string comparable = path::comparableFolder(folder);
    const auto& c = session.context;
    if (comparable == path::comparableFolder(c.rootDirectory) ||
        comparable == path::comparableFolder(c.usersRootDirectory) ||
        comparable == path::comparableFolder(c.dataPointPath))
        return true;
    return path::comparableFolder(path::directory(path::withoutTrailingSeparator(folder))) ==
           path::comparableFolder(c.usersRootDirectory);
}

} // namespace

Status folderPropertiesFile(Session& session, std::string_view folder, std::string& file) {
    const std::string directory = path::withoutTrailingSeparator(path::normalize(folder));
    if (!fs::isDirectory(directory) || fs::isSymlink(directory))
        return Status::failure("there is no folder " + directory);
    file = path::join(directory, kFolderRecord);
    if (!fs::exists(file) && !session.recordFiles().createEmpty(file))
        return Status::failure("the settings of " + directory + " cannot be written");
    return Status::success();
}

PropertyFacts propertyFacts(Session& session, const std::string& file) {
    PropertyFacts facts;
    facts.file = file;
    facts.fileName = path::fileName(file);
    facts.directory = path::withTrailingSeparator(path::directory(file));
    Record record;
    if (session.readRecord(file, record) == RecordRead::Ok) {
        facts.icon = record.value("ICON");
        facts.owner = record.value("OWNER");
    }
    const std::string typeName = objectTypeNameOf(facts.fileName);
    facts.typeCaption = "UNKNOWN";
    for (const ObjectType& type : session.tables.objectTypes) {
        if (cp1250::equalsNoCase(type.name, typeName)) {
            facts.typeCaption = type.caption;
            facts.typeNote = type.note;
            break;
        }
    }
    if (const auto stamp = fs::stamp(file)) {
        facts.size = stamp->size;
        facts.modified = shownTime(session, stamp->modifiedNs);
    }
    facts.created = shownTime(session, fs::creationTime(file));
    return facts;
}

namespace {

// The folder's folder.folders, made when missing, and read.
Status readFolderRecord(Session& session, std::string_view folder, std::string& file, Record& record) {
    if (Status status = folderPropertiesFile(session, folder, file); !status)
        return status;
    if (session.readRecord(file, record) != RecordRead::Ok)
        return Status::failure("the settings of " + std::string(folder) + " cannot be read");
    return Status::success();
}

} // namespace

Status readFolderSettings(Session& session, std::string_view folder, FolderSettings& settings) {
    std::string file;
    Record record;
    if (Status status = readFolderRecord(session, folder, file, record); !status)
        return status;
    settings = {record.value("NOTE"),  record.value("URL"),    record.value("ICON"),
                record.value("OWNER"), record.value("RIGHTS"), cp1250::upper(record.value("SYSTEMFOLDERLOCK")) == "TRUE"};
    return Status::success();
}

Status saveFolderSettings(Session& session, std::string_view folder, const FolderSettings& settings) {
    std::string file;
    Record record;
    if (Status status = readFolderRecord(session, folder, file, record); !status)
        return status;
    record.setValue("NOTE", settings.note);
    record.setValue("URL", settings.url);
    record.setValue("ICON", settings.icon);
    record.setValue("OWNER", settings.owner);
    record.setValue("RIGHTS", settings.rights);
    record.setValue("SYSTEMFOLDERLOCK", settings.locked ? "TRUE" : "FALSE");
    if (!session.writeRecord(record, file))
        return Status::failure("the settings of " + std::string(folder) + " cannot be written");
    noteEdit(session, kFolderSettingsEdit);
    writeEditHistory(session, file);
    return Status::success();
}

Status renameFolder(Session& session, std::string_view folder, std::string_view newName, std::string& newPath) {
    const std::string from = path::withoutTrailingSeparator(path::normalize(folder));
    if (!fs::isDirectory(from) || fs::isSymlink(from))
        return Status::failure("there is no folder " + from);
    if (newName.empty() || !path::isPlainFileName(newName))
        return Status::failure("\"" + std::string(newName) + "\" cannot be the name of a folder");
    if (isDataPointOwnDirectory(session, from))
        return Status::failure("the data point's own folders keep their names");
    FolderSettings settings;
    if (Status status = readFolderSettings(session, from, settings); !status)
        return status;
    if (settings.locked)
        return Status::failure("the folder is locked; its name stays");
    const std::string to = path::join(path::directory(from), newName);
    if (path::fileName(from) == newName) {
        newPath = from;
        return Status::success();
    }
    // A name that differs in case only is the same entry on some shares.
    if (fs::exists(to) && !cp1250::equalsNoCase(path::fileName(from), newName))
        return Status::failure("a folder named " + std::string(newName) + " exists already");
    if (Status status = fs::rename(from, to); !status)
        return status;
    newPath = to;
    moveFolderListEntries(session, from, to);
    const std::string below = path::withTrailingSeparator(from);
    for (ScheduleEntry& entry : session.schedule) {
        if (entry.documentPath.compare(0, below.size(), below) == 0)
            entry.documentPath = path::join(to, entry.documentPath.substr(below.size()));
    }
    return Status::success();
}

std::vector<std::string> historyLines(Session& session, std::string_view file) {
    std::vector<std::string> lines;
    const fs::ReadResult history = fs::readFile(path::changeExtension(file, ".history"), kMaxHistoryBytes);
    if (history.error != fs::ReadError::None)
        return lines;
    for (std::string_view line : text::splitLines(history.content)) {
        if (!line.empty())
            lines.push_back(session.variables.expand(line, false));
    }
    return lines;
}

std::string noHistoryLine(Session& session) {
    return session.variables.expand("$EDITHISTORY.NONE.EDITHISTORY$", false);
}

Status clearHistory(std::string_view file) {
    const std::string history = path::changeExtension(file, ".history");
    if (!fs::exists(history) && !fs::isSymlink(history))
        return Status::success();
    return fs::removeFile(history);
}

} // namespace quill
