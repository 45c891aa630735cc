// The logon attempt, its waits and outcomes, and the program's start-up
// values in the registry file.
#include "session/Logon.h"

#include "SessionTest.h"

#include "datapoint/DataPointInfo.h"
#include "formats/FieldCipher.h"
#include "formats/RegistryStore.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/ProgramStart.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using test::readBytes;
using test::TempDir;
using test::writeBytes;

class LogonTest : public test::LogonAttemptTest {};

TEST_F(LogonTest, GoodPasswordLogsOnAndRemembersTheDataPoint) {
    ASSERT_EQ(logon("ANNA", "anna", true), LogonOutcome::LoggedOn);
    EXPECT_TRUE(session->program.loggedOn);
    EXPECT_EQ(session->program.fullName, "Anna Novak");
    EXPECT_FALSE(session->program.isAdministrator);
    EXPECT_TRUE(clock.waits.empty());
    EXPECT_EQ(registry.read(kRegistryKey, "DataPointPath_0").value_or(""), dataPoint);
    EXPECT_EQ(registry.read(kRegistryKey, "DataPointPathActual").value_or(""), "0");
    // The sample data point allows automatic logon, so the wish is kept.
    EXPECT_EQ(registry.read(kRegistryKey, "UserAutoLogon").value_or(""), "1");
    EXPECT_EQ(cipher::decipher(cipher::kFieldKey, registry.read(kRegistryKey, "UserPassword").value_or("")), "anna");
    EXPECT_NE(systemLog().find("logon succeeded"), std::string::npos);
    EXPECT_TRUE(stdfs::exists(dataPoint + "/DataPoint.system/Logs/ANNA.log"));
    EXPECT_FALSE(session->users.empty());
}

TEST_F(LogonTest, TheLogonNameIsSpelledAsTheUsersStoreHasIt) {
    // Typed in another case the name would own, log and list under a second
    // spelling ("Anna Novak (anna)") that other users do not recognise.
    for (const char* typed : {"anna", "Anna", "ANNA"}) {
        ASSERT_EQ(logon(typed, "anna"), LogonOutcome::LoggedOn) << typed;
        EXPECT_EQ(session->program.logonName, "ANNA") << typed;
        EXPECT_EQ(path::fileName(session->context.userRecordFile), "ANNA.user") << typed;
        EXPECT_EQ(path::fileName(session->context.userDirectory), "ANNA") << typed;
    }
    EXPECT_FALSE(stdfs::exists(dataPoint + "/DataPoint.system/Logs/anna.log"));
    EXPECT_FALSE(stdfs::exists(dataPoint + "/DataPoint.users/anna"));
}

TEST_F(LogonTest, DataPointWithoutAutomaticLogonNeverStoresTheWish) {
    DataPointDescription description;
    description.autoLogon = false;
    ASSERT_TRUE(writeDataPointInfo(dataPoint, description).ok());
    ASSERT_EQ(logon("ANNA", "anna", true), LogonOutcome::LoggedOn);
    EXPECT_EQ(registry.read(kRegistryKey, "UserAutoLogon").value_or(""), "0");
}

TEST_F(LogonTest, WrongPasswordsWaitLongerEachTimeAndTheFifthEndsTheProgram) {
    const LogonOutcome expected[] = {LogonOutcome::WrongPassword, LogonOutcome::WrongPassword,
                                     LogonOutcome::WrongPassword, LogonOutcome::WrongPassword,
                                     LogonOutcome::TooManyFailures};
    for (LogonOutcome outcome : expected) {
        EXPECT_EQ(logon("ANNA", "guess"), outcome);
        EXPECT_FALSE(session->program.loggedOn);
    }
    EXPECT_EQ(failed, 5);
    EXPECT_EQ(clock.waits, (std::vector<long long>{0, 1500, 4000, 8000, 12000}));
    EXPECT_TRUE(endsProgram(LogonOutcome::TooManyFailures));
    EXPECT_FALSE(endsProgram(LogonOutcome::WrongPassword));
    EXPECT_FALSE(registry.keyExists(kRegistryKey));
    EXPECT_EQ(ui.beeps, 5 + 1);
}

TEST_F(LogonTest, GoodPasswordAfterAWrongOneDoesNotWait) {
    ASSERT_EQ(logon("ANNA", "guess"), LogonOutcome::WrongPassword);
    ASSERT_EQ(logon("ANNA", "anna"), LogonOutcome::LoggedOn);
    EXPECT_EQ(clock.waits, (std::vector<long long>{0}));
}

