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

} // namespace
} // namespace quill
