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
#include <deque>
#include <memory>
#include <optional>

namespace quill {
namespace {

constexpr std::string_view kMagic = "QUILL SCHEDULE CACHE 4\n";
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
    explicit Reader(std::string_view in, std::size_t at = 0) : in_(in), at_(at) {}
    bool atEnd() const { return at_ >= in_.size(); }
    std::size_t at() const { return at_; }
    std::optional<std::string_view> text() {
        std::size_t length = 0;
        const char* begin = in_.data() + at_;
        const char* end = in_.data() + in_.size();
        const auto [stop, error] = std::from_chars(begin, end, length);
        if (error != std::errc() || stop == end || *stop != ':' || (stop - begin > 1 && *begin == '0'))
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
        // Only as the writer spells it ("7", never "07" or "-0"), so that
        // what reads back writes out the same.
        if (!value || value->empty() || (value->size() > 1 && (value->front() == '0' || value->starts_with("-0"))) ||
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

// A count read from the file, of items that take at least two bytes each.
std::optional<std::size_t> readCount(Reader& r, std::size_t bytesLeft) {
    const auto count = r.number();
    if (!count || *count < 0 || static_cast<std::uint64_t>(*count) > bytesLeft / 2)
        return std::nullopt;
    return static_cast<std::size_t>(*count);
}

std::optional<ScheduleCache::Directory> readDirectory(std::string_view entry, std::string_view body) {
    Reader r(body);
    ScheduleCache::Directory directory;
    directory.entry = entry;
    const auto modified = r.number();
    const auto subdirectories = readCount(r, body.size());
    if (!modified || !subdirectories)
        return std::nullopt;
    directory.modifiedNs = *modified;
    directory.subdirectories.reserve(*subdirectories);
    for (std::size_t i = 0; i < *subdirectories; ++i) {
        const auto name = r.text();
        if (!name)
            return std::nullopt;
        directory.subdirectories.push_back(*name);
    }
    const auto documents = readCount(r, body.size());
    if (!documents)
        return std::nullopt;
    directory.documents.reserve(*documents);
    for (std::size_t i = 0; i < *documents; ++i) {
        ScheduleCache::Document& document = directory.documents.emplace_back();
        const auto name = r.text();
        if (!name || !readStamp(r, document.schedule) || !readStamp(r, document.document))
            return std::nullopt;
        const auto reading = r.text();
        if (!reading)
            return std::nullopt;
        document.name = *name;
        document.reading = *reading;
    }
    const auto folderRecord = r.text();
    if (!folderRecord || !readStamp(r, directory.folderRecordStamp))
        return std::nullopt;
    const auto rights = r.text();
    if (!rights || !r.atEnd())
        return std::nullopt;
    directory.folderRecord = *folderRecord;
    directory.rights = *rights;
    return directory;
}

ScheduleCache::Stamp stampOf(const std::optional<fs::Stamp>& found) {
    ScheduleCache::Stamp stamp;
    if (found)
        stamp = {found->size, found->modifiedNs, true};
    return stamp;
}

// The stamp of a file in an open directory; a name spelt in another case
// than on disk is looked up through its path.
ScheduleCache::Stamp stampIn(const fs::OpenDirectory& open, const std::string& directory, std::string_view name) {
    if (const auto found = open.stamp(name))
        return stampOf(found);
    return stampOf(fs::stamp(path::join(directory, name)));
}

// A file changed within the time grain of the cache's writing may have
// changed again unseen.
bool settled(std::int64_t modifiedNs, const ScheduleCache& previous) {
    return modifiedNs < previous.writtenNs() - kTimeGrainNs;
}

// A scheduled document as a probe found it: its reading, from the cache
// where both files are unchanged and settled, else read again.
struct FoundDocument {
    ScheduleCache::Stamp schedule;
    ScheduleCache::Stamp document;
    ScheduleReading reading;
    bool kept = false;
    std::string_view keptText; // the reading as the cache holds it, when kept
};

// A directory as the cache or the file system gives it (the kept entry
// when the directory is unchanged and settled, else its listing), with
// its scheduled documents, the stamp of its folder record and the record's
// rights where it changed.
struct DirectoryProbe {
    std::optional<ScheduleCache::Directory> known; // its entry in previous
    bool found = false;
    bool relisted = false;
    std::int64_t modifiedNs = 0;
    std::vector<std::string> subdirectories; // names
    std::vector<std::string> documentNames;
    std::string folderRecord;
    std::vector<FoundDocument> documents;
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
                probe.subdirectories.push_back(found.name);
        } else if (cp1250::equalsNoCase(path::extension(found.name), ".scheduler")) {
            const std::string document = mainFileAmong(*entries, directory, found.name);
            if (document.empty() || document == "PARROR")
                continue;
            // Two schedules whose names differ in case alone lead to the
            // same document, which is one task.
            std::string name = path::fileName(document);
            if (std::find(probe.documentNames.begin(), probe.documentNames.end(), name) == probe.documentNames.end())
                probe.documentNames.push_back(std::move(name));
        } else if (probe.folderRecord.empty() && cp1250::equalsNoCase(found.name, kFolderRecordName)) {
            probe.folderRecord = found.name;
        }
    }
}

void takeKeptNames(const ScheduleCache::Directory& known, DirectoryProbe& probe) {
    probe.subdirectories.assign(known.subdirectories.begin(), known.subdirectories.end());
    probe.documentNames.reserve(known.documents.size());
    for (const ScheduleCache::Document& document : known.documents)
        probe.documentNames.emplace_back(document.name);
    probe.folderRecord = known.folderRecord;
}

const ScheduleCache::Document* keptDocument(const std::optional<ScheduleCache::Directory>& known, std::string_view name,
                                            std::size_t at) {
    if (!known)
        return nullptr;
    const auto& documents = known->documents;
    // An unchanged directory lists its documents in the order kept.
    if (at < documents.size() && documents[at].name == name)
        return &documents[at];
    const auto found = std::find_if(documents.begin(), documents.end(),
                                    [name](const ScheduleCache::Document& document) { return document.name == name; });
    return found == documents.end() ? nullptr : &*found;
}

// Whether the reading kept for a document still holds for its files.
bool readingHolds(const ScheduleCache::Document& kept, const ScheduleCache::Stamp& schedule,
                  const ScheduleCache::Stamp& document, const ScheduleCache& previous) {
    return kept.schedule == schedule && kept.document == document && settled(schedule.modifiedNs, previous) &&
           settled(document.modifiedNs, previous);
}

// Touches previous only to look things up in it, so that probes may run
// side by side. The scheduled documents are read here too, by name in the
// directory already open.
DirectoryProbe probeDirectory(const RecordFiles& records, const TypeTables& tables, const std::string& directory,
                              const ScheduleCache& previous, const ScheduleFileReader& reader) {
    DirectoryProbe probe;
    probe.known = previous.directory(directory);
    // Most directories of a large tree hold no schedule: one call tells
    // that such a one is unchanged. The others are held open, so that the
    // files in them are looked up by name alone.
    const bool knownWithout = probe.known && probe.known->documents.empty();
    std::optional<fs::OpenDirectory> open;
    if (!knownWithout)
        open.emplace(directory);
    const auto stamp = open ? open->stamp() : fs::stamp(directory);
    if (!stamp)
        return probe;
    probe.modifiedNs = stamp->modifiedNs;
    if (probe.known && probe.known->modifiedNs == stamp->modifiedNs && settled(stamp->modifiedNs, previous)) {
        probe.found = true;
        takeKeptNames(*probe.known, probe);
    } else {
        if (!open)
            open.emplace(directory);
        listDirectory(*open, directory, probe);
        if (!probe.found)
            return probe;
    }
    // The rights of a folder without tasks matter only above folders with
    // tasks, where they are read when asked for.
    if (probe.documentNames.empty()) {
        probe.rightsUnchecked = true;
        return probe;
    }
    probe.documents.reserve(probe.documentNames.size());
    for (std::size_t i = 0; i < probe.documentNames.size(); ++i) {
        const std::string& name = probe.documentNames[i];
        const std::string scheduleName = path::fileName(companionPath(name, Companion::Schedule));
        std::string documentPath = path::join(directory, name);
        FoundDocument& found = probe.documents.emplace_back();
        const ScheduleCache::Document* const kept = keptDocument(probe.known, name, i);
        if (kept) {
            found.schedule = stampIn(*open, directory, scheduleName);
            found.document = stampIn(*open, directory, name);
            if (readingHolds(*kept, found.schedule, found.document, previous)) {
                if (auto reading = ScheduleCache::readingFrom(kept->reading, documentPath)) {
                    found.reading = std::move(*reading);
                    found.kept = true;
                    found.keptText = kept->reading;
                    continue;
                }
            }
        }
        // A document met for the first time takes the stamps of its files
        // from the reads, as the files were opened, rather than from a
        // status call for each beforehand.
        ScheduleFileReader::Seen scheduleSeen, documentSeen;
        found.reading = reader.read(documentPath, &*open, &scheduleSeen, &documentSeen);
        if (!kept) {
            found.schedule = scheduleSeen.known ? stampOf(scheduleSeen.stamp) : stampIn(*open, directory, scheduleName);
            found.document = documentSeen.known ? stampOf(documentSeen.stamp) : stampIn(*open, directory, name);
        }
    }
    if (probe.folderRecord.empty()) {
        if (probe.relisted)
            probe.rightsRead = std::string();
        return probe;
    }
    probe.folderRecordStamp = stampIn(*open, directory, probe.folderRecord);
    const bool rightsKept = probe.known && probe.known->folderRecord == probe.folderRecord &&
                            probe.known->folderRecordStamp == probe.folderRecordStamp &&
                            settled(probe.folderRecordStamp.modifiedNs, previous);
    if (!rightsKept) {
        // A record of no type the data point defines, or one that cannot
        // be read, restricts nothing.
        Record record;
        probe.rightsRead = recordCarriesRights(tables, probe.folderRecord) &&
                                   records.read(*open, directory, probe.folderRecord, record) == RecordRead::Ok
                               ? record.value("RIGHTS")
                               : std::string();
    }
    return probe;
}

// Whether a directory listed again holds what the cache kept of it.
bool holdsWhatWasKept(const ScheduleCache::Directory& known, const DirectoryProbe& probe) {
    return std::equal(known.subdirectories.begin(), known.subdirectories.end(), probe.subdirectories.begin(),
                      probe.subdirectories.end()) &&
           known.folderRecord == probe.folderRecord &&
           std::equal(
               known.documents.begin(), known.documents.end(), probe.documentNames.begin(), probe.documentNames.end(),
               [](const ScheduleCache::Document& document, const std::string& name) { return document.name == name; });
}

// A probe of a directory that whichever gets to it first makes: a thread
// of the pool, ahead of the walk, or the walk itself.
struct ProbeAhead {
    std::atomic<bool> taken{false};
    std::promise<DirectoryProbe> made;
};

struct Finder {
    Finder(const RecordFiles& r, const TypeTables& t, const ScheduleCache& p, FolderRightsTexts* texts,
           const std::atomic<bool>* s, const ScheduleFileReader& reading)
        : records(r), tables(t), previous(p), rights(texts), stop(s), reader(reading) {}