TEST_F(LogonTest, UnknownNameWaitsThreeSecondsAndCreatesNothing) {
    for (const char* name : {"NOBODY", "../ANNA", "a/b"}) {
        clock.waits.clear();
        EXPECT_EQ(logon(name, "anna"), LogonOutcome::NoUser) << name;
        EXPECT_EQ(clock.waits, (std::vector<long long>{3000})) << name;
    }
    EXPECT_FALSE(stdfs::exists(dataPoint + "/DataPoint.users/NOBODY"));
    EXPECT_EQ(failed, 0);
    EXPECT_NE(systemLog().find("no such user"), std::string::npos);
}

TEST_F(LogonTest, UnreadableUserRecordEndsTheProgram) {
    const std::string record = dataPoint + "/DataPoint.system/Users/ANNA.user";
    stdfs::remove(record);
    stdfs::create_directories(record);
    EXPECT_EQ(logon("ANNA", "anna"), LogonOutcome::UnreadableUser);
    EXPECT_TRUE(endsProgram(LogonOutcome::UnreadableUser));
}

TEST_F(LogonTest, MissingRootOrUsersDirectoryEndsTheProgram) {
    stdfs::remove_all(dataPoint + "/DataPoint.users");
    EXPECT_EQ(logon("ANNA", "anna"), LogonOutcome::MissingDirectories);
    EXPECT_TRUE(endsProgram(LogonOutcome::MissingDirectories));
}

TEST_F(LogonTest, FolderWithoutDataPointInfoIsNoDataPoint) {
    session->program.knownDataPoints = {dir / "empty"};
    stdfs::create_directories(dir / "empty");
    EXPECT_EQ(logon("ANNA", "anna"), LogonOutcome::NotADataPoint);
    EXPECT_FALSE(endsProgram(LogonOutcome::NotADataPoint));
}

TEST(ChooseDataPointTest, KnownFolderIsSelectedInAnyCaseNewOneAppended) {
    TempDir dir;
    const std::string a = test::copySampleDataPoint(dir);
    ProgramValues program;
    program.knownDataPoints = {""};
    EXPECT_EQ(chooseDataPoint(program, a), DataPointChoice::Added);
    EXPECT_EQ(program.knownDataPoints, std::vector<std::string>{a});

    program.knownDataPoints = {"/elsewhere", a + "/"};
    program.actualDataPoint = 0;
    EXPECT_EQ(chooseDataPoint(program, a), DataPointChoice::Selected);
    EXPECT_EQ(program.actualDataPoint, 1u);
    program.knownDataPoints = {"/elsewhere", cp1250::upper(a)};
    program.actualDataPoint = 0;
    EXPECT_EQ(chooseDataPoint(program, a), DataPointChoice::Selected);
    EXPECT_EQ(program.actualDataPoint, 1u);

    EXPECT_EQ(chooseDataPoint(program, dir.path()), DataPointChoice::NotADataPoint);
    EXPECT_EQ(program.knownDataPoints.size(), 2u);

    // Two data points whose names differ in case alone are two.
    const std::string b = dir / "datapoint";
    stdfs::copy(a, b, stdfs::copy_options::recursive);
    program.knownDataPoints = {a};
    program.actualDataPoint = 0;
    EXPECT_EQ(chooseDataPoint(program, b), DataPointChoice::Added);
    EXPECT_EQ(program.knownDataPoints, (std::vector<std::string>{a, b}));
    EXPECT_EQ(chooseDataPoint(program, a), DataPointChoice::Selected);
    EXPECT_EQ(program.actualDataPoint, 0u);
}

class ProgramStartTest : public ::testing::Test {
protected:
    ProgramStartTest() {
        values.programDirectory = dir.path();
        values.languageDirectory = test::resourcesDir() + "/Language";
    }
    test::IsolatedHome home;
    TempDir dir;
    RegistryStore registry{dir / "registry.ini"};
    ProgramValues values;
};

TEST_F(ProgramStartTest, FirstRunWritesDefaultsWithTheSampleDataPoint) {
    const std::string sample = test::copySampleDataPoint(dir);
    ASSERT_EQ(initialiseProgram(values, registry), ProgramStart::Ready);
    EXPECT_EQ(values.knownDataPoints, std::vector<std::string>{sample});
    EXPECT_EQ(registry.read(kRegistryKey, "UserAutoLogon").value_or("?"), "0");
    EXPECT_EQ(registry.read(kRegistryKey, "UserPassword").value_or("?"), "");
    EXPECT_EQ(registry.read(kRegistryKey, "DataPointPathActual").value_or("?"), "0");
    EXPECT_EQ(registry.read(kRegistryKey, "DataPointPath_0").value_or("?"), sample);
}

