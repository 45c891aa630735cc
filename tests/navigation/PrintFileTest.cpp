// Joining rendered pages into one print file: each page's styles confined
// to its own section, one copy of the styles pages share, one section per
// page that starts a new sheet; the documents in the document list's order;
// which linked style sheets are read.
#include "navigation/PrintFile.h"

#include "SessionTest.h"
#include "TestSupport.h"

#include "navigation/DocumentList.h"
#include "navigation/ImageNames.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace quill {
namespace {

using test::occurrences;

TEST(PrintFileTest, PagesKeepTheirStylesAndEachGetsItsOwnSheet) {
    const std::string meeting =
        "<html lang=\"cs\"><head><TITLE>Weekly</TITLE>\r\n<style>\r\nh1 {\r\n  color: red;\r\n}\r\n"
        "body {\r\n  margin: 0;\r\n}\r\n</style></head><body class=\"k-meeting\"><h1>Weekly</h1>"
        "<script>for(;;);</script></body></html>";
    std::string annual = meeting;
    annual.replace(annual.find("Weekly</TITLE>"), 6, "Annual");
    annual.replace(annual.find("<h1>Weekly"), 10, "<h1>Annual");
    const std::string note = "<html><head><title>Idea</title><link rel=\"stylesheet\" href=\"note.css\">"
                             "<link rel=\"alternate stylesheet\" href=\"big.css\"></head>"
                             "<body><style media=\"print\">p { color: gray }</style>"
                             "<!-- <style>p { color: pink }</style> --><p>Idea</p></body></html>";
    std::vector<std::string> asked;
    const std::map<std::string, LinkedStyleSheet> sheets = {
        {"note.css", {"@import \"more.css\";\r\nh1 { color: green } p { background: url(paper.png) }", "/sheets"}},
        {"file:///sheets/more.css", {"body { color: navy }", "/sheets"}},
        {"big.css", {"h1 { font-size: 90px }", "/sheets"}}};
    const std::string joined = joinPages({meeting, annual, note}, [&](std::string_view address) {
        asked.emplace_back(address);
        const auto found = sheets.find(std::string(address));
        return found == sheets.end() ? std::nullopt : std::optional<LinkedStyleSheet>(found->second);
    });

    // Pages of one type share one confined copy of their styles, a style
    // over several lines whole; the note's own rules reach only its section.
    EXPECT_EQ(occurrences(joined, "section.print-style-1 h1 {\r\n  color: red;\r\n}"), 1u) << joined;
    EXPECT_EQ(occurrences(joined, "section.print-style-1 print-body {\r\n  margin: 0;\r\n}"), 1u);
    EXPECT_EQ(occurrences(joined, "section.print-style-2 h1 { color: green }"), 1u);
    EXPECT_EQ(occurrences(joined, "section.print-style-2 print-body { color: navy }"), 1u);
    EXPECT_EQ(occurrences(joined, "url(\"file:///sheets/paper.png\")"), 1u);
    EXPECT_EQ(occurrences(joined, "@media print {\nsection.print-style-2 p { color: gray }"), 1u);
    EXPECT_EQ(occurrences(joined, "color: red"), 1u);
    EXPECT_EQ(occurrences(joined, "<!-- <style>p { color: pink }</style> -->"), 1u);
    EXPECT_EQ(asked, (std::vector<std::string>{"note.css", "file:///sheets/more.css"}));
    EXPECT_EQ(occurrences(joined, "90px"), 0u);
    EXPECT_EQ(occurrences(joined, "<link"), 0u);

    // Titles and scripts are left out; one head, one code page.
    EXPECT_EQ(occurrences(joined, "<title"), 0u);
    EXPECT_EQ(occurrences(joined, "<TITLE"), 0u);
    EXPECT_EQ(occurrences(joined, "<script"), 0u);
    EXPECT_EQ(occurrences(joined, "<head>"), 1u);
    EXPECT_EQ(occurrences(joined, "<meta charset=\"windows-1250\">"), 1u);

    // One section per page, in order, each with the page's html and body.
    EXPECT_EQ(occurrences(joined, "<section class=\"print-page print-style-1\">\r\n<print-html lang=\"cs\">"
                                  "<print-body class=\"k-meeting\">"),
              2u);
    EXPECT_EQ(occurrences(joined, "<section class=\"print-page print-style-2\">\r\n<print-html><print-body>"), 1u);
    EXPECT_EQ(occurrences(joined, "<br>\r\n<hr>\r\n<br>\r\n</section>"), 3u);
    EXPECT_LT(joined.find("<h1>Weekly"), joined.find("<h1>Annual"));
    EXPECT_LT(joined.find("<h1>Annual"), joined.find("<p>Idea"));
    EXPECT_NE(joined.find("break-after: page"), std::string::npos);
}

class PrintFileSessionTest : public test::OpenSessionTest {};

TEST_F(PrintFileSessionTest, DocumentsComeInTheDocumentListsOrder) {
    // Names that sort otherwise than the files, written so that the
    // directory lists them in neither order.
    const std::string folder = dataPoint + "/DataPoint.root/Meetings";
    const std::string sample = test::readBytes(folder + "/Weekly review.meeting");
    const std::string rest = sample.substr(sample.find('\n'));
    std::filesystem::create_directories(dir / "Sorted");
    const std::string sorted = dir / "Sorted";
    for (const auto& [file, name] : std::vector<std::pair<std::string, std::string>>{
             {"b.meeting", "mango"}, {"a.meeting", "Zebra"}, {"c.meeting", "apple"}, {"d.meeting", ""}})
        test::writeBytes(sorted + "/" + file, name + "\r" + rest);
    test::writeBytes(sorted + "/c.comments", "");

    for (const std::string& where : {sorted, folder}) {
        std::vector<std::string> listed;
        for (const DocumentItem& item : listFolderDocuments(*session, ImageNameTable{}, where))
            listed.push_back(item.path);
        std::vector<std::string> printable;
        for (const PrintableDocument& document : printableDocuments(*session, where))
            printable.push_back(document.path);
        EXPECT_EQ(printable, listed) << where;
    }
    const std::vector<PrintableDocument> documents = printableDocuments(*session, sorted);
    ASSERT_EQ(documents.size(), 4u);
    EXPECT_EQ(documents[0].caption.rfind("apple, ", 0), 0u) << documents[0].caption;
    // A document without a name is listed by its file's name.
    EXPECT_EQ(documents[1].path, sorted + "/d.meeting");

    // Documents picked in any order are printed in the list's.
    EXPECT_EQ(inListOrder(documents, {sorted + "/a.meeting", sorted + "/b.meeting", sorted + "/c.meeting"}),
              (std::vector<std::string>{sorted + "/c.meeting", sorted + "/b.meeting", sorted + "/a.meeting"}));
}

// A document whose page cannot be made fails the whole print, naming it:
// no print file is handed on, so an older one is never printed instead.
TEST_F(PrintFileSessionTest, APageThatCannotBeMadeFailsThePrint) {
    const std::string folder = dataPoint + "/DataPoint.root/Meetings";
    const std::string weekly = folder + "/Weekly review.meeting";
    const struct {
        std::vector<std::string> documents;
        const char* named; // in the failure; none when it is printed
    } cases[] = {
        {{weekly}, nullptr},
        {{weekly, folder + "/Gone.meeting"}, "Gone.meeting"},
        {{folder + "/Gone.meeting", weekly}, "Gone.meeting"},
    };
    for (const auto& c : cases) {
        const Result<std::string> made = preparePrintFile(*session, c.documents);
        SCOPED_TRACE(c.documents.back());
        if (!c.named) {
            ASSERT_TRUE(made.ok()) << made.message();
            EXPECT_TRUE(std::filesystem::is_regular_file(made.value()));
            continue;
        }
        ASSERT_FALSE(made.ok());
        EXPECT_NE(made.message().find(c.named), std::string::npos) << made.message();
    }
}

// A print job and a PDF go by the printed documents' names.
TEST_F(PrintFileSessionTest, ThePrintFileIsTitledWithTheDocumentsNames) {
    const std::string folder = dataPoint + "/DataPoint.root/Meetings";
    const std::string weekly = folder + "/Weekly review.meeting";
    const std::string sample = test::readBytes(weekly);
    const std::string marked = folder + "/marked.meeting";
    test::writeBytes(marked, "Q&A <b>now</b>" + sample.substr(sample.find('\r')));
    const struct {
        std::vector<std::string> documents;
        std::string title;
        std::string element;
    } cases[] = {
        {{weekly}, "Weekly review", "<title>Weekly review</title>"},
        {{weekly, folder + "/Annual review.meeting"},
         "Weekly review, Annual review",
         "<title>Weekly review, Annual review</title>"},
        {{marked}, "Q&A <b>now</b>", "<title>Q&amp;A &lt;b&gt;now&lt;/b&gt;</title>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        EXPECT_EQ(printTitle(*session, c.documents), c.title);
        const Result<std::string> printFile = preparePrintFile(*session, c.documents);
        ASSERT_TRUE(printFile.ok()) << printFile.message();
        const std::string joined = test::readBytes(printFile.value());
        EXPECT_NE(joined.find(c.element), std::string::npos);
        EXPECT_LT(joined.find(c.element), joined.find("</head>"));
    }
}

TEST_F(PrintFileSessionTest, LinkedSheetsAreReadOnlyWhereThePagesAndResourcesLie) {
    const std::string scratch = session->context.settings.temporaryDirectory + "HTMLparse";
    std::filesystem::create_directories(scratch);
    const std::string resources = session->context.settings.resourceDirectory;
    std::filesystem::create_directories(resources + "/HTML");
    test::writeBytes(scratch + "/local.css", "a {}");
    test::writeBytes(resources + "/HTML/my sheet.css", "b {}");
    test::writeBytes(dir / "elsewhere.css", "c {}");
    const std::vector<std::string> allowed = {session->context.dataPointPath, resources,
                                              session->context.settings.temporaryDirectory};
    const struct {
        std::string address;
        std::string css; // empty: not read
    } cases[] = {
        {"local.css", "a {}"},
        {"local.css?v=2#top", "a {}"},
        {"file://" + resources + "/HTML/my%20sheet.css", "b {}"},
        {"file://" + resources + "/HTML/my sheet.css", "b {}"},
        {"FILE://localhost" + resources + "/HTML/my sheet.css", "b {}"},
        {"../../elsewhere.css", ""},
        {"file://" + (dir / "elsewhere.css"), ""},
        {"http://example.com/a.css", ""},
        {"missing.css", ""},
    };
    for (const auto& c : cases) {
        const auto sheet = readLinkedStyleSheet(c.address, scratch, allowed);
        EXPECT_EQ(sheet ? sheet->css : "", c.css) << c.address;
    }
    EXPECT_EQ(readLinkedStyleSheet("file://" + resources + "/HTML/my%20sheet.css", scratch, allowed)->directory,
              resources + "/HTML");
}

} // namespace
} // namespace quill
