#pragma once

#include "documents/DocumentStore.h"
#include "documents/PendingFileOps.h"
#include "formats/LanguageTexts.h"
#include "formats/ObjectTypes.h"
#include "formats/Record.h"
#include "formats/RecordFile.h"
#include "platform/Clock.h"
#include "platform/DateTimeFormat.h"
#include "platform/Shell.h"
#include "platform/Ui.h"
#include "session/EventLog.h"
#include "session/EventTable.h"
#include "session/LogonContext.h"
#include "session/ProgramValues.h"
#include "session/ScheduleTable.h"
#include "session/TextCache.h"
#include "session/TextVariables.h"
#include "session/UsersAndGroups.h"

#include <set>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <string_view>
#include <vector>

namespace quill {

// What the user works on: a node of the main tree or an item of the list
// beside it.
struct ActualObject {
    std::string displayName; // caption + " (" + location + ")"
    std::string mainPath;    // the directory the node stands for
};

// Everything the program keeps while it runs: the program values, the
// logon context, the object and property tables, the actual object, pending edits, pending file operations and the
// schedule. There is one per running program, passed by reference;
// nothing of it is global.
class Session final : public DocumentStore {
public:
    Session(ProgramValues program, Clock& clock, Ui& ui, Shell& shell);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    ProgramValues program;
    LogonContext context;
    TypeTables tables;
    std::vector<std::string> fileList;
    ActualObject actual;
    PendingEdits pendingEdits;
    PendingFileOps pendingFileOps;
    ScheduleTable schedule;
    // The file made last from a file template and kept for attaching.
    std::string lastTemplateDocument;
    std::vector<EventChoice> events; // the reminder choices, read on first use
    std::set<std::string> unreadableSchedulesLogged;
    DateTimeFormats formats;
    std::vector<UserEntry> users;
    std::vector<GroupEntry> groups;
    TextCache textCache;
    bool linksSkippedLogged = false;
    // What folder records said of the user's rights, kept while a
    // FolderRightsCache lives; keyed by comparable folder path.
    struct FolderRights {
        std::unordered_map<std::string, bool> admits;
        std::unordered_map<std::string, std::string> texts; // "RIGHTS" already read
        std::vector<std::string> places;                    // where the chain of records ends
        // Documents are mostly asked about folder by folder.
        std::optional<std::string> lastAsked;
        bool lastAdmits = false;
    };
    std::unique_ptr<FolderRights> folderRights;

    Clock& clock;
    Ui& ui;
    Shell& shell;
    LanguageTexts texts;
    TextVariables variables;

    RecordFiles recordFiles() const override { return RecordFiles(tables, clock, formats); }

    // Reads a record file into the caller's record, telling a missing file
    // from one that failed. A file that exists but cannot be read is logged
    // (event 52) and shown as a warning.
    RecordRead readRecord(std::string_view path, Record& into) override;

    // Writes a record to the file. A failure is logged (event 53) and shown
    // as a warning.
    bool writeRecord(Record& from, std::string_view path) override;
    // The same write for a caller that tells the user itself: a failure
    // is logged (event 53) and returned with its reason, not shown.
    Status storeRecord(Record& from, std::string_view path);

    // Beep, then the numbered warning of a section of the "Warnings" file,
    // followed by detail when given.
    void warn(MessageKind kind, std::string_view section, int number, std::string_view detail = {});

    // What the document operations use of the session.
    const TypeTables& objectTypeTables() const override { return tables; }
    void reportUnreadable(std::string_view detail) override;
    PendingFileOps& fileJournal() override { return pendingFileOps; }
    const std::string& temporaryDirectory() const override { return context.settings.temporaryDirectory; }
    Ui& userInterface() override { return ui; }
    std::string dataPointDirectory() const override { return context.dataPointPath; }
    std::string transactionJournal() const override;
};

} // namespace quill
