#include "session/ScheduleCache.h"

#include "formats/CompanionNames.h"
#include "platform/AtomicFile.h"
#include "platform/Cp1250.h"
#include "platform/Paths.h"
#include "platform/Result.h"
#include "platform/WorkPool.h"
#include "session/Visibility.h"

#include <algorithm>
#include <charconv>
#include <future>
#include <memory>
#include <optional>
#include <unordered_set>

namespace quill {
namespace {

constexpr std::string_view kMagic = "QUILL SCHEDULE CACHE 3\n";
// Times on some shares are whole seconds: a directory changed within this
// long of the cache's writing is listed again.
constexpr std::int64_t kTimeGrainNs = 2'000'000'000;
// Cache files larger than this are no cache this program wrote.
constexpr std::size_t kMaxCacheBytes = 512 * 1024 * 1024;
constexpr int kMaxDepth = 256;

// Every value is written as its length, a colon and its bytes, so that no
// name a share allows can break the format.
class Writer {
public:
    Writer& text(std::string_view value) {
        out_ += std::to_string(value.size());
        out_ += ':';
        out_ += value;
        out_ += ' ';
        return *this;
    }
    Writer& number(std::int64_t value) { return text(std::to_string(value)); }
    void end() { out_ += '\n'; }
    std::string take() { return std::move(out_); }

private:
    std::string out_;
};

class Reader {
public:
    explicit Reader(std::string_view in) : in_(in) {}
    bool atEnd() const { return at_ >= in_.size(); }
    std::optional<std::string_view> text() {
        std::size_t length = 0;
        const char* begin = in_.data() + at_;
        const char* end = in_.data() + in_.size();
        const auto [stop, error] = std::from_chars(begin, end, length);
        if (error != std::errc() || stop == end || *stop != ':')
            return std::nullopt;
        const std::size_t start = static_cast<std::size_t>(stop - in_.data()) + 1;
        if (length > in_.size() - start || start + length >= in_.size() || in_[start + length] != ' ')
            return std::nullopt;
        at_ = start + length + 1;
        return in_.substr(start, length);
    }
    std::optional<std::int64_t> number() {
        const auto value = text();
        std::int64_t n = 0;
        if (!value || value->empty() ||
            std::from_chars(value->data(), value->data() + value->size(), n).ptr != value->data() + value->size())
            return std::nullopt;
        return n;
    }
    bool endOfRecord() {
        if (at_ >= in_.size() || in_[at_] != '\n')
            return false;
        ++at_;
        return true;
    }

private:
    std::string_view in_;
    std::size_t at_ = 0;
};

void writeStamp(Writer& w, const ScheduleCache::Stamp& stamp) {
    w.number(static_cast<std::int64_t>(stamp.size)).number(stamp.modifiedNs).number(stamp.present ? 1 : 0);
}

bool readStamp(Reader& r, ScheduleCache::Stamp& stamp) {
    const auto size = r.number();
    const auto modified = r.number();
    const auto present = r.number();
    if (!size || !modified || !present || *size < 0)
        return false;
    stamp = {static_cast<std::uint64_t>(*size), *modified, *present != 0};
    return true;
}

bool readNames(Reader& r, std::vector<std::string>& names) {
    const auto count = r.number();
    if (!count || *count < 0)
        return false;
    for (std::int64_t i = 0; i < *count; ++i) {
        const auto name = r.text();
        if (!name)
            return false;
        names.emplace_back(*name);
    }
    return true;
}

bool readDirectory(Reader& r, ScheduleCache& cache) {
    const auto directory = r.text();
    const auto modified = r.number();
    if (!directory || !modified)
        return false;
    ScheduleCache::Directory entry;
    entry.modifiedNs = *modified;
    if (!readNames(r, entry.subdirectories) || !readNames(r, entry.scheduledDocuments))
        return false;
    const auto folderRecord = r.text();
    if (!folderRecord || !readStamp(r, entry.folderRecordStamp))
        return false;
    const auto rights = r.text();
    if (!rights)
        return false;
    entry.folderRecord = std::string(*folderRecord);
    entry.rights = std::string(*rights);
    cache.directories[std::string(*directory)] = std::move(entry);
    return true;
}

bool readReading(Reader& r, ScheduleCache& cache) {
    ScheduleCache::Reading entry;
    const auto document = r.text();
    if (!document || !readStamp(r, entry.schedule) || !readStamp(r, entry.document))
        return false;
    ScheduleReading& reading = entry.reading;
    reading.documentPath = std::string(*document);
    const auto read = r.number();
    if (!read || *read < 0 || *read > static_cast<std::int64_t>(RecordRead::Failed))
        return false;
    reading.scheduleRead = static_cast<RecordRead>(*read);
    for (std::string* field : {&reading.schedule.owner, &reading.schedule.team, &reading.schedule.date,
                               &reading.schedule.time, &reading.schedule.event}) {
        const auto value = r.text();
        if (!value)
            return false;
        *field = std::string(*value);
    }
    const auto documentRead = r.number();
    const auto name = r.text();
    const auto image = r.text();
    const auto rights = r.text();
    if (!documentRead || !name || !image || !rights)
        return false;
    reading.rights = std::string(*rights);
    reading.documentRead = *documentRead != 0;
    reading.name = std::string(*name);
    reading.imageName = std::string(*image);
    cache.readings[reading.documentPath] = std::move(entry);
    return true;
}

ScheduleCache::Stamp stampOf(const std::optional<fs::Stamp>& found) {
    ScheduleCache::Stamp stamp;
    if (found)
        stamp = {found->size, found->modifiedNs, true};
    return stamp;
}

// The stamp of a file in an open directory; a name spelt in another case
// than on disk is looked up through its path.
ScheduleCache::Stamp stampIn(const fs::OpenDirectory& open, const std::string& directory, const std::string& name) {
    if (const auto found = open.stamp(name))
        return stampOf(found);
    return stampOf(fs::stamp(path::join(directory, name)));
}

// A file changed within the time grain of the cache's writing may have
// changed again unseen.
bool settled(std::int64_t modifiedNs, const ScheduleCache& previous) {
    return modifiedNs < previous.writtenNs - kTimeGrainNs;
}

// A directory as the cache or the file system gives it (the kept entry
// when the directory is unchanged and settled, else its listing), with
// the stamps of its scheduled documents and folder record, and the
// record's rights where it changed.
struct DirectoryProbe {
    bool found = false;
    bool relisted = false;
    ScheduleCache::Directory entry;
    std::vector<std::pair<ScheduleCache::Stamp, ScheduleCache::Stamp>> stamps; // schedule, document
    ScheduleCache::Stamp folderRecordStamp;
    std::optional<std::string> rightsRead; // when the record was read again
    // Neither looked at nor to be told: the kept stamp and rights stay.
    bool rightsUnchecked = false;
};

void listDirectory(fs::OpenDirectory& open, const std::string& directory, DirectoryProbe& probe) {
    const auto& entries = open.entries();
    if (!entries)
        return;
    probe.found = probe.relisted = true;
    for (const fs::Entry& found : *entries) {
        if (found.isSymlink)
            continue;
        if (found.isDirectory) {
            if (!cp1250::equalsNoCase(found.name, kAttachmentDirectoryName))
                probe.entry.subdirectories.push_back(found.name);
        } else if (cp1250::equalsNoCase(path::extension(found.name), ".scheduler")) {
            const std::string document = mainFileAmong(*entries, directory, found.name);
            if (!document.empty() && document != "PARROR")
                probe.entry.scheduledDocuments.push_back(path::fileName(document));
        } else if (probe.entry.folderRecord.empty() && cp1250::equalsNoCase(found.name, "folder.folders")) {
            probe.entry.folderRecord = found.name;
        }
    }
}

// Touches previous only to read it, so that probes may run side by side.
DirectoryProbe probeDirectory(const RecordFiles& records, const TypeTables& tables, const std::string& directory,
                              const ScheduleCache& previous) {
    DirectoryProbe probe;
    const auto known = previous.directories.find(directory);
    // Most directories of a large tree hold no schedule: one call tells
    // that such a one is unchanged. The others are held open, so that the
    // files in them are looked up by name alone.
    const bool knownWithout = known != previous.directories.end() && known->second.scheduledDocuments.empty();
    std::optional<fs::OpenDirectory> open;
    if (!knownWithout)
        open.emplace(directory);
    const auto stamp = open ? open->stamp() : fs::stamp(directory);
    if (!stamp)
        return probe;
    const ScheduleCache::Directory* kept = nullptr;
    if (known != previous.directories.end() && known->second.modifiedNs == stamp->modifiedNs &&
        settled(stamp->modifiedNs, previous)) {
        probe.found = true; // the caller moves the kept entry out
        kept = &known->second;
    } else {
        if (!open)
            open.emplace(directory);
        listDirectory(*open, directory, probe);
        if (!probe.found)
            return probe;
        probe.entry.modifiedNs = stamp->modifiedNs;
    }
    const ScheduleCache::Directory& entry = kept ? *kept : probe.entry;
    // The rights of a folder without tasks matter only above folders with
    // tasks, where they are read when asked for.
    if (entry.scheduledDocuments.empty()) {
        probe.rightsUnchecked = true;
        return probe;
    }
    for (const std::string& name : entry.scheduledDocuments)
        probe.stamps.emplace_back(stampIn(*open, directory, path::fileName(companionPath(name, Companion::Schedule))),
                                  stampIn(*open, directory, name));
    if (entry.folderRecord.empty()) {
        if (!kept)
            probe.rightsRead = std::string();
        return probe;
    }
    probe.folderRecordStamp = stampIn(*open, directory, entry.folderRecord);
    const bool rightsKept = known != previous.directories.end() && known->second.folderRecord == entry.folderRecord &&
                            known->second.folderRecordStamp == probe.folderRecordStamp &&
                            settled(probe.folderRecordStamp.modifiedNs, previous);
    if (!rightsKept) {
        // A record of no type the data point defines, or one that cannot
        // be read, restricts nothing.
        Record record;
        probe.rightsRead = recordCarriesRights(tables, entry.folderRecord) &&
                                   records.read(*open, directory, entry.folderRecord, record) == RecordRead::Ok
                               ? record.value("RIGHTS")
                               : std::string();
    }
    return probe;
}

struct Finder {
    const RecordFiles& records;
    const TypeTables& tables;
    ScheduleCache& previous;
    ScheduleCache& next;
    FolderRightsTexts* rights;
    std::unordered_set<std::string> seen;
    std::vector<ScheduledDocument> documents;
    const std::atomic<bool>* stop;
    WorkPool* pool; // probes sub-directories ahead on a network share

