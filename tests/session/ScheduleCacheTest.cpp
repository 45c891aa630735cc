// The schedule cache: a later scan takes unchanged directories and
// schedules from it and reads again whatever changed, and a cache file
// that is damaged or of another data point is no cache at all.
#include "session/ScheduleCache.h"

#include "SessionFixture.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quill {
namespace {

namespace stdfs = std::filesystem;

constexpr std::int64_t kHourNs = 3'600'000'000'000;

class ScheduleCacheTest : public ::testing::Test, public test::SessionFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(open());
        stdfs::create_directories(folder + "/Sub");
        cacheFile = testing::TempDir() + "/quill-schedule-cache-test.cache";
        stdfs::remove(cacheFile);
    }
    std::string schedule(const std::string& document, const std::string& date) {
        test::writeBytes(document, stdfs::path(document).stem().string() + "\r\n");
        const std::string companion = stdfs::path(document).replace_extension(".scheduler").string();
        test::writeBytes(companion, "Anna Novak (ANNA)\r\n\r\n" + date + "\r\n9:00:00\r\n5\r\n");
        return companion;
    }
    // Everything below the folder as if written an hour ago, long before
    // any cache.
    void settle() {
        const std::int64_t past = fs::modificationTime(folder) - kHourNs;
        for (const auto& entry : stdfs::recursive_directory_iterator(folder))
            fs::setModificationTime(entry.path().string(), past);
        fs::setModificationTime(folder, past);
    }
    // Document path and schedule date of every reading, sorted.
    std::vector<std::string> scan() {
        std::vector<std::string> seen;
        for (const ScheduleReading& r :
             readSchedulesBelow(session->recordFiles(), session->tables, {folder}, cacheFile, dataPoint))
            seen.push_back(stdfs::path(r.documentPath).filename().string() + " " + r.schedule.date);
        std::sort(seen.begin(), seen.end());
        return seen;
    }
    // The "RIGHTS" the scan gives for a folder.
    std::string rightsOf(const std::string& directory) {
        FolderRightsTexts texts;
        readSchedulesBelow(session->recordFiles(), session->tables, {folder}, cacheFile, dataPoint, nullptr, &texts);
        const auto found = texts.find(path::comparableFolder(directory));
        return found == texts.end() ? "(not met)" : found->second;
    }
    void setRights(const std::string& file, const std::string& rights) {
        Record record;
        ASSERT_EQ(session->readRecord(file, record), RecordRead::Ok);
        ASSERT_TRUE(record.setValue("RIGHTS", rights));
        ASSERT_TRUE(session->writeRecord(record, file));
    }
    std::string folder = dataPoint + "/DataPoint.root/Cache test";
    std::string cacheFile;
};

