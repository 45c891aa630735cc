#include "ProgramWatcher.h"

#include "platform/Launcher.h"

#include <QTimer>

namespace quill::ui {

namespace {

// Often enough that a failure shows while the user still waits for the
// helper; rarely enough to cost nothing while one runs for minutes.
constexpr int kPollMilliseconds = 200;

} // namespace

ProgramWatcher::ProgramWatcher(QObject* parent) : QObject(parent), timer_(new QTimer(this)) {
    timer_->setInterval(kPollMilliseconds);
    connect(timer_, &QTimer::timeout, this, [this] { poll(); });
}

bool ProgramWatcher::start(const std::vector<std::string>& commandLine, const std::string& directory,
                           std::function<void(int exitCode)> failed) {
    const int pid = launchProgram(commandLine, directory);
    if (pid < 0)
        return false;
    watched_.push_back({pid, std::move(failed)});
    if (!timer_->isActive())
        timer_->start();
    return true;
}

void ProgramWatcher::poll() {
    // A failure may start another program (a help page shown otherwise):
    // the list is taken apart before anyone is told.
    std::vector<std::pair<std::function<void(int)>, int>> ended;
    for (auto it = watched_.begin(); it != watched_.end();) {
        if (const auto code = launchedProgramExit(it->pid)) {
            if (*code != 0 && it->failed)
                ended.emplace_back(std::move(it->failed), *code);
            it = watched_.erase(it);
        } else {
            ++it;
        }
    }
    if (watched_.empty())
        timer_->stop();
    for (auto& [failed, code] : ended)
        failed(code);
}

} // namespace quill::ui
