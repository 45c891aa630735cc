#include "formats/FieldCipher.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values)
        out += static_cast<char>(v);
    return out;
}

TEST(FieldCipherTest, AddsTheKeyBytewiseModulo256) {
    struct Row {
        std::string key, text, enciphered;
        const char* why;
    } rows[] = {
        {"R28T", "admin", bytes({0xB3, 0x96, 0xA5, 0xBD, 0xC0}), "key restarts at its first byte after four"},
        {"R28T", "", "", "empty text stays empty"},
        {"", "plain", "plain", "empty key leaves the text"},
        {"R28T", bytes({0xFF, 0xFF}), bytes({0x51, 0x31}), "sums wrap around at 256"},
        {"A", "AAA", bytes({0x82, 0x82, 0x82}), "one-byte key applies to every byte"},
        {"R28T", bytes({0x2E, 0x01}), bytes({0x80, 0x33}), "no chaining between bytes"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(cipher::encipher(row.key, row.text), row.enciphered) << row.why;
        EXPECT_EQ(cipher::decipher(row.key, row.enciphered), row.text) << row.why;
    }
}

TEST(FieldCipherTest, AZeroByteCutsTheResult) {
    // 'R' + 0xAE = 0x100: the third byte would be zero, so only two remain.
    const std::string text = bytes({'a', 'b', 0xC8 /* 0xC8 + '8' = 0x100 */, 'c'});
    EXPECT_EQ(cipher::encipher("R28T", text).size(), 2u);
    EXPECT_FALSE(cipher::isStorable("R28T", text));
    // Deciphering a text that was never enciphered gives bytes, not an error.
    EXPECT_EQ(cipher::decipher("R28T", "R28T"), "");
    EXPECT_EQ(cipher::decipher("R28T", "S39U"), bytes({1, 1, 1, 1}));
}

TEST(FieldCipherTest, StorableOnlyWithoutLineBreaksOrLoss) {
    EXPECT_TRUE(cipher::isStorable("R28T", "admin"));
    EXPECT_TRUE(cipher::isStorable("R28T", ""));
    // 0x0A - 'R' wraps to 0xB8: enciphers to a line feed.
    EXPECT_FALSE(cipher::isStorable("R28T", bytes({0xB8})));
    EXPECT_FALSE(cipher::isStorable("R28T", bytes({0xBB}))); // carriage return
    EXPECT_FALSE(cipher::isStorable("R28T", bytes({'x', 0})));
}

} // namespace
} // namespace quill