    DirectoryProbe probeOf(const std::string& directory) const {
        return probeDirectory(records, tables, directory, previous);
    }

    void below(const std::string& directory, const std::string& comparable, DirectoryProbe probe, int depth) {
        if (!probe.found)
            return;
        const auto known = previous.directories.find(directory);
        if (!probe.relisted)
            probe.entry = std::move(known->second);
        // A directory listed again that holds what it held (the logon
        // writes into the user's own) is no reason to write the cache
        // again: it costs one listing the next time.
        else if (known == previous.directories.end() || known->second.subdirectories != probe.entry.subdirectories ||
                 known->second.scheduledDocuments != probe.entry.scheduledDocuments ||
                 known->second.folderRecord != probe.entry.folderRecord)
            next.changed = true;
        ScheduleCache::Directory& entry = probe.entry;
        // A directory listed again whose record is unchanged keeps the
        // rights the record gave before.
        if (probe.relisted && known != previous.directories.end()) {
            entry.rights = known->second.rights;
            if (probe.rightsUnchecked)
                entry.folderRecordStamp = known->second.folderRecordStamp;
        }
        if (probe.rightsRead) {
            next.changed |= entry.rights != *probe.rightsRead || entry.folderRecordStamp != probe.folderRecordStamp;
            entry.rights = std::move(*probe.rightsRead);
        }
        if (!probe.rightsUnchecked) {
            entry.folderRecordStamp = probe.folderRecordStamp;
            if (rights)
                (*rights)[comparable] = entry.rights;
        }
        for (std::size_t i = 0; i < entry.scheduledDocuments.size(); ++i)
            documents.push_back(
                {path::join(directory, entry.scheduledDocuments[i]), probe.stamps[i].first, probe.stamps[i].second});
        std::vector<std::pair<std::string, std::string>> subdirectories; // path, comparable
        for (const std::string& name : entry.subdirectories) {
            std::string sub = path::join(directory, name);
            std::string subComparable = path::comparableFolder(sub);
            if (depth < kMaxDepth && seen.insert(subComparable).second)
                subdirectories.emplace_back(std::move(sub), std::move(subComparable));
        }
        std::vector<std::future<DirectoryProbe>> ahead;
        if (pool) {
            for (const auto& sub : subdirectories)
                ahead.push_back(pool->run([this, path = sub.first] { return probeOf(path); }));
        }
        next.directories[directory] = std::move(entry);
        for (std::size_t i = 0; i < subdirectories.size(); ++i) {
            if (stop && *stop)
                return;
            below(subdirectories[i].first, subdirectories[i].second,
                  pool ? ahead[i].get() : probeOf(subdirectories[i].first), depth + 1);
        }
    }
};

} // namespace

ScheduleCache ScheduleCache::parse(std::string_view content, std::string_view dataPoint, std::int64_t writtenNs) {
    ScheduleCache cache;
    cache.dataPoint = std::string(dataPoint);
    if (!content.starts_with(kMagic))
        return cache;
    Reader r(content.substr(kMagic.size()));
    const auto owner = r.text();
    if (!owner || *owner != dataPoint || !r.endOfRecord())
        return cache;
    ScheduleCache read;
    read.dataPoint = cache.dataPoint;
    read.writtenNs = writtenNs;
    while (!r.atEnd()) {
        const auto kind = r.text();
        const bool ok = kind && ((*kind == "D" && readDirectory(r, read)) || (*kind == "R" && readReading(r, read)));
        if (!ok || !r.endOfRecord())
            return cache;
    }
    return read;
}

ScheduleCache ScheduleCache::load(const std::string& file, std::string_view dataPoint) {
    // The file's own time says when it was written, by the clock of the
    // file systems it is compared with rather than the program's.
    const fs::ReadResult read = fs::readFile(file, kMaxCacheBytes);
    return read.ok() ? parse(read.content, dataPoint, read.modifiedNs) : parse("", dataPoint, 0);
}

std::string ScheduleCache::serialize() const {
    Writer w;
    w.text(dataPoint).end();
    for (const auto& [directory, entry] : directories) {
        w.text("D").text(directory).number(entry.modifiedNs);
        w.number(static_cast<std::int64_t>(entry.subdirectories.size()));
        for (const std::string& name : entry.subdirectories)
            w.text(name);
        w.number(static_cast<std::int64_t>(entry.scheduledDocuments.size()));
        for (const std::string& name : entry.scheduledDocuments)
            w.text(name);
        w.text(entry.folderRecord);
        writeStamp(w, entry.folderRecordStamp);
        w.text(entry.rights).end();
    }
    for (const auto& [document, entry] : readings) {
        const ScheduleReading& reading = entry.reading;
        w.text("R").text(document);
        writeStamp(w, entry.schedule);
        writeStamp(w, entry.document);
        w.number(static_cast<std::int64_t>(reading.scheduleRead));
        for (const std::string* field : {&reading.schedule.owner, &reading.schedule.team, &reading.schedule.date,
                                         &reading.schedule.time, &reading.schedule.event})
            w.text(*field);
        w.number(reading.documentRead ? 1 : 0).text(reading.name).text(reading.imageName).text(reading.rights).end();
    }
    return std::string(kMagic) + w.take();
}

Status ScheduleCache::save(const std::string& file) const {
    if (!fs::createDirectories(path::directory(file)))
        return Status::failure("cannot make the directory of " + file);
    return replaceFile(file, serialize(), 0600);
}

std::vector<ScheduledDocument> findScheduledDocuments(const RecordFiles& records, const TypeTables& tables,
                                                      const std::vector<std::string>& places, ScheduleCache& previous,
                                                      ScheduleCache& next, FolderRightsTexts* rights,
                                                      const std::atomic<bool>* stop) {
    const std::unique_ptr<WorkPool> pool = poolForShare(places.empty() ? std::string_view() : places.front());
    next.directories.reserve(previous.directories.size());
    Finder finder{records, tables, previous, next, rights, {}, {}, stop, pool.get()};
    for (const std::string& place : places) {
        const std::string directory = path::withoutTrailingSeparator(place);
        std::string comparable = path::comparableFolder(directory);
        if (!place.empty() && finder.seen.insert(comparable).second)
            finder.below(directory, comparable, finder.probeOf(directory), 0);
    }
    return std::move(finder.documents);
}

namespace {

// The readings of the documents, left in next in the documents' order.
std::vector<ScheduleReading*> readIntoCache(const RecordFiles& records, const TypeTables& tables,
                                            const std::vector<ScheduledDocument>& documents, ScheduleCache& previous,
                                            ScheduleCache& next, const std::atomic<bool>* stop) {
    // Each document's files where they changed since the cache was
    // written; it reads previous only, so that reads may run side by side.
    const auto probe = [&](const ScheduledDocument& document) {
        ScheduleCache::Reading entry;
        entry.schedule = document.schedule;
        entry.document = document.document;
        const auto known = previous.readings.find(document.path);
        const bool kept = known != previous.readings.end() && known->second.schedule == entry.schedule &&
                          known->second.document == entry.document && settled(entry.schedule.modifiedNs, previous) &&
                          settled(entry.document.modifiedNs, previous);
        if (!kept)
            entry.reading = readScheduleFiles(records, tables, document.path);
        return std::pair(std::move(entry), kept);
    };
    const std::unique_ptr<WorkPool> pool =
        poolForShare(documents.empty() ? std::string_view() : documents.front().path);
    std::vector<ScheduleReading*> readings;
    readings.reserve(documents.size());
    next.readings.reserve(previous.readings.size());
    // On a share a window of documents is under way at once.
    const std::size_t window = pool ? 64 : 1;
    for (std::size_t start = 0; start < documents.size(); start += window) {
        if (stop && *stop)
            break;
        const std::size_t end = std::min(documents.size(), start + window);
        std::vector<std::future<std::pair<ScheduleCache::Reading, bool>>> ahead;
        if (pool) {
            for (std::size_t i = start; i < end; ++i)
                ahead.push_back(pool->run([&probe, &document = documents[i]] { return probe(document); }));
        }
        for (std::size_t i = start; i < end; ++i) {
            auto [entry, kept] = pool ? ahead[i - start].get() : probe(documents[i]);
            if (kept)
                entry.reading = std::move(previous.readings.find(documents[i].path)->second.reading);
            else
                next.changed = true;
            ScheduleCache::Reading& stored = next.readings[documents[i].path];
            stored = std::move(entry);
            readings.push_back(&stored.reading);
        }
    }
    return readings;
}

} // namespace

std::vector<ScheduleReading> readSchedulesBelow(const RecordFiles& records, const TypeTables& tables,
                                                const std::vector<std::string>& places, const std::string& cacheFile,
                                                std::string_view dataPoint, const std::atomic<bool>* stop,
                                                FolderRightsTexts* rights) {
    ScheduleCache previous = ScheduleCache::load(cacheFile, dataPoint);
    ScheduleCache next;
    next.dataPoint = std::string(dataPoint);
    const std::vector<ScheduleReading*> kept =
        readIntoCache(records, tables, findScheduledDocuments(records, tables, places, previous, next, rights, stop),
                      previous, next, stop);
    // A stopped scan saw only part: the cache stays as it was; so does a
    // cache that still says everything. One that cannot be written costs
    // only time at the next logon.
    const bool sameAsBefore = !next.changed && next.directories.size() == previous.directories.size() &&
                              next.readings.size() == previous.readings.size();
    if (!(stop && *stop) && !sameAsBefore)
        ignoreOutcome(next.save(cacheFile));
    // Written: the readings may leave the cache now rather than be copied.
    std::vector<ScheduleReading> readings;
    readings.reserve(kept.size());
    for (ScheduleReading* reading : kept)
        readings.push_back(std::move(*reading));
    return readings;
}

std::string scheduleCacheFile(std::string_view dataPoint) {
    std::string cache = fs::environment("XDG_CACHE_HOME");
    if (cache.empty())
        cache = path::join(fs::homeDirectory(), ".cache");
    // FNV-1a: the same name for the same data point in every build.
    std::uint64_t hash = 1469598103934665603ULL;
    for (const char c : cp1250::upper(path::withoutTrailingSeparator(dataPoint))) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    char name[32];
    const auto end = std::to_chars(name, name + sizeof name, hash, 16).ptr;
    return path::join(path::join(cache, "Quill/Schedules"), std::string(name, end) + ".cache");
}

} // namespace quill
