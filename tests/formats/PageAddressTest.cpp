#include "formats/FormData.h"
#include "formats/PageAddress.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

TEST(PageAddressTest, ExecutorAddressGivesCodePageBytesAndTheCommandPrefixAsWritten) {
    const struct {
        const char* encoded;
        std::string address;
        const char* why;
    } rows[] = {
        {"command:OPEN%20%C5%BDlu%C5%A5ou%C4%8Dk%C3%BD%20k%C5%AF%C5%88", "COMMAND:OPEN \x8Elu\x9Dou\xE8k\xFD k\xF9\xF2",
         "the browser's lower-case scheme and UTF-8 escapes"},
        {"Command:Open", "COMMAND:Open", "only the prefix changes case"},
        {"file:///data/a%20b.htm", "file:///data/a b.htm", "another scheme keeps its case"},
        {"command:%8Elu", "COMMAND:\x8Elu", "an escape that is not UTF-8 is a code page byte"},
        {"command:100%", "COMMAND:100%", "a '%' at the end stays"},
        {"command:A%4", "COMMAND:A%4", "a '%' with one digit stays"},
        {"command:A%G1", "COMMAND:A%G1", "a '%' before a non-digit stays"},
        {"command:a+b", "COMMAND:a+b", "'+' is not a blank in an address"},
        {"command:%E2%82%AC%F0%9F%98%80", "COMMAND:\x80?", "a letter the code page lacks becomes '?'"},
        {"comman", "comman", "shorter than the prefix"},
        {"", "", "nothing"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(executorAddress(row.encoded), row.address) << row.why;
}

TEST(PageAddressTest, FormBodyIsEncodedAsFromACodePagePage) {
    const struct {
        std::vector<PageFormField> fields;
        const char* body;
        const char* why;
    } rows[] = {
        {{}, "", "no fields"},
        {{{"NAME", "Ann Lee"}, {"ACTIVE", "on"}, {"SAVE_DATA", "Save"}},
         "NAME=Ann+Lee&ACTIVE=on&SAVE_DATA=Save",
         "fields in order, blanks as '+'"},
        {{{"M\xC4\x9aSTO", "Plze\xC5\x88 \xE2\x82\xAC"}}, "M%CCSTO=Plze%F2+%80", "names and values in the code page"},
        {{{"N", "\xC3\xB1\xF0\x9F\x98\x80"}},
         "N=%26%23241%3B%26%23128512%3B",
         "letters the code page lacks as character references"},
        {{{"NOTE", "a\nb\r\nc\rd"}}, "NOTE=a%0D%0Ab%0D%0Ac%0D%0Ad", "every line break as CR LF"},
        {{{"A", "x&y=z+1 ~*-._"}, {"", ""}}, "A=x%26y%3Dz%2B1+%7E*-._&=", "delimiters escaped; an empty field"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(urlEncodedFormBody(row.fields), row.body) << row.why;
}

TEST(PageAddressTest, AnEncodedBodyDecodesToTheCodePageFields) {
    // What the pane posts is what the form storage reads back.
    const PostedForm form = decodePostedForm(urlEncodedFormBody(
        {{"city", "Plze\xC5\x88 & Brno"}, {"note", "1+1=2\n%41"}, {"flag", "on"}, {"SAVE_DATA", "Save"}}));
    EXPECT_EQ(form.pairs, (std::vector<std::pair<std::string, std::string>>{
                              {"CITY", "Plze\xF2 & Brno"}, {"NOTE", "1+1=2\r\n%41"}, {"FLAG", "TRUE"}}));
    EXPECT_EQ(form.lastFieldName, "SAVE_DATA");
}

} // namespace
} // namespace quill
