#include "formats/RecordFile.h"

#include "formats/FieldCipher.h"
#include "formats/IniDocument.h"
#include "platform/AtomicFile.h"
#include "platform/Cp1250.h"
#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <random>

namespace quill {
namespace {

// Record files hold a few hundred short lines; a larger file is not one.
constexpr std::size_t kMaxRecordBytes = 64 * 1024 * 1024;
constexpr std::size_t kMaxIniBytes = 16 * 1024 * 1024;

std::string captionOrNote(const TypeTables& tables, std::string_view path, const TextExpander& expandBlank,
                          bool caption, bool knownToExist = false) {
    if ((!knownToExist && !fs::exists(path)) || tables.objectTypes.empty())
        return "UNKNOWN";
    const ObjectType& type = tables.objectTypes[tables.objectTypeOf(path)];
    std::string text = caption ? type.caption : type.note;
    if (expandBlank)
        text = expandBlank(text);
    return text.empty() ? std::string("UNKNOWN") : text;
}

} // namespace

Record parseRecord(const TypeTables& tables, std::string_view fileName, std::string_view content) {
    Record result;
    const std::size_t type = tables.objectTypeOf(fileName);
    const std::size_t fieldCount = type < tables.objectTypes.size() ? tables.objectTypes[type].propertyNames.size() : 0;
    std::vector<std::string_view> lines = text::splitLines(content);
    if (lines.empty())
        lines.emplace_back(); // an empty file is one empty line
    // A field without a definition of its name still holds its line, in its
    // place, so that a write neither loses it nor moves later values up.
    const auto addField = [&](std::size_t i) -> Field& {
        if (!addProperty(tables, type, i, result)) {
            Field placeholder;
            placeholder.name = tables.objectTypes[type].propertyNames[i];
            placeholder.action = "NILL";
            result.fields.push_back(std::move(placeholder));
        }
        return result.fields.back();
    };
    const std::size_t usedLines = std::min(lines.size(), fieldCount);
    for (std::size_t i = 0; i < usedLines; ++i) {
        Field& field = addField(i);
        field.value = field.enciphered ? cipher::decipher(cipher::kFieldKey, lines[i]) : std::string(lines[i]);
        if (field.kind == PropertyKind::Boolean)
            field.value = cp1250::upper(field.value);
    }
    for (std::size_t i = usedLines; i < fieldCount; ++i) {
        Field& field = addField(i);
        field.value = std::string(factsOf(field.kind).recordDefault);
    }
    return result;
}

FieldPick::FieldPick(const TypeTables& tables, std::size_t type, const std::vector<std::string_view>& names) {
    places_.resize(names.size());
    if (type >= tables.objectTypes.size())
        return;
    const std::vector<std::string>& properties = tables.objectTypes[type].propertyNames;
    for (std::size_t n = 0; n < names.size(); ++n) {
        // As in a parsed record: the first field of the name, which is its
        // definition's name or, without one, the name the type lists.
        for (std::size_t i = 0; i < properties.size(); ++i) {
            const PropertyDefinition* definition = tables.findProperty(properties[i]);
            if (!cp1250::equalsNoCase(definition ? definition->name : properties[i], names[n]))
                continue;
            const PropertyKind kind = definition ? definition->kind : PropertyKind::Other;
            places_[n] = {i, true, definition && definition->enciphered, kind == PropertyKind::Boolean,
                          factsOf(kind).recordDefault};
            linesNeeded_ = std::max(linesNeeded_, i + 1);
            break;
        }
    }
}

void FieldPick::values(std::string_view content, std::vector<std::string>& out) const {
    out.assign(places_.size(), std::string());
    for (std::size_t n = 0; n < places_.size(); ++n) {
        if (places_[n].found)
            out[n] = std::string(places_[n].recordDefault);
    }
    const auto take = [&](std::size_t line, std::string_view text) {
        for (std::size_t n = 0; n < places_.size(); ++n) {
            const Place& place = places_[n];
            if (!place.found || place.line != line)
                continue;
            out[n] = place.enciphered ? cipher::decipher(cipher::kFieldKey, text) : std::string(text);
            if (place.boolean)
                out[n] = cp1250::upper(out[n]);
        }
    };
    // Up to the last line wanted; an empty file is one empty line.
    if (content.empty()) {
        take(0, content);
        return;
    }
    const std::vector<std::string_view> lines = text::splitLines(content, linesNeeded_);
    for (std::size_t line = 0; line < lines.size(); ++line)
        take(line, lines[line]);
}

RecordFiles::RecordFiles(const TypeTables& tables, const Clock& clock, const DateTimeFormats& formats)
    : tables_(tables), clock_(clock), formats_(formats) {}

RecordRead RecordFiles::read(std::string_view path, Record& record, std::string* why) const {
    return take(path, fs::readFile(path, kMaxRecordBytes), record, why);
}

RecordRead RecordFiles::read(const fs::OpenDirectory& directory, std::string_view directoryPath, std::string_view name,
                             Record& record, std::string* why) const {
    return take(path::join(directoryPath, name), directory.readFile(name, kMaxRecordBytes), record, why);
}

namespace {

RecordRead takePicked(const fs::ReadResult& file, const FieldPick& pick, std::vector<std::string>& values,
                      fs::Stamp* read) {
    if (file.error == fs::ReadError::Missing)
        return RecordRead::Missing;
    if (!file.ok())
        return RecordRead::Failed;
    pick.values(file.content, values);
    if (read) {
        *read = fs::Stamp();
        read->size = file.size;
        read->modifiedNs = file.modifiedNs;
        read->regularFile = true;
    }
    return RecordRead::Ok;
}

} // namespace

RecordRead RecordFiles::readPicked(std::string_view path, const FieldPick& pick, std::vector<std::string>& values,
                                   fs::Stamp* read) const {
    return takePicked(fs::readFile(path, kMaxRecordBytes), pick, values, read);
}

RecordRead RecordFiles::readPicked(const fs::OpenDirectory& directory, std::string_view name, const FieldPick& pick,
                                   std::vector<std::string>& values, fs::Stamp* read) const {
    return takePicked(directory.readFile(name, kMaxRecordBytes), pick, values, read);
}

RecordRead RecordFiles::take(std::string_view path, const fs::ReadResult& file, Record& record,
                             std::string* why) const {
    if (why)
        *why = file.reason;
    if (file.error == fs::ReadError::Missing)
        return RecordRead::Missing;
    if (!file.ok())
        return RecordRead::Failed;

    Record result = parseRecord(tables_, path::fileName(path), file.content);
    const std::string directory = path::directory(path);
    result.header.directory = directory.empty() ? directory : path::withTrailingSeparator(directory);
    result.header.fileName = path::fileName(path);
    result.header.modificationTime = file.modifiedNs;
    record = std::move(result);
    return RecordRead::Ok;
}

Status recordFileContent(const Record& record, std::string& content) {
    content.clear();
    for (const Field& field : record.fields) {
        const std::string_view value = field.value;
        if (text::containsLineBreak(value) || value.find('\0') != std::string_view::npos)
            return Status::failure("the value of " + field.name + " does not fit on one line");
        if (field.enciphered) {
            if (!cipher::isStorable(cipher::kFieldKey, value))
                return Status::failure("the enciphered value of " + field.name + " cannot be stored");
            content += cipher::encipher(cipher::kFieldKey, value);
        } else {
            content += value;
        }
        content += kLineBreak;
    }
    return Status::success();
}

Status RecordFiles::write(Record& record, std::string_view path) const {
    if (record.header.fileName.empty()) {
        const std::string unique = uniqueName(path::join(path, "record"), ".data");
        record.header.fileName = path::fileName(unique);
        record.header.directory = path::withTrailingSeparator(path);
    }
    std::string content;
    if (Status s = recordFileContent(record, content); !s)
        return Status::failure("cannot write " + record.header.path() + ": " + s.message());
    const std::string directory = record.header.directory.empty() ? std::string(".") : record.header.directory;
    if (!fs::createDirectories(directory))
        return Status::failure("cannot create " + directory);
    const std::string target = record.header.path();
    sweepStaleTemporaryFiles(directory);
    Status written = replaceFile(target, content);
    record.header.modificationTime = fs::modificationTime(target);
    return written;
}

Status RecordFiles::update(std::string_view path, const std::function<Status(Record&)>& change, Record* result) const {
    const std::string file(path);
    const FileLock lock(file);
    if (!lock.held())
        return lock.status();
    constexpr int kAttempts = 5;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const auto before = fs::stamp(file);
        Record record;
        std::string why;
        switch (read(file, record, &why)) {
        case RecordRead::Ok: break;
        case RecordRead::Failed: return Status::failure("cannot read " + file + ": " + why);
        case RecordRead::Missing: {
            if (before)
                continue; // there, but gone while read: read again
            record = parseRecord(tables_, path::fileName(file), "");
            const std::string directory = path::directory(file);
            record.header.directory = directory.empty() ? directory : path::withTrailingSeparator(directory);
            record.header.fileName = path::fileName(file);
            break;
        }
        }
        if (Status changed = change(record); !changed)
            return changed;
        // Another program (one that takes no lock) saved meanwhile: its save
        // is not overwritten; the change is made again on top of it.
        if (fs::stamp(file) != before)
            continue;
        if (Status written = write(record, file); !written)
            return written;
        if (result)
            *result = std::move(record);
        return Status::success();
    }
    return Status::failure("cannot save " + file + ": it kept changing while it was saved; try again");
}

