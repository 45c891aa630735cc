#include "formats/LanguageTexts.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

using test::TempDir;
using test::writeBytes;

class LanguageTextsTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeBytes(dir / "Language/Values.ini", "[VALUES]\r\nVALUE_YES=Yes\r\nEMPTY=\r\n[NAMES]\r\nROOT=Shared\r\n");
        writeBytes(dir / "Language/log.INI", "[LOG]\r\n2=$LOGONNAME$ logged on\r\n");
    }
    TempDir dir;
    LanguageTexts texts{dir / "Language"};
};

TEST_F(LanguageTextsTest, FilesSectionsAndKeysMatchInAnyCase) {
    EXPECT_EQ(texts.lookup("VALUES", "VALUE_YES", "Values"), "Yes");
    // The program spells the same file "Values" and "VALUES".
    EXPECT_EQ(texts.lookup("names", "root", "VALUES"), "Shared");
    EXPECT_EQ(texts.lookup("LOG", "2", "Log"), "$LOGONNAME$ logged on");
}

TEST_F(LanguageTextsTest, MissingTextsAreMarkedNotHidden) {
    EXPECT_EQ(texts.lookup("LOGIN_FORM", "TITLE", "Values"), "PARROR: LOGIN_FORM");
    EXPECT_EQ(texts.lookup("VALUES", "EMPTY", "Values"), "") << "an empty text is a text";
    EXPECT_EQ(texts.lookup("X", "Y", "NoSuchFile"), "PARROR: L1: language error");
    EXPECT_EQ(texts.readPlain("SETTINGS_IO", "TEMPPATH", dir / "Language/Values.ini"),
              "PARROR: SETTINGS_IO - TEMPPATH");
    EXPECT_EQ(texts.readPlain("A", "B", dir / "missing.ini"), "PARROR: L1: language error");
}

TEST_F(LanguageTextsTest, EveryTextPassesThroughTheExpanderButErrorsDoNot) {
    texts.setExpander([](const std::string& s) {
        std::string out = s;
        const auto at = out.find("$LOGONNAME$");
        if (at != std::string::npos)
            out.replace(at, 11, "ANNA");
        return "<" + out + ">";
    });
    EXPECT_EQ(texts.lookup("LOG", "2", "Log"), "<ANNA logged on>");
    EXPECT_EQ(texts.lookup("LOG", "99", "Log"), "<PARROR: LOG>");
    EXPECT_EQ(texts.lookup("LOG", "2", "Gone"), "PARROR: L1: language error");
}

TEST_F(LanguageTextsTest, SeesChangesOfTheFileBetweenLookups) {
    EXPECT_EQ(texts.lookup("VALUES", "VALUE_YES", "Values"), "Yes");
    // Same size on purpose: only the modification time or inode tells.
    writeBytes(dir / "Language/Values.ini.new", "[VALUES]\r\nVALUE_YES=Ano\r\nEMPTY=\r\n[NAMES]\r\nROOT=Shared\r\n");
    std::rename((dir / "Language/Values.ini.new").c_str(), (dir / "Language/Values.ini").c_str());
    EXPECT_EQ(texts.lookup("VALUES", "VALUE_YES", "Values"), "Ano");
    std::remove((dir / "Language/Values.ini").c_str());
    EXPECT_EQ(texts.lookup("VALUES", "VALUE_YES", "Values"), "PARROR: L1: language error");
}

TEST_F(LanguageTextsTest, ThePlainReaderAndTheLookupShareTheSlot) {
    writeBytes(dir / "DataPoint.info", "[DATAPOINT]\r\nROOT=\"C:\\Data\\Root\"\r\n");
    EXPECT_EQ(texts.readPlain("DATAPOINT", "ROOT", dir / "DataPoint.info"), "C:\\Data\\Root");
    EXPECT_EQ(texts.lookup("VALUES", "VALUE_YES", "Values"), "Yes");
    EXPECT_EQ(texts.readPlain("datapoint", "root", dir / "DataPoint.info"), "C:\\Data\\Root");
    EXPECT_EQ(texts.rawPlain("DATAPOINT", "MISSING", dir / "DataPoint.info"), std::nullopt);
}

TEST_F(LanguageTextsTest, CountedTextsTakeTheSingularForExactlyOne) {
    writeBytes(dir / "Language/GUI.ini",
               "[FIND_FORM]\r\nFOUND=documents found\r\nFOUND_ONE=document found\r\nFILES=files\r\n");
    const struct {
        std::uint64_t count;
        const char* key;
        const char* expected;
        const char* why;
    } rows[] = {
        {1, "FOUND", "document found", "one takes the singular"},
        {0, "FOUND", "documents found", "none is plural"},
        {2, "FOUND", "documents found", "two is plural"},
        {11, "FOUND", "documents found", "eleven ends in one but is plural"},
        {1, "FILES", "files", "without a singular the one text serves"},
        {1, "GONE", "PARROR: FIND_FORM", "a missing text is marked as any other"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(texts.lookupCounted(row.count, "FIND_FORM", row.key, "GUI"), row.expected) << row.why;
}

TEST_F(LanguageTextsTest, TheLanguageCodeIsEnglishUnlessTheFilesNameAnother) {
    const struct {
        const char* gui;
        const char* expected;
        const char* why;
    } rows[] = {
        {"[LANGUAGE]\r\nCODE=de\r\n", "de", "a language"},
        {"[language]\r\ncode= pt_BR \r\n", "pt_BR", "a language with a region, blanks around it"},
        {"[LANGUAGE]\r\nCODE=\r\n", "en", "empty"},
        {"[OTHER]\r\nCODE=de\r\n", "en", "no language section"},
        {"[LANGUAGE]\r\nCODE=../../x\r\n", "en", "it becomes part of a file name, so a path is refused"},
        {"[LANGUAGE]\r\nCODE=german\r\n", "en", "a name, not a code"},
        {"[LANGUAGE]\r\nCODE=de_\r\n", "en", "a region that is not there"},
    };
    for (const auto& row : rows) {
        writeBytes(dir / "Language/GUI.ini", row.gui);
        EXPECT_EQ(texts.languageCode(), row.expected) << row.why;
    }
    std::remove((dir / "Language/GUI.ini").c_str());
    EXPECT_EQ(texts.languageCode(), "en") << "no GUI file at all";
}

} // namespace
} // namespace quill
