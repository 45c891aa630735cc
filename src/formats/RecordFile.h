#pragma once

#include "formats/ObjectTypes.h"
#include "formats/PostedForm.h"
#include "formats/Record.h"
#include "platform/Clock.h"
#include "platform/DateTimeFormat.h"
#include "platform/FileSystem.h"
#include "platform/Status.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

// Where a few named fields lie in the record files of one object type,
// found once so that a scan over many files takes those lines alone
// instead of building every field of every record.
class FieldPick {
public:
    FieldPick() = default;
    FieldPick(const TypeTables& tables, std::size_t type, const std::vector<std::string_view>& names);

    // The fields' values from a file's content, in the order of the names:
    // what Record::value gives on the record parseRecord makes of it.
    void values(std::string_view content, std::vector<std::string>& out) const;

private:
    struct Place {
        std::size_t line = 0;
        bool found = false;
        bool enciphered = false;
        bool boolean = false;
        std::string_view recordDefault;
    };
    std::vector<Place> places_;
    std::size_t linesNeeded_ = 0;
};

enum class RecordRead {
    Ok,
    Missing, // no such file; the record is left as it was
    Failed,  // the file exists but cannot be read; the record is left as it was
};

// Reads and writes record files: one value per line in the field order of
// the file's object type, enciphered fields enciphered, CR LF line ends.
class RecordFiles {
public:
    RecordFiles(const TypeTables& tables, const Clock& clock, const DateTimeFormats& formats);

    // Reads path into record. Missing lines take their type's defaults,
    // extra lines are ignored, boolean values are upper-cased.
    // why, when given, tells what made a file unreadable.
    RecordRead read(std::string_view path, Record& record, std::string* why = nullptr) const;
    // The same for the file name in an open directory whose path is
    // directoryPath.
    RecordRead read(const fs::OpenDirectory& directory, std::string_view directoryPath, std::string_view name,
                    Record& record, std::string* why = nullptr) const;

    // Reads only the picked fields of path (or of name in an open
    // directory) into values; a file that is missing or unreadable gives
    // what read gives and leaves values alone. The size and time of the
    // file read go into read when given.
    RecordRead readPicked(std::string_view path, const FieldPick& pick, std::vector<std::string>& values,
                          fs::Stamp* read = nullptr) const;
    RecordRead readPicked(const fs::OpenDirectory& directory, std::string_view name, const FieldPick& pick,
                          std::vector<std::string>& values, fs::Stamp* read = nullptr) const;

    // Reads path, lets change alter the record and writes it back as one
    // step among all copies of the program: under the file's lock, and only
    // while the file is still the one read (else it is read again and the
    // change made anew). A missing file starts from its type's defaults and
    // is written whole, never created empty first. Nothing is written when
    // change fails. The record written is left in result when given.
    Status update(std::string_view path, const std::function<Status(Record&)>& change, Record* result = nullptr) const;

    // Writes record to the file its header names (a record that was never
    // read gets a unique ".data" name in the directory path). The file is
    // replaced atomically. A value that cannot be held on one line (a line
    // break, a zero byte, or an enciphered form with either) refuses the
    // whole write and leaves the file as it was.
    Status write(Record& record, std::string_view path) const;

    // True only when the file did not exist and now does, empty.
    bool createEmpty(std::string_view path) const;

    // A name beside path that names no file: base + random number + ".DT" +
    // date + random number + ".TD" + extension. A name made so before has
    // its date part replaced instead of a second one added. newExtension
    // (with its dot) replaces the path's own when given.
    std::string uniqueName(std::string_view path, std::string_view newExtension = {}) const;

    // Reads the record file the header names again, sets the posted values
    // and writes it back. Names that are no field of the record change
    // nothing and are listed in unknownFields. Fails when nothing was posted.
    Status storePostedForm(Record& record, const PostedForm& form,
                           std::vector<std::string>* unknownFields = nullptr) const;

    const TypeTables& tables() const { return tables_; }

private:
    // The record of a file read at path.
    RecordRead take(std::string_view path, const fs::ReadResult& file, Record& record, std::string* why) const;

    const TypeTables& tables_;
    const Clock& clock_;
    const DateTimeFormats& formats_;
};

// The record a file's content holds, given the file's name for its type.
// Header fields are left empty.
Record parseRecord(const TypeTables& tables, std::string_view fileName, std::string_view content);

// Serialises a record's values; fails when a value cannot be stored.
Status recordFileContent(const Record& record, std::string& content);

// Caption (note) of the object type of an existing file, expanded with
// blank-on-empty; "UNKNOWN" for a missing file or an empty text.
std::string objectTypeCaptionOf(const TypeTables& tables, std::string_view path, const TextExpander& expandBlank);
// The same for a file just read: nothing asks again whether it exists.
std::string objectTypeCaptionOfRead(const TypeTables& tables, std::string_view path, const TextExpander& expandBlank);
std::string objectTypeNoteOf(const TypeTables& tables, std::string_view path, const TextExpander& expandBlank);

// Writes each posted value into the existing key of the same name in the
// section named after the file (its name without extension, upper-cased).
// Keys that the file lacks are not created. Fails when the file is missing
// or nothing was posted.
Status storePostedFormInIni(std::string_view path, const PostedForm& form);

// Replaces characters that are not allowed in file names on common file
// systems (a date format may hold '/').
std::string safeFileNamePart(std::string_view text);

} // namespace quill