bool RecordFiles::createEmpty(std::string_view path) const {
    if (fs::exists(path))
        return false;
    const std::string directory = path::directory(path);
    if (!directory.empty() && !fs::isDirectory(directory))
        return false;
    return replaceFile(path, "").ok() && fs::exists(path);
}

std::string safeFileNamePart(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' ||
            c == '|')
            c = '-';
    }
    return out;
}

std::string RecordFiles::uniqueName(std::string_view path, std::string_view newExtension) const {
    const std::string directory = path::directory(path);
    const std::string name = path::fileName(path);
    std::string extension = newExtension.empty() ? path::extension(name) : std::string(newExtension);
    if (!extension.empty() && extension.front() != '.')
        extension.insert(extension.begin(), '.');
    std::string result;
    for (int attempt = 0; attempt < 100000; ++attempt) {
        // Seeded anew from the clock for every attempt, mixed with a
        // device value so that two machines at the same millisecond differ.
        const LocalDateTime now = clock_.now();
        std::seed_seq seed{now.millisecond,
                           now.second,
                           now.minute,
                           now.hour,
                           now.day,
                           attempt,
                           static_cast<int>(std::random_device()())};
        std::mt19937 random(seed);
        const auto below = [&random](int bound) {
            return std::to_string(std::uniform_int_distribution<int>(0, bound - 1)(random));
        };
        const std::string date = safeFileNamePart(formatDate(now, formats_));
        std::string base = path::withoutExtension(name);
        const std::size_t marker = cp1250::findNoCase(base, ".DT");
        if (marker != std::string::npos) {
            const std::size_t close = cp1250::findNoCase(base, ".TD", marker);
            base.erase(marker, close == std::string::npos ? std::string::npos : close + 3 - marker);
            std::size_t insertAt = marker;
            if (base.empty()) {
                base = below(1000);
                insertAt = base.size();
            }
            base.insert(insertAt, ".DT" + date + below(10000) + ".TD");
        } else {
            base += below(1000) + ".DT" + date + below(10000) + ".TD";
        }
        result = directory.empty() ? base + extension : path::join(directory, base + extension);
        if (!fs::exists(result))
            break;
    }
    return result;
}

