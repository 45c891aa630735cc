#include "session/ProgramValues.h"

#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <pwd.h>
#include <unistd.h>

namespace quill {

std::string machineComputerName() {
    char buffer[256] = {};
    if (::gethostname(buffer, sizeof buffer - 1) != 0 || buffer[0] == '\0')
        return "ERROR_ZARN";
    return cp1250::fromUtf8(buffer);
}

std::string machineUserName() {
    const passwd* pw = ::getpwuid(::geteuid());
    if (!pw || !pw->pw_name || !*pw->pw_name)
        return "ERROR_ZARN";
    return cp1250::fromUtf8(pw->pw_name);
}

ProgramValues ProgramValues::forProgram(const std::string& programDirectory) {
    ProgramValues values;
    values.computerName = machineComputerName();
    values.logonName = machineUserName();
    values.programDirectory = path::withoutTrailingSeparator(programDirectory);
    std::string resources = values.programDirectory;
    const std::string installed = path::join(path::directory(values.programDirectory), "share/quill");
    if (!fs::isDirectory(path::join(resources, "Language")) && fs::isDirectory(path::join(installed, "Language")))
        resources = installed;
    values.languageDirectory = path::join(resources, "Language");
    values.helpDirectory = path::join(values.languageDirectory, "Help");
    values.knownDataPoints.emplace_back();
    return values;
}

} // namespace quill
