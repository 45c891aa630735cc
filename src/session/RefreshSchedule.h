#pragma once

#include <chrono>

namespace quill {

// When the window reads the tasks again, counted in ticks of a timer that
// fires every kTick: at the first tick after the window starts or the user
// comes back to it, then every few ticks; a refresh the user asked for
// puts the next timed one further off. Counting ticks rather than reading
// the time keeps a tick that fires a little early from being skipped.
class RefreshSchedule {
public:
    static constexpr std::chrono::milliseconds kTick = std::chrono::minutes(1);
    static constexpr int kTicksBetweenRefreshes = 5;
    static constexpr int kTicksAfterUserRefresh = 10;

    // The window has started, or has been activated again: the next tick
    // refreshes.
    void refreshAtNextTick() { ticksLeft_ = 1; }
    // The user refreshed the tasks just now.
    void userRefreshed() { ticksLeft_ = kTicksAfterUserRefresh; }
    // One tick of the timer; true when a refresh is due now. The next one
    // is then due kTicksBetweenRefreshes ticks later.
    bool tick();

private:
    int ticksLeft_ = 1;
};

} // namespace quill
