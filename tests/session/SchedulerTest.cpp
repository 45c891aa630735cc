// The schedule table on a test clock: when reminders fall due, which
// schedules concern the user, what removal, the scan and bad schedules do,
// and the status line.
#include "session/Scheduler.h"

#include "SessionFixture.h"

#include "session/Logon.h"
#include "session/ScheduleCache.h"
#include "session/ScheduleScan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace quill {
namespace {

namespace stdfs = std::filesystem;

class SchedulerTest : public ::testing::Test, public test::SessionFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(open());
        ASSERT_TRUE(loadUserData(*session));
        stdfs::create_directories(folder);
    }
    // A note with a schedule: owner, team, date, time and the event index.
    std::string scheduled(const std::string& name, const std::string& owner, const std::string& date,
                          const std::string& time, const std::string& event, const std::string& in = {}) {
        const std::string directory = in.empty() ? folder : in;
        const std::string note = directory + "/" + name + ".note";
        test::writeBytes(note, name + "\r\n");
        test::writeBytes(directory + "/" + name + ".scheduler",
                         owner + "\r\n\r\n" + date + "\r\n" + time + "\r\n" + event + "\r\n");
        return note;
    }
    const ScheduleEntry* entryOf(const std::string& document) const {
        for (const ScheduleEntry& entry : session->schedule) {
            if (entry.documentPath == document)
                return &entry;
        }
        return nullptr;
    }
    std::string folder = dataPoint + "/DataPoint.root/Tasks test";
    std::string anna = "Anna Novak (ANNA)";
};

TEST_F(SchedulerTest, RemindersFallDueTwoMinutesEarlyAndStayDue) {
    // The fixed clock stands at 8.12.2026 9:05:07.
    const struct {
        const char* what;
        const char* date;
        const char* time;
        const char* event; // 0: no reminder, 3: 15 minutes, 5: 1 hour
        bool open;
        bool due;
    } cases[] = {
        {"no reminder, event now", "8.12.2026", "9:05:00", "0", false, false},
        {"15 minutes, 17 minutes ahead", "8.12.2026", "9:22:00", "3", true, true},
        {"15 minutes, 18 minutes ahead", "8.12.2026", "9:23:00", "3", true, false},
        {"1 hour, three days overdue", "5.12.2026", "9:00:00", "5", true, true},
        {"1 hour, tomorrow", "9.12.2026", "9:00:00", "5", true, false},
    };
    for (const auto& c : cases) {
        const std::string note = scheduled(c.what, anna, c.date, c.time, c.event);
        updateScheduleEntry(*session, note);
        const ScheduleEntry* entry = entryOf(note);
        ASSERT_TRUE(entry) << c.what;
        EXPECT_EQ(isOpenTask(*entry), c.open) << c.what;
        EXPECT_EQ(entry->due, c.due) << c.what;
        EXPECT_EQ(entry->name, c.what);
    }
    // The overdue reminder alerts once: listing it marks it seen.
    std::vector<std::size_t> alerts = checkReminders(*session, clock.now());
    EXPECT_EQ(alerts.size(), 2u);
    for (std::size_t index : alerts)
        session->schedule[index].seen = true;
    EXPECT_TRUE(checkReminders(*session, clock.now()).empty());
    // Eighteen minutes ahead falls due a minute later.
    clock.set({2026, 12, 8, 9, 6, 7, 250});
    alerts = checkReminders(*session, clock.now());
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(session->schedule[alerts[0]].name, "15 minutes, 18 minutes ahead");
}

