#pragma once

#include <string>
#include <string_view>

// The byte-wise Vigenere cipher of enciphered record fields and the stored
// password. Its output is shared with every other copy of the program
// through the data point, so the bytes must not change.
namespace quill::cipher {

// The key every enciphered field and the stored password use.
inline constexpr std::string_view kFieldKey = "R28T";

// Adds the key bytes (cycling) modulo 256. The result ends before the first
// zero byte the addition produces.
std::string encipher(std::string_view key, std::string_view text);
std::string decipher(std::string_view key, std::string_view text);

// True when the enciphered form of text can be stored on one line of a
// record file and read back unchanged: no zero byte cut it short and it
// holds no line break.
bool isStorable(std::string_view key, std::string_view text);

} // namespace quill::cipher
