#include "platform/Clock.h"

#include <ctime>
#include <thread>

namespace quill {

LocalDateTime SystemClock::now() const {
    const auto point = std::chrono::system_clock::now();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(point.time_since_epoch()).count();
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

void SystemClock::wait(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

} // namespace quill
