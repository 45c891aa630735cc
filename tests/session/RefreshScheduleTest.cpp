// When the window reads the tasks again, played as a run of timer ticks,
// returns to the window and refreshes the user asked for.
#include "session/RefreshSchedule.h"

#include <gtest/gtest.h>

#include <string>

namespace quill {
namespace {

// Plays events: 't' a tick, 'a' the window activated, 'u' a refresh the
// user asked for, 's' the window started. Says for each tick whether it
// refreshed: 'R' or '.'.
std::string play(const std::string& events) {
    RefreshSchedule schedule;
    std::string refreshed;
    for (const char event : events) {
        if (event == 't')
            refreshed += schedule.tick() ? 'R' : '.';
        else if (event == 'a' || event == 's')
            schedule.refreshAtNextTick();
        else if (event == 'u')
            schedule.userRefreshed();
    }
    return refreshed;
}

TEST(RefreshScheduleTest, RefreshesAtTheTicksDue) {
    const struct {
        const char* why;
        const char* events;
        const char* refreshed;
    } rows[] = {
        {"the first tick after the start, then every fifth", "sttttttttttt", "R....R....R"},
        {"the same without being told of the start", "tttttt", "R....R"},
        {"coming back refreshes at the next tick and counts again from there", "tttattt", "R..R.."},
        {"coming back twice before a tick refreshes once", "ttaattttttt", "R.R....R."},
        {"a user refresh puts the next timed one ten ticks off", "tuttttttttttttttt", "R.........R....R"},
        {"coming back after a user refresh refreshes at the next tick", "tuttattttt", "R..R...."},
        {"a user refresh right before a due tick puts it off", "ttttuttttttttttt", "R............R."},
        {"a started window that was running starts counting again", "tttsttttt", "R..R...."},
    };
    for (const auto& row : rows)
        EXPECT_EQ(play(row.events), row.refreshed) << row.why;
}

} // namespace
} // namespace quill
