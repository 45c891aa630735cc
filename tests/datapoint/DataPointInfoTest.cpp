// DataPoint.info: recognising a data point, writing and reading the file.
#include "datapoint/DataPointInfo.h"

#include "SessionFixture.h"

#include "session/LogonContext.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quill {
namespace {

using test::readBytes;
using test::SessionFixture;
using test::writeBytes;

class DataPointInfoTest : public ::testing::Test, public SessionFixture {};

TEST_F(DataPointInfoTest, WritesExactlyElevenLines) {
    DataPointDescription d;
    d.creator = "Eva Kralova";
    d.mail = "eva@example.com";
    d.www = "www.example.com";
    d.phone = "+420 123";
    d.autoLogon = true;
    ASSERT_TRUE(writeDataPointInfo(dataPoint, d).ok());
    EXPECT_EQ(readBytes(dataPoint + "/DataPoint.info"),
              "[DATAPOINT]\r\nCREATOR=Eva Kralova\r\nMAIL=eva@example.com\r\nWWW=www.example.com\r\n"
              "PHONE=+420 123\r\n\r\nROOT=$DATA_POINT_PATH$\\DataPoint.root\r\n"
              "USERS=$DATA_POINT_PATH$\\DataPoint.users\r\n\r\nAUTOLOGON=TRUE\r\n\r\n");
}

TEST_F(DataPointInfoTest, AutomaticLogonOnlyWhenTheInfoSaysTrue) {
    EXPECT_TRUE(dataPointAllowsAutoLogon(dataPoint));
    for (const char* content : {"[DATAPOINT]\r\nAUTOLOGON=FALSE\r\n", "[DATAPOINT]\r\nAUTOLOGON=yes\r\n", "",
                                "[OTHER]\r\nAUTOLOGON=TRUE\r\n"}) {
        writeBytes(dataPoint + "/DataPoint.info", content);
        EXPECT_FALSE(dataPointAllowsAutoLogon(dataPoint)) << content;
    }
    writeBytes(dataPoint + "/DataPoint.info", "[DATAPOINT]\r\nAUTOLOGON=true\r\n");
    EXPECT_TRUE(dataPointAllowsAutoLogon(dataPoint));
    EXPECT_FALSE(dataPointAllowsAutoLogon(dir / "nowhere"));
}

TEST_F(DataPointInfoTest, ValueWithALineBreakIsRefusedAndTheFileKept) {
    const std::string before = readBytes(dataPoint + "/DataPoint.info");
    DataPointDescription d;
    d.creator = "Eva\r\nAUTOLOGON=TRUE";
    EXPECT_FALSE(writeDataPointInfo(dataPoint, d).ok());
    EXPECT_EQ(readBytes(dataPoint + "/DataPoint.info"), before);
}

TEST_F(DataPointInfoTest, OnlyADirectoryWithTheInfoFileIsADataPoint) {
    EXPECT_TRUE(isDataPoint(dataPoint));
    EXPECT_TRUE(isDataPoint(dataPoint + "/"));
    EXPECT_FALSE(isDataPoint(dir.path()));
    EXPECT_FALSE(isDataPoint(""));
    std::filesystem::create_directories(dir / "fake/DataPoint.info");
    EXPECT_FALSE(isDataPoint(dir / "fake"));
}

TEST_F(DataPointInfoTest, ReadExpandsTheDataPointPathFromAnyMount) {
    const std::string moved = dir / "elsewhere";
    std::filesystem::rename(dataPoint, moved);
    session->context.dataPointPath = moved;
    ASSERT_EQ(startLogonContext(*session), ContextStart::Started);
    const auto info = readDataPointInfo(session->texts, session->context.dataPointPath);
    ASSERT_EQ(info.size(), 7u);
    EXPECT_EQ(info[0], (std::pair<std::string, std::string>{"CREATOR", "System Administrator"}));
    EXPECT_EQ(info[4].first, "ROOT");
    EXPECT_EQ(info[4].second.rfind(moved, 0), 0u);
    EXPECT_EQ(info[6], (std::pair<std::string, std::string>{"AUTOLOGON", "TRUE"}));
}

TEST_F(DataPointInfoTest, MissingRootOrUsersDirectoryStopsTheContext) {
    for (const char* missing : {"DataPoint.root", "DataPoint.users"}) {
        SessionFixture fresh;
        std::filesystem::remove_all(fresh.dataPoint + "/" + missing);
        EXPECT_EQ(startLogonContext(*fresh.session), ContextStart::MissingDirectories) << missing;
    }
}

} // namespace
} // namespace quill
