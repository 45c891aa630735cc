#include "session/ScheduleCache.h"

#include "formats/CompanionNames.h"
#include "platform/AtomicFile.h"
#include "platform/Cp1250.h"
#include "platform/Paths.h"

#include <charconv>
#include <optional>
#include <unordered_set>

namespace quill {
namespace {

constexpr std::string_view kMagic = "QUILL SCHEDULE CACHE 2\n";
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

ScheduleCache::Stamp stampOf(std::string_view path) {
    ScheduleCache::Stamp stamp;
    if (const auto found = fs::stamp(path)) {
        stamp = {found->size, found->modifiedNs, true};
    }
    return stamp;
}

void findBelow(const std::string& directory, int depth, ScheduleCache& previous, ScheduleCache& next,
               std::unordered_set<std::string>& seen, std::vector<std::string>& documents,
               const std::atomic<bool>* stop) {
    if (depth > kMaxDepth || (stop && *stop) || !seen.insert(path::comparableFolder(directory)).second)
        return;
    const auto stamp = fs::stamp(directory);
    if (!stamp)
        return;
    const auto known = previous.directories.find(directory);
    ScheduleCache::Directory entry;
    bool relisted = false;
    if (known != previous.directories.end() && known->second.modifiedNs == stamp->modifiedNs &&
        stamp->modifiedNs < previous.writtenNs - kTimeGrainNs) {
        entry = std::move(known->second);
    } else {
        relisted = true;
        const auto entries = fs::list(directory);
        if (!entries)
            return;
        entry.modifiedNs = stamp->modifiedNs;
        for (const fs::Entry& found : *entries) {
            if (found.isSymlink)
                continue;
            if (found.isDirectory) {
                if (!cp1250::equalsNoCase(found.name, "Attachments.systemfiles"))
                    entry.subdirectories.push_back(found.name);
            } else if (cp1250::equalsNoCase(path::extension(found.name), ".scheduler")) {
                const std::string document = mainFileAmong(*entries, directory, found.name);
                if (!document.empty() && document != "PARROR")
                    entry.scheduledDocuments.push_back(path::fileName(document));
            }
        }
    }
    // A directory listed again that holds what it held (the logon writes
    // into the user's own) is no reason to write the cache again: it costs
    // one listing the next time.
    if (relisted && (known == previous.directories.end() || known->second.subdirectories != entry.subdirectories ||
                     known->second.scheduledDocuments != entry.scheduledDocuments))
        next.changed = true;
    for (const std::string& name : entry.scheduledDocuments)
        documents.push_back(path::join(directory, name));
    for (const std::string& name : entry.subdirectories)
        findBelow(path::join(directory, name), depth + 1, previous, next, seen, documents, stop);
    next.directories[directory] = std::move(entry);
}

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
        w.end();
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

ScheduleCache::Stamp scheduleCacheStamp(std::string_view path) {
    return stampOf(path);
}

std::vector<std::string> findScheduledDocuments(const std::vector<std::string>& places, ScheduleCache& previous,
                                                ScheduleCache& next, const std::atomic<bool>* stop) {
    std::vector<std::string> documents;
    std::unordered_set<std::string> seen;
    for (const std::string& place : places) {
        if (!place.empty())
            findBelow(path::withoutTrailingSeparator(place), 0, previous, next, seen, documents, stop);
    }
    return documents;
}

std::vector<ScheduleReading> readScheduleFiles(const RecordFiles& records, const TypeTables& tables,
                                               const std::vector<std::string>& documents, ScheduleCache& previous,
                                               ScheduleCache& next, const std::atomic<bool>* stop) {
    std::vector<ScheduleReading> readings;
    readings.reserve(documents.size());
    for (const std::string& document : documents) {
        if (stop && *stop)
            break;
        ScheduleCache::Reading entry;
        entry.schedule = stampOf(companionPath(document, Companion::Schedule));
        entry.document = stampOf(document);
        const auto known = previous.readings.find(document);
        // A file changed within the time grain of the cache's writing may
        // have changed again unseen.
        const auto settled = [&](const ScheduleCache::Stamp& s) {
            return s.modifiedNs < previous.writtenNs - kTimeGrainNs;
        };
        if (known != previous.readings.end() && known->second.schedule == entry.schedule &&
            known->second.document == entry.document && settled(entry.schedule) && settled(entry.document)) {
            entry.reading = std::move(known->second.reading);
        } else {
            entry.reading = readScheduleFiles(records, tables, document);
            next.changed = true;
        }
        readings.push_back(entry.reading);
        next.readings[document] = std::move(entry);
    }
    return readings;
}

std::vector<ScheduleReading> readSchedulesBelow(const RecordFiles& records, const TypeTables& tables,
                                                const std::vector<std::string>& places, const std::string& cacheFile,
                                                std::string_view dataPoint, const std::atomic<bool>* stop) {
    ScheduleCache previous = ScheduleCache::load(cacheFile, dataPoint);
    ScheduleCache next;
    next.dataPoint = std::string(dataPoint);
    std::vector<ScheduleReading> readings =
        readScheduleFiles(records, tables, findScheduledDocuments(places, previous, next, stop), previous, next, stop);
    // A stopped scan saw only part: the cache stays as it was; so does a
    // cache that still says everything. One that cannot be written costs
    // only time at the next logon.
    const bool sameAsBefore = !next.changed && next.directories.size() == previous.directories.size() &&
                              next.readings.size() == previous.readings.size();
    if (!(stop && *stop) && !sameAsBefore)
        next.save(cacheFile).ok();
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
