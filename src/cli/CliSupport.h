#pragma once

#include "platform/Status.h"

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace quill::cli {

// A command's arguments, already converted from UTF-8 to code page 1250.
using Args = std::vector<std::string>;

// Thrown for bad usage or a failed operation; main prints it to stderr and
// exits with status 1.
struct CliError {
    std::string message;
};

// Writes a code page 1250 text to the terminal as UTF-8.
void print(std::ostream& out, std::string_view text);
void printLine(std::ostream& out, std::string_view text);

// Removes "--name VALUE" from args and returns VALUE, or fallback when absent.
std::string takeOption(Args& args, std::string_view name, std::string fallback = {});
// Removes "--name" from args and returns whether it was there.
bool takeFlag(Args& args, std::string_view name);

// A path given on the command line, made absolute against the working
// directory, so that it is stored and compared the same from anywhere.
std::string absolutePath(std::string_view given);

// The items parted by commas, as the listings print them.
std::string commaList(const Args& items);

// Throws the message of a failed operation.
void check(const Status& status);

} // namespace quill::cli
