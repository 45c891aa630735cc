#include "platform/NameRules.h"

#include <gtest/gtest.h>

#include <string>

namespace quill {
namespace {

TEST(NameRulesTest, EachFaultOfANameIsToldApart) {
    // A check that let "..x" or a name of exactly the limit fail would
    // refuse good names; one that missed a tab would store a broken line.
    struct Row {
        std::string name;
        NameFault fault;
        std::string said; // part of the message for a folder
    };
    const Row rows[] = {
        {"Offers 2027", NameFault::None, ""},
        {"..x", NameFault::None, ""},
        {std::string(kMaxNameLetters, 'a'), NameFault::None, ""},
        {"", NameFault::Empty, "a folder name cannot be empty"},
        {"../../escape", NameFault::Separator,
         "\"../../escape\" cannot be a folder name: a folder name cannot contain / or \\ or be . or .."},
        {"a\\b", NameFault::Separator, "cannot contain / or \\"},
        {".", NameFault::Separator, "or be . or .."},
        {"..", NameFault::Separator, "or be . or .."},
        {"two\nlines", NameFault::ControlCharacter, "the name cannot be a folder name: a folder name is one line"},
        {"tab\there", NameFault::ControlCharacter, "is one line"},
        {std::string("nul\0x", 5), NameFault::ControlCharacter, "is one line"},
        {std::string(kMaxNameLetters + 1, 'a'), NameFault::TooLong, "has at most 64 letters"},
        {std::string(300, 'a'), NameFault::TooLong, "\"aaaaaaaaaaaaaaaaaaaa...\" cannot be a folder name"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(nameFault(r.name), r.fault) << r.name;
        const Status checked = checkName(r.name, "folder");
        EXPECT_EQ(checked.ok(), r.fault == NameFault::None) << r.name;
        EXPECT_NE(checked.message().find(r.said), std::string::npos) << r.name << ": " << checked.message();
    }
}

} // namespace
} // namespace quill
