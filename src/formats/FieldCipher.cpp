#include "formats/FieldCipher.h"

namespace quill::cipher {
namespace {

std::string apply(std::string_view key, std::string_view text, int direction) {
    if (key.empty() || text.empty())
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int t = static_cast<unsigned char>(text[i]);
        const int k = static_cast<unsigned char>(key[i % key.size()]);
        const auto b = static_cast<unsigned char>((t + direction * k + 256) % 256);
        if (b == 0)
            break; // the result is a zero-terminated string
        out += static_cast<char>(b);
    }
    return out;
}

} // namespace

std::string encipher(std::string_view key, std::string_view text) {
    return apply(key, text, +1);
}

std::string decipher(std::string_view key, std::string_view text) {
    return apply(key, text, -1);
}

bool isStorable(std::string_view key, std::string_view text) {
    const std::string enciphered = encipher(key, text);
    return enciphered.size() == text.size() && enciphered.find_first_of("\r\n") == std::string::npos &&
           decipher(key, enciphered) == text;
}

} // namespace quill::cipher