TEST_F(ScheduleCacheTest, UnchangedFilesComeFromTheCacheAndChangedOnesAreReadAgain) {
    using Seen = std::vector<std::string>;
    const std::string first = schedule(folder + "/First.note", "1.1.2027");
    schedule(folder + "/Sub/Second.note", "2.1.2027");
    settle();
    EXPECT_EQ(scan(), (Seen{"First.note 1.1.2027", "Second.note 2.1.2027"})) << "cold";
    // A scan that finds everything as kept leaves the cache file alone.
    const std::string written = test::readBytes(cacheFile);
    const std::int64_t writtenAt = fs::modificationTime(cacheFile);
    fs::setModificationTime(cacheFile, writtenAt + kHourNs);
    EXPECT_EQ(scan(), (Seen{"First.note 1.1.2027", "Second.note 2.1.2027"})) << "warm";
    EXPECT_EQ(fs::modificationTime(cacheFile), writtenAt + kHourNs);
    EXPECT_EQ(test::readBytes(cacheFile), written);
    fs::setModificationTime(cacheFile, writtenAt);

    const struct {
        const char* what;
        std::function<void()> change;
        Seen expected;
    } steps[] = {
        {"a rewrite that keeps size and time is not seen: the cache answered",
         [&] {
             const std::int64_t time = fs::modificationTime(first);
             test::writeBytes(first, "Anna Novak (ANNA)\r\n\r\n9.1.2027\r\n9:00:00\r\n5\r\n");
             fs::setModificationTime(first, time);
         },
         {"First.note 1.1.2027", "Second.note 2.1.2027"}},
        {"a schedule of another size is read again",
         [&] { test::writeBytes(first, "Anna Novak (ANNA)\r\n\r\n19.1.2027\r\n9:00:00\r\n5\r\n"); },
         {"First.note 19.1.2027", "Second.note 2.1.2027"}},
        {"a schedule rewritten in place, of the same size at a new time, is read again",
         [&] {
             settle();
             scan(); // the settled files are in the cache now
             const std::int64_t time = fs::modificationTime(first);
             test::writeBytes(first, "Anna Novak (ANNA)\r\n\r\n29.1.2027\r\n9:00:00\r\n5\r\n");
             fs::setModificationTime(first, time + 1'000'000'000);
         },
         {"First.note 29.1.2027", "Second.note 2.1.2027"}},
        {"a document added to a settled directory is found",
         [&] { schedule(folder + "/Sub/Third.note", "3.1.2027"); },
         {"First.note 29.1.2027", "Second.note 2.1.2027", "Third.note 3.1.2027"}},
        {"a schedule removed goes",
         [&] {
             settle();
             stdfs::remove(folder + "/Sub/Second.scheduler");
         },
         {"First.note 29.1.2027", "Third.note 3.1.2027"}},
        {"a damaged cache is rebuilt",
         [&] { test::writeBytes(cacheFile, "QUILL SCHEDULE CACHE 3\n5:abc"); },
         {"First.note 29.1.2027", "Third.note 3.1.2027"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        EXPECT_EQ(scan(), step.expected);
        EXPECT_EQ(scan(), step.expected) << "warm";
    }
}

TEST_F(ScheduleCacheTest, FolderRightsComeFromTheCacheUntilTheRecordChanges) {
    schedule(folder + "/Sub/Second.note", "2.1.2027");
    const std::string sub = folder + "/Sub";
    const std::string record = sub + "/folder.folders";
    stdfs::copy_file(dataPoint + "/DataPoint.root/Contracts/folder.folders", record);
    setRights(record, "Jan Novy (JAN); ");
    settle();
    EXPECT_EQ(rightsOf(sub), "Jan Novy (JAN); ") << "cold";

    const struct {
        const char* what;
        std::function<void()> change;
        std::string expected;
    } steps[] = {
        {"a rewrite that keeps size and time is not seen: the cache answered",
         [&] {
             const std::int64_t time = fs::modificationTime(record);
             setRights(record, "Jan Novx (JAN); ");
             fs::setModificationTime(record, time);
         },
         "Jan Novy (JAN); "},
        {"a record of another size is read again", [&] { setRights(record, "Anna Novak (ANNA); "); },
         "Anna Novak (ANNA); "},
        {"a record removed restricts nothing", [&] { stdfs::remove(record); }, ""},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        EXPECT_EQ(rightsOf(sub), step.expected);
        EXPECT_EQ(rightsOf(sub), step.expected) << "warm";
    }
}

TEST_F(ScheduleCacheTest, AStoppedScanGoesNoDeeperAndWritesNoCache) {
    schedule(folder + "/First.note", "1.1.2027");
    schedule(folder + "/Sub/Second.note", "2.1.2027");
    const std::atomic<bool> stop{true};
    for (const ScheduleReading& r :
         readSchedulesBelow(session->recordFiles(), session->tables, {folder}, cacheFile, dataPoint, &stop))
        EXPECT_EQ(stdfs::path(r.documentPath).parent_path(), stdfs::path(folder));
    EXPECT_FALSE(stdfs::exists(cacheFile));
}

TEST_F(ScheduleCacheTest, ContentRoundTripsAndForeignOrDamagedContentGivesNoEntry) {
    ScheduleReading reading;
    reading.scheduleRead = RecordRead::Ok;
    reading.schedule = {"Anna Novak (ANNA)", "", "1.1.2027", "9:00:00", "5"};
    reading.documentRead = true;
    reading.name = "Name with 12: colons";
    reading.rights = "Jan Novy (JAN); ";
    const std::string readingText = ScheduleCache::readingText(reading);
    const std::string directoryPath = "/dp/a b\n\tc";
    const ScheduleCache::Directory directory{
        42,           {"Sub 1", "x:y"}, {{"Note 1.note", {10, 1234, true}, {}, readingText}}, "Folder.folders",
        {3, 5, true}, "Jan; "};
    const std::string content =
        ScheduleCache::startText(dataPoint) + ScheduleCache::directoryEntry(directoryPath, directory);

    const ScheduleCache back = ScheduleCache::parse(content, dataPoint, 7);
    EXPECT_EQ(back.serialize(), content);
    EXPECT_EQ(back.writtenNs(), 7);
    ASSERT_EQ(back.size(), 1u);
    const auto kept = back.directory(directoryPath);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->rights, "Jan; ");
    EXPECT_EQ(kept->subdirectories, (std::vector<std::string_view>{"Sub 1", "x:y"}));
    EXPECT_EQ(kept->entry, ScheduleCache::directoryEntry(directoryPath, directory));
    ASSERT_EQ(kept->documents.size(), 1u);
    EXPECT_EQ(kept->documents[0].schedule, (ScheduleCache::Stamp{10, 1234, true}));
    const auto readBack = ScheduleCache::readingFrom(kept->documents[0].reading, directoryPath + "/Note 1.note");
    ASSERT_TRUE(readBack);
    EXPECT_EQ(readBack->documentPath, directoryPath + "/Note 1.note");
    EXPECT_EQ(readBack->schedule.date, "1.1.2027");
    EXPECT_EQ(readBack->name, "Name with 12: colons");
    EXPECT_EQ(readBack->rights, "Jan Novy (JAN); ");
    EXPECT_TRUE(readBack->documentRead);
    EXPECT_FALSE(ScheduleCache::readingFrom(readingText + "1:x ", "/dp/x")) << "a reading with more after it";

    const std::string start = ScheduleCache::startText(dataPoint);
    const struct {
        const char* what;
        std::string content;
        std::string dataPoint;
        std::size_t entries;
    } foreign[] = {
        {"another data point", content, dataPoint + "2", 0},
        {"cut short", content.substr(0, content.size() / 2), dataPoint, 0},
        {"a length past the end", start + "1:D 99999:x \n", dataPoint, 0},
        {"an older format", "QUILL SCHEDULE CACHE 3\n" + content.substr(content.find('\n') + 1), dataPoint, 0},
        {"nothing", "", dataPoint, 0},
        {"a damaged entry among sound ones", content + "1:D 2:/x 5:abc:  \n", dataPoint, 2},
    };
    for (const auto& f : foreign) {
        SCOPED_TRACE(f.what);
        const ScheduleCache parsed = ScheduleCache::parse(f.content, f.dataPoint, 7);
        EXPECT_EQ(parsed.size(), f.entries);
        EXPECT_FALSE(parsed.directory("/x"));
        EXPECT_EQ(parsed.directory(directoryPath).has_value(), f.entries > 0);
    }
}

} // namespace
} // namespace quill
