// Pages from templates and records: prefixes, companions, escaping and
// the scratch files.
#include "navigation/PageRenderer.h"

#include "SessionFixture.h"

#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using test::readBytes;
using test::SessionFixture;
using test::writeBytes;

class PageRendererTest : public ::testing::Test, public SessionFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(open());
        templates = session->context.settings.resourceDirectory + "HTML/";
        stdfs::create_directories(templates);
        document = dataPoint + "/DataPoint.root/Projects/Website/Kickoff.meeting";
        ASSERT_TRUE(fs::isRegularFile(document));
        writeBytes(templates + "HTML.meeting.htm", "<h1>$DATA.NAME.DATA$</h1>\r\n");
        writeBytes(templates + "HTML.comments.htm", "<!-- data -->\r\n<p>$DATA.COMMENT1.DATA$</p>\r\n"
                                                    "<p>$DATA.COMMENT3.DATA$</p>\r\n<p>$DATA.COMMENT9.DATA$</p>\r\n");
        writeBytes(templates + "HTML.end.htm", "</body>\r\n");
    }
    std::vector<std::string> scratchFiles() {
        std::vector<std::string> names;
        for (const auto& entry : stdfs::directory_iterator(session->context.settings.temporaryDirectory + "HTMLparse"))
            names.push_back(entry.path().string());
        return names;
    }

    std::string templates;
    std::string document;
    PageRenderer renderer{*session};
};

TEST_F(PageRendererTest, OutsideAddressesAndDirectoriesPassUnchanged) {
    for (const char* url :
         {"http://example.com/a", "HTTP://EXAMPLE.COM", "www.example.com", "file:///tmp/x.pdf", "FILE://C:/x"})
        EXPECT_EQ(renderer.render(url), url);
    EXPECT_EQ(renderer.render(dataPoint), dataPoint);
    EXPECT_EQ(renderer.render(dataPoint + "/no such page.htm"), "");
    EXPECT_EQ(renderer.render(""), "");
}

TEST_F(PageRendererTest, RecordPageJoinsDocumentCompanionsAndEnd) {
    const std::string page = readBytes(renderer.render(document));
    EXPECT_EQ(page.rfind("<h1>", 0), 0u) << page;
    EXPECT_NE(page.find("<p>Please bring the visitor statistics of the last year.</p>\r\n"), std::string::npos);
    EXPECT_NE(page.find("<p>Jan Novak from the agency joins at 10:30.</p>\r\n"), std::string::npos);
    // An empty comment comes out as an empty line.
    EXPECT_NE(page.find("</p>\r\n\r\n</body>\r\n"), std::string::npos) << page;
    EXPECT_EQ(page.find("$DATA."), std::string::npos);
    // A form posted from the page goes into the record it showed last.
    EXPECT_EQ(renderer.shownRecord().header.path(), dataPoint + "/DataPoint.root/Projects/Website/Kickoff.comments");
    readBytes(renderer.render(templates + "HTML.end.htm"));
    EXPECT_TRUE(renderer.shownRecord().header.fileName.empty()) << "a page of no record shows none";
}

TEST_F(PageRendererTest, NoCompanionFileNoSection) {
    stdfs::remove(dataPoint + "/DataPoint.root/Projects/Website/Kickoff.comments");
    const std::string page = readBytes(renderer.render(document));
    EXPECT_EQ(page.find("<p>"), std::string::npos) << page;
    EXPECT_NE(page.find("</body>"), std::string::npos);
}

TEST_F(PageRendererTest, FieldValuesCannotCarryMarkup) {
    writeBytes(dataPoint + "/DataPoint.root/Projects/Website/Kickoff.comments",
               "<script>alert(1)</script>\r\n\r\n\"><img src=x onerror=y>\r\n");
    const std::string page = readBytes(renderer.render(document));
    EXPECT_EQ(page.find("<script>"), std::string::npos) << page;
    EXPECT_EQ(page.find("<img"), std::string::npos) << page;
    EXPECT_NE(page.find("&lt;script&gt;"), std::string::npos) << page;
}

TEST_F(PageRendererTest, TemplatePagesShowUserFieldsAndAdminLines) {
    writeBytes(templates + "Page.htm", "<p>$DATA.NAME.DATA$</p>\r\n<p>$IF_ADMIN$secret</p>\r\n<p>$LOGONNAME$</p>\r\n");
    Record user;
    ASSERT_EQ(session->readRecord(session->context.userRecordFile, user), RecordRead::Ok);
    std::string page = readBytes(renderer.render(templates + "Page.htm", user));
    EXPECT_EQ(page, "<p>Anna</p>\r\n\r\n<p>ANNA</p>\r\n");
    EXPECT_EQ(readBytes(renderer.render(templates + "Page.htm")), "<p></p>\r\n\r\n<p>ANNA</p>\r\n")
        << "without a record the page shows no fields, whatever was read last";
    session->program.isAdministrator = true;
    page = readBytes(renderer.render(templates + "Page.htm", user));
    EXPECT_NE(page.find("secret"), std::string::npos);
}

TEST_F(PageRendererTest, OnlyTheLastScratchFileRemains) {
    const std::string first = renderer.render(document);
    const std::string second = renderer.render(document);
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_NE(first, second);
    EXPECT_EQ(scratchFiles(), std::vector<std::string>{second});
}

} // namespace
} // namespace quill
