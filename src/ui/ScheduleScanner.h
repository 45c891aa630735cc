#pragma once

#include "session/ScheduleScan.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace quill::ui {

// Finds and reads the schedules below a set of places on a thread of its
// own, touching no session: on a share with many tasks that takes long,
// and the window stays usable meanwhile. The readings, with the folder
// rights that decide which are shown, are handed to done on the window's
// thread, where they are taken into the session without a file call.
class ScheduleScanner final : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(ScheduleScanResult result)>;
    // Reads the schedules, on the scan's thread, from nothing but what it
    // holds; it should return early once the flag is set.
    using Read = std::function<ScheduleScanResult(const std::atomic<bool>* stop)>;

    explicit ScheduleScanner(QObject* parent = nullptr);
    ~ScheduleScanner() override;

    // Starts a scan unless one is running; false when one is.
    bool start(Read read, Done done);
    bool running() const { return running_; }
    // Ends a running scan without handing anything over.
    void cancel();

private:
    std::thread worker_;
    std::atomic<bool> stop_{false};
    // Tells a hand-over of a cancelled scan from one of the scan running.
    int generation_ = 0;
    bool running_ = false;
};

} // namespace quill::ui
