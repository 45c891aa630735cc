#pragma once

#include <string>

namespace quill {

// What the desktop does for the program: open a file or a page with the
// program the user associates with it, start a mail with a file attached,
// print a file, name the default printer. Each request answers whether it
// could be handed over; a desktop that finds out later that it failed
// tells the user itself.
class Shell {
public:
    virtual ~Shell() = default;
    virtual bool openWithAssociatedProgram(const std::string& file, const std::string& parameters,
                                           const std::string& workingDirectory) = 0;
    // A help page: where the desktop cannot show it, a window may show it
    // itself.
    virtual void openHelpPage(const std::string& page) { openWithAssociatedProgram(page, {}, {}); }
    // A new mail in the user's mail program with the file attached.
    virtual bool sendMail(const std::string& /*subject*/, const std::string& /*attachment*/) { return false; }
    // Prints the file on the named printer; title names the print job.
    virtual bool printFile(const std::string& /*file*/, const std::string& /*printer*/, const std::string& /*title*/) {
        return false;
    }
    // The printer printFile uses when given none, in the code page like
    // every text of the program; empty when there is none to print on.
    virtual std::string defaultPrinter();
};

// Hands files to xdg-open in a detached process, so the program never waits
// for the viewer and leaves no zombie behind.
class XdgShell final : public Shell {
public:
    bool openWithAssociatedProgram(const std::string& file, const std::string& parameters,
                                   const std::string& workingDirectory) override;
};

} // namespace quill
