#include "platform/TextUtil.h"

#include "platform/Cp1250.h"

#include <charconv>

namespace quill::text {

bool isTrue(std::string_view value) {
    return cp1250::equalsNoCase(value, "TRUE");
}

const char* flag(bool value) {
    return value ? "TRUE" : "FALSE";
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> splitLines(std::string_view s, std::size_t maxLines) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < s.size() && lines.size() < maxLines; ++i) {
        if (s[i] == '\r' || s[i] == '\n') {
            lines.push_back(s.substr(start, i - start));
            if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < s.size() && lines.size() < maxLines)
        lines.push_back(s.substr(start));
    return lines;
}

std::optional<long long> parseInteger(std::string_view s) {
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    long long value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

std::string percentDecode(std::string_view text, bool plusAsSpace) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const int high = c == '%' && i + 2 < text.size() ? hexDigitValue(text[i + 1]) : -1;
        const int low = high >= 0 ? hexDigitValue(text[i + 2]) : -1;
        if (low >= 0) {
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            out += plusAsSpace && c == '+' ? ' ' : c;
        }
    }
    return out;
}

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool containsLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace quill::text
