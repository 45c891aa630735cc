#include "platform/TextUtil.h"

#include <gtest/gtest.h>

#include <string>

namespace quill {
namespace {

TEST(TextUtilTest, FlagsAreTrueOnlyWhenTheySayTrue) {
    const struct {
        std::string value;
        bool expected;
    } rows[] = {
        {"TRUE", true},   {"true", true},   {"True", true}, {"FALSE", false}, {"", false},    {" TRUE", false},
        {"TRUE ", false}, {"TRUEX", false}, {"1", false},   {"YES", false},   {"TRU", false}, {"PARROR", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(text::isTrue(row.value), row.expected) << '"' << row.value << '"';
        // What is written reads back as what it was.
        EXPECT_EQ(text::isTrue(text::flag(row.expected)), row.expected);
    }
    EXPECT_STREQ(text::flag(true), "TRUE");
    EXPECT_STREQ(text::flag(false), "FALSE");
}

} // namespace
} // namespace quill
