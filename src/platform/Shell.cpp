#include "platform/Shell.h"

#include "platform/Cp1250.h"
#include "platform/DefaultPrinter.h"
#include "platform/FileSystem.h"

#include <sys/wait.h>
#include <unistd.h>

namespace quill {

std::string Shell::defaultPrinter() {
    return cp1250::fromUtf8(queryDefaultPrinter());
}

bool XdgShell::openWithAssociatedProgram(const std::string& file, const std::string& /*parameters*/,
                                         const std::string& workingDirectory) {
    // xdg-open takes one file or address and no parameters of its own.
    const std::string target = fs::native(file).string();
    const std::string directory = workingDirectory.empty() ? std::string() : fs::native(workingDirectory).string();
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        // The grandchild runs xdg-open; the child exits at once so that the
        // program can reap it and the opener is adopted by init.
        ::setsid();
        if (::fork() != 0)
            ::_exit(0);
        if (!directory.empty() && ::chdir(directory.c_str()) != 0)
            ::_exit(127);
        ::execlp("xdg-open", "xdg-open", target.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return true;
}

} // namespace quill
