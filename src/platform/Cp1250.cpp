#include "platform/Cp1250.h"

#include <array>

namespace quill::cp1250 {
namespace {

// Code points of the bytes 0x80 to 0xFF. The five undefined bytes carry
// their own value (a C1 control), see toUnicode.
// clang-format off
constexpr std::array<char32_t, 128> kHighHalf = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};
// clang-format on

constexpr std::array<unsigned char, 256> makeUpperTable() {
    std::array<unsigned char, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<unsigned char>(i);
    for (int c = 'a'; c <= 'z'; ++c)
        table[c] = static_cast<unsigned char>(c - 32);
    // Small letters of the high half and their capitals.
    table[0x9A] = 0x8A; // s caron
    table[0x9C] = 0x8C; // s acute
    table[0x9D] = 0x8D; // t caron
    table[0x9E] = 0x8E; // z caron
    table[0x9F] = 0x8F; // z acute
    table[0xB3] = 0xA3; // l stroke
    table[0xB9] = 0xA5; // a ogonek
    table[0xBA] = 0xAA; // s cedilla
    table[0xBE] = 0xBC; // l caron
    table[0xBF] = 0xAF; // z dot above
    for (int c = 0xE0; c <= 0xFE; ++c) {
        if (c != 0xF7) // the division sign has no case
            table[c] = static_cast<unsigned char>(c - 0x20);
    }
    return table;
}

constexpr std::array<unsigned char, 256> kUpper = makeUpperTable();

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at text[i]; returns its length, or 0 when the
// bytes there are not a valid, shortest-form sequence.
std::size_t decodeUtf8(std::string_view text, std::size_t i, char32_t& cp) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

// How many bytes at the start are ASCII.
std::size_t asciiPrefix(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80)
        ++i;
    return i;
}

} // namespace

char32_t toUnicode(unsigned char byte) {
    return byte < 0x80 ? byte : kHighHalf[byte - 0x80];
}

std::optional<unsigned char> fromUnicode(char32_t codePoint) {
    if (codePoint < 0x80)
        return static_cast<unsigned char>(codePoint);
    for (std::size_t i = 0; i < kHighHalf.size(); ++i) {
        if (kHighHalf[i] == codePoint)
            return static_cast<unsigned char>(0x80 + i);
    }
    return std::nullopt;
}

std::string toUtf8(std::string_view text) {
    // Names and paths are mostly ASCII, which both spell alike: that part
    // is copied whole.
    const std::size_t ascii = asciiPrefix(text);
    std::string out(text.substr(0, ascii));
    if (ascii == text.size())
        return out;
    out.reserve(text.size() + (text.size() - ascii) * 2);
    for (char c : text.substr(ascii))
        appendUtf8(out, toUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::string fromUtf8(std::string_view utf8) {
    return fromUtf8(utf8, [](char32_t) { return std::string("?"); });
}

std::string fromUtf8(std::string_view utf8, std::string (*unheld)(char32_t codePoint)) {
    std::size_t i = asciiPrefix(utf8);
    std::string out(utf8.substr(0, i));
    if (i == utf8.size())
        return out;
    out.reserve(utf8.size());
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            ++i;
            continue;
        }
        char32_t cp = 0;
        const std::size_t length = decodeUtf8(utf8, i, cp);
        if (length == 0) {
            out += static_cast<char>(lead);
            ++i;
            continue;
        }
        const auto byte = fromUnicode(cp);
        if (byte)
            out += static_cast<char>(*byte);
        else
            out += unheld(cp);
        i += length;
    }
    return out;
}

std::optional<std::string> firstUnheldLetter(std::string_view utf8) {
    std::size_t i = 0;
    while (i < utf8.size()) {
        if (static_cast<unsigned char>(utf8[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t cp = 0;
        const std::size_t length = decodeUtf8(utf8, i, cp);
        if (length == 0) {
            ++i; // a byte that is no UTF-8 is taken as it is
            continue;
        }
        if (!fromUnicode(cp))
            return std::string(utf8.substr(i, length));
        i += length;
    }
    return std::nullopt;
}

bool holds(std::string_view utf8) {
    return !firstUnheldLetter(utf8);
}

unsigned char upper(unsigned char byte) {
    return kUpper[byte];
}

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(kUpper[static_cast<unsigned char>(c)]);
    return out;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (kUpper[static_cast<unsigned char>(a[i])] != kUpper[static_cast<unsigned char>(b[i])])
            return false;
    }
    return true;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

bool endsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && equalsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

std::size_t findNoCase(std::string_view haystack, std::string_view needle, std::size_t from) {
    if (needle.size() > haystack.size())
        return std::string_view::npos;
    for (std::size_t i = from; i + needle.size() <= haystack.size(); ++i) {
        if (equalsNoCase(haystack.substr(i, needle.size()), needle))
            return i;
    }
    return std::string_view::npos;
}

} // namespace quill::cp1250
