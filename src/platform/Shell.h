#pragma once

#include <string>

namespace quill {

// What the desktop does for the program: open a file or a page with the
// program the user associates with it.
class Shell {
public:
    virtual ~Shell() = default;
    virtual bool openWithAssociatedProgram(const std::string& file, const std::string& parameters,
                                           const std::string& workingDirectory) = 0;
};

// Hands files to xdg-open in a detached process, so the program never waits
// for the viewer and leaves no zombie behind.
class XdgShell final : public Shell {
public:
    bool openWithAssociatedProgram(const std::string& file, const std::string& parameters,
                                   const std::string& workingDirectory) override;
};

} // namespace quill
