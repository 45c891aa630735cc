#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Every text inside the library is a string of code page 1250 bytes; these
// helpers convert at the terminal and window boundaries and give the
// letter-case rules of that code page (the C locale knows only ASCII).
namespace quill::cp1250 {

// The Unicode code point of a byte. Bytes the code page leaves undefined
// map to the C1 control with the same number, so that every byte survives
// a round trip through UTF-8.
char32_t toUnicode(unsigned char byte);

// The byte for a code point, if the code page has one.
std::optional<unsigned char> fromUnicode(char32_t codePoint);

std::string toUtf8(std::string_view text);

// Code points the code page cannot hold become '?'. Bytes that are not
// valid UTF-8 are taken as code page 1250 bytes as they are.
std::string fromUtf8(std::string_view utf8);

// The same, with each code point the code page cannot hold replaced by
// what unheld makes of it.
std::string fromUtf8(std::string_view utf8, std::string (*unheld)(char32_t codePoint));

// The first letter of a UTF-8 text that the code page cannot hold, as
// UTF-8, so that a refusal can name it; nothing when fromUtf8 keeps every
// letter.
std::optional<std::string> firstUnheldLetter(std::string_view utf8);

// Whether fromUtf8 keeps every letter of a UTF-8 text, so that the text
// comes back unchanged from toUtf8.
bool holds(std::string_view utf8);

unsigned char upper(unsigned char byte);
std::string upper(std::string_view text);

bool equalsNoCase(std::string_view a, std::string_view b);
bool startsWithNoCase(std::string_view text, std::string_view prefix);
bool endsWithNoCase(std::string_view text, std::string_view suffix);

// Position of the first occurrence of needle at or after from, compared
// without regard to case; npos when there is none.
std::size_t findNoCase(std::string_view haystack, std::string_view needle, std::size_t from = 0);

} // namespace quill::cp1250
