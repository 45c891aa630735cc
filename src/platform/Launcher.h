#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quill {

// Starts a helper program of the desktop (opener, mail, printing) without
// waiting for it, so that its answer can be looked at later. The program
// runs in a session of its own: it outlives this program when that ends
// first, and is not stopped with it.
//
// commandLine: the program, found on PATH, and its arguments; directory:
// where it runs, empty for the current one. The process id, or -1 when the
// program could not be started (not found, not executable, no such
// directory).
int launchProgram(const std::vector<std::string>& commandLine, const std::string& directory = {});

// How the launched program ended: its exit code, 128 + the signal when one
// ended it; nothing while it still runs. Once answered, the process is gone and the id means nothing.
std::optional<int> launchedProgramExit(int pid);

} // namespace quill
