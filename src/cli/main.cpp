// quill-cli: the library driven from a terminal, for scripts, administration
// and end-to-end tests.

#include "CommandRunner.h"
#include "CommandTable.h"

#include "buildinfo/BuildInfo.h"
#include "platform/Cp1250.h"

#include <cstring>
#include <iostream>

namespace {

bool isHelp(const char* argument) {
    return std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || isHelp(argv[1])) {
        quill::cli::printUsage(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? 1 : 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::cout << "quill-cli (Quill!) " << quill::build::kVersion << '\n';
        return 0;
    }
    const quill::cli::CommandInfo* command = quill::cli::commandNamed(argv[1]);
    if (!command) {
        std::cerr << "quill-cli: unknown command " << argv[1] << '\n';
        quill::cli::printUsage(std::cerr);
        return 1;
    }
    quill::cli::Args args;
    for (int i = 2; i < argc; ++i) {
        if (isHelp(argv[i])) {
            quill::cli::printCommandHelp(std::cout, *command);
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
    return quill::cli::runCommand(*command, std::move(args), std::cout, std::cerr);
}
