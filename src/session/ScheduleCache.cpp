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
    explicit Writer(std::string_view start) : out_(start) {}
    Writer& text(std::string_view value) {
        char length[24];
        const auto end = std::to_chars(length, length + sizeof length, value.size()).ptr;
        out_.append(length, end);
        out_ += ':';
        out_ += value;
        out_ += ' ';
        return *this;
    }
    Writer& number(std::int64_t value) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        return text(std::string_view(digits, static_cast<std::size_t>(end - digits)));
    }
    void reserve(std::size_t bytes) { out_.reserve(bytes); }
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
    cache.readings.insert_or_assign(reading.documentPath, std::move(entry));
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
    ScheduleCache::Directory* known = nullptr; // its entry in previous
    bool found = false;
    bool relisted = false;
    ScheduleCache::Directory entry;
    std::vector<std::pair<ScheduleCache::Stamp, ScheduleCache::Stamp>> stamps; // schedule, document
    std::vector<std::string> documentPaths;
    // When the probe reads the documents too: for each, its reading in
    // previous where both files are unchanged and settled, else none and
    // the next of the new ones.
    std::vector<ScheduleCache::Reading*> keptReadings;
    std::vector<ScheduleReading> newReadings;
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

// Whether the reading kept for a document still holds for its files.
bool readingHolds(const ScheduleCache::Reading& kept, const ScheduleCache::Stamp& schedule,
                  const ScheduleCache::Stamp& document, const ScheduleCache& previous) {
    return kept.schedule == schedule && kept.document == document && settled(schedule.modifiedNs, previous) &&
           settled(document.modifiedNs, previous);
}

