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

LocalDateTime SystemClock::now() const {
    const auto point = std::chrono::system_clock::now();
    return localTimeOf(std::chrono::duration_cast<std::chrono::milliseconds>(point.time_since_epoch()).count());
}

void SystemClock::wait(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

} // namespace quill
