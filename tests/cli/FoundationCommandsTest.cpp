// quill-cli as scripts use it: exact output forms, UTF-8 on the terminal,
// errors on stderr with status 1.
#include "CliTest.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <thread>

#include <fstream>

#include <filesystem>

namespace quill {
namespace {

using test::readBytes;
using test::runCli;
using test::writeBytes;

class FoundationCommandsTest : public test::CliTest {
protected:
    // The arguments of quill-cli record with its subcommand on file of this
    // data point.
    std::string record(const std::string& subcommand, const std::string& file, const std::string& rest = {}) const {
        return "record " + subcommand + " " + test::shellWord(dataPoint) + " " + test::shellWord(file) + rest;
    }
};

TEST_F(FoundationCommandsTest, CipherSpeaksHexAndUtf8) {
    EXPECT_EQ(runCli("cipher encode admin"), "b396a5bdc0\n");
    EXPECT_EQ(runCli("cipher decode b396a5bdc0"), "admin\n");
    EXPECT_EQ(runCli("cipher encode A --key A"), "82\n");
    // "ž" is 0x9E in the data's code page: 0x9E + 'R' = 0xF0.
    EXPECT_EQ(runCli("cipher encode \xC5\xBE"), "f0\n");
    EXPECT_EQ(runCli("cipher decode f0"), "\xC5\xBE\n");
    expectFailure("cipher decode xyz", "hexadecimal");
}

TEST_F(FoundationCommandsTest, LanguageAndPlainFileLookups) {
    writeBytes(dir / "Lang/Values.ini", "[VALUES]\r\nVALUE_YES=Ano \x9E\r\n");
    writeBytes(dir / "DataPoint.settings", "[SETTINGS_IO]\r\nTEMPREMOVEONEXIT=TRUE\r\n");
    EXPECT_EQ(runCli("lang " + test::shellWord(dir / "Lang") + " VALUES values value_yes"), "Ano \xC5\xBE\n");
    EXPECT_EQ(runCli("lang " + test::shellWord(dir / "Lang") + " Nothing X Y"), "PARROR: L1: language error\n");
    EXPECT_EQ(runCli("ini " + test::shellWord(dir / "DataPoint.settings") + " SETTINGS_IO TEMPPATH"),
              "PARROR: SETTINGS_IO - TEMPPATH\n");
    EXPECT_EQ(runCli("ini " + test::shellWord(dir / "DataPoint.settings") + " settings_io tempremoveonexit"), "TRUE\n");
}

TEST_F(FoundationCommandsTest, TypesAndRecordsOfTheSampleDataPoint) {
    const std::string types = runCli("types " + test::shellWord(dataPoint));
    EXPECT_NE(types.find("\tuser.info\t"), std::string::npos) << types;
    EXPECT_NE(types.find("\tFALSE\tLOGON_NAME,NAME,SURNAME,PASSWORD,"), std::string::npos) << types;
    EXPECT_NE(types.find("\tTRUE\t"), std::string::npos) << "document types are offered in menus";

    const std::string anna = runCli(record("read", dataPoint + "/DataPoint.system/Users/ANNA.user"));
    EXPECT_EQ(anna.substr(0, anna.find('\n')), "LOGON_NAME\tSTRING\tANNA");
    EXPECT_NE(anna.find("\nPASSWORD\tSTRING\tanna\n"), std::string::npos) << "deciphered";
}

TEST_F(FoundationCommandsTest, RecordSetWritesOrLeavesTheFileAsItWas) {
    const std::string note = dir / "Idea.note";
    runOk(record("set", note, " NAME=Plan 'TEXT=two words'"));
    ASSERT_FALSE(HasFailure());
    EXPECT_EQ(readBytes(note).substr(0, 17), "Plan\r\ntwo words\r\n");

    const std::string before = readBytes(note);
    expectFailure(record("set", note, " NAME=Other NO_SUCH=1"), "NO_SUCH");
    EXPECT_EQ(readBytes(note), before);

    const std::string fresh = dir / "Fresh.note";
    expectFailure(record("set", fresh, " NO_SUCH=1"));
    EXPECT_FALSE(std::filesystem::exists(fresh)) << "a failed call leaves no new file behind";

    // A password whose enciphered form holds a line break is refused.
    const std::string user = dataPoint + "/DataPoint.system/Users/ANNA.user";
    const std::string userBefore = readBytes(user);
    expectFailure(record("set", user, " \"$(printf 'PASSWORD=\\302\\270')\""), "enciphered value of PASSWORD");
    EXPECT_EQ(readBytes(user), userBefore);

    // A name the code page cannot hold is refused, not stored as "?".
    expectFailure(record("set", dir / "\xCE\x94 plan.note", " NAME=Delta"),
                  "holds the letter \xCE\x94, which code page 1250 cannot store");
    EXPECT_FALSE(std::filesystem::exists(dir / "? plan.note"));
}

TEST_F(FoundationCommandsTest, UnreadableRecordsSayWhy) {
    std::filesystem::create_directory(dir / "Folder.note");
    ASSERT_EQ(::mkfifo((dir / "Pipe.note").c_str(), 0600), 0);
    std::filesystem::create_symlink("Loop.note", dir / "Loop.note");
    { std::ofstream huge(dir / "Huge.note"); }
    std::filesystem::resize_file(dir / "Huge.note", 65 * 1024 * 1024); // sparse: no real disk space
    const struct {
        const char* name;
        const char* says;
    } rows[] = {
        {"Folder.note", "it is a directory"},    {"Pipe.note", "it is a named pipe"},
        {"Loop.note", "loop of symbolic links"}, {"Huge.note", "larger than"},
        {"Missing.note", "no such file"},
    };
    for (const auto& row : rows)
        expectFailure(record("read", dir / row.name), row.says);
}

TEST_F(FoundationCommandsTest, AFailingSetNeverUndoesAGoodOneOnANewFile) {
    for (int round = 0; round < 10; ++round) {
        const std::string note = dir / ("Race" + std::to_string(round) + ".note");
        std::thread failing([&] { runCli(record("set", note, " NO_SUCH=1")); });
        runCli(record("set", note, " NAME=kept"));
        failing.join();
        EXPECT_EQ(readBytes(note).substr(0, 6), "kept\r\n") << "round " << round;
    }
}

TEST_F(FoundationCommandsTest, NamesWalkAndMainFiles) {
    const std::string unique = runCli("unique-name " + test::shellWord(dir / "notes.txt"));
    EXPECT_EQ(unique.rfind(dir / "notes", 0), 0u) << unique;
    EXPECT_NE(unique.find(".TD.txt\n"), std::string::npos) << unique;
    EXPECT_NE(runCli("unique-name " + test::shellWord(dir / "notes.txt") + " .doc").find(".TD.doc\n"),
              std::string::npos);

    const std::string website = dataPoint + "/DataPoint.root/Projects/Website";
    EXPECT_EQ(runCli("main-file " + test::shellWord(website + "/Kickoff.scheduler")), website + "/Kickoff.meeting\n");
    EXPECT_EQ(runCli("main-file " + test::shellWord(website + "/Missing.scheduler")), "PARROR\n");

    const std::string walk = runCli("walk " + test::shellWord(dataPoint + "/DataPoint.root"));
    EXPECT_NE(walk.find("\n  " + dataPoint + "/DataPoint.root/Projects/Website\n"), std::string::npos) << walk;
    EXPECT_NE(walk.find(dataPoint + "/DataPoint.root/Projects\n"), std::string::npos) << walk;
    EXPECT_NE(walk.find("SCHEDULE\t" + website + "/Kickoff.scheduler\n"), std::string::npos) << walk;
}

TEST_F(FoundationCommandsTest, BadUsageFailsWithAMessage) {
    expectFailure("no-such-command", "unknown command");
    expectFailure("record read", "usage:");
    expectFailure("walk /no/such/dir");
}

} // namespace
} // namespace quill
