#include "platform/DateTimeFormat.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace quill {
namespace {

TEST(DateTimeFormatTest, FormatsAndReadsBack) {
    struct Row {
        std::string pattern;
        LocalDateTime value;
        std::string expected;
    };
    const LocalDateTime afternoon{2026, 3, 7, 14, 5, 9, 42};
    const LocalDateTime morning{2026, 11, 23, 9, 45, 0, 0};
    const LocalDateTime midnight{2024, 2, 29, 0, 30, 59, 0};
    const LocalDateTime noon{2026, 1, 1, 12, 0, 1, 0};
    const Row rows[] = {
        {"d.M.yyyy", afternoon, "7.3.2026"},
        {"d.M.yyyy", morning, "23.11.2026"},
        {"dd.MM.yyyy", afternoon, "07.03.2026"},
        {"dd.MM.yy", afternoon, "07.03.26"},
        {"H:mm:ss", afternoon, "14:05:09"},
        {"H:mm:ss", morning, "9:45:00"},
        {"HH:mm:ss", morning, "09:45:00"},
        {"HH:mm:ss.zzz", afternoon, "14:05:09.042"},
        {"h:mm AP", afternoon, "2:05 PM"},
        {"h:mm AP", midnight, "12:30 AM"},
        {"h:mm AP", noon, "12:00 PM"},
        {"hh:mm ap", morning, "09:45 am"},
        {"yyyy-MM-ddTHH:mm:ss", midnight, "2024-02-29T00:30:59"},
        {"dd.MM.yyyy 'at' HH:mm", afternoon, "07.03.2026 at 14:05"},
        {"'day' d 'of' yyyy", morning, "day 23 of 2026"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(formatDateTime(r.value, r.pattern), r.expected) << r.pattern;
        // Comparing text rather than values: fields the pattern lacks read
        // back as defaults, and each row would need its own expected value.
        const auto parsed = parseDateTime(r.expected, r.pattern);
        ASSERT_TRUE(parsed) << r.pattern << " / " << r.expected;
        EXPECT_EQ(formatDateTime(*parsed, r.pattern), r.expected) << r.pattern;
    }
}

TEST(DateTimeFormatTest, ParsedFieldsLandWhereThePatternPutsThem) {
    EXPECT_EQ(parseDateTime("2024-02-29T00:30:59", "yyyy-MM-ddTHH:mm:ss"), (LocalDateTime{2024, 2, 29, 0, 30, 59, 0}));
    EXPECT_EQ(parseDateTime("2:05 PM", "h:mm AP"), (LocalDateTime{1970, 1, 1, 14, 5, 0, 0}));
    EXPECT_EQ(parseDateTime("12:05 AM", "h:mm AP"), (LocalDateTime{1970, 1, 1, 0, 5, 0, 0}));
    EXPECT_EQ(parseDateTime("3.12.2025", "d.M.yyyy"), (LocalDateTime{2025, 12, 3, 0, 0, 0, 0}));
    EXPECT_EQ(parseDateTime("9:05:07", "H:mm:ss"), (LocalDateTime{1970, 1, 1, 9, 5, 7, 0}));
}

TEST(DateTimeFormatTest, ATimeIsReadInTheMachinesFormatOrAsHoursAndMinutes) {
    const DateTimeFormats german;
    DateTimeFormats american;
    american.longTime = "h:mm:ss AP";
    const struct {
        const DateTimeFormats& formats;
        std::string text;
        std::optional<LocalDateTime> expected;
        const char* why;
    } rows[] = {
        {german, "9:05:07", LocalDateTime{1970, 1, 1, 9, 5, 7, 0}, "the machine's long time format"},
        {german, "9:05", LocalDateTime{1970, 1, 1, 9, 5, 0, 0}, "hours and minutes typed by hand"},
        {german, "23:59", LocalDateTime{1970, 1, 1, 23, 59, 0, 0}, "the last minute of the day"},
        {american, "2:05:07 PM", LocalDateTime{1970, 1, 1, 14, 5, 7, 0}, "another machine's format"},
        {american, "14:05", LocalDateTime{1970, 1, 1, 14, 5, 0, 0}, "hours and minutes whatever the format"},
        {german, "24:00", std::nullopt, "no such hour"},
        {german, "9:60", std::nullopt, "no such minute"},
        {german, "9", std::nullopt, "minutes are needed"},
        {german, "", std::nullopt, "nothing is no time"},
        {german, "9:05 Uhr", std::nullopt, "text after the time"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(parseTime(row.text, row.formats), row.expected) << row.why;
}

TEST(DateTimeFormatTest, RejectsImpossibleDatesAndTextThatDoesNotFit) {
    struct Row {
        std::string text, pattern, why;
    };
    const Row rows[] = {
        {"31.2.2026", "d.M.yyyy", "February has no 31st"},
        {"29.2.2025", "d.M.yyyy", "2025 is no leap year"},
        {"29.2.1900", "d.M.yyyy", "centuries are no leap years"},
        {"31.4.2026", "d.M.yyyy", "April has 30 days"},
        {"0.3.2026", "d.M.yyyy", "day zero"},
        {"7.13.2026", "d.M.yyyy", "month 13"},
        {"24:00:00", "H:mm:ss", "hour 24"},
        {"12:60:00", "H:mm:ss", "minute 60"},
        {"12:00:60", "H:mm:ss", "second 60"},
        {"13:00 PM", "h:mm AP", "13 on a twelve-hour clock"},
        {"0:30 AM", "h:mm AP", "0 on a twelve-hour clock"},
        {"2:05 XM", "h:mm AP", "no AM/PM marker"},
        {"7.3.2026x", "d.M.yyyy", "trailing garbage"},
        {"7.3.2026 ", "d.M.yyyy", "trailing blank"},
        {"7.3.", "d.M.yyyy", "year missing"},
        {"7.3.26", "d.M.yyyy", "two digits where four are asked for"},
        {"7-3-2026", "d.M.yyyy", "wrong separator"},
        {"123.3.2026", "d.M.yyyy", "three-digit day"},
        {"", "d.M.yyyy", "empty"},
        {"07.03.2026 on 14:05", "dd.MM.yyyy 'at' HH:mm", "quoted literal differs"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(parseDateTime(r.text, r.pattern), std::nullopt) << r.why;

    EXPECT_TRUE(parseDateTime("29.2.2024", "d.M.yyyy"));
    EXPECT_TRUE(parseDateTime("29.2.2000", "d.M.yyyy"));
    EXPECT_TRUE(parseDateTime("23:59:59", "H:mm:ss"));
}

} // namespace
} // namespace quill
