#pragma once

#include <chrono>
#include <cstdint>

namespace quill {

// A calendar date and a wall-clock time in local time.
struct LocalDateTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    bool operator==(const LocalDateTime&) const = default;
};

// The machine's local time of a moment given in milliseconds since the
// epoch.
LocalDateTime localTimeOf(std::int64_t epochMilliseconds);

// The same time of day, days later (or earlier), across months and years.
LocalDateTime addDays(const LocalDateTime& value, int days);

// A wall-clock time as milliseconds on a calendar without time zones, for
// adding and comparing; and back.
std::int64_t wallClockMilliseconds(const LocalDateTime& value);
LocalDateTime fromWallClockMilliseconds(std::int64_t milliseconds);

// The universal time of a local wall-clock time, as the machine's time
// zone has it on that day.
LocalDateTime universalTimeOf(const LocalDateTime& local);

// The library's only source of the current time, so that dates in records,
// logs and file names are testable.
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() const = 0;
    // Blocks for the given time; the logon delays go through here so that
    // tests can count them instead of waiting.
    virtual void wait(std::chrono::milliseconds duration) = 0;
};

class SystemClock final : public Clock {
public:
    LocalDateTime now() const override;
    void wait(std::chrono::milliseconds duration) override;
};

} // namespace quill