TEST_F(SchedulerTest, OnlySchedulesNamingTheUserAndReadableOnesAreListed) {
    const std::string others = scheduled("Others", "Jan Novak (JAN)", "9.12.2026", "9:00:00", "5");
    const std::string badDate = scheduled("Bad date", anna, "31.2.2026", "9:00:00", "5");
    const std::string badEvent = scheduled("Bad event", anna, "9.12.2026", "9:00:00", "99");
    const std::string badTime = scheduled("Bad time", anna, "9.12.2026", "25:61", "5");
    const std::string wordEvent = scheduled("Word event", anna, "9.12.2026", "9:00:00", "soon");
    // A schedule that was readable and is no longer leaves the table.
    const std::string spoilt = scheduled("Spoilt", anna, "9.12.2026", "9:00:00", "5");
    updateScheduleEntry(*session, spoilt);
    ASSERT_TRUE(entryOf(spoilt));
    scheduled("Spoilt", anna, "9.12.2026", "nine o'clock", "5");
    const std::string team = folder + "/Team.note";
    test::writeBytes(team, "Team\r\n");
    test::writeBytes(folder + "/Team.scheduler",
                     "Jan Novak (JAN)\r\nanna novak (ANNA); \r\n9.12.2026\r\n9:00\r\n2\r\n");
    for (const std::string& note : {others, badDate, badEvent, badTime, wordEvent, spoilt, team, badDate})
        updateScheduleEntry(*session, note);
    ASSERT_EQ(session->schedule.size(), 1u);
    EXPECT_EQ(session->schedule[0].documentPath, team);
    // Each bad schedule is logged once, however often it is met.
    const std::string log = test::readBytes(logFileFor(*session, 57));
    EXPECT_EQ(test::occurrences(log, "cannot be read"), 5u);
}

TEST_F(SchedulerTest, RemovalPruneScanAndTheStatusLine) {
    std::vector<std::string> notes;
    for (const char* name : {"First", "Middle", "Last"})
        notes.push_back(scheduled(name, anna, "9.12.2026", "9:00:00", "5"));
    for (const std::string& note : notes)
        updateScheduleEntry(*session, note);
    stdfs::remove(folder + "/Middle.scheduler");
    pruneSchedule(*session);
    ASSERT_EQ(session->schedule.size(), 2u);
    EXPECT_TRUE(entryOf(notes[0]) && entryOf(notes[0])->name == "First");
    EXPECT_TRUE(entryOf(notes[2]) && entryOf(notes[2])->name == "Last");

    // Handed to the user: two tasks in the task directory, one of them due,
    // and a schedule there whose document is gone.
    const std::string tasks = session->context.userTasksDirectory;
    stdfs::create_directories(tasks);
    scheduled("Handed over", anna, "8.12.2026", "9:30:00", "5", tasks);
    scheduled("Also handed over", anna, "10.12.2026", "9:30:00", "5", tasks);
    test::writeBytes(tasks + "/Orphan.scheduler", anna + "\r\n\r\n9.12.2026\r\n9:00:00\r\n5\r\n");
    refreshSchedule(*session);
    EXPECT_EQ(session->schedule.size(), 4u);
    EXPECT_EQ(scheduleStatusLine(*session), "Tasks (incoming, current, all): 2, 1, 4.");
}

TEST_F(SchedulerTest, AScanFindsEachScheduledDocumentOnceAndNothingOutside) {
    const std::string outside = testing::TempDir() + "/quill-scan-outside";
    stdfs::remove_all(outside);
    stdfs::create_directories(outside);
    const struct {
        std::string document; // below the folder, or outside through a link
        bool scheduled;
        bool found;
    } cases[] = {
        {"Top", true, true},
        {"A/One", true, true},
        {"A/B/Deep", true, true},
        {"A/Unscheduled", false, false},
        {"A/Attachments.systemfiles/Stored", true, false},
        {"Link/Outside", true, false},
    };
    for (const auto& c : cases) {
        if (c.document.starts_with("Link/"))
            continue;
        stdfs::create_directories(stdfs::path(folder + "/" + c.document).parent_path());
        scheduled(stdfs::path(c.document).filename().string(), anna, "9.12.2026", "9:00:00", "5",
                  stdfs::path(folder + "/" + c.document).parent_path().string());
        if (!c.scheduled)
            stdfs::remove(folder + "/" + c.document + ".scheduler");
    }
    scheduled("Outside", anna, "9.12.2026", "9:00:00", "5", outside);
    stdfs::create_directory_symlink(outside, folder + "/Link");
    // A schedule without its document is nobody's task.
    test::writeBytes(folder + "/A/Orphan.scheduler", anna + "\r\n\r\n9.12.2026\r\n9:00:00\r\n5\r\n");

    std::vector<std::string> expected;
    for (const auto& c : cases) {
        if (c.found)
            expected.push_back(folder + "/" + c.document + ".note");
    }
    // Places inside one another are walked once, whichever comes first and
    // however it is spelt.
    const std::string cacheFile = testing::TempDir() + "/quill-scheduler-test.cache";
    stdfs::remove(cacheFile);
    std::vector<std::string> found;
    for (const ScheduleReading& reading : readSchedulesBelow(
             session->recordFiles(), session->tables, {folder + "/A/B/", folder, folder + "/a"}, cacheFile, dataPoint))
        found.push_back(reading.documentPath);
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);

    scanSchedules(*session, {folder});
    EXPECT_EQ(session->schedule.size(), expected.size());
    for (const std::string& document : expected) {
        const ScheduleEntry* entry = entryOf(document);
        ASSERT_TRUE(entry) << document;
        EXPECT_EQ(entry->name, stdfs::path(document).stem().string());
    }
    stdfs::remove_all(outside);
}

