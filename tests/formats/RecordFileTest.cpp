#include "formats/RecordFile.h"

#include "platform/Paths.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sys/stat.h>

namespace quill {
namespace {

using test::FixedClock;
using test::readBytes;
using test::TempDir;
using test::writeBytes;

// A type "sample" with one field of each kind that reading treats apart.
TypeTables sampleTables(const char* firstFieldType = "STRING") {
    DefinitionLists lists;
    const auto property = [&](const char* name, const std::string& body) {
        loadDefinitionText(name, "[TYPE]\nTYPE=PROPERTY.PUBLIC\n[INFO.PROPERTY]\n" + body, lists, nullptr);
    };
    loadDefinitionText("sample.info",
                       "[TYPE]\nTYPE=OBJECT.PUBLIC\nCAPTION=Sample\nNOTE=A sample\n[INFO.OBJECT]\n"
                       "PROPERTY_0=FIRST\nPROPERTY_1=COUNT\nPROPERTY_2=ACTIVE\nPROPERTY_3=PASSWORD\n",
                       lists, nullptr);
    loadDefinitionText("pair.info",
                       "[TYPE]\nTYPE=OBJECT.PUBLIC\nCAPTION=\n[INFO.OBJECT]\nPROPERTY_0=FIRST\nPROPERTY_1=COUNT\n",
                       lists, nullptr);
    property("FIRST", std::string("TYPE=") + firstFieldType + "\n");
    property("COUNT", "TYPE=INTEGER\n");
    property("ACTIVE", "TYPE=BOOLEAN\n");
    property("PASSWORD", "TYPE=STRING\nCRYPT=TRUE\n");
    return mergeDefinitions(lists);
}

// A type "gap" whose second field has no definition; the third field is
// named and typed as given.
TypeTables gapTables(const char* thirdField, const char* thirdType) {
    DefinitionLists lists;
    loadDefinitionText(
        "gap.info",
        std::string("[TYPE]\nTYPE=OBJECT.PUBLIC\n[INFO.OBJECT]\nPROPERTY_0=FIRST\nPROPERTY_1=UNDEFINED\n") +
            "PROPERTY_2=" + thirdField + "\n",
        lists, nullptr);
    loadDefinitionText("FIRST", "[TYPE]\nTYPE=PROPERTY.PUBLIC\n", lists, nullptr);
    loadDefinitionText(thirdField,
                       std::string("[TYPE]\nTYPE=PROPERTY.PUBLIC\n[INFO.PROPERTY]\nTYPE=") + thirdType + "\n", lists,
                       nullptr);
    return mergeDefinitions(lists);
}

class RecordFileTest : public ::testing::Test {
protected:
    TempDir dir;
    FixedClock clock;
    DateTimeFormats formats;
    TypeTables tables = sampleTables();
    RecordFiles files{tables, clock, formats};

