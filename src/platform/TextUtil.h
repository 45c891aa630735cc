#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill::text {

// Drops blanks and tabs at both ends.
std::string_view trim(std::string_view s);

// Splits at CR, LF or CR LF. A final line break does not start another line.
// At most maxLines lines are split off; the rest is not looked at.
std::vector<std::string_view> splitLines(std::string_view s, std::size_t maxLines = SIZE_MAX);

// A whole decimal number with an optional sign and no other characters.
std::optional<long long> parseInteger(std::string_view s);

bool containsLineBreak(std::string_view s);

// Booleans as records and settings write them: "TRUE" in any case is true,
// anything else false; written back as "TRUE" or "FALSE".
bool isTrue(std::string_view value);
const char* flag(bool value);

// The value of a hexadecimal digit in either case; -1 for anything else.
int hexDigitValue(char c);

// "%XX" escapes turned into their bytes; a '%' without two hexadecimal
// digits after it stays as it is. plusAsSpace: '+' stands for a blank, as
// in posted forms.
std::string percentDecode(std::string_view text, bool plusAsSpace = false);

} // namespace quill::text
