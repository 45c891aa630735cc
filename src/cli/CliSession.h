#pragma once

#include "CliSupport.h"

#include "platform/Clock.h"
#include "platform/Shell.h"
#include "platform/Ui.h"
#include "session/Session.h"

#include <memory>
#include <optional>

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
    // The moment the command runs at instead of now ("--at").
    std::optional<LocalDateTime> at;
};
SessionOptions takeSessionOptions(Args& args);

// A session opened as the options say: the logon context started, the
// user's paths set and the settings read, with no password asked.
// The system's clock, or the moment a command was asked to run at.
class CommandClock final : public Clock {
public:
    std::optional<LocalDateTime> at;
    LocalDateTime now() const override { return at ? *at : system_.now(); }
    void wait(std::chrono::milliseconds duration) override { system_.wait(duration); }

private:
    SystemClock system_;
};

// "--at D.M.YYYY H:MM" (seconds allowed), taken out of the arguments.
std::optional<LocalDateTime> takeMoment(Args& args);

class CliSession {
public:
    explicit CliSession(const SessionOptions& options);
    Session& session() { return *session_; }

private:
    CommandClock clock_;
    TerminalUi ui_;
    XdgShell shell_;
    std::unique_ptr<Session> session_;
};

// The directory of the running executable.
std::string executableDirectory();

// A path given on the command line, made absolute, that must lie in the
// data point or in its root or users root (which may lie elsewhere), links
// resolved. It must exist, or with mayBeNew its directory must.
std::string placeInDataPoint(const Session& session, const std::string& given, bool mayBeNew = false);

// Refuses a document or folder (absolute or relative to the working
// directory) that the rights hide from the user, as the window would not
// show it: a command acts for the user, never around what the user is
// shown.
void expectShown(Session& session, const std::string& path);

} // namespace quill::cli