    std::vector<std::string> values(const Record& record) {
        std::vector<std::string> out;
        for (const Field& f : record.fields)
            out.push_back(f.value);
        return out;
    }
};

TEST_F(RecordFileTest, MissingLinesTakeTheDefaultsOfTheirTypes) {
    writeBytes(dir / "empty.sample", "");
    Record record;
    ASSERT_EQ(files.read(dir / "empty.sample", record), RecordRead::Ok);
    EXPECT_EQ(values(record), (std::vector<std::string>{"", "0", "VALUE_NO", ""}));

    // The first field always takes the first (empty) line, even when its
    // type would default to "0".
    const TypeTables integerFirst = sampleTables("INTEGER");
    const RecordFiles integerFiles(integerFirst, clock, formats);
    ASSERT_EQ(integerFiles.read(dir / "empty.sample", record), RecordRead::Ok);
    EXPECT_EQ(record.fields[0].value, "");
    EXPECT_EQ(record.fields[1].value, "0");
}

TEST_F(RecordFileTest, ReadsLinesInFieldOrderWithAnyLineEnds) {
    writeBytes(dir / "a.sample", "Ann\n7\r\ntrue\r\xb3\x96\xa5\xbd\xc0\r\nextra line\r\n");
    Record record;
    ASSERT_EQ(files.read(dir / "a.sample", record), RecordRead::Ok);
    EXPECT_EQ(values(record), (std::vector<std::string>{"Ann", "7", "TRUE", "admin"}));
    EXPECT_EQ(record.header.fileName, "a.sample");
    EXPECT_EQ(record.header.directory, dir.path() + "/");
    EXPECT_NE(record.header.modificationTime, 0);
}

TEST_F(RecordFileTest, WriteGivesOneLinePerFieldEncipheredWhereDefined) {
    writeBytes(dir / "a.sample", "Ann\n7\ntrue\n\xb3\x96\xa5\xbd\xc0\nextra\n");
    Record record;
    ASSERT_EQ(files.read(dir / "a.sample", record), RecordRead::Ok);
    ASSERT_TRUE(record.setValue("count", "8"));
    ASSERT_TRUE(files.write(record, dir / "a.sample").ok());
    // The extra line is gone and the boolean is written upper-cased.
    EXPECT_EQ(readBytes(dir / "a.sample"), "Ann\r\n8\r\nTRUE\r\n\xb3\x96\xa5\xbd\xc0\r\n");
}

TEST_F(RecordFileTest, AWriteGoesToTheFileReadLast) {
    writeBytes(dir / "one.sample", "one\n");
    writeBytes(dir / "two.sample", "two\n");
    Record record;
    ASSERT_EQ(files.read(dir / "two.sample", record), RecordRead::Ok);
    record.setValue("FIRST", "changed");
    ASSERT_TRUE(files.write(record, dir / "one.sample").ok());
    EXPECT_EQ(readBytes(dir / "one.sample"), "one\n");
    EXPECT_EQ(readBytes(dir / "two.sample").substr(0, 9), "changed\r\n");
}

TEST_F(RecordFileTest, AValueThatCannotBeStoredRefusesTheWholeWrite) {
    writeBytes(dir / "a.sample", "Ann\n7\nTRUE\n\n");
    const std::string before = readBytes(dir / "a.sample");
    const struct {
        const char* field;
        std::string value;
        const char* why;
    } rows[] = {
        {"FIRST", "two\nlines", "a line break would shift every later field"},
        {"FIRST", "carriage\rreturn", "a carriage return ends a line when read"},
        {"FIRST", std::string("nul\0byte", 8), "a zero byte ends the value elsewhere"},
        {"PASSWORD", "\xb8", "enciphers to a line feed"},
        {"PASSWORD", "ab\xc8", "enciphers to a zero byte and would be cut short"},
    };
    for (const auto& row : rows) {
        Record record;
        ASSERT_EQ(files.read(dir / "a.sample", record), RecordRead::Ok);
        ASSERT_TRUE(record.setValue(row.field, row.value));
        EXPECT_FALSE(files.write(record, dir / "a.sample").ok()) << row.why;
        EXPECT_EQ(readBytes(dir / "a.sample"), before) << row.why;
    }
}

TEST_F(RecordFileTest, MissingAndUnreadableFilesLeaveTheRecordAlone) {
    writeBytes(dir / "a.sample", "Ann\n");
    Record record;
    ASSERT_EQ(files.read(dir / "a.sample", record), RecordRead::Ok);
    EXPECT_EQ(files.read(dir / "missing.sample", record), RecordRead::Missing);
    std::filesystem::create_directory(dir / "folder.sample");
    EXPECT_EQ(files.read(dir / "folder.sample", record), RecordRead::Failed);
    // A named pipe is unreadable too, not a read that never ends.
    ASSERT_EQ(::mkfifo((dir / "pipe.sample").c_str(), 0600), 0);
    EXPECT_EQ(files.read(dir / "pipe.sample", record), RecordRead::Failed);
    EXPECT_EQ(record.header.fileName, "a.sample");
    EXPECT_EQ(record.fields[0].value, "Ann");
}

TEST_F(RecordFileTest, AFieldWithoutDefinitionKeepsItsLine) {
    const TypeTables gap = gapTables("COUNT", "INTEGER");
    const RecordFiles gapFiles(gap, clock, formats);
    writeBytes(dir / "a.gap", "Name\nkept\n5\n");
    Record record;
    ASSERT_EQ(gapFiles.read(dir / "a.gap", record), RecordRead::Ok);
    EXPECT_EQ(record.value("COUNT"), "5");
    ASSERT_TRUE(record.setValue("FIRST", "Renamed"));
    ASSERT_TRUE(gapFiles.write(record, dir / "a.gap").ok());
    // Dropping the undefined field would move 5 up into its line.
    EXPECT_EQ(readBytes(dir / "a.gap"), "Renamed\r\nkept\r\n5\r\n");
}

TEST_F(RecordFileTest, PickedFieldsAreWhatTheWholeRecordHolds) {
    const TypeTables gapTypes = gapTables("ACTIVE", "BOOLEAN");
    const RecordFiles gapFiles(gapTypes, clock, formats);
    const std::vector<std::string_view> names = {"password", "ACTIVE", "COUNT", "FIRST", "UNDEFINED", "NOSUCH"};
    const struct {
        const char* file;
        std::string content;
    } cases[] = {
        {"empty.sample", ""},
        {"one.sample", "Ann"},
        {"all.sample", "Ann\n7\r\ntrue\r\xb3\x96\xa5\xbd\xc0\r\nextra line\r\n"},
        {"blank.sample", "\r\n\r\n"},
        {"short.sample", "Ann\n"},
        {"lone-cr.sample", "a\rb\r"},
        {"pair.pair", "Ann\n7\ntrue\n"},
        {"other.unknown", "a\n1\nfalse"},
        {"gap.gap", "Name\nkept\nyes\n"},
        {"short.gap", "Name\nkept"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const bool gap = std::string_view(c.file).ends_with(".gap");
        const TypeTables& t = gap ? gapTypes : tables;
        const RecordFiles& f = gap ? gapFiles : files;
        writeBytes(dir / c.file, c.content);
        Record record;
        ASSERT_EQ(f.read(dir / c.file, record), RecordRead::Ok);
        std::vector<std::string> expected;
        for (const std::string_view name : names)
            expected.push_back(record.value(name));
        const FieldPick pick(t, t.objectTypeOf(c.file), names);
        std::vector<std::string> picked;
        fs::Stamp stamp;
        ASSERT_EQ(f.readPicked(dir / c.file, pick, picked, &stamp), RecordRead::Ok);
        EXPECT_EQ(picked, expected);
        EXPECT_EQ(stamp.size, c.content.size());
        EXPECT_EQ(stamp.modifiedNs, record.header.modificationTime);
    }
    // Files that cannot be read say so as a whole read does.
    const FieldPick pick(tables, 0, names);
    std::vector<std::string> picked{"left alone"};
    EXPECT_EQ(files.readPicked(dir / "missing.sample", pick, picked), RecordRead::Missing);
    std::filesystem::create_directory(dir / "folder.sample");
    EXPECT_EQ(files.readPicked(dir / "folder.sample", pick, picked), RecordRead::Failed);
    EXPECT_EQ(picked, std::vector<std::string>{"left alone"});
}

TEST_F(RecordFileTest, UnknownExtensionsReadAsTheFirstType) {
    writeBytes(dir / "x.unknown", "a\n1\n");
    Record record;
    ASSERT_EQ(files.read(dir / "x.unknown", record), RecordRead::Ok);
    EXPECT_EQ(record.fields.size(), 4u);
}

TEST_F(RecordFileTest, SettingAFieldTheTypeLacksChangesNothing) {
    writeBytes(dir / "a.sample", "Ann\n");
    Record record;
    ASSERT_EQ(files.read(dir / "a.sample", record), RecordRead::Ok);
    EXPECT_FALSE(record.setValue("NO_SUCH_FIELD", "x"));
    EXPECT_EQ(record.fields[0].value, "Ann");
    EXPECT_TRUE(record.setValue("first", "Bob")) << "names match in any case";
}

TEST_F(RecordFileTest, CreateEmptyOnlyForNewFiles) {
    EXPECT_TRUE(files.createEmpty(dir / "new.sample"));
    EXPECT_EQ(readBytes(dir / "new.sample"), "");
    EXPECT_FALSE(files.createEmpty(dir / "new.sample"));
    EXPECT_FALSE(files.createEmpty(dir / "no/such/dir/x.sample"));
}

TEST_F(RecordFileTest, ARecordNeverReadGetsAUniqueDataFile) {
    Record record;
    addProperty(tables, 0, 0, record);
    record.fields[0].value = "v";
    ASSERT_TRUE(files.write(record, dir.path()).ok());
    EXPECT_TRUE(
        std::regex_match(record.header.fileName, std::regex(R"(record\d{1,3}\.DT8\.12\.2026\d{1,4}\.TD\.data)")))
        << record.header.fileName;
    EXPECT_EQ(readBytes(record.header.path()), "v\r\n");
}

TEST_F(RecordFileTest, UniqueNamesCarryOneDatePart) {
    const std::string first = files.uniqueName(dir / "notes.txt");
    const std::regex shape(R"(notes\d{1,3}\.DT8\.12\.2026\d{1,4}\.TD\.txt)");
    EXPECT_TRUE(std::regex_match(first.substr(dir.path().size() + 1), shape)) << first;

    clock.set({2027, 1, 2, 3, 4, 5, 6});
    const std::string again = files.uniqueName(first, ".doc");
    EXPECT_TRUE(std::regex_match(again.substr(dir.path().size() + 1),
                                 std::regex(R"(notes\d{1,3}\.DT2\.1\.2027\d{1,4}\.TD\.doc)")))
        << "the old date part is replaced, not kept: " << again;

    EXPECT_TRUE(
        std::regex_match(files.uniqueName(".dt1.1.2000.td.x"), std::regex(R"(\d{1,3}\.DT2\.1\.2027\d{1,4}\.TD\.x)")))
        << "a name that was only a date part gets a number in front";
}

TEST_F(RecordFileTest, UniqueNamesStayValidFileNamesWhateverTheDateFormat) {
    formats.shortDate = "M/d/yyyy";
    const std::string name = path::fileName(files.uniqueName(dir / "a.txt"));
    EXPECT_EQ(name.find('/'), std::string::npos) << name;
    EXPECT_NE(name.find(".DT12-8-2026"), std::string::npos) << name;
}

TEST_F(RecordFileTest, PostedFormsChangeOnlyFieldsTheRecordHas) {
    writeBytes(dir / "a.sample", "Ann\n7\nFALSE\n\n");
    Record record;
    ASSERT_EQ(files.read(dir / "a.sample", record), RecordRead::Ok);
    PostedForm form;
    form.pairs = {{"COUNT", "9"}, {"NOPE", "x"}, {"ACTIVE", "TRUE"}};
    std::vector<std::string> unknown;
    ASSERT_TRUE(files.storePostedForm(record, form, &unknown).ok());
    EXPECT_EQ(unknown, (std::vector<std::string>{"NOPE"}));
    EXPECT_EQ(readBytes(dir / "a.sample"), "Ann\r\n9\r\nTRUE\r\n\r\n");

    EXPECT_FALSE(files.storePostedForm(record, PostedForm{}).ok()) << "nothing posted";
}

TEST_F(RecordFileTest, PostedFormsGoIntoExistingIniKeysOnly) {
    // The section is the file's name without its extension, upper-cased.
    const std::string info = dir / "DataPoint.info";
    writeBytes(info, "[DATAPOINT]\r\nCREATOR=\r\n[OTHER]\r\nX=1\r\n");
    PostedForm form;
    form.pairs = {{"creator", "Ann"}, {"NEWKEY", "v"}, {"X", "2"}};
    ASSERT_TRUE(storePostedFormInIni(info, form).ok());
    const std::string stored = "[DATAPOINT]\r\nCREATOR=Ann\r\n[OTHER]\r\nX=1\r\n";
    EXPECT_EQ(readBytes(info), stored);
    EXPECT_FALSE(storePostedFormInIni(dir / "missing.ini", form).ok());
    EXPECT_FALSE(storePostedFormInIni(info, PostedForm{}).ok());

    form.pairs = {{"CREATOR", "a\nb"}};
    EXPECT_FALSE(storePostedFormInIni(info, form).ok());
    EXPECT_EQ(readBytes(info), stored);
}

TEST_F(RecordFileTest, CaptionAndNoteOfAFilesType) {
    writeBytes(dir / "a.sample", "");
    writeBytes(dir / "b.pair", "");
    EXPECT_EQ(objectTypeCaptionOf(tables, dir / "a.sample", nullptr), "Sample");
    EXPECT_EQ(objectTypeNoteOf(tables, dir / "a.sample", nullptr), "A sample");
    EXPECT_EQ(objectTypeCaptionOf(tables, dir / "b.pair", nullptr), "UNKNOWN") << "empty caption";
    EXPECT_EQ(objectTypeCaptionOf(tables, dir / "missing.sample", nullptr), "UNKNOWN");
}

} // namespace
} // namespace quill
