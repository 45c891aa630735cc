#include "formats/IniDocument.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

struct IniRow {
    const char* content;
    const char* section;
    const char* key;
    const char* expected; // nullptr: no such key
    const char* why;
};

TEST(IniDocumentTest, ReadsValuesAsTheIniRulesDo) {
    const IniRow rows[] = {
        {"[A]\r\nK=v\r\n", "A", "K", "v", "plain"},
        {"[A]\nK=v", "a", "k", "v", "section and key in any case, LF and no final break"},
        {"[A]\rK=v\r", "A", "K", "v", "CR alone ends a line"},
        {"  [ A ]  \n  K  =  v w  \n", "A", "K", "v w", "blanks around names and values dropped"},
        {"[A]\nK=\"  quoted  \"\n", "A", "K", "  quoted  ", "one pair of quotes dropped, inner blanks kept"},
        {"[A]\nK=\"\"x\"\"\n", "A", "K", "\"x\"", "only one pair of quotes is dropped"},
        {"[A]\nK=\"open\n", "A", "K", "\"open", "an unpaired quote stays"},
        {"[A]\nK=\n", "A", "K", "", "an empty value is a value"},
        {"[A]\nK=a=b\n", "A", "K", "a=b", "the first equals sign splits"},
        {"[A]\nK=1\nK=2\n", "A", "K", "1", "the first key of a name wins"},
        {"[A]\nK=1\n[A]\nK=2\nL=3\n", "A", "K", "1", "the first section of a name wins"},
        {"K=1\n[A]\n", "", "K", nullptr, "keys before any section belong to none"},
        {"[A]\nnot a key\n", "A", "not a key", nullptr, "a line without '=' is no key"},
        {"[A]\nK=v\n", "B", "K", nullptr, "missing section"},
        {"[A\nK=v\n", "A", "K", "v", "a header without ']' still opens its section"},
        {"[A]\nK=tab\tin\tvalue\t\n", "A", "K", "tab\tin\tvalue", "tabs count as blanks at the ends only"},
    };
    for (const IniRow& row : rows) {
        const IniDocument doc = IniDocument::parse(row.content);
        const auto value = doc.value(row.section, row.key);
        if (row.expected) {
            ASSERT_TRUE(value.has_value()) << row.why;
            EXPECT_EQ(*value, row.expected) << row.why;
        } else {
            EXPECT_FALSE(value.has_value()) << row.why;
        }
    }
}

TEST(IniDocumentTest, SettingAValueRewritesOnlyItsLine) {
    IniDocument doc = IniDocument::parse("; header\r\n[USER]\r\nNAME = Ann\r\nMAIL=a@b\r\n\r\n[OTHER]\r\nX=1\r\n");
    ASSERT_TRUE(doc.setValue("user", "name", "Bob").ok());
    ASSERT_TRUE(doc.setValue("USER", "PHONE", "123").ok());
    ASSERT_TRUE(doc.setValue("NEW", "K", "v").ok());
    EXPECT_EQ(doc.serialize(), "; header\r\n[USER]\r\nNAME=Bob\r\nMAIL=a@b\r\nPHONE=123\r\n\r\n[OTHER]\r\nX=1\r\n"
                               "[NEW]\r\nK=v\r\n");
    const IniDocument again = IniDocument::parse(doc.serialize());
    EXPECT_EQ(again.value("USER", "PHONE"), "123");
    EXPECT_EQ(again.value("OTHER", "X"), "1");
}

TEST(IniDocumentTest, RefusesValuesThatDoNotFitOnOneLine) {
    IniDocument doc = IniDocument::parse("[A]\nK=old\n");
    EXPECT_FALSE(doc.setValue("A", "K", "two\nlines").ok());
    EXPECT_FALSE(doc.setValue("A", "K", "cr\rhere").ok());
    EXPECT_FALSE(doc.setValue("A", "K", std::string("nul\0byte", 8)).ok());
    EXPECT_EQ(doc.value("A", "K"), "old");
}

} // namespace
} // namespace quill