Status RecordFiles::storePostedForm(Record& record, const PostedForm& form,
                                    std::vector<std::string>* unknownFields) const {
    const std::string path = record.header.path();
    if (record.header.fileName.empty())
        return Status::failure("the record was not read from a file");
    if (!fs::exists(path))
        return Status::failure("cannot read " + path + ": no such file");
    if (form.pairs.empty())
        return Status::failure("nothing was posted");
    return update(
        path,
        [&](Record& current) {
            if (unknownFields)
                unknownFields->clear();
            for (const auto& [name, value] : form.pairs) {
                if (!current.setValue(name, value) && unknownFields)
                    unknownFields->push_back(name);
            }
            return Status::success();
        },
        &record);
}

std::string objectTypeCaptionOf(const TypeTables& tables, std::string_view path, const TextExpander& expandBlank) {
    return captionOrNote(tables, path, expandBlank, true);
}

std::string objectTypeCaptionOfRead(const TypeTables& tables, std::string_view path, const TextExpander& expandBlank) {
    return captionOrNote(tables, path, expandBlank, true, true);
}

std::string objectTypeNoteOf(const TypeTables& tables, std::string_view path, const TextExpander& expandBlank) {
    return captionOrNote(tables, path, expandBlank, false);
}

Status storePostedFormInIni(std::string_view path, const PostedForm& form) {
    const fs::ReadResult file = fs::readFile(path, kMaxIniBytes);
    if (file.error == fs::ReadError::Missing)
        return Status::failure("cannot store the form: " + std::string(path) + " does not exist");
    if (!file.ok())
        return Status::failure("cannot read " + std::string(path));
    if (form.pairs.empty())
        return Status::failure("nothing was posted");
    IniDocument doc = IniDocument::parse(file.content);
    const std::string section = cp1250::upper(path::withoutExtension(path::fileName(path)));
    for (const auto& [name, value] : form.pairs) {
        const std::string key = cp1250::upper(name);
        if (!doc.hasKey(section, key))
            continue;
        if (Status s = doc.setValue(section, key, value); !s)
            return Status::failure("cannot store the form in " + std::string(path) + ": " + s.message());
    }
    return replaceFile(path, doc.serialize());
}

} // namespace quill
