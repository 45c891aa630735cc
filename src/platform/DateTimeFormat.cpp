#include "platform/DateTimeFormat.h"

#include <cctype>

namespace quill {
namespace {

// Length of the run of equal pattern letters starting at i.
std::size_t runLength(std::string_view pattern, std::size_t i) {
    std::size_t n = 1;
    while (i + n < pattern.size() && pattern[i + n] == pattern[i])
        ++n;
    return n;
}

std::string padded(int value, std::size_t width) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    while (digits.size() < width)
        digits.insert(digits.begin(), '0');
    return digits;
}

bool isLeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeapYear(y) ? 29 : days[m - 1];
}

bool readNumber(std::string_view text, std::size_t& pos, std::size_t minDigits, std::size_t maxDigits, int& out) {
    std::size_t n = 0;
    int value = 0;
    while (pos + n < text.size() && n < maxDigits && std::isdigit(static_cast<unsigned char>(text[pos + n]))) {
        value = value * 10 + (text[pos + n] - '0');
        ++n;
    }
    if (n < minDigits)
        return false;
    pos += n;
    out = value;
    return true;
}

} // namespace

std::string formatDateTime(const LocalDateTime& v, std::string_view pattern) {
    std::string out;
    const bool twelveHour =
        pattern.find("AP") != std::string_view::npos || pattern.find("ap") != std::string_view::npos;
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        if (c == '\'') {
            const std::size_t end = pattern.find('\'', i + 1);
            out += pattern.substr(i + 1, (end == std::string_view::npos ? pattern.size() : end) - i - 1);
            i = end == std::string_view::npos ? pattern.size() : end + 1;
            continue;
        }
        const std::size_t n = runLength(pattern, i);
        switch (c) {
        case 'd': out += padded(v.day, n >= 2 ? 2 : 1); break;
        case 'M': out += padded(v.month, n >= 2 ? 2 : 1); break;
        case 'y': out += n >= 4 ? padded(v.year, 4) : padded(v.year % 100, 2); break;
        case 'H': out += padded(v.hour, n >= 2 ? 2 : 1); break;
        case 'h': {
            int h = v.hour;
            if (twelveHour) {
                h %= 12;
                if (h == 0)
                    h = 12;
            }
            out += padded(h, n >= 2 ? 2 : 1);
            break;
        }
        case 'm': out += padded(v.minute, n >= 2 ? 2 : 1); break;
        case 's': out += padded(v.second, n >= 2 ? 2 : 1); break;
        case 'z': out += padded(v.millisecond, n >= 3 ? 3 : 1); break;
        case 'A':
        case 'a':
            if (i + 1 < pattern.size() && (pattern[i + 1] == 'P' || pattern[i + 1] == 'p')) {
                out += v.hour < 12 ? (c == 'A' ? "AM" : "am") : (c == 'A' ? "PM" : "pm");
                i += 2;
                continue;
            }
            out.append(n, c);
            break;
        default: out.append(n, c); break;
        }
        i += n;
    }
    return out;
}

std::optional<LocalDateTime> parseDateTime(std::string_view text, std::string_view pattern) {
    LocalDateTime v;
    std::size_t pos = 0;
    bool pm = false;
    bool hasAmPm = false;
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        if (c == '\'') {
            const std::size_t end = pattern.find('\'', i + 1);
            const std::string_view literal =
                pattern.substr(i + 1, (end == std::string_view::npos ? pattern.size() : end) - i - 1);
            if (text.substr(pos, literal.size()) != literal)
                return std::nullopt;
            pos += literal.size();
            i = end == std::string_view::npos ? pattern.size() : end + 1;
            continue;
        }
        const std::size_t n = runLength(pattern, i);
        bool ok = true;
        switch (c) {
        case 'd': ok = readNumber(text, pos, n >= 2 ? 2 : 1, 2, v.day); break;
        case 'M': ok = readNumber(text, pos, n >= 2 ? 2 : 1, 2, v.month); break;
        case 'y':
            if (n >= 4) {
                ok = readNumber(text, pos, 4, 4, v.year);
            } else {
                ok = readNumber(text, pos, 2, 2, v.year);
                v.year += 2000;
            }
            break;
        case 'H':
        case 'h': ok = readNumber(text, pos, n >= 2 ? 2 : 1, 2, v.hour); break;
        case 'm': ok = readNumber(text, pos, n >= 2 ? 2 : 1, 2, v.minute); break;
        case 's': ok = readNumber(text, pos, n >= 2 ? 2 : 1, 2, v.second); break;
        case 'z': ok = readNumber(text, pos, 1, 3, v.millisecond); break;
        case 'A':
        case 'a':
            if (i + 1 < pattern.size() && (pattern[i + 1] == 'P' || pattern[i + 1] == 'p')) {
                const std::string_view marker = text.substr(pos, 2);
                if (marker == "AM" || marker == "am") {
                    pm = false;
                } else if (marker == "PM" || marker == "pm") {
                    pm = true;
                } else {
                    return std::nullopt;
                }
                hasAmPm = true;
                pos += 2;
                i += 2;
                continue;
            }
            [[fallthrough]];
        default:
            for (std::size_t k = 0; k < n; ++k) {
                if (pos >= text.size() || text[pos] != c)
                    return std::nullopt;
                ++pos;
            }
            break;
        }
        if (!ok)
            return std::nullopt;
        i += n;
    }
    if (pos != text.size())
        return std::nullopt;
    if (hasAmPm) {
        if (v.hour < 1 || v.hour > 12)
            return std::nullopt;
        v.hour = v.hour % 12 + (pm ? 12 : 0);
    }
    if (v.month < 1 || v.month > 12 || v.day < 1 || v.day > daysInMonth(v.year, v.month) || v.hour > 23 ||
        v.minute > 59 || v.second > 59)
        return std::nullopt;
    return v;
}

std::optional<LocalDateTime> parseTime(std::string_view text, const DateTimeFormats& formats) {
    if (auto time = parseDateTime(text, formats.longTime))
        return time;
    return parseDateTime(text, "H:mm");
}

} // namespace quill
