// A folder's settings and name, and the file facts and history of any
// document or folder.
#include "navigation/FolderProperties.h"

#include "formats/CompanionNames.h"
#include "formats/ObjectTypes.h"
#include "platform/Clock.h"
#include "platform/Cp1250.h"
#include "platform/DateTimeFormat.h"
#include "platform/FileSystem.h"
#include "platform/FileTransaction.h"
#include "platform/NameRules.h"
#include "platform/Paths.h"
#include "platform/Result.h"
#include "platform/TextUtil.h"
#include "session/EventLog.h"
#include "session/Session.h"
#include "session/TextVariables.h"

#include <algorithm>

namespace quill {
namespace {

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

// Whether a path names folder (in its comparable form) or a folder below
// it; what follows folder, in the path's own spelling, goes to rest.
bool namesFolderOrBelow(std::string_view stored, const std::string& folder, std::string& rest) {
    const std::string comparable = comparableStored(stored);
    if (folder.empty() || comparable.compare(0, folder.size(), folder) != 0 ||
        (comparable.size() > folder.size() && comparable[folder.size()] != '\\'))
        return false;
    rest = std::string(stored.substr(std::min(stored.size(), folder.size())));
    std::replace(rest.begin(), rest.end(), '/', '\\');
    while (!rest.empty() && rest.back() == '\\')
        rest.pop_back();
    return true;
}

// Replaces every marker, in any case, by its value.
std::string replaceMarker(std::string text, std::string_view marker, std::string_view value) {
    const std::string upperMarker = cp1250::upper(marker);
    for (std::size_t at = cp1250::upper(text).find(upperMarker); at != std::string::npos;
         at = cp1250::upper(text).find(upperMarker, at + value.size()))
        text.replace(at, marker.size(), value);
    return text;
}

// Whose folder list a .usrfolders file is: its stored paths may name that
// user's own area through $LOGONNAME$ and $FULLNAME$.
struct ListOwner {
    std::string logonName;
    std::string fullName;
};

ListOwner listOwnerOf(Session& session, const std::string& listFile) {
    ListOwner owner{path::withoutExtension(path::fileName(listFile)), {}};
    Record user;
    if (session.readRecord(path::changeExtension(listFile, ".user"), user) == RecordRead::Ok)
        owner.fullName = user.value("NAME") + " " + user.value("SURNAME");
    return owner;
}

// A stored folder path as its owner's program reads it. What is not
// specific to a user expands as it does for everyone.
std::string expandedFor(Session& session, const ListOwner& owner, std::string_view stored) {
    std::string text = replaceMarker(std::string(stored), "$DATA_POINT_PATH$",
                                     path::withoutTrailingSeparator(session.context.dataPointPath));
    text = replaceMarker(std::move(text), "$LOGONNAME$", owner.logonName);
    text = replaceMarker(std::move(text), "$FULLNAME$", owner.fullName);
    if (text.find('$') != std::string::npos)
        text = session.variables.expand(text, false);
    return text;
}

// Every user's folder list follows a renamed folder, whether it stores the
// folder spelled out or with text variables, which are read as the list's
// owner reads them: ANNA's "$LOGONNAME$\Drafts" is ANNA's Drafts, whoever
// renames it. An entry keeps its form: spelled out stays spelled out, and
// one with variables is written with the owner's variables again. When a
// list cannot be written, those written before it are put back as they
// were and the failure is returned.
Status moveFolderListEntries(Session& session, const std::string& from, const std::string& to) {
    const auto entries = fs::list(session.context.userRecordsDirectory);
    if (!entries)
        return Status::success();
    std::vector<std::pair<std::string, Record>> written; // each list written, as it was before
    const std::string wanted = comparableStored(from);
    std::string target = to;
    std::replace(target.begin(), target.end(), '/', '\\');
    for (const fs::Entry& entry : *entries) {
        if (entry.isDirectory || entry.isSymlink || !cp1250::equalsNoCase(path::extension(entry.name), ".usrfolders"))
            continue;
        const std::string file = path::join(session.context.userRecordsDirectory, entry.name);
        const ListOwner owner = listOwnerOf(session, file);
        Record list;
        if (session.readRecord(file, list) != RecordRead::Ok)
            continue;
        Record before = list;
        bool changed = false;
        for (Field& field : list.fields) {
            std::string rest;
            if (field.value.empty() || !namesFolderOrBelow(expandedFor(session, owner, field.value), wanted, rest))
                continue;
            const std::string moved = target + rest;
            field.value =
                field.value.find('$') == std::string::npos
                    ? moved
                    : collapseStoredText(moved, session.context.dataPointPath, owner.logonName, owner.fullName);
            changed = true;
        }
        if (!changed)
            continue;
        if (Status stored = session.storeRecord(list, file); !stored) {
            for (auto& [done, old] : written)
                ignoreOutcome(session.storeRecord(old, done));
            return Status::failure("the folder list " + file + " cannot be written: " + stored.message());
        }
        written.emplace_back(file, std::move(before));
    }
    return Status::success();
}

// Only the folders of the data point may be renamed: directories holding
// folder.folders below its root or below a user's own area. Its own
// directories, everything of DataPoint.system and the stores of attached
// files keep their names: documents, logons and other users' programs
// find them by those names.
Status checkRenamableFolder(const Session& session, const std::string& folder) {
    const auto& c = session.context;
    const std::string comparable = path::comparableFolder(folder);
    const bool own = comparable == path::comparableFolder(c.rootDirectory) ||
                     comparable == path::comparableFolder(c.usersRootDirectory) ||
                     comparable == path::comparableFolder(c.dataPointPath) ||
                     path::comparableFolder(path::directory(folder)) == path::comparableFolder(c.usersRootDirectory);
    const std::string system = path::join(c.dataPointPath, "DataPoint.system");
    if (own || (!c.dataPointPath.empty() && fs::isWithin(folder, system)))
        return Status::failure("the data point's own folders keep their names");
    const bool inside = (!c.rootDirectory.empty() && fs::isWithin(folder, c.rootDirectory)) ||
                        (!c.usersRootDirectory.empty() && fs::isWithin(folder, c.usersRootDirectory));
    if (!inside)
        return Status::failure(folder + " is no folder of the data point");
    if (cp1250::upper(folder).find(cp1250::upper(kAttachmentDirectoryName)) != std::string::npos)
        return Status::failure(folder + " holds attached files; it keeps its name");
    if (!fs::isRegularFile(path::join(folder, kFolderRecordName)))
        return Status::failure(folder + " is no folder of the data point: it has no " + std::string(kFolderRecordName));
    return Status::success();
}

// A name the folder may take: one that the tree shows as a folder.
Status checkNewFolderName(std::string_view name) {
    if (Status plain = checkName(name, "folder"); !plain)
        return plain;
    if (cp1250::equalsNoCase(name, kAttachmentDirectoryName))
        return Status::failure("\"" + std::string(name) + "\" is the name of a folder's attached files");
    if (isBookkeepingName(name))
        return Status::failure("\"" + std::string(name) + "\" is a name the program keeps for itself");
    return Status::success();
}

} // namespace

Status folderPropertiesFile(Session& session, std::string_view folder, std::string& file) {
    const std::string directory = path::withoutTrailingSeparator(path::normalize(folder));
    if (!fs::isDirectory(directory) || fs::isSymlink(directory))
        return Status::failure("there is no folder " + directory);
    file = path::join(directory, kFolderRecordName);
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
                record.value("OWNER"), record.value("RIGHTS"), text::isTrue(record.value("SYSTEMFOLDERLOCK"))};
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
    record.setValue("SYSTEMFOLDERLOCK", text::flag(settings.locked));
    if (Status written = session.storeRecord(record, file); !written)
        return Status::failure("the settings of " + std::string(folder) + " cannot be written: " + written.message());
    noteEdit(session, kFolderSettingsEdit);
    writeEditHistory(session, file);
    return Status::success();
}

