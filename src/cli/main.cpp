// quill-cli: the library driven from a terminal, for scripts, administration
// and end-to-end tests.

#include "CliSupport.h"
#include "CommandTable.h"

#include "buildinfo/BuildInfo.h"
#include "platform/Cp1250.h"

#include <cstring>
#include <iomanip>
#include <iostream>

namespace {

using quill::cli::CommandInfo;

const CommandInfo* findCommand(const char* name) {
    for (const CommandInfo& command : quill::cli::commandTable()) {
        if (std::strcmp(command.name, name) == 0)
            return &command;
    }
    return nullptr;
}

void usage(std::ostream& out) {
    out << "usage: quill-cli COMMAND ARGS...\n"
           "       quill-cli COMMAND --help | --help | --version\n\n"
           "Works on a Quill! data point without windows, as the program does.\n"
           "Names and texts are given and printed in UTF-8.\n\ncommands:\n";
    for (const CommandInfo& command : quill::cli::commandTable())
        out << "  " << std::left << std::setw(13) << command.name << command.summary << '\n';
}

void commandHelp(const CommandInfo& command) {
    std::cout << "usage: quill-cli " << command.name << (*command.synopsis ? " " : "") << command.synopsis << "\n\n"
              << command.summary << ".\n";
}

bool isHelp(const char* argument) {
    return std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || isHelp(argv[1])) {
        usage(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? 1 : 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::cout << "quill-cli (Quill!) " << quill::build::kVersion << '\n';
        return 0;
    }
    const CommandInfo* command = findCommand(argv[1]);
    if (!command) {
        std::cerr << "quill-cli: unknown command " << argv[1] << '\n';
        usage(std::cerr);
        return 1;
    }
    quill::cli::Args args;
    for (int i = 2; i < argc; ++i) {
        if (isHelp(argv[i])) {
            commandHelp(*command);
            return 0;
        }
        // Names and values are stored in code page 1250: a letter it cannot
        // hold would become '?' and could name another file.
        if (const auto letter = quill::cp1250::firstUnheldLetter(argv[i])) {
            std::cerr << "quill-cli: \"" << argv[i] << "\" holds the letter " << *letter
                      << ", which code page 1250 cannot store; use other letters\n";
            return 1;
        }
        args.push_back(quill::cp1250::fromUtf8(argv[i]));
    }
    try {
        return command->run(std::move(args), std::cout);
    } catch (const quill::cli::CliError& error) {
        std::cout.flush();
        std::cerr << "quill-cli: " << quill::cp1250::toUtf8(error.message) << '\n';
        return 1;
    }
}
