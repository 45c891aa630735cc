#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace quill {

class RegistryStore;
class Session;
struct ProgramValues;

enum class LogonOutcome {
    LoggedOn,
    NotADataPoint,      // the chosen directory holds no DataPoint.info
    NoUser,             // no user record for the name: answered after 3 s
    WrongPassword,      // answered after the delay for the failed attempts
    MissingDirectories, // ROOT or USERS names no directory: the program ends
    UnreadableUser,     // the user record exists but cannot be read: the program ends
    TooManyFailures,    // the fifth wrong password: the program ends
};

// True for the outcomes after which the program has to end.
bool endsProgram(LogonOutcome outcome);

// "OK", "WRONG_PASSWORD", "NO_USER", "NO_DATAPOINT", "UNREADABLE_USER",
// "MISSING_DIRECTORIES" or "TOO_MANY_FAILURES".
std::string_view outcomeName(LogonOutcome outcome);

// How long a wrong password is answered after, by the number of wrong
// passwords so far: the first at once, then 1.5, 4, 8 and 12 seconds.
std::chrono::milliseconds failedLogonDelay(int failedAttempts);

inline constexpr std::chrono::milliseconds kUnknownUserDelay{3000};
inline constexpr int kMaxFailedAttempts = 5;

struct LogonRequest {
    std::string logonName;
    std::string password;
    bool autoLogon = false; // the automatic logon box is ticked
};

// One logon attempt on the data point the program values select: opens the
// data point, reads the user record, settings and geometry and loads the
// user data, and only then compares the password. A wrong password counts
// in failedAttempts; a success logs the user on and writes the registry.
// The session's logged-on flag is set only by a success.
LogonOutcome attemptLogon(Session& session, RegistryStore& registry, const LogonRequest& request, int& failedAttempts);

// Loads what a logged-on user works with: the local working copy, the text
// cache and the users table.
bool loadUserData(Session& session);

enum class DataPointChoice { Added, Selected, NotADataPoint };

// A folder the user browsed to: selected when the list knows it already
// (compared upper-cased with a trailing separator), appended otherwise.
DataPointChoice chooseDataPoint(ProgramValues& program, const std::string& folder);

} // namespace quill