    const RecordFiles& records;
    const TypeTables& tables;
    const ScheduleCache& previous;
    FolderRightsTexts* rights;
    const std::atomic<bool>* stop;
    const ScheduleFileReader& reader;
    WorkPool* pool = nullptr;              // probes sub-directories ahead on a share
    std::vector<ScheduleReading> readings; // in the walk's order
    // The next cache's entries: those kept as they stand point into the
    // previous cache, so that a scan where little changed copies nothing
    // and one where nothing changed writes nothing. Also whether it tells
    // anything the previous one did not.
    std::vector<std::string_view> next;
    std::deque<std::string> written; // the entries written anew
    bool changed = false;

    DirectoryProbe probeOf(const std::string& directory) const {
        return probeDirectory(records, tables, directory, previous, reader);
    }

    // The directory's entry in the next cache: the kept one as it stands
    // where nothing in it changed, else one written anew.
    void keep(const std::string& directory, const DirectoryProbe& probe, std::string_view rightsNow,
              const ScheduleCache::Stamp& recordStamp, bool sameAsKept) {
        if (sameAsKept) {
            next.push_back(probe.known->entry);
            return;
        }
        ScheduleCache::Directory entry;
        entry.modifiedNs = probe.modifiedNs;
        entry.subdirectories.assign(probe.subdirectories.begin(), probe.subdirectories.end());
        std::deque<std::string> texts; // of the readings made anew
        entry.documents.reserve(probe.documents.size());
        for (std::size_t i = 0; i < probe.documents.size(); ++i) {
            const FoundDocument& found = probe.documents[i];
            entry.documents.push_back(
                {probe.documentNames[i], found.schedule, found.document,
                 found.kept ? found.keptText : texts.emplace_back(ScheduleCache::readingText(found.reading))});
        }
        entry.folderRecord = probe.folderRecord;
        entry.folderRecordStamp = recordStamp;
        entry.rights = rightsNow;
        next.push_back(written.emplace_back(ScheduleCache::directoryEntry(directory, entry)));
    }