// Touches previous only to look things up in it, so that probes may run
// side by side. With a reader the scheduled documents are read here too,
// by name in the directory already open.
DirectoryProbe probeDirectory(const RecordFiles& records, const TypeTables& tables, const std::string& directory,
                              ScheduleCache& previous, const ScheduleFileReader* reader) {
    DirectoryProbe probe;
    const auto known = previous.directories.find(directory);
    if (known != previous.directories.end())
        probe.known = &known->second;
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
    probe.stamps.reserve(entry.scheduledDocuments.size());
    probe.documentPaths.reserve(entry.scheduledDocuments.size());
    if (reader)
        probe.keptReadings.reserve(entry.scheduledDocuments.size());
    for (const std::string& name : entry.scheduledDocuments) {
        const std::string scheduleName = path::fileName(companionPath(name, Companion::Schedule));
        std::string& documentPath = probe.documentPaths.emplace_back(path::join(directory, name));
        const auto read = reader ? previous.readings.find(documentPath) : previous.readings.end();
        ScheduleCache::Stamp schedule, document;
        const bool stamped = !reader || read != previous.readings.end();
        if (stamped) {
            schedule = stampIn(*open, directory, scheduleName);
            document = stampIn(*open, directory, name);
        }
        if (reader) {
            if (read != previous.readings.end() && readingHolds(read->second, schedule, document, previous)) {
                probe.keptReadings.push_back(&read->second);
            } else {
                // A document met for the first time takes the stamps of
                // its files from the reads, as the files were opened,
                // rather than from a status call for each beforehand.
                ScheduleFileReader::Seen scheduleSeen, documentSeen;
                probe.keptReadings.push_back(nullptr);
                probe.newReadings.push_back(reader->read(documentPath, &*open, &scheduleSeen, &documentSeen));
                if (!stamped) {
                    schedule =
                        scheduleSeen.known ? stampOf(scheduleSeen.stamp) : stampIn(*open, directory, scheduleName);
                    document = documentSeen.known ? stampOf(documentSeen.stamp) : stampIn(*open, directory, name);
                }
            }
        }
        probe.stamps.emplace_back(schedule, document);
    }
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

// A probe of a directory that whichever gets to it first makes: a thread
// of the pool, ahead of the walk, or the walk itself.
struct ProbeAhead {
    std::atomic<bool> taken{false};
    std::promise<DirectoryProbe> made;
};

struct Finder {
    Finder(const RecordFiles& r, const TypeTables& t, ScheduleCache& p, ScheduleCache& n, FolderRightsTexts* texts,
           const std::atomic<bool>* s, const ScheduleFileReader* reading)
        : records(r), tables(t), previous(p), next(n), rights(texts), stop(s), reader(reading) {}

    const RecordFiles& records;
    const TypeTables& tables;
    ScheduleCache& previous;
    ScheduleCache& next;
    FolderRightsTexts* rights;
    const std::atomic<bool>* stop;
    const ScheduleFileReader* reader; // when the walk reads the documents too
    WorkPool* pool = nullptr;         // probes sub-directories ahead on a share
    std::unordered_set<std::string> seen;
    std::vector<ScheduledDocument> documents; // without a reader
    std::vector<ScheduleReading*> readings;   // with one: in next, in the walk's order

    DirectoryProbe probeOf(const std::string& directory) const {
        return probeDirectory(records, tables, directory, previous, reader);
    }

    void take(DirectoryProbe& probe) {
        std::size_t fresh = 0;
        for (std::size_t i = 0; i < probe.documentPaths.size(); ++i) {
            const auto& [schedule, document] = probe.stamps[i];
            if (!reader) {
                documents.push_back({std::move(probe.documentPaths[i]), schedule, document});
                continue;
            }
            ScheduleCache::Reading* const kept = probe.keptReadings[i];
            ScheduleReading* const read = kept ? &kept->reading : &probe.newReadings[fresh++];
            const auto [stored, added] = next.readings.try_emplace(std::move(probe.documentPaths[i]));
            // Two schedules whose names differ in case alone lead to the
            // same document, which is one task.
            if (!added)
                continue;
            stored->second.schedule = schedule;
            stored->second.document = document;
            stored->second.reading = std::move(*read);
            next.changed |= !kept;
            readings.push_back(&stored->second.reading);
        }
    }

    void below(const std::string& directory, const std::string& comparable, DirectoryProbe probe, int depth) {
        if (!probe.found)
            return;
        ScheduleCache::Directory* const known = probe.known;
        if (!probe.relisted)
            probe.entry = std::move(*known);
        // A directory listed again that holds what it held (the logon
        // writes into the user's own) is no reason to write the cache
        // again: it costs one listing the next time.
        else if (!known || known->subdirectories != probe.entry.subdirectories ||
                 known->scheduledDocuments != probe.entry.scheduledDocuments ||
                 known->folderRecord != probe.entry.folderRecord)
            next.changed = true;
        ScheduleCache::Directory& entry = probe.entry;
        // A directory listed again whose record is unchanged keeps the
        // rights the record gave before.
        if (probe.relisted && known) {
            entry.rights = known->rights;
            if (probe.rightsUnchecked)
                entry.folderRecordStamp = known->folderRecordStamp;
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
        take(probe);
        std::vector<std::pair<std::string, std::string>> subdirectories; // path, comparable
        for (const std::string& name : entry.subdirectories) {
            std::string sub = path::join(directory, name);
            std::string subComparable = path::comparableFolder(sub);
            if (depth < kMaxDepth && seen.insert(subComparable).second)
                subdirectories.emplace_back(std::move(sub), std::move(subComparable));
        }
        std::vector<std::shared_ptr<ProbeAhead>> ahead(pool ? subdirectories.size() : 0);
        for (std::size_t i = 0; pool && i < subdirectories.size(); ++i) {
            ahead[i] = std::make_shared<ProbeAhead>();
            // Its future is not needed: the slot tells.
            pool->run([this, slot = ahead[i], path = subdirectories[i].first] {
                if (!slot->taken.exchange(true))
                    slot->made.set_value(probeOf(path));
            });
        }
        next.directories[directory] = std::move(entry);
        for (std::size_t i = 0; i < subdirectories.size(); ++i) {
            if (stop && *stop)
                return;
            // A probe not yet begun is made here rather than waited for.
            const bool begun = pool && ahead[i]->taken.exchange(true);
            below(subdirectories[i].first, subdirectories[i].second,
                  begun ? ahead[i]->made.get_future().get() : probeOf(subdirectories[i].first), depth + 1);
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
    // One line an entry, of either kind: room for all of them at once
    // rather than the tables grown and rehashed many times over.
    const auto lines = static_cast<std::size_t>(std::count(content.begin(), content.end(), '\n'));
    read.directories.reserve(lines);
    read.readings.reserve(lines);
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
    Writer w(kMagic);
    // About what a directory and a reading take, so that the text is not
    // copied again and again while it grows.
    w.reserve(kMagic.size() + directories.size() * 160 + readings.size() * 320);
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
    return w.take();
}

Status ScheduleCache::save(const std::string& file) const {
    if (!fs::createDirectories(path::directory(file)))
        return Status::failure("cannot make the directory of " + file);
    return replaceFile(file, serialize(), 0600);
}

namespace {

void walk(Finder& finder, const std::vector<std::string>& places) {
    // The pool ends with the walk, before the finder and the caches that
    // its probes use: a stopped walk leaves probes under way.
    // On a local disk the walk runs on this thread alone: no call there
    // waits for a server, and handing each directory to another thread
    // cost more than it saved.
    const std::unique_ptr<WorkPool> pool = poolForShare(places.empty() ? std::string_view() : places.front());
    finder.pool = pool.get();
    finder.next.directories.reserve(finder.previous.directories.size());
    for (const std::string& place : places) {
        const std::string directory = path::withoutTrailingSeparator(place);
        std::string comparable = path::comparableFolder(directory);
        if (!place.empty() && finder.seen.insert(comparable).second)
            finder.below(directory, comparable, finder.probeOf(directory), 0);
    }
}

} // namespace

std::vector<ScheduledDocument> findScheduledDocuments(const RecordFiles& records, const TypeTables& tables,
                                                      const std::vector<std::string>& places, ScheduleCache& previous,
                                                      ScheduleCache& next, FolderRightsTexts* rights,
                                                      const std::atomic<bool>* stop) {
    Finder finder{records, tables, previous, next, rights, stop, nullptr};
    walk(finder, places);
    return std::move(finder.documents);
}

std::vector<ScheduleReading> readSchedulesBelow(const RecordFiles& records, const TypeTables& tables,
                                                const std::vector<std::string>& places, const std::string& cacheFile,
                                                std::string_view dataPoint, const std::atomic<bool>* stop,
                                                FolderRightsTexts* rights) {
    ScheduleCache previous = ScheduleCache::load(cacheFile, dataPoint);
    ScheduleCache next;
    next.dataPoint = std::string(dataPoint);
    next.readings.reserve(previous.readings.size());
    const ScheduleFileReader reader(records, tables);
    Finder finder{records, tables, previous, next, rights, stop, &reader};
    walk(finder, places);
    // A stopped scan saw only part: the cache stays as it was; so does a
    // cache that still says everything. One that cannot be written costs
    // only time at the next logon.
    const bool sameAsBefore = !next.changed && next.directories.size() == previous.directories.size() &&
                              next.readings.size() == previous.readings.size();
    if (!(stop && *stop) && !sameAsBefore)
        ignoreOutcome(next.save(cacheFile));
    // Written: the readings may leave the cache now rather than be copied.
    std::vector<ScheduleReading> readings;
    readings.reserve(finder.readings.size());
    for (ScheduleReading* reading : finder.readings)
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
