#pragma once

#include <QObject>

#include <functional>
#include <string>
#include <vector>

class QTimer;

namespace quill::ui {

// Starts helper programs of the desktop and looks, without blocking the
// window, at how each ended: a printer that refuses the job or a desktop
// without a mail program answers only through the exit code, after a
// while. The programs are not stopped when the watcher goes.
class ProgramWatcher final : public QObject {
    Q_OBJECT
public:
    explicit ProgramWatcher(QObject* parent = nullptr);

    // commandLine in native text (UTF-8). failed is called with the exit
    // code once the program ends with one other than 0. False, and failed
    // is not called, when the program could not be started.
    bool start(const std::vector<std::string>& commandLine, const std::string& directory,
               std::function<void(int exitCode)> failed);

    // How many started programs have not ended yet.
    std::size_t running() const { return watched_.size(); }

private:
    void poll();

    struct Watched {
        int pid;
        std::function<void(int)> failed;
    };
    std::vector<Watched> watched_;
    QTimer* timer_;
};

} // namespace quill::ui