    void take(const std::string& directory, DirectoryProbe& probe) {
        const auto& known = probe.known;
        // A directory listed again that holds what it held (the logon
        // writes into the user's own) is no reason to write the cache
        // again: it costs one listing the next time.
        bool sameAsKept = known && !probe.relisted;
        if (probe.relisted && !(known && holdsWhatWasKept(*known, probe)))
            changed = true;
        // A directory whose record was not looked at, or is unchanged,
        // keeps the rights it gave before.
        const std::string_view keptRights = known ? known->rights : std::string_view();
        const ScheduleCache::Stamp keptStamp = known ? known->folderRecordStamp : ScheduleCache::Stamp{};
        const std::string_view rightsNow = probe.rightsRead ? std::string_view(*probe.rightsRead) : keptRights;
        const ScheduleCache::Stamp recordStamp = probe.rightsUnchecked ? keptStamp : probe.folderRecordStamp;
        if (rightsNow != keptRights || recordStamp != keptStamp) {
            changed = true;
            sameAsKept = false;
        }
        if (!probe.rightsUnchecked && rights)
            (*rights)[path::comparableFolder(directory)] = std::string(rightsNow);
        for (FoundDocument& found : probe.documents) {
            if (!found.kept) {
                changed = true;
                sameAsKept = false;
            }
        }
        keep(directory, probe, rightsNow, recordStamp, sameAsKept);
        for (FoundDocument& found : probe.documents)
            readings.push_back(std::move(found.reading));
    }

