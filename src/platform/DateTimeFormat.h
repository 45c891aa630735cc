#pragma once

#include "platform/Clock.h"

#include <optional>
#include <string>
#include <string_view>

namespace quill {

// The machine's short date and long time formats. Patterns use d, dd, M,
// MM, yy, yyyy, H, HH, h, hh, m, mm, s, ss, z/zzz (milliseconds) and
// AP/ap; any other character stands for itself and text in single quotes
// is literal.
struct DateTimeFormats {
    std::string shortDate = "d.M.yyyy";
    std::string longTime = "H:mm:ss";
};

std::string formatDateTime(const LocalDateTime& value, std::string_view pattern);

inline std::string formatDate(const LocalDateTime& value, const DateTimeFormats& formats) {
    return formatDateTime(value, formats.shortDate);
}
inline std::string formatTime(const LocalDateTime& value, const DateTimeFormats& formats) {
    return formatDateTime(value, formats.longTime);
}

// Reads a text written with pattern. Fields the pattern lacks keep the
// values of LocalDateTime's defaults. nullopt when the text does not fit
// the pattern or names an impossible date or time.
std::optional<LocalDateTime> parseDateTime(std::string_view text, std::string_view pattern);

// A time in the machine's long time format, or as hours and minutes alone
// ("9:30"), as people type it and as records written elsewhere hold it.
std::optional<LocalDateTime> parseTime(std::string_view text, const DateTimeFormats& formats);

} // namespace quill
