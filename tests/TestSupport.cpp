#include "TestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace stdfs = std::filesystem;

namespace quill::test {

TempDir::TempDir() {
    std::string pattern = (stdfs::temp_directory_path() / "quill-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary directory");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    stdfs::remove_all(path_, ec);
}

std::string TempDir::operator/(std::string_view name) const {
    return path_ + "/" + std::string(name);
}

namespace {
constexpr const char* kIsolatedVariables[] = {"HOME", "QUILL_CONFIG_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME",
                                              "XDG_DATA_HOME"};
}

IsolatedHome::IsolatedHome() {
    for (const char* name : kIsolatedVariables) {
        const std::string value = dir_ / (std::string("env-") + name);
        stdfs::create_directories(value);
        ::setenv(name, value.c_str(), 1);
    }
}

IsolatedHome::~IsolatedHome() = default;

std::string resourcesDir() {
    return std::string(QUILL_SOURCE_DIR) + "/resources";
}

std::string copySampleDataPoint(const TempDir& dir) {
    const std::string target = dir / "DataPoint";
    stdfs::copy(resourcesDir() + "/DataPoint", target, stdfs::copy_options::recursive);
    return target;
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::map<std::string, std::string> snapshotOf(const std::string& dir, bool withDirectories) {
    std::map<std::string, std::string> files;
    for (const auto& entry : stdfs::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file())
            files[entry.path().string()] = readBytes(entry.path().string());
        else if (withDirectories)
            files[entry.path().string()] = "";
    }
    return files;
}

std::size_t occurrences(std::string_view text, std::string_view part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

std::vector<std::string> linesOf(std::string_view text, std::string_view separator) {
    std::vector<std::string> lines;
    for (std::size_t from = 0, at; (at = text.find(separator, from)) != std::string_view::npos;
         from = at + separator.size())
        lines.emplace_back(text.substr(from, at - from));
    return lines;
}

void writeBytes(const std::string& path, std::string_view content) {
    stdfs::create_directories(stdfs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

bool passesInChild(const std::function<bool()>& check, std::uint64_t fileSizeLimit, ChildUser user) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        if (fileSizeLimit > 0)
            ::setrlimit(RLIMIT_FSIZE, &limit);
        if (user == ChildUser::Ordinary && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

long endedProcessId() {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

std::string hostName() {
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    return name;
}

std::string shellWord(const std::string& text) {
    std::string word = "'";
    for (char c : text)
        word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
}

bool cliAvailable() {
    return std::string_view(QUILL_CLI_PATH).size() > 0;
}

std::string quillProgram() {
    const stdfs::path cli(QUILL_CLI_PATH);
    const stdfs::path quill = cli.parent_path() / "quill";
    return !cli.empty() && stdfs::exists(quill) ? quill.string() : std::string();
}

std::string runCli(const std::string& arguments, int* status, std::string* errors) {
    TempDir scratch;
    const std::string errorFile = scratch / "stderr";
    const std::string command = std::string(QUILL_CLI_PATH) + " " + arguments + " 2>" + errorFile;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        throw std::runtime_error("cannot run quill-cli");
    std::string output;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    const int raw = ::pclose(pipe);
    if (status)
        *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    if (errors)
        *errors = readBytes(errorFile);
    return output;
}

} // namespace quill::test