TEST_F(SchedulerTest, ReadingsTakenLaterGiveWhatAnUpdateGives) {
    const std::string kept = scheduled("Kept", anna, "9.12.2026", "9:00:00", "5");
    const std::string gone = scheduled("Gone", anna, "9.12.2026", "9:00:00", "5");
    const std::string foreign = scheduled("Foreign", "Jan Novak (JAN)", "9.12.2026", "9:00:00", "5");
    for (const std::string& note : {kept, gone})
        updateScheduleEntry(*session, note);
    // Read on another thread's behalf, then the files change, then taken.
    std::vector<std::string> documents{kept, gone, foreign};
    const std::vector<ScheduleReading> readings = readScheduleFiles(session->recordFiles(), session->tables, documents);
    stdfs::remove(folder + "/Gone.scheduler");
    const std::vector<ScheduleReading> later = readScheduleFiles(session->recordFiles(), session->tables, documents);
    ASSERT_EQ(readings.size(), 3u);
    EXPECT_EQ(later[1].scheduleRead, RecordRead::Missing);
    for (const ScheduleReading& reading : later)
        takeScheduleReading(*session, reading);
    EXPECT_EQ(session->schedule.size(), 1u);
    ASSERT_TRUE(entryOf(kept));
    EXPECT_EQ(entryOf(kept)->name, "Kept");
    EXPECT_FALSE(entryOf(foreign));
}

TEST_F(SchedulerTest, AScanHandsOverTheFolderRightsItsTasksNeed) {
    // Secret, with no task of its own, is Jan's only; a task lies below it.
    const std::string secret = folder + "/Secret";
    stdfs::create_directories(secret + "/Sub");
    stdfs::create_directories(folder + "/Open");
    const std::string record = secret + "/folder.folders";
    stdfs::copy_file(dataPoint + "/DataPoint.root/Contracts/folder.folders", record);
    Record folderRecord;
    ASSERT_EQ(session->readRecord(record, folderRecord), RecordRead::Ok);
    ASSERT_TRUE(folderRecord.setValue("RIGHTS", "Jan Novy (JAN); "));
    ASSERT_TRUE(session->writeRecord(folderRecord, record));
    const std::string hidden = scheduled("Hidden", anna, "9.12.2026", "9:00:00", "5", secret + "/Sub");
    const std::string shown = scheduled("Shown", anna, "9.12.2026", "9:00:00", "5", folder + "/Open");

    const std::string cacheFile = testing::TempDir() + "/quill-scheduler-rights-test.cache";
    stdfs::remove(cacheFile);
    ScheduleScanResult result;
    result.readings = readSchedulesBelow(session->recordFiles(), session->tables, {folder}, cacheFile, dataPoint,
                                         nullptr, &result.folderRights);
    addFolderRightsAbove(session->recordFiles(), session->tables, rightsPlaces(session->context), result);
    // Taken where the record can no longer be read: what decides is what
    // the scan handed over, not a read on the taking side.
    stdfs::remove(record);
    takeScheduleScan(*session, std::move(result));
    EXPECT_TRUE(entryOf(shown));
    EXPECT_FALSE(entryOf(hidden));
}

} // namespace
} // namespace quill