    void below(const std::string& directory, DirectoryProbe probe, int depth) {
        if (!probe.found)
            return;
        take(directory, probe);
        std::vector<std::string> subdirectories;
        if (depth < kMaxDepth) {
            subdirectories.reserve(probe.subdirectories.size());
            for (const std::string& name : probe.subdirectories)
                subdirectories.push_back(path::join(directory, name));
        }
        // The probe's names are all copied out; its memory goes before
        // the walk goes deeper.
        probe = DirectoryProbe();
        std::vector<std::shared_ptr<ProbeAhead>> ahead(pool ? subdirectories.size() : 0);
        for (std::size_t i = 0; pool && i < subdirectories.size(); ++i) {
            ahead[i] = std::make_shared<ProbeAhead>();
            // Its future is not needed: the slot tells.
            pool->run([this, slot = ahead[i], path = subdirectories[i]] {
                if (!slot->taken.exchange(true))
                    slot->made.set_value(probeOf(path));
            });
        }
        for (std::size_t i = 0; i < subdirectories.size(); ++i) {
            if (stop && *stop)
                return;
            // A probe not yet begun is made here rather than waited for.
            const bool begun = pool && ahead[i]->taken.exchange(true);
            below(subdirectories[i], begun ? ahead[i]->made.get_future().get() : probeOf(subdirectories[i]), depth + 1);
        }
    }
};

} // namespace

ScheduleCache ScheduleCache::parse(std::string content, std::string_view dataPoint, std::int64_t writtenNs) {
    ScheduleCache cache;
    cache.dataPoint_ = std::string(dataPoint);
    if (!content.starts_with(kMagic))
        return cache;
    auto text = std::make_shared<const std::string>(std::move(content));
    const std::string_view all(*text);
    Reader r(all, kMagic.size());
    const auto owner = r.text();
    if (!owner || *owner != dataPoint || !r.endOfRecord())
        return cache;
    // Only where each entry lies is read now; an entry is read out when
    // its directory is met.
    std::unordered_map<std::string_view, Place> index;
    index.reserve(all.size() / 128);
    while (!r.atEnd()) {
        const std::size_t start = r.at();
        const auto kind = r.text();
        const auto path = r.text();
        const auto body = r.text();
        if (!kind || *kind != "D" || !path || !body || !r.endOfRecord())
            return cache;
        index.insert_or_assign(*path, Place{all.substr(start, r.at() - start), *body});
    }
    cache.writtenNs_ = writtenNs;
    cache.text_ = std::move(text);
    cache.index_ = std::move(index);
    return cache;
}

ScheduleCache ScheduleCache::load(const std::string& file, std::string_view dataPoint) {
    // The file's own time says when it was written, by the clock of the
    // file systems it is compared with rather than the program's.
    fs::ReadResult read = fs::readFile(file, kMaxCacheBytes);
    return read.ok() ? parse(std::move(read.content), dataPoint, read.modifiedNs) : parse("", dataPoint, 0);
}

std::optional<ScheduleCache::Directory> ScheduleCache::directory(std::string_view path) const {
    const auto found = index_.find(path);
    if (found == index_.end())
        return std::nullopt;
    return readDirectory(found->second.entry, found->second.body);
}

std::string ScheduleCache::startText(std::string_view dataPoint) {
    Writer w(kMagic);
    w.text(dataPoint).end();
    return w.take();
}

std::string ScheduleCache::directoryEntry(std::string_view path, const Directory& directory) {
    Writer body("");
    body.number(directory.modifiedNs).number(static_cast<std::int64_t>(directory.subdirectories.size()));
    for (const std::string_view name : directory.subdirectories)
        body.text(name);
    body.number(static_cast<std::int64_t>(directory.documents.size()));
    for (const Document& document : directory.documents) {
        body.text(document.name);
        writeStamp(body, document.schedule);
        writeStamp(body, document.document);
        body.text(document.reading);
    }
    body.text(directory.folderRecord);
    writeStamp(body, directory.folderRecordStamp);
    body.text(directory.rights);
    Writer w("");
    w.text("D").text(path).text(body.take()).end();
    return w.take();
}

std::string ScheduleCache::readingText(const ScheduleReading& reading) {
    Writer w("");
    w.number(static_cast<std::int64_t>(reading.scheduleRead));
    for (const std::string* field : {&reading.schedule.owner, &reading.schedule.team, &reading.schedule.date,
                                     &reading.schedule.time, &reading.schedule.event})
        w.text(*field);
    w.number(reading.documentRead ? 1 : 0).text(reading.name).text(reading.imageName).text(reading.rights);
    return w.take();
}

std::optional<ScheduleReading> ScheduleCache::readingFrom(std::string_view text, std::string documentPath) {
    Reader r(text);
    ScheduleReading reading;
    reading.documentPath = std::move(documentPath);
    const auto read = r.number();
    if (!read || *read < 0 || *read > static_cast<std::int64_t>(RecordRead::Failed))
        return std::nullopt;
    reading.scheduleRead = static_cast<RecordRead>(*read);
    for (std::string* field : {&reading.schedule.owner, &reading.schedule.team, &reading.schedule.date,
                               &reading.schedule.time, &reading.schedule.event}) {
        const auto value = r.text();
        if (!value)
            return std::nullopt;
        *field = std::string(*value);
    }
    const auto documentRead = r.number();
    for (std::string* field : {&reading.name, &reading.imageName, &reading.rights}) {
        const auto value = r.text();
        if (!value)
            return std::nullopt;
        *field = std::string(*value);
    }
    if (!documentRead || *documentRead < 0 || *documentRead > 1 || !r.atEnd())
        return std::nullopt;
    reading.documentRead = *documentRead != 0;
    return reading;
}

std::string ScheduleCache::serialize() const {
    std::vector<std::string_view> paths;
    paths.reserve(index_.size());
    for (const auto& [path, place] : index_)
        paths.push_back(path);
    std::sort(paths.begin(), paths.end());
    std::string out = startText(dataPoint_);
    for (const std::string_view path : paths) {
        if (const auto kept = directory(path))
            out += directoryEntry(path, *kept);
    }
    return out;
}

namespace {

// Places inside one another are walked once, from the outermost: as links
// are not followed, no directory is then met twice.
std::vector<std::string> outermostPlaces(const std::vector<std::string>& places) {
    std::vector<std::string> comparables;
    for (const std::string& place : places)
        comparables.push_back(path::comparableFolder(place));
    const auto inside = [](const std::string& inner, const std::string& outer) {
        return inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 && inner[outer.size()] == '/';
    };
    std::vector<std::string> outermost;
    for (std::size_t i = 0; i < places.size(); ++i) {
        bool covered = places[i].empty();
        for (std::size_t j = 0; j < places.size() && !covered; ++j)
            covered = !places[j].empty() &&
                      (inside(comparables[i], comparables[j]) || (j < i && comparables[i] == comparables[j]));
        if (!covered)
            outermost.push_back(path::withoutTrailingSeparator(places[i]));
    }
    return outermost;
}

void walk(Finder& finder, const std::vector<std::string>& places) {
    // The pool ends with the walk, before the finder and the caches that
    // its probes use: a stopped walk leaves probes under way.
    // On a local disk the walk runs on this thread alone: no call there
    // waits for a server, and handing each directory to another thread
    // cost more than it saved, even on a first scan that reads every file.
    const std::unique_ptr<WorkPool> pool = poolForShare(places.empty() ? std::string_view() : places.front());
    finder.pool = pool.get();
    for (const std::string& directory : outermostPlaces(places))
        finder.below(directory, finder.probeOf(directory), 0);
}

} // namespace

std::vector<ScheduleReading> readSchedulesBelow(const RecordFiles& records, const TypeTables& tables,
                                                const std::vector<std::string>& places, const std::string& cacheFile,
                                                std::string_view dataPoint, const std::atomic<bool>* stop,
                                                FolderRightsTexts* rights) {
    const ScheduleCache previous = ScheduleCache::load(cacheFile, dataPoint);
    const ScheduleFileReader reader(records, tables);
    Finder finder{records, tables, previous, rights, stop, reader};
    walk(finder, places);
    // A stopped scan saw only part: the cache stays as it was; so does a
    // cache that still says everything. One that cannot be written costs
    // only time at the next logon.
    const bool sameAsBefore = !finder.changed && finder.next.size() == previous.size();
    if (!(stop && *stop) && !sameAsBefore && fs::createDirectories(path::directory(cacheFile))) {
        std::string text = ScheduleCache::startText(dataPoint);
        std::size_t size = text.size();
        for (const std::string_view entry : finder.next)
            size += entry.size();
        text.reserve(size);
        for (const std::string_view entry : finder.next)
            text += entry;
        ignoreOutcome(replaceFile(cacheFile, text, 0600));
    }
    return std::move(finder.readings);
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
