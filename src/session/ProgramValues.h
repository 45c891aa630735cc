#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quill {

// The values every part of the program reads: who and where the program
// runs, and who is logged on.
struct ProgramValues {
    std::string computerName;
    std::string logonName;
    std::string programDirectory;
    std::string languageDirectory;
    std::string helpDirectory;
    std::string storedPassword;
    std::string fullName;
    bool autoLogonWanted = false;
    bool loggedOn = false;
    bool isAdministrator = false;
    std::vector<std::string> knownDataPoints;
    std::size_t actualDataPoint = 0;

    // The values for a program installed in programDirectory, on this
    // machine, for the user running it. Its language files are in
    // programDirectory/Language, or in ../share/quill/Language for an
    // installed program.
    static ProgramValues forProgram(const std::string& programDirectory);

    // The known data point the actual index selects; empty when none.
    std::string actualDataPointPath() const {
        return actualDataPoint < knownDataPoints.size() ? knownDataPoints[actualDataPoint] : std::string();
    }
};

// "ERROR_ZARN" when a name cannot be read.
std::string machineComputerName();
std::string machineUserName();

} // namespace quill
