#include "platform/Clock.h"

#include <ctime>
#include <thread>

namespace quill {

LocalDateTime localTimeOf(std::int64_t ms) {
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    LocalDateTime t;
    t.year = local.tm_year + 1900;
    t.month = local.tm_mon + 1;
    t.day = local.tm_mday;
    t.hour = local.tm_hour;
    t.minute = local.tm_min;
    t.second = local.tm_sec;
    t.millisecond = static_cast<int>(ms % 1000);
    return t;
}

LocalDateTime addDays(const LocalDateTime& value, int days) {
    using namespace std::chrono;
    const year_month_day date =
        sys_days(year(value.year) / month(value.month) / day(value.day)) + std::chrono::days(days);
    LocalDateTime moved = value;
    moved.year = int(date.year());
    moved.month = int(unsigned(date.month()));
    moved.day = int(unsigned(date.day()));
    return moved;
}

std::int64_t wallClockMilliseconds(const LocalDateTime& value) {
    using namespace std::chrono;
    const sys_days day = year(value.year) / month(value.month) / std::chrono::day(value.day);
    const auto time =
        hours(value.hour) + minutes(value.minute) + seconds(value.second) + milliseconds(value.millisecond);
    return duration_cast<milliseconds>(day.time_since_epoch() + time).count();
}

LocalDateTime fromWallClockMilliseconds(std::int64_t ms) {
    using namespace std::chrono;
    const sys_days day = floor<days>(sys_time<milliseconds>(milliseconds(ms)));
    const year_month_day date(day);
    std::int64_t rest = ms - duration_cast<milliseconds>(day.time_since_epoch()).count();
    LocalDateTime value;
    value.year = int(date.year());
    value.month = int(unsigned(date.month()));
    value.day = int(unsigned(date.day()));
    value.hour = int(rest / 3'600'000);
    rest %= 3'600'000;
    value.minute = int(rest / 60'000);
    rest %= 60'000;
    value.second = int(rest / 1000);
    value.millisecond = int(rest % 1000);
    return value;
}

LocalDateTime universalTimeOf(const LocalDateTime& local) {
    std::tm fields{};
    fields.tm_year = local.year - 1900;
    fields.tm_mon = local.month - 1;
    fields.tm_mday = local.day;
    fields.tm_hour = local.hour;
    fields.tm_min = local.minute;
    fields.tm_sec = local.second;
    fields.tm_isdst = -1;
    const std::time_t moment = ::mktime(&fields);
    std::tm universal{};
    ::gmtime_r(&moment, &universal);
    return {universal.tm_year + 1900, universal.tm_mon + 1, universal.tm_mday, universal.tm_hour,
            universal.tm_min,         universal.tm_sec,     local.millisecond};
}

LocalDateTime SystemClock::now() const {
    const auto point = std::chrono::system_clock::now();
    return localTimeOf(std::chrono::duration_cast<std::chrono::milliseconds>(point.time_since_epoch()).count());
}

void SystemClock::wait(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

} // namespace quill
