#include "platform/NameRules.h"

#include <string>

namespace quill {

NameFault nameFault(std::string_view name) {
    if (name.empty())
        return NameFault::Empty;
    if (name == "." || name == ".." || name.find_first_of("/\\") != std::string_view::npos)
        return NameFault::Separator;
    for (char c : name) {
        // A line break would end the record line the name is stored in.
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return NameFault::ControlCharacter;
    }
    if (name.size() > kMaxNameLetters)
        return NameFault::TooLong;
    return NameFault::None;
}

Status checkName(std::string_view name, std::string_view kind) {
    const NameFault fault = nameFault(name);
    if (fault == NameFault::None)
        return Status::success();
    const std::string what = "a " + std::string(kind) + " name";
    std::string why;
    switch (fault) {
    case NameFault::Empty: why = what + " cannot be empty"; break;
    case NameFault::Separator: why = what + " cannot contain / or \\ or be . or .."; break;
    case NameFault::ControlCharacter:
        why = what + " is one line, without line breaks, tabs or other control characters";
        break;
    case NameFault::TooLong: why = what + " has at most " + std::to_string(kMaxNameLetters) + " letters"; break;
    case NameFault::None: break;
    }
    // The name itself is quoted only where it fits on one short line.
    std::string shown = "the name";
    if (fault == NameFault::TooLong)
        shown = "\"" + std::string(name.substr(0, 20)) + "...\"";
    else if (fault != NameFault::ControlCharacter)
        shown = "\"" + std::string(name) + "\"";
    return Status::failure(shown + " cannot be a " + std::string(kind) + " name: " + why);
}

} // namespace quill
