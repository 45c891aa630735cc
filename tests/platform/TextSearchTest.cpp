// The find's matching: in any case of the code page's letters, across the
// blocks a file is read in, and only in regular files.
#include "platform/TextSearch.h"
#include "platform/Cp1250.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>

namespace quill {
namespace {

constexpr std::size_t kBlock = 256 * 1024; // as the search reads

TEST(TextSearchTest, FileContains) {
    test::TempDir dir;
    const std::string filler(kBlock, 'x');
    const struct {
        const char* what;
        std::string content;
        std::string text;
        bool expected;
    } cases[] = {
        {"at the start", "toner and paper", "TONER", true},
        {"at the very end", "paper and toner", "toner", true},
        {"a letter of the code page in another case", cp1250::fromUtf8("žluté toner"), cp1250::fromUtf8("ŽLUTÉ"), true},
        {"across two blocks", filler.substr(3) + "toner", "toner", true},
        {"ending a full block", filler.substr(5) + "toner", "toner", true},
        {"first in the second block", filler + "toner", "toner", true},
        {"far into a large file", filler + filler + filler + "\r\nTONER", "toner", true},
        {"only its start at the end", filler.substr(4) + "tone", "toner", false},
        {"split by a line break", "buy ton\r\ner", "toner", false},
        {"a text with a line break", "buy ton\r\ner", "ton\r\ner", false},
        {"an empty file", "", "toner", false},
        {"an empty text", "toner", "", false},
    };
    for (const auto& c : cases) {
        const std::string file = dir / "File.note";
        test::writeBytes(file, c.content);
        TextSearch search(c.text);
        EXPECT_EQ(search.fileContains(file), c.expected) << c.what;
        EXPECT_EQ(search.fileContains(file), c.expected) << c.what << ", read again with the same buffer";
    }
}

TEST(TextSearchTest, WhatIsNoFileHoldsNothing) {
    test::TempDir dir;
    test::writeBytes(dir / "Offer.note", "toner");
    ASSERT_EQ(::mkdir((dir / "toner").c_str(), 0755), 0);
    ASSERT_EQ(::mkfifo((dir / "Pipe.note").c_str(), 0644), 0);
    ASSERT_EQ(::symlink((dir / "Offer.note").c_str(), (dir / "Link.note").c_str()), 0);
    TextSearch search("toner");
    const struct {
        std::string path;
        bool expected;
    } cases[] = {
        {dir / "Offer.note", true},    {dir / "OFFER.NOTE", true}, // spelt in another case, as shared data may
        {dir / "toner", false},                                    // a directory
        {dir / "Pipe.note", false},                                // a named pipe is not waited on
        {dir / "Link.note", false},                                // links are not followed
        {dir / "Missing.note", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(search.fileContains(c.path), c.expected) << c.path;
}

TEST(TextSearchTest, FindAgreesWithAPlainSearch) {
    // Texts made of a few letters in both cases, so that near matches and
    // repeats are many: every skip the search takes must be safe.
    const std::string letters = cp1250::fromUtf8("aAbBšŠ ");
    std::mt19937 random(7);
    const auto draw = [&](std::size_t length) {
        std::string text;
        for (std::size_t i = 0; i < length; ++i)
            text += letters[random() % letters.size()];
        return text;
    };
    for (int round = 0; round < 3000; ++round) {
        const std::string needle = draw(1 + random() % 5);
        const std::string haystack = draw(random() % 40);
        const TextSearch search(needle);
        const std::size_t expected = needle.empty() ? std::string::npos : cp1250::findNoCase(haystack, needle);
        ASSERT_EQ(search.find(haystack), expected) << '"' << needle << "\" in \"" << haystack << '"';
    }
}

} // namespace
} // namespace quill
