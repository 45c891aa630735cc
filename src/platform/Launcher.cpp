#include "platform/Launcher.h"

#include <cerrno>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace quill {

namespace {

// The spawn's settings, released however the launch ends.
struct SpawnSettings {
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_t actions;
    SpawnSettings() {
        posix_spawnattr_init(&attributes);
        posix_spawn_file_actions_init(&actions);
    }
    ~SpawnSettings() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;
};

} // namespace

int launchProgram(const std::vector<std::string>& commandLine, const std::string& directory) {
    if (commandLine.empty())
        return -1;
    std::vector<char*> argv;
    argv.reserve(commandLine.size() + 1);
    for (const std::string& argument : commandLine)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    // A spawn rather than fork and exec: the window's process has threads,
    // and a forked child of a threaded process may do next to nothing.
    SpawnSettings settings;
    // A session of its own, so that the helper outlives the program, with
    // the signals the program ignores back at their defaults.
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGCHLD);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&settings.attributes, &defaults);
    posix_spawnattr_setsigmask(&settings.attributes, &none);
    posix_spawnattr_setflags(&settings.attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    // The helper must not read the keys typed into the program's terminal.
    posix_spawn_file_actions_addopen(&settings.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (!directory.empty())
        posix_spawn_file_actions_addchdir_np(&settings.actions, directory.c_str());
    pid_t child = -1;
    if (posix_spawnp(&child, argv[0], &settings.actions, &settings.attributes, argv.data(), environ) != 0)
        return -1;
    return static_cast<int>(child);
}

std::optional<int> launchedProgramExit(int pid) {
    int status = 0;
    pid_t answered = 0;
    do
        answered = ::waitpid(static_cast<pid_t>(pid), &status, WNOHANG);
    while (answered < 0 && errno == EINTR);
    if (answered == 0)
        return std::nullopt;
    if (answered < 0)
        return 127; // not ours, or reaped elsewhere: nothing more to learn
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return std::nullopt;
}

} // namespace quill
