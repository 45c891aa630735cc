#include "platform/DefaultPrinter.h"

#include <cerrno>
#include <optional>
#include <string>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace quill {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kAnswerTime = std::chrono::seconds(3);

std::string_view trimmed(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r\n\f\v";
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

// Whether a program of that name lies on PATH, executable by the user.
bool onPath(std::string_view program) {
    const char* variable = std::getenv("PATH");
    const std::string_view paths = variable ? variable : "";
    std::size_t start = 0;
    while (start <= paths.size()) {
        std::size_t end = paths.find(':', start);
        if (end == std::string_view::npos)
            end = paths.size();
        std::string candidate(paths.substr(start, end - start));
        candidate = (candidate.empty() ? std::string(".") : candidate) + '/' + std::string(program);
        struct stat info {};
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

int millisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Ends the child if it still runs and tells how it ended: its exit code,
// -1 when it had to be stopped or could not be waited for.
int exitOf(pid_t child, Clock::time_point deadline) {
    int status = 0;
    for (;;) {
        const pid_t answered = ::waitpid(child, &status, WNOHANG);
        if (answered == child)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (answered < 0 && errno != EINTR)
            return -1;
        if (Clock::now() >= deadline) {
            ::kill(child, SIGKILL);
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
            return -1;
        }
        ::usleep(10'000);
    }
}

// The standard output of a short-lived program, nothing when it cannot be
// started, fails or does not end in time.
std::optional<std::string> outputOf(const char* program, const char* argument) {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(program), const_cast<char*>(argument), nullptr};
    pid_t child = -1;
    const int spawned = posix_spawnp(&child, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    if (spawned != 0) {
        ::close(pipeEnds[0]);
        return std::nullopt;
    }
    const auto deadline = Clock::now() + kAnswerTime;
    std::string output;
    for (;;) {
        pollfd readable{pipeEnds[0], POLLIN, 0};
        const int ready = ::poll(&readable, 1, millisecondsLeft(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break; // no answer in time
        char buffer[512];
        const ssize_t got = ::read(pipeEnds[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        output.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipeEnds[0]);
    if (exitOf(child, deadline) != 0)
        return std::nullopt;
    return output;
}

} // namespace

std::string printerFromLpstatAnswer(std::string_view answer) {
    answer = trimmed(answer);
    const std::size_t colon = answer.rfind(':');
    if (colon == std::string_view::npos || answer.starts_with("no system default"))
        return {};
    return std::string(trimmed(answer.substr(colon + 1)));
}

std::string queryDefaultPrinter() {
    if (!onPath("lp"))
        return {};
    const auto answer = outputOf("lpstat", "-d");
    return answer ? printerFromLpstatAnswer(*answer) : std::string();
}

} // namespace quill
