#include "ui/ScheduleScanner.h"

#include <QMetaObject>

namespace quill::ui {

ScheduleScanner::ScheduleScanner(QObject* parent) : QObject(parent) {}

ScheduleScanner::~ScheduleScanner() {
    cancel();
}

bool ScheduleScanner::start(Read read, Done done) {
    if (running_)
        return false;
    if (worker_.joinable())
        worker_.join();
    running_ = true;
    stop_ = false;
    const int generation = ++generation_;
    worker_ = std::thread([this, generation, read = std::move(read), done = std::move(done)] {
        auto result = std::make_shared<ScheduleScanResult>(read(&stop_));
        if (stop_)
            return;
        QMetaObject::invokeMethod(
            this,
            [this, result, done, generation] {
                if (generation != generation_)
                    return;
                running_ = false;
                done(std::move(*result));
            },
            Qt::QueuedConnection);
    });
    return true;
}

void ScheduleScanner::cancel() {
    stop_ = true;
    if (worker_.joinable())
        worker_.join();
    running_ = false;
}

} // namespace quill::ui