Status renameFolder(Session& session, std::string_view folder, std::string_view newName, std::string& newPath) {
    const std::string from = path::withoutTrailingSeparator(path::normalize(folder));
    if (!fs::isDirectory(from) || fs::isSymlink(from))
        return Status::failure("there is no folder " + from);
    if (Status name = checkNewFolderName(newName); !name)
        return name;
    // Checked before the settings are read, which would give any directory
    // a folder.folders.
    if (Status renamable = checkRenamableFolder(session, from); !renamable)
        return renamable;
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
    // The folder, every list that names it and the line of its history
    // change together: a list left behind would lose its user the folder.
    const auto undo = [&](Status failed) {
        if (!fs::rename(to, from))
            return Status::failure(failed.message() + "; the folder keeps its new name " + to);
        return failed;
    };
    if (Status lists = moveFolderListEntries(session, from, to); !lists)
        return undo(std::move(lists));
    // A new name is a change of the folder's settings, noted in its history
    // like the others.
    noteEdit(session, kFolderSettingsEdit);
    const std::string record = path::join(to, kFolderRecordName);
    const std::string history = path::changeExtension(record, ".history");
    const bool hadHistory = fs::exists(history);
    if (!writeEditHistory(session, record)) {
        session.pendingEdits.forget();
        if (!hadHistory)
            ignoreOutcome(fs::removeFile(history));
        ignoreOutcome(moveFolderListEntries(session, to, from));
        return undo(Status::failure("the history of " + to + " cannot be written"));
    }
    newPath = to;
    session.schedule.movePaths(from, to);
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
