// Logon context, settings, window geometry and shutdown, each on a fresh
// copy of the sample data point.
#include "session/LogonContext.h"
#include "session/WindowGeometry.h"

#include "SessionFixture.h"

#include "platform/OwnedDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using test::readBytes;
using test::SessionFixture;
using test::writeBytes;

constexpr const char* kSampleDirectories =
    "ROOT=$DATA_POINT_PATH$\\DataPoint.root\r\nUSERS=$DATA_POINT_PATH$\\DataPoint.users\r\n";

class LogonContextTest : public ::testing::Test, public SessionFixture {
protected:
    // The line an event writes, in this fixture's language and clock.
    std::string eventLine(int number) { return session->texts.lookup("LOG", std::to_string(number), "LOG") + "\r\n"; }
};

// The default base of temporary files under the isolated cache directory.
std::string defaultTemp() {
    return std::string(std::getenv("XDG_CACHE_HOME")) + "/Quill.temp/";
}

// The line of a field in ANNA's record file (record files have one value a
// line, in the order of their type's properties).
std::size_t userLineOf(const SessionFixture& f, std::string_view name) {
    const TypeTables& t = f.session->tables;
    const auto& names = t.objectTypes[t.objectTypeOf("ANNA.user")].propertyNames;
    const auto at = std::find(names.begin(), names.end(), name);
    EXPECT_NE(at, names.end()) << name;
    return static_cast<std::size_t>(at - names.begin());
}

std::string userField(const SessionFixture& f, std::string_view name) {
    return test::linesOf(readBytes(f.session->context.userRecordFile)).at(userLineOf(f, name));
}

void setUserField(const SessionFixture& f, std::string_view name, const std::string& value) {
    std::vector<std::string> lines = test::linesOf(readBytes(f.session->context.userRecordFile));
    lines.at(userLineOf(f, name)) = value;
    std::string content;
    for (const std::string& line : lines)
        content += line + "\r\n";
    writeBytes(f.session->context.userRecordFile, content);
}

TEST_F(LogonContextTest, OpeningTheSampleSetsEveryPath) {
    // Neither of ANNA's own directories exists yet: opening creates them.
    stdfs::remove_all(dataPoint + "/DataPoint.users/ANNA");
    stdfs::remove_all(dataPoint + "/DataPoint.system/Messages/Tasks/ANNA");
    ASSERT_TRUE(open());
    const LogonContext& c = session->context;
    const std::string system = dataPoint + "/DataPoint.system";
    const struct {
        const char* name;
        const std::string& actual;
        std::string expected;
    } paths[] = {
        {"root", c.rootDirectory, dataPoint + "/DataPoint.root"},
        {"users root", c.usersRootDirectory, dataPoint + "/DataPoint.users"},
        {"user directory", c.userDirectory, dataPoint + "/DataPoint.users/ANNA"},
        {"user record", c.userRecordFile, system + "/Users/ANNA.user"},
        {"user folders", c.userFoldersFile, system + "/Users/ANNA.usrfolders"},
        {"user log", c.userLogFile, system + "/Logs/ANNA.log"},
        {"user tasks", c.userTasksDirectory, system + "/Messages/Tasks/ANNA"},
        {"objects private", c.objectsPrivateDirectory, system + "/Objects/Private"},
        {"properties public", c.propertiesPublicDirectory, system + "/Property/Public"},
        {"resources", c.resourcesDirectory, system + "/Resources"},
    };
    for (const auto& p : paths)
        EXPECT_EQ(p.actual, p.expected) << p.name;
    EXPECT_TRUE(stdfs::is_directory(c.userDirectory));
    EXPECT_TRUE(stdfs::is_directory(c.userTasksDirectory));
    EXPECT_FALSE(session->tables.objectTypes.empty());
    EXPECT_FALSE(session->tables.properties.empty());
    EXPECT_TRUE(c.dataPointAutoLogon);
    EXPECT_EQ(ui.beeps, 0);
}

