#pragma once

#include "platform/Shell.h"

namespace quill::fuzz {

// Fuzzed inputs must never start programs.
class NoShell final : public Shell {
public:
    bool openWithAssociatedProgram(const std::string&, const std::string&, const std::string&) override { return true; }
};

} // namespace quill::fuzz
