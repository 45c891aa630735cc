#include "session/TaskCalendar.h"

#include "platform/Cp1250.h"
#include "platform/DateTimeFormat.h"
#include "platform/Paths.h"
#include "session/TaskSets.h"

#include <cstdint>

namespace quill {

namespace {

constexpr std::size_t kMaxLineOctets = 75;

// TEXT values: backslash, semicolon, comma and line breaks escaped.
std::string escaped(std::string_view utf8) {
    std::string out;
    for (char c : utf8) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case ';': out += "\\;"; break;
        case ',': out += "\\,"; break;
        case '\n': out += "\\n"; break;
        case '\r': break;
        default: out += c;
        }
    }
    return out;
}

// A content line, folded so that no line is longer than 75 octets and no
// UTF-8 sequence is cut.
void addLine(std::string& out, const std::string& line) {
    std::size_t start = 0;
    std::size_t limit = kMaxLineOctets;
    while (line.size() - start > limit) {
        std::size_t cut = start + limit;
        while (cut > start && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut;
        out.append(line, start, cut - start);
        out += "\r\n ";
        start = cut;
        limit = kMaxLineOctets - 1; // the folding blank counts
    }
    out.append(line, start, std::string::npos);
    out += "\r\n";
}

std::string text(std::string_view cp1250Text) {
    return escaped(cp1250::toUtf8(cp1250Text));
}

// FNV-1a of the path: the same task keeps its UID from one export to the next.
std::string uidOf(std::string_view path) {
    std::uint64_t hash = 1469598103934665603ULL;
    for (unsigned char c : cp1250::upper(path)) {
        hash ^= c;
        hash *= 1099511628211ULL;
    }
    static constexpr char digits[] = "0123456789abcdef";
    std::string uid;
    for (int shift = 60; shift >= 0; shift -= 4)
        uid += digits[(hash >> shift) & 0xF];
    return uid + "@quill";
}

} // namespace

std::string tasksAsICalendar(const std::vector<const ScheduleEntry*>& tasks, const LocalDateTime& stamp) {
    std::string out;
    addLine(out, "BEGIN:VCALENDAR");
    addLine(out, "VERSION:2.0");
    addLine(out, "PRODID:-//Quill!//Tasks and reminders//EN");
    addLine(out, "CALSCALE:GREGORIAN");
    const std::string made = formatDateTime(universalTimeOf(stamp), "yyyyMMdd'T'HHmmss") + "Z";
    for (const ScheduleEntry* entry : tasks) {
        const ScheduleEntry& task = *entry;
        addLine(out, "BEGIN:VEVENT");
        addLine(out, "UID:" + uidOf(task.documentPath));
        addLine(out, "DTSTAMP:" + made);
        // Floating local time: the event is at that hour wherever it is read.
        addLine(out, "DTSTART:" + formatDateTime(task.eventTime, "yyyyMMdd'T'HHmmss"));
        addLine(out, "SUMMARY:" + text(task.name.empty() ? path::fileName(task.documentPath) : task.name));
        addLine(out, "DESCRIPTION:" + text(task.owner + "\n" + task.team + "\n" + task.documentPath));
        addLine(out, "LOCATION:" + text(path::directory(task.documentPath)));
        if (isOpenTask(task)) {
            const std::int64_t minutes =
                (wallClockMilliseconds(task.eventTime) - wallClockMilliseconds(task.reminderTime)) / 60'000;
            addLine(out, "BEGIN:VALARM");
            addLine(out, "ACTION:DISPLAY");
            addLine(out, "DESCRIPTION:" + text(task.name));
            addLine(out, "TRIGGER:-PT" + std::to_string(minutes) + "M");
            addLine(out, "END:VALARM");
        }
        addLine(out, "END:VEVENT");
    }
    addLine(out, "END:VCALENDAR");
    return out;
}

} // namespace quill