TEST_F(ProgramStartTest, AnInstalledProgramStartsOnTheUsersOwnCopyOfTheSample) {
    // bin/ beside share/quill/DataPoint, as the package installs them.
    const std::string prefix = dir / "usr";
    values.programDirectory = prefix + "/bin";
    std::filesystem::create_directories(values.programDirectory);
    std::filesystem::create_directories(prefix + "/share/quill");
    std::filesystem::copy(test::copySampleDataPoint(dir), prefix + "/share/quill/DataPoint",
                          std::filesystem::copy_options::recursive);
    const std::string own = std::string(std::getenv("XDG_DATA_HOME")) + "/Quill/DataPoint";
    ASSERT_EQ(initialiseProgram(values, registry), ProgramStart::Ready);
    EXPECT_EQ(values.knownDataPoints, std::vector<std::string>{own});
    EXPECT_TRUE(std::filesystem::exists(own + "/DataPoint.system/Users/ANNA.user"));

    // Something of that name that is no data point is left alone.
    std::filesystem::remove_all(own);
    test::writeBytes(own, "mine");
    RegistryStore fresh{dir / "fresh.ini"};
    ASSERT_EQ(initialiseProgram(values, fresh), ProgramStart::Ready);
    EXPECT_EQ(values.knownDataPoints, std::vector<std::string>{""});
    EXPECT_EQ(test::readBytes(own), "mine");
}

TEST_F(ProgramStartTest, FirstRunWithoutSampleKnowsOneEmptyEntry) {
    ASSERT_EQ(initialiseProgram(values, registry), ProgramStart::Ready);
    EXPECT_EQ(values.knownDataPoints, std::vector<std::string>{""});
    EXPECT_EQ(values.actualDataPointPath(), "");
}

TEST_F(ProgramStartTest, ListEndsAtTheFirstGapAndABadIndexSelectsTheFirst) {
    ASSERT_TRUE(registry
                    .writeValues(kRegistryKey, {{"UserAutoLogon", "1"},
                                                {"UserPassword", cipher::encipher(cipher::kFieldKey, "secret")},
                                                {"DataPointPath_0", "/a"},
                                                {"DataPointPath_1", "/b"},
                                                {"DataPointPath_3", "/after-the-gap"},
                                                {"DataPointPathActual", "1"}})
                    .ok());
    ASSERT_EQ(initialiseProgram(values, registry), ProgramStart::Ready);
    EXPECT_EQ(values.knownDataPoints, (std::vector<std::string>{"/a", "/b"}));
    EXPECT_EQ(values.actualDataPoint, 1u);
    EXPECT_TRUE(values.autoLogonWanted);
    EXPECT_EQ(values.storedPassword, "secret");

    for (const char* bad : {"7", "-1", "x", ""}) {
        ASSERT_TRUE(registry.writeValues(kRegistryKey, {{"DataPointPathActual", bad}}).ok());
        initialiseProgram(values, registry);
        EXPECT_EQ(values.actualDataPoint, 0u) << bad;
    }
}

TEST_F(ProgramStartTest, WriteBackLeavesNoGapsAndNoStalePaths) {
    ASSERT_TRUE(registry
                    .writeValues(kRegistryKey,
                                 {{"DataPointPath_0", "/a"}, {"DataPointPath_1", "/b"}, {"DataPointPath_2", "/c"}})
                    .ok());
    values.knownDataPoints = {"", "/x", "", "/y"};
    values.actualDataPoint = 3;
    ASSERT_TRUE(writeRegistryValues(registry, values, false, "pw").ok());
    initialiseProgram(values, registry);
    EXPECT_EQ(values.knownDataPoints, (std::vector<std::string>{"/x", "/y"}));
    EXPECT_EQ(values.actualDataPoint, 1u);
    EXPECT_EQ(values.storedPassword, "pw");
    EXPECT_FALSE(values.autoLogonWanted);
}

TEST_F(ProgramStartTest, APasswordThatCannotBeStoredWholeIsNotStoredAtAll) {
    values.knownDataPoints = {"/x"};
    const struct {
        std::string password;
        std::string stored;
        bool autoLogon;
    } rows[] = {
        {"anna", "anna", true},
        {"\xAE"
         "bc",
         "", false}, // enciphers to a zero byte first: would be stored empty
        {"ab"
         "\xC8"
         "x",
         "", false}, // a zero byte in the middle: would be stored as "ab"
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(writeRegistryValues(registry, values, true, row.password).ok());
        initialiseProgram(values, registry);
        EXPECT_EQ(values.storedPassword, row.stored) << row.password;
        EXPECT_EQ(values.autoLogonWanted, row.autoLogon) << row.password;
    }
}

TEST_F(ProgramStartTest, MissingLanguageDirectoryEndsTheStart) {
    values.languageDirectory = dir / "Language";
    EXPECT_EQ(initialiseProgram(values, registry), ProgramStart::NoLanguageDirectory);
    EXPECT_EQ(kNoLanguageDirectoryMessage, "Language directory not exists.");
}

} // namespace
} // namespace quill