TEST_F(LogonContextTest, ALogonRebuildsTheTablesInsteadOfAddingToThem) {
    ASSERT_TRUE(open());
    const std::size_t types = session->tables.objectTypes.size(), properties = session->tables.properties.size();
    ASSERT_TRUE(open());
    EXPECT_EQ(session->tables.objectTypes.size(), types);
    EXPECT_EQ(session->tables.properties.size(), properties);
}

TEST(LogonContextAutoLogonTest, OnlyTrueInAnyCaseAllowsIt) {
    const struct {
        const char* line;
        bool expected;
    } rows[] = {{"AUTOLOGON=TRUE\r\n", true},
                {"AUTOLOGON=true\r\n", true},
                {"AUTOLOGON=yes\r\n", false},
                {"AUTOLOGON=\r\n", false},
                {"", false}};
    for (const auto& row : rows) {
        SessionFixture f;
        writeBytes(f.dataPoint + "/DataPoint.info", std::string("[DATAPOINT]\r\n") + kSampleDirectories + row.line);
        ASSERT_TRUE(f.open()) << row.line;
        EXPECT_EQ(f.session->context.dataPointAutoLogon, row.expected) << row.line;
    }
}

TEST(LogonContextStartTest, MissingRootOrUsersWarnsOnceAndEndsTheLogon) {
    const struct {
        const char* info; // nullptr: no DataPoint.info at all
        const char* why;
    } rows[] = {
        {"[DATAPOINT]\r\nROOT=$DATA_POINT_PATH$\\Gone\r\nUSERS=$DATA_POINT_PATH$\\DataPoint.users\r\n", "ROOT missing"},
        {"[DATAPOINT]\r\nROOT=$DATA_POINT_PATH$\\DataPoint.root\r\nUSERS=$DATA_POINT_PATH$\\Gone\r\n", "USERS missing"},
        {"[DATAPOINT]\r\nROOT=$DATA_POINT_PATH$\\DataPoint.settings\r\nUSERS=$DATA_POINT_PATH$\\DataPoint.users\r\n",
         "ROOT names a file"},
        {"[DATAPOINT]\r\nROOT=\r\nUSERS=\r\n", "both empty"},
        {"", "empty DataPoint.info"},
        {nullptr, "no DataPoint.info"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        SessionFixture f;
        if (row.info)
            writeBytes(f.dataPoint + "/DataPoint.info", row.info);
        else
            stdfs::remove(f.dataPoint + "/DataPoint.info");
        EXPECT_EQ(startLogonContext(*f.session), ContextStart::MissingDirectories);
        EXPECT_EQ(f.ui.beeps, 1);
        ASSERT_EQ(f.ui.messages.size(), 1u);
        const std::string warning = f.session->texts.lookup("LOGIN", "WARNING_4", "Warnings");
        EXPECT_FALSE(isParror(warning));
        EXPECT_EQ(f.ui.messages[0].first, MessageKind::Information);
        EXPECT_EQ(f.ui.messages[0].second, warning);
    }
}

TEST_F(LogonContextTest, NoDataPointChosenDoesNothing) {
    session->context.dataPointPath.clear();
    EXPECT_EQ(startLogonContext(*session), ContextStart::NoDataPoint);
    EXPECT_EQ(ui.beeps, 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(session->tables.objectTypes.empty());
}

struct ReadSettings {
    Settings settings;
    std::string defaultTemp;
};

// Gives the data point a DataPoint.settings holding lines (cp1250, CRLF)
// under its section; nullptr removes the file.
void writeSettings(const SessionFixture& f, const char* lines) {
    if (lines)
        writeBytes(f.dataPoint + "/DataPoint.settings", std::string("[SETTINGS_IO]\r\n") + lines);
    else
        stdfs::remove(f.dataPoint + "/DataPoint.settings");
}

// The settings of a fresh copy with those lines, as logon logs on.
ReadSettings settingsFrom(const char* lines, const std::string& logon = "ANNA") {
    SessionFixture f;
    f.session->program.logonName = logon;
    writeSettings(f, lines);
    EXPECT_TRUE(f.open());
    return {f.session->context.settings, defaultTemp()};
}

TEST(LogonContextSettingsTest, TemporaryDirectoryIsPerUserUnderTempPath) {
    const struct {
        const char* lines;
        const char* logon;
        const char* expected; // nullptr: this machine's default
        const char* why;
    } rows[] = {
        {"TEMPPATH=D:\\Tmp\r\n", "ANNA", "D:/Tmp/ANNA/", "a backslash from data is a separator"},
        {"TEMPPATH=D:\\Tmp\\\r\n", "ANNA", "D:/Tmp/ANNA/", "no doubled separator"},
        {"temppath = \"/var/tmp/q\" \r\n", "BOB", "/var/tmp/q/BOB/", "key in any case, blanks and quotes dropped"},
        {"TEMPPATH=/tmp/Do\xE8"
         "asn\xE9\r\n",
         "ANNA",
         "/tmp/Do\xE8"
         "asn\xE9/ANNA/",
         "cp1250 bytes kept"},
        {"TEMPPATH=\r\n", "ANNA", nullptr, "empty value"},
        {"", "ANNA", nullptr, "no key"},
        {"", "BOB", nullptr, "the default has no logon name in it"},
        {nullptr, "ANNA", nullptr, "no settings file"},
    };
    for (const auto& row : rows) {
        const ReadSettings r = settingsFrom(row.lines, row.logon);
        EXPECT_EQ(r.settings.temporaryDirectory, row.expected ? row.expected : r.defaultTemp) << row.why;
    }
}

TEST(LogonContextSettingsTest, FlagsAcceptOnlyTheirOwnWordInAnyCase) {
    const struct {
        const char* lines;
        bool remove;
        bool synchronize;
    } rows[] = {
        {"TEMPREMOVEONEXIT=true\r\n", true, true},
        {"TEMPREMOVEONEXIT=TRUE\r\n", true, true},
        {"TEMPREMOVEONEXIT=yes\r\n", false, true},
        {"TEMPREMOVEONEXIT=1\r\n", false, true},
        {"RESOURCESYNCHRONIZE=false\r\n", false, false},
        {"RESOURCESYNCHRONIZE=FALSE\r\n", false, false},
        {"RESOURCESYNCHRONIZE=False\r\n", false, false},
        {"RESOURCESYNCHRONIZE=no\r\n", false, true}, // only "false" turns it off
        {"RESOURCESYNCHRONIZE=0\r\n", false, true},
        {"RESOURCESYNCHRONIZE=\r\n", false, true},
        {nullptr, false, true}, // no settings file
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.lines ? row.lines : "no settings file");
        const ReadSettings r = settingsFrom(row.lines);
        EXPECT_EQ(r.settings.removeTemporaryOnExit, row.remove);
        EXPECT_EQ(r.settings.synchronizeResources, row.synchronize);
    }
}

TEST(LogonContextSettingsTest, ResourceDirectoryEndsInOneSeparator) {
    const struct {
        const char* lines;
        const char* expected; // nullptr: default base + "Resources/"
    } rows[] = {
        {"RESOURCEPATH=/srv/res\r\n", "/srv/res/"},
        {"RESOURCEPATH=/srv/res/\r\n", "/srv/res/"},
        {"RESOURCEPATH=D:\\Res\\\r\n", "D:/Res/"},
        {"", nullptr},
        {nullptr, nullptr}, // no settings file
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.lines ? row.lines : "no settings file");
        const ReadSettings r = settingsFrom(row.lines);
        const std::string expected = row.expected ? row.expected : r.defaultTemp + "Resources/";
        EXPECT_EQ(r.settings.resourceDirectory, expected);
        EXPECT_EQ(r.settings.userGroupsResourceDirectory, expected + "Users/ANNA/Groups");
    }
}

