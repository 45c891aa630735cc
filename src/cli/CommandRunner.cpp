#include "CommandRunner.h"

#include "platform/Cp1250.h"
#include "platform/FileSystem.h"

#include <iomanip>
#include <ostream>
#include <stdexcept>

namespace quill::cli {

Call::Call(const CommandInfo& command, Args arguments, std::ostream& output)
    : args(std::move(arguments)), out(output), command_(command) {}

Call::~Call() = default;

SessionOptions& Call::sessionOptions() {
    reach(Step::Action);
    return options_;
}

const std::string& Call::action() {
    reach(Step::Action);
    return actionName_;
}

Args& Call::arguments() {
    reach(Step::Counted);
    return args;
}

Session& Call::session() {
    reach(Step::Opened);
    return cli_->session();
}

std::string Call::usage() const {
    return "usage: quill-cli " + std::string(command_.name) + (*command_.synopsis ? " " : "") + command_.synopsis;
}

void Call::refuseUsage() const {
    throw CliError{usage()};
}

const CommandShape& Call::shape() const {
    return action_ ? action_->shape : command_.shape;
}

bool Call::needsSession() const {
    return command_.shape.session || (action_ && action_->shape.session);
}

void Call::reach(Step step) {
    if (reached_ < Step::Options && step >= Step::Options) {
        reached_ = Step::Options;
        if (command_.shape.session)
            options_ = takeSessionOptions(args);
    }
    if (reached_ < Step::Action && step >= Step::Action) {
        reached_ = Step::Action;
        if (!command_.actions.empty()) {
            if (args.empty())
                refuseUsage();
            std::string names;
            for (const CommandAction& action : command_.actions) {
                if (args[0] == action.name)
                    action_ = &action;
                const bool last = &action == &command_.actions.back();
                names += (names.empty() ? "" : (last ? " or " : ", ")) + std::string(action.name);
            }
            if (!action_)
                throw CliError{"unknown " + std::string(command_.name) + " action " + args[0] + ": use " + names};
            actionName_ = args[0];
            args.erase(args.begin());
            // An action of its own with a session, such as "user create",
            // names the action before the session's options.
            if (action_->shape.session && !command_.shape.session)
                options_ = takeSessionOptions(args);
        }
    }
    if (reached_ < Step::Counted && step >= Step::Counted) {
        reached_ = Step::Counted;
        if (args.size() < shape().minArgs || args.size() > shape().maxArgs)
            refuseUsage();
    }
    if (reached_ < Step::Opened && step >= Step::Opened) {
        if (!needsSession())
            throw std::logic_error(std::string(command_.name) + " has no session in the command table");
        cli_ = std::make_unique<CliSession>(options_);
        reached_ = Step::Opened;
        Session& session = cli_->session();
        for (const PathArgument& path : shape().paths) {
            if (path.index >= args.size())
                continue;
            std::string& given = args[path.index];
            switch (path.check) {
            case PathCheck::ShownIfThere:
                if (fs::exists(given))
                    expectShown(session, given);
                break;
            case PathCheck::InDataPoint:
                given = placeInDataPoint(session, given);
                expectShown(session, given);
                break;
            case PathCheck::NewInDataPoint: given = placeInDataPoint(session, given, true); break;
            }
        }
    }
}

int runCommand(const CommandInfo& command, Args args, std::ostream& out, std::ostream& errors) {
    try {
        Call call(command, std::move(args), out);
        return command.run(call);
    } catch (const CliError& error) {
        out.flush();
        errors << "quill-cli: " << cp1250::toUtf8(error.message) << '\n';
        return 1;
    }
}

void printUsage(std::ostream& out) {
    out << "usage: quill-cli COMMAND ARGS...\n"
           "       quill-cli COMMAND --help | --help | --version\n\n"
           "Works on a Quill! data point without windows, as the program does.\n"
           "Names and texts are given and printed in UTF-8.\n\ncommands:\n";
    for (const CommandInfo& command : commandTable())
        out << "  " << std::left << std::setw(13) << command.name << command.summary << '\n';
}

void printCommandHelp(std::ostream& out, const CommandInfo& command) {
    out << "usage: quill-cli " << command.name << (*command.synopsis ? " " : "") << command.synopsis << "\n\n"
        << command.summary << ".\n";
}

} // namespace quill::cli
