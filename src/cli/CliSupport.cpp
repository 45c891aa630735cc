#include "CliSupport.h"

#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

namespace quill::cli {

void print(std::ostream& out, std::string_view text) {
    out << cp1250::toUtf8(text);
}

void printLine(std::ostream& out, std::string_view text) {
    out << cp1250::toUtf8(text) << '\n';
}

std::string takeOption(Args& args, std::string_view name, std::string fallback) {
    const auto it = std::find(args.begin(), args.end(), name);
    if (it == args.end())
        return fallback;
    if (it + 1 == args.end())
        throw CliError{"option " + std::string(name) + " needs a value"};
    std::string value = *(it + 1);
    args.erase(it, it + 2);
    return value;
}

bool takeFlag(Args& args, std::string_view name) {
    const auto it = std::find(args.begin(), args.end(), name);
    if (it == args.end())
        return false;
    args.erase(it);
    return true;
}

std::string absolutePath(std::string_view given) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(fs::native(given), error);
    if (error)
        throw CliError{"the path " + std::string(given) + " cannot be resolved"};
    return path::withoutTrailingSeparator(path::normalize(fs::fromNative(absolute.lexically_normal())));
}

std::string commaList(const Args& items) {
    std::string list;
    for (const std::string& item : items)
        list += (list.empty() ? "" : ",") + item;
    return list;
}

void check(const Status& status) {
    if (!status)
        throw CliError{status.message()};
}

} // namespace quill::cli
