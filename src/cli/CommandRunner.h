#pragma once

#include "CliSession.h"
#include "CommandTable.h"

#include <iosfwd>
#include <memory>
#include <string>

namespace quill::cli {

// One run of a command. The command first takes its own options out of
// args; then the steps below do what its table entry says, each once and
// in this order, so that the arguments are checked before anything is
// opened: the session's options, the action, the number of positional
// arguments, and the session with its path arguments checked.
class Call {
public:
    Call(const CommandInfo& command, Args arguments, std::ostream& output);
    ~Call();
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

    Args args;
    std::ostream& out;

    // "--datapoint DIR --user LOGON [--admin]", taken out of args.
    SessionOptions& sessionOptions();
    // The action named first, taken out of args; empty without actions.
    const std::string& action();
    // The positional arguments, their number checked.
    Args& arguments();
    // The session, opened once the arguments are checked; path arguments
    // are then checked as the table says, and those placed in the data
    // point replaced by their absolute paths.
    Session& session();

    // "usage: quill-cli NAME SYNOPSIS", and the error that says it.
    std::string usage() const;
    [[noreturn]] void refuseUsage() const;

private:
    enum class Step { None, Options, Action, Counted, Opened };
    void reach(Step step);
    const CommandShape& shape() const;
    bool needsSession() const;

    const CommandInfo& command_;
    const CommandAction* action_ = nullptr;
    std::string actionName_;
    SessionOptions options_;
    std::unique_ptr<CliSession> cli_;
    Step reached_ = Step::None;
};

// Runs a command; a CliError goes to errors as "quill-cli: message" with
// exit status 1.
int runCommand(const CommandInfo& command, Args args, std::ostream& out, std::ostream& errors);

// The program's own help: every command with its summary.
void printUsage(std::ostream& out);
// "usage: quill-cli NAME SYNOPSIS" and the summary.
void printCommandHelp(std::ostream& out, const CommandInfo& command);

} // namespace quill::cli