TEST_F(LogonContextTest, GeometryIsReadFromTheUserRecord) {
    ASSERT_TRUE(open());
    const GeometryReadResult result = readWindowGeometry(*session);
    ASSERT_TRUE(result.recordRead);
    EXPECT_TRUE(result.badFields.empty());
    const WindowGeometry& g = session->context.geometry;
    EXPECT_EQ(g.gui, (WindowPlace{100, 100, 1100, 750}));
    EXPECT_EQ(g.guiSplitter, 280);
    EXPECT_EQ(g.guiSplitter1, 250);
    EXPECT_TRUE(g.guiTasks);
    EXPECT_EQ(g.edit, (WindowPlace{120, 180, 640, 520}));
    EXPECT_EQ(g.users, (WindowPlace{140, 220, 600, 460}));
    EXPECT_EQ(g.resources, (WindowPlace{150, 260, 420, 460}));
    EXPECT_EQ(g.scheduleEvent, (WindowPlace{130, 240, 520, 480}));
    EXPECT_EQ(g.find, (WindowPlace{110, 200, 560, 500}));
    EXPECT_EQ(ui.beeps, 0);
}

TEST(LogonContextGeometryTest, ANonNumericFieldIsReportedAndTheRestIsRead) {
    const struct {
        const char* stored;
        bool bad;
        int editWidth;
        const char* why;
    } rows[] = {
        {"abc", true, 777, "not a number"},
        {"64O", true, 777, "a letter O typed for a zero"},
        {"1.5", true, 777, "not whole"},
        {"99999999999", true, 777, "beyond an int"},
        {"-20", false, -20, "negative positions are valid on a second screen"},
        {"", false, 777, "never stored: the default stays, silently"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        SessionFixture f;
        ASSERT_TRUE(f.open());
        setUserField(f, "FORM_EDIT_WIDTH", row.stored);
        WindowGeometry& g = f.session->context.geometry;
        g.edit.width = 777;
        const GeometryReadResult result = readWindowGeometry(*f.session);
        EXPECT_TRUE(result.recordRead);
        EXPECT_EQ(result.badFields, row.bad ? std::vector<std::string>{"FORM_EDIT_WIDTH"} : std::vector<std::string>{});
        EXPECT_EQ(f.ui.beeps, row.bad ? 1 : 0);
        EXPECT_EQ(f.ui.messages.size(), row.bad ? 1u : 0u);
        EXPECT_EQ(g.edit.width, row.editWidth);
        EXPECT_EQ(g.edit.top, 120);
        EXPECT_EQ(g.edit.height, 520);
        EXPECT_EQ(g.find.height, 500);
        EXPECT_TRUE(g.guiTasks);
    }
}

TEST(LogonContextGeometryTest, SaveWritesTheValuesBackButNeverAClosedSecondSplitter) {
    const struct {
        int splitter1;
        bool tasks;
        const char* storedSplitter1;
        const char* storedTasks;
    } rows[] = {
        {0, false, "250", "FALSE"},
        {-3, true, "250", "TRUE"},
        {90, true, "90", "TRUE"},
    };
    for (const auto& row : rows) {
        SessionFixture f;
        ASSERT_TRUE(f.open());
        ASSERT_TRUE(readWindowGeometry(*f.session).recordRead);
        const std::string password = userField(f, "PASSWORD");
        WindowGeometry& g = f.session->context.geometry;
        g.gui.top = -8;
        g.edit.width = 701;
        g.find.height = 333;
        g.guiSplitter1 = row.splitter1;
        g.guiTasks = row.tasks;
        ASSERT_TRUE(saveWindowGeometry(*f.session));
        EXPECT_EQ(userField(f, "FORM_GUI_SPLITTER1"), row.storedSplitter1) << row.splitter1;
        EXPECT_EQ(userField(f, "FORM_GUI_TASKS"), row.storedTasks);
        EXPECT_EQ(userField(f, "FORM_GUI_TOP"), "-8");
        EXPECT_EQ(userField(f, "FORM_EDIT_WIDTH"), "701");
        EXPECT_EQ(userField(f, "FORM_FIND_HEIGHT"), "333");
        EXPECT_EQ(userField(f, "FORM_GUI_WIDTH"), "1100");
        // The rest of the record survives, the enciphered password included.
        EXPECT_EQ(userField(f, "LOGON_NAME"), "ANNA");
        EXPECT_EQ(userField(f, "EMAIL"), "anna.novak@example.com");
        EXPECT_EQ(userField(f, "PASSWORD"), password);
    }
}

TEST_F(LogonContextTest, WithoutAUserRecordNothingIsSavedAndEvent5IsLogged) {
    ASSERT_TRUE(open());
    stdfs::remove(session->context.userRecordFile);
    EXPECT_FALSE(readWindowGeometry(*session).recordRead);
    const std::string before = systemLog();
    EXPECT_FALSE(saveWindowGeometry(*session));
    EXPECT_FALSE(stdfs::exists(session->context.userRecordFile));
    const std::string added = systemLog().substr(before.size());
    EXPECT_EQ(added, eventLine(5));
    EXPECT_NE(added.find("ANNA@WORKSTATION"), std::string::npos) << added;
}

TEST(LogonContextShutdownTest, ClearsScratchPagesAndTemporaryFilesOnlyWhenAsked) {
    for (const bool removeOnExit : {false, true}) {
        SCOPED_TRACE(removeOnExit);
        SessionFixture f;
        const std::string base = f.dir / "tmp";
        writeSettings(
            f, ("TEMPPATH=" + base + "\r\nTEMPREMOVEONEXIT=" + (removeOnExit ? "TRUE" : "FALSE") + "\r\n").c_str());
        ASSERT_TRUE(f.open());
        Session& s = *f.session;
        const std::string temp = s.context.settings.temporaryDirectory;
        ASSERT_EQ(temp, base + "/ANNA/");
        ASSERT_TRUE(claimOwnedDirectory(temp)) << "as the logon makes it";
        for (const char* name : {"copy.txt", "Trash/old.note", "HTMLparse/page.htm", "HTMLparse/img/a.png"})
            writeBytes(temp + name, "x");
        writeBytes(base + "/BOB/copy.txt", "another user's");
        ASSERT_TRUE(readWindowGeometry(s).recordRead);
        s.context.geometry.gui.width = 1234;
        const std::string systemBefore = f.systemLog();

        EXPECT_TRUE(shutdown(s));
        EXPECT_TRUE(!stdfs::exists(temp + "HTMLparse") || stdfs::is_empty(temp + "HTMLparse"));
        EXPECT_EQ(stdfs::exists(temp + "copy.txt"), !removeOnExit);
        EXPECT_EQ(stdfs::exists(temp + "Trash/old.note"), !removeOnExit);
        EXPECT_TRUE(stdfs::exists(base + "/BOB/copy.txt")) << "only this user's directory is cleared";
        EXPECT_EQ(userField(f, "FORM_GUI_WIDTH"), "1234") << "the geometry is saved first";

        const std::string systemAdded = f.systemLog().substr(systemBefore.size());
        EXPECT_EQ(systemAdded, s.texts.lookup("LOG", "6", "LOG") + "\r\n");
        EXPECT_NE(systemAdded.find("ANNA@WORKSTATION"), std::string::npos) << systemAdded;
        const std::string userLog = f.userLog();
        EXPECT_EQ(userLog, s.texts.lookup("LOG", "54", "LOG") + "\r\n");
        EXPECT_NE(userLog.find("ANNA@WORKSTATION"), std::string::npos) << userLog;
    }
}

TEST(LogonContextShutdownTest, NeverEmptiesTheHomeDirectory) {
    // A settings file on the shared data point can name any directory; the
    // logon name in capitals resolves to the user's home in small letters.
    SessionFixture f;
    const std::string base = f.dir / "people";
    const std::string home = base + "/anna";
    writeBytes(home + "/thesis.odt", "years of work");
    ::setenv("HOME", home.c_str(), 1);
    writeSettings(f, ("TEMPPATH=" + base + "\r\nTEMPREMOVEONEXIT=TRUE\r\n").c_str());
    ASSERT_TRUE(f.open());
    EXPECT_TRUE(shutdown(*f.session));
    EXPECT_EQ(readBytes(home + "/thesis.odt"), "years of work");
}

} // namespace
} // namespace quill
