#pragma once

#include "formats/RecordFile.h"

#include <string>
#include <string_view>

namespace quill {

class PendingFileOps;
class Ui;

// What the document operations need of the program they run in: the object
// types, records read and written with failures told to the user, the
// editor's journal of file operations, the busy cursor and the temporary
// directory. The logged-on session provides it.
class DocumentStore {
public:
    virtual const TypeTables& objectTypeTables() const = 0;
    virtual RecordFiles recordFiles() const = 0;
    // A file that exists but cannot be read is logged and shown.
    virtual RecordRead readRecord(std::string_view path, Record& into) = 0;
    // A failed write is logged and shown.
    virtual bool writeRecord(Record& from, std::string_view path) = 0;
    // Logs and shows that a record cannot be read, for a reason of detail.
    virtual void reportUnreadable(std::string_view detail) = 0;
    virtual PendingFileOps& fileJournal() = 0;
    // Empty when none is set.
    virtual const std::string& temporaryDirectory() const = 0;
    virtual Ui& userInterface() = 0;
    // The data point's directory (changes of several files record what
    // they do below it in relative form) and the journal where those
    // intents are kept, on the data point's own file system. Empty before
    // a data point is opened.
    virtual std::string dataPointDirectory() const = 0;
    virtual std::string transactionJournal() const = 0;

protected:
    ~DocumentStore() = default;
};

} // namespace quill
