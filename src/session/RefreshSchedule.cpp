#include "session/RefreshSchedule.h"

namespace quill {

bool RefreshSchedule::tick() {
    if (--ticksLeft_ > 0)
        return false;
    ticksLeft_ = kTicksBetweenRefreshes;
    return true;
}

} // namespace quill
