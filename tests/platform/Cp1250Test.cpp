#include "platform/Cp1250.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cwctype>
#include <map>
#include <optional>
#include <string>

namespace quill {
namespace {

constexpr unsigned char kUndefined[] = {0x81, 0x83, 0x88, 0x90, 0x98};

bool isUndefined(int byte) {
    for (unsigned char u : kUndefined) {
        if (u == byte)
            return true;
    }
    return false;
}

// Decodes a single UTF-8 sequence that is known to be valid.
char32_t decodeOne(const std::string& utf8) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
    switch (utf8.size()) {
    case 1: return b(0);
    case 2: return (char32_t(b(0) & 0x1F) << 6) | (b(1) & 0x3F);
    case 3: return (char32_t(b(0) & 0x0F) << 12) | (char32_t(b(1) & 0x3F) << 6) | (b(2) & 0x3F);
    default: return 0xFFFFFFFF;
    }
}

// The system's own cp1250 table, one UTF-8 text per defined byte: every
// defined byte is followed by '\n' and iconv decodes the whole file at once.
const std::map<int, std::string>& iconvTable() {
    static const std::map<int, std::string> table = [] {
        test::TempDir dir;
        std::string input;
        for (int b = 0; b < 256; ++b) {
            if (b != '\n' && !isUndefined(b)) {
                input += static_cast<char>(b);
                input += '\n';
            }
        }
        test::writeBytes(dir / "in", input);
        const std::string command = "iconv -f CP1250 -t UTF-8 '" + (dir / "in") + "'";
        FILE* pipe = ::popen(command.c_str(), "r");
        std::string output;
        char buffer[4096];
        std::size_t n;
        while (pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, n);
        if (pipe)
            ::pclose(pipe);
        std::map<int, std::string> result;
        std::size_t pos = 0;
        for (int b = 0; b < 256; ++b) {
            if (b == '\n' || isUndefined(b))
                continue;
            const std::size_t end = output.find('\n', pos);
            if (end == std::string::npos)
                break;
            result[b] = output.substr(pos, end - pos);
            pos = end + 1;
        }
        result['\n'] = "\n";
        return result;
    }();
    return table;
}

TEST(Cp1250Test, DecodesEveryDefinedByteAsIconvDoes) {
    const auto& table = iconvTable();
    ASSERT_EQ(table.size(), 256u - std::size(kUndefined)) << "iconv did not decode every byte";
    for (const auto& [byte, utf8] : table) {
        const std::string one(1, static_cast<char>(byte));
        EXPECT_EQ(cp1250::toUtf8(one), utf8) << "byte 0x" << std::hex << byte;
        EXPECT_EQ(cp1250::fromUtf8(utf8), one) << "byte 0x" << std::hex << byte;
    }
}

TEST(Cp1250Test, EveryByteSurvivesARoundTripThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = cp1250::toUtf8(all);
    EXPECT_EQ(cp1250::fromUtf8(utf8), all);
    // The undefined bytes must still become characters of their own, not '?'.
    for (unsigned char u : kUndefined)
        EXPECT_EQ(cp1250::toUnicode(u), char32_t(u));
}

// What the code page lacks becomes '?'; bytes that are no UTF-8 are taken
// for the code page's own and pass through.
TEST(Cp1250Test, Utf8WithoutACp1250ByteBecomesQuestionMarkAndInvalidUtf8PassesThrough) {
    struct Row {
        std::string utf8, expected, why;
    };
    const Row rows[] = {
        {"日本", "??", "three-byte characters"},
        {"a\xF0\x9F\x98\x80z", "a?z", "a four-byte character is one '?', not four"},
        {"\xC3\xB8", "?", "o with stroke is in cp1252 but not in cp1250"},
        {"\xC5\xBElu\xC5\xA5ou\xC4\x8Dk\xC3\xBD", "\x9Elu\x9Dou\xE8k\xFD", "Czech letters map to their bytes"},
        {"abc\xC3", "abc\xC3", "lead byte cut off at the end"},
        {"\xC3(x", "\xC3(x", "lead byte followed by a non-continuation"},
        {"\xE2\x82", "\xE2\x82", "three-byte sequence cut short"},
        {"\xC0\xAF", "\xC0\xAF", "overlong encoding of '/'"},
        {"\xE0\x80\xAF", "\xE0\x80\xAF", "overlong three-byte encoding"},
        {"\xED\xA0\x80", "\xED\xA0\x80", "surrogate"},
        {"\xF4\x90\x80\x80", "\xF4\x90\x80\x80", "above U+10FFFF"},
        {"\x9A\xE8\xFE", "\x9A\xE8\xFE", "plain cp1250 text that is not UTF-8"},
        {"\x80", "\x80", "stray continuation byte"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(cp1250::fromUtf8(r.utf8), r.expected) << r.why;
}

TEST(Cp1250Test, TheFirstLetterTheCodePageCannotHoldIsNamed) {
    // A check that stopped at the first byte of a sequence would name half
    // a letter; one that ignored held high letters would name "\u017E".
    struct Row {
        std::string utf8;
        std::optional<std::string> letter;
        std::string why;
    };
    const Row rows[] = {
        {"Greek \xCE\xA9", "\xCE\xA9", "omega"},
        {"Russian \xD0\x9F\xD1\x80\xD0\xB8", "\xD0\x9F", "the first of several"},
        {"smile \xF0\x9F\x98\x80!", "\xF0\x9F\x98\x80", "a four-byte letter is named whole"},
        {"\xC5\xBElu\xC5\xA5ou\xC4\x8Dk\xC3\xBD \xE2\x82\xAC", std::nullopt,
         "Czech letters and the euro sign are held"},
        {"\xC3\xB8", "\xC3\xB8", "o with stroke is in cp1252 but not in cp1250"},
        {"a\xC3(\xCE\xA9", "\xCE\xA9", "a byte that is no UTF-8 is skipped, not named"},
        {"", std::nullopt, "nothing typed"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(cp1250::firstUnheldLetter(r.utf8), r.letter) << r.why;
        EXPECT_EQ(cp1250::holds(r.utf8), !r.letter.has_value()) << r.why;
    }
}

TEST(Cp1250Test, UpperMatchesUnicodeCapitalsThatTheCodePageHolds) {
    const auto& table = iconvTable();
    std::map<char32_t, int> byteOf;
    for (const auto& [byte, utf8] : table)
        byteOf[decodeOne(utf8)] = byte;

    const std::string saved = std::setlocale(LC_CTYPE, nullptr);
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    int letters = 0;
    for (const auto& [byte, utf8] : table) {
        const auto cp = static_cast<wint_t>(decodeOne(utf8));
        int expected = byte;
        if (std::iswalpha(cp)) {
            ++letters;
            const auto capital = byteOf.find(static_cast<char32_t>(std::towupper(cp)));
            if (capital != byteOf.end())
                expected = capital->second;
        }
        EXPECT_EQ(int(cp1250::upper(static_cast<unsigned char>(byte))), expected) << "byte 0x" << std::hex << byte;
    }
    std::setlocale(LC_CTYPE, saved.c_str());
    // Guards against a locale without a letter table, where every byte
    // would be expected to stay and the loop above would prove nothing.
    EXPECT_GT(letters, 100);

    for (unsigned char u : kUndefined)
        EXPECT_EQ(cp1250::upper(u), u);
    for (unsigned char keep : {0xDF, 0xB5, 0xF7, 0xFF})
        EXPECT_EQ(cp1250::upper(keep), keep) << "byte 0x" << std::hex << int(keep);
}

TEST(Cp1250Test, ComparesCzechAndPolishTextWithoutRegardToCase) {
    const std::string lower = "\x9Elu\x9Dou\xE8k\xFD k\xF9\xF2";         // žluťoučký kůň
    const std::string capital = "\x8ELU\x8DOU\xC8K\xDD K\xD9\xD2";       // ŽLUŤOUČKÝ KŮŇ
    const std::string polish = "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF";   // ąćęłńóśźż
    const std::string polishUp = "\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF"; // ĄĆĘŁŃÓŚŹŻ

    EXPECT_EQ(cp1250::upper(lower), capital);
    EXPECT_EQ(cp1250::upper(polish), polishUp);
    EXPECT_TRUE(cp1250::equalsNoCase(lower, capital));
    EXPECT_TRUE(cp1250::equalsNoCase(polish, polishUp));
    EXPECT_FALSE(cp1250::equalsNoCase(lower, capital + " "));
    // Same letter without the caron: case folding must not drop diacritics.
    EXPECT_FALSE(cp1250::equalsNoCase("\x9Elu", "ZLU"));

    EXPECT_EQ(cp1250::findNoCase("Vid\xECl " + lower, "\xC8K\xDD"), 12u);
    EXPECT_EQ(cp1250::findNoCase(lower + lower, "\x8ELU", 1), 13u) << "search starts at from";
    EXPECT_EQ(cp1250::findNoCase(lower, "CK"), std::string::npos) << "\xE8 is not c";
    EXPECT_EQ(cp1250::findNoCase(capital, lower), 0u) << "needle as long as the haystack";
    EXPECT_EQ(cp1250::findNoCase("x" + lower, "K\xD9\xD2"), 11u) << "match at the very end";
    EXPECT_EQ(cp1250::findNoCase("ab", "abc"), std::string::npos);
    EXPECT_EQ(cp1250::findNoCase("abc", ""), 0u);

    EXPECT_TRUE(cp1250::startsWithNoCase(capital, "\x9Elu\x9D"));
    EXPECT_FALSE(cp1250::startsWithNoCase("\x9Elu", "\x8ELU\x8D"));
    EXPECT_TRUE(cp1250::endsWithNoCase(polish, "\x8C\x8F\xAF"));
    EXPECT_FALSE(cp1250::endsWithNoCase("\xBF", "\xAF\xAF"));
}

} // namespace
} // namespace quill
