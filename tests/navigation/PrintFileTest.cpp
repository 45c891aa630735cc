// Joining rendered pages into one print file: one head that keeps each
// page's styles whole, and one section per page that starts a new sheet.
#include "navigation/PrintFile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

using test::occurrences;

TEST(PrintFileTest, PagesKeepTheirStylesAndEachGetsItsOwnSheet) {
    const std::string meeting = "<html><head><TITLE>Weekly</TITLE>\r\n<style>\r\nh1 {\r\n  color: red;\r\n}\r\n"
                                "p {\r\n  margin: 0;\r\n}\r\n</style></head><body class=\"k-meeting\"><h1>Weekly</h1></body></html>";
    std::string annual = meeting;
    annual.replace(annual.find("Weekly</TITLE>"), 6, "Annual");
    annual.replace(annual.find("<h1>Weekly"), 10, "<h1>Annual");
    const std::string note = "<html><head><title>Idea</title><link rel=\"stylesheet\" href=\"note.css\"></head>"
                             "<body><p>Idea</p></body></html>";
    const std::string joined = joinPages({meeting, annual, note});

    // Pages of one type share their head; a style over several lines keeps
    // every closing brace.
    EXPECT_EQ(occurrences(joined, "h1 {"), 1u);
    EXPECT_EQ(occurrences(joined, "}\r\np {\r\n  margin: 0;\r\n}"), 1u) << joined;
    EXPECT_EQ(occurrences(joined, "note.css"), 1u);
    EXPECT_EQ(occurrences(joined, "<title"), 0u);
    EXPECT_EQ(occurrences(joined, "<TITLE"), 0u);
    EXPECT_EQ(occurrences(joined, "<head>"), 1u);

    // One section per page, in order, each with its page's class.
    EXPECT_EQ(occurrences(joined, "<section class=\"print-page k-meeting\">"), 2u);
    EXPECT_EQ(occurrences(joined, "<section class=\"print-page \">"), 1u);
    EXPECT_LT(joined.find("<h1>Weekly"), joined.find("<h1>Annual"));
    EXPECT_LT(joined.find("<h1>Annual"), joined.find("<p>Idea"));
    EXPECT_NE(joined.find("break-after: page"), std::string::npos);
}

} // namespace
} // namespace quill
