#include "session/Visibility.h"

#include "formats/CompanionNames.h"
#include "formats/ObjectTypes.h"
#include "formats/Record.h"
#include "formats/RecordFile.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "session/Session.h"
#include "session/UsersAndGroups.h"

#include <string>
#include <vector>

namespace quill {
namespace {

std::string rightsOf(Session& session, std::string_view file) {
    return recordRights(session.recordFiles(), session.tables, file);
}

bool startsWithFolder(const std::string& folder, const std::string& place) {
    return folder == place ||
           (folder.size() > place.size() && folder.compare(0, place.size(), place) == 0 && folder[place.size()] == '/');
}

} // namespace

bool recordCarriesRights(const TypeTables& tables, std::string_view file) {
    return tables.definesTypeOf(path::fileName(file));
}

std::string recordRights(const RecordFiles& records, const TypeTables& tables, std::string_view file) {
    if (!recordCarriesRights(tables, file))
        return {};
    Record record;
    if (records.read(file, record) != RecordRead::Ok)
        return {};
    return record.value("RIGHTS");
}

bool rightsAdmit(const ProgramValues& program, std::string_view rights) {
    return text::trim(rights).empty() || accessTest(program, rights);
}

namespace {

// Whether the folder record of directory and those of the folders above it
// admit the user, remembered per folder while a cache is kept.
bool chainAdmits(Session& session, const std::string& current, const std::vector<std::string>& places) {
    const std::string comparable = path::comparableFolder(current);
    auto* cache = session.folderRights.get();
    if (cache) {
        if (const auto known = cache->admits.find(comparable); known != cache->admits.end())
            return known->second;
    }
    // A missing record restricts nothing; reading tells that without a
    // call to ask first.
    const auto text = cache ? cache->texts.find(comparable) : decltype(cache->texts.find(comparable))();
    bool admits = rightsAdmit(session.program, cache && text != cache->texts.end()
                                                   ? text->second
                                                   : rightsOf(session, path::join(current, kFolderRecordName)));
    if (admits) {
        if (const std::string parent = rightsParent(current, comparable, places); !parent.empty())
            admits = chainAdmits(session, parent, places);
    }
    if (cache)
        cache->admits.emplace(comparable, admits);
    return admits;
}

} // namespace

std::string rightsParent(const std::string& directory, const std::string& comparable,
                         const std::vector<std::string>& places) {
    // Up to the top of the data point's places and no further: the
    // directories above belong to nobody's rights.
    bool inside = false;
    bool top = false;
    for (const std::string& place : places) {
        top |= comparable == place;
        inside |= startsWithFolder(comparable, place);
    }
    std::string parent = path::directory(directory);
    return !top && inside && parent != directory ? parent : std::string();
}

std::vector<std::string> rightsPlaces(const LogonContext& c) {
    std::vector<std::string> places;
    for (const std::string* place : {&c.dataPointPath, &c.rootDirectory, &c.usersRootDirectory}) {
        if (!place->empty())
            places.push_back(path::comparableFolder(*place));
    }
    return places;
}

bool foldersAdmit(Session& session, std::string_view directory) {
    if (session.program.isAdministrator)
        return true;
    Session::FolderRights* const cache = session.folderRights.get();
    if (cache && cache->lastAsked && *cache->lastAsked == directory)
        return cache->lastAdmits;
    const bool admits = chainAdmits(session, path::withoutTrailingSeparator(path::normalize(directory)),
                                    cache ? cache->places : rightsPlaces(session.context));
    if (cache) {
        cache->lastAsked = std::string(directory);
        cache->lastAdmits = admits;
    }
    return admits;
}

FolderRightsCache::FolderRightsCache(Session& session) : FolderRightsCache(session, {}) {}

FolderRightsCache::FolderRightsCache(Session& session, FolderRightsTexts texts) : session_(session) {
    if (!session_.folderRights) {
        session_.folderRights = std::make_unique<Session::FolderRights>();
        session_.folderRights->texts = std::move(texts);
        session_.folderRights->places = rightsPlaces(session_.context);
        owner_ = true;
    }
}

FolderRightsCache::~FolderRightsCache() {
    if (owner_)
        session_.folderRights.reset();
}

bool isVisibleToUser(Session& session, std::string_view path) {
    if (session.program.isAdministrator)
        return true;
    if (fs::isDirectory(path))
        return foldersAdmit(session, path);
    return rightsAdmit(session.program, rightsOf(session, path)) && foldersAdmit(session, path::directory(path));
}

} // namespace quill
