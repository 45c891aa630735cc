#pragma once

#include "platform/Clock.h"

namespace quill::ui {

// The clock of the desktop program. Its waits (after a wrong password, up
// to twelve seconds) keep the windows painted but take no input, so the
// program looks busy rather than hung.
class QtClock final : public Clock {
public:
    LocalDateTime now() const override { return system_.now(); }
    void wait(std::chrono::milliseconds duration) override;

private:
    SystemClock system_;
};

} // namespace quill::ui
