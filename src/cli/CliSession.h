#pragma once

#include "CliSupport.h"

#include "platform/Clock.h"
#include "platform/Shell.h"
#include "platform/Ui.h"
#include "session/Session.h"

#include <memory>

namespace quill::cli {

// Messages of the library go to stderr; a terminal cannot beep usefully.
class TerminalUi final : public Ui {
public:
    void beep() override {}
    void showMessage(MessageKind kind, const std::string& text) override;
};

// "--datapoint DIR --user LOGON [--admin]", taken out of the arguments so
// that a command checks the rest before it opens anything.
struct SessionOptions {
    std::string dataPoint;
    std::string logon;
    bool admin = false;
    // For commands that read the data point only: a session without a user
    // record, which creates nothing in the data point.
    bool withoutUserRecord = false;
};
SessionOptions takeSessionOptions(Args& args);

// A session opened as the options say: the logon context started, the
// user's paths set and the settings read, with no password asked.
class CliSession {
public:
    explicit CliSession(const SessionOptions& options);
    Session& session() { return *session_; }

private:
    SystemClock clock_;
    TerminalUi ui_;
    XdgShell shell_;
    std::unique_ptr<Session> session_;
};

// The directory of the running executable.
std::string executableDirectory();

} // namespace quill::cli
