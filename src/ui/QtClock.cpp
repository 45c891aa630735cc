#include "QtClock.h"

#include <QEventLoop>
#include <QTimer>

namespace quill::ui {

void QtClock::wait(std::chrono::milliseconds duration) {
    if (duration.count() <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace quill::ui
