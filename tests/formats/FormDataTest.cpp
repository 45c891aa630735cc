#include "formats/FormData.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

TEST(FormDataTest, DecodesPairsAndKeepsOnlyTheLastFieldsName) {
    const struct {
        const char* data;
        Pairs pairs;
        const char* last;
        const char* why;
    } rows[] = {
        {"A=1&B=x+y&C=on&SAVE=Save", {{"A", "1"}, {"B", "x y"}, {"C", "TRUE"}}, "SAVE", "the usual form"},
        {"SAVE_DATA=Save", {}, "SAVE_DATA", "without '&' there are no pairs"},
        {"name=a&flag=OFF&x=On&save=",
         {{"NAME", "a"}, {"FLAG", "FALSE"}, {"X", "TRUE"}},
         "SAVE",
         "names upper-cased, on/off in any case become TRUE/FALSE"},
        {"%41%62=%41&S=1", {{"AB", "A"}}, "S", "%41 anywhere is the letter A"},
        {"A=1&&B=2&S=", {{"A", "1"}, {"B", "2"}}, "S", "an empty field adds nothing"},
        {"loose&S=", {{"", "loose"}}, "S", "a field without '=' has no name and all of it as value"},
        {"A=x=y&S=", {{"A", "x=y"}}, "S", "the first '=' splits"},
        {"", {}, "", "nothing posted"},
        {"A=1&lastwithout", {{"A", "1"}}, "", "a last field without '=' has no name"},
    };
    for (const auto& row : rows) {
        const PostedForm form = decodePostedForm(row.data);
        EXPECT_EQ(form.pairs, row.pairs) << row.why;
        EXPECT_EQ(form.lastFieldName, row.last) << row.why;
    }
}

TEST(FormDataTest, EncodedDelimitersAndPercentSignsStayInTheirValues) {
    // Decoding before splitting would cut "Smith & Sons" into two fields, and
    // decoding twice would turn a typed "%41" into "A".
    const PostedForm form =
        decodePostedForm("COMPANY=Smith+%26+Sons&EQ=a%3Db&TYPED=%2541&RATE=100%25&BAD=%zz%4&S=Save");
    EXPECT_EQ(
        form.pairs,
        (Pairs{{"COMPANY", "Smith & Sons"}, {"EQ", "a=b"}, {"TYPED", "%41"}, {"RATE", "100%"}, {"BAD", "%zz%4"}}));
    EXPECT_EQ(decodeFormComponent("a%2Bb+c"), "a+b c");
    EXPECT_EQ(decodeFormComponent("%9e"), "\x9e") << "bytes of the page's code page pass as they are";
}

TEST(FormDataTest, PostedBytesBecomeOneCharacterEach) {
    EXPECT_EQ(postedDataToText({'A', '=', 0x9E, 0}), std::string("A=\x9E\0", 4));
    EXPECT_EQ(postedDataToText({}), "");
}

} // namespace
} // namespace quill
