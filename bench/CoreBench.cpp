// Figures for walking and reading a large shared tree, with the standard
// tools doing comparable work in the same run beside them.
//
//   quill_bench [SAMPLE_DATAPOINT] [--benchmark_... options]

#include "LargeDataPoint.h"

#include "core/Clock.h"
#include "core/DateTimeFormat.h"
#include "core/FolderWalk.h"
#include "core/ObjectTypes.h"
#include "core/LogonContext.h"
#include "core/RecordFile.h"
#include "core/Session.h"
#include "core/Shell.h"
#include "datapoint/UsersAndGroups.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sys/resource.h>

namespace {

std::string g_dataPoint;

class CountingVisitor final : public quill::FolderWalkVisitor {
public:
    std::size_t folders = 0;
    std::size_t schedules = 0;
    Node folderFound(const std::string&, const std::string&, const quill::Record&, Node parent) override {
        ++folders;
        return parent + 1;
    }
    void scheduleFound(const std::string&, const std::string&) override { ++schedules; }
};

void BM_FolderWalk(benchmark::State& state) {
    const quill::TypeTables tables = quill::loadTypeTables(g_dataPoint, nullptr);
    quill::SystemClock clock;
    quill::DateTimeFormats formats;
    const quill::RecordFiles records(tables, clock, formats);
    CountingVisitor visitor;
    for (auto _ : state) {
        visitor = CountingVisitor();
        quill::walkFolderTree(records, g_dataPoint + "/DataPoint.root", visitor, 0);
        benchmark::DoNotOptimize(visitor.folders);
    }
    state.counters["folders"] = static_cast<double>(visitor.folders);
    state.counters["schedules"] = static_cast<double>(visitor.schedules);
}
BENCHMARK(BM_FolderWalk)->Unit(benchmark::kMillisecond);

void BM_ReadAllDocuments(benchmark::State& state) {
    const quill::TypeTables tables = quill::loadTypeTables(g_dataPoint, nullptr);
    quill::SystemClock clock;
    quill::DateTimeFormats formats;
    const quill::RecordFiles records(tables, clock, formats);
    std::vector<std::string> documents;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(g_dataPoint + "/DataPoint.root")) {
        if (entry.path().extension() == ".note")
            documents.push_back(entry.path().string());
    }
    for (auto _ : state) {
        quill::Record record;
        for (const std::string& document : documents)
            benchmark::DoNotOptimize(records.read(document, record));
    }
    state.counters["documents"] = static_cast<double>(documents.size());
}
BENCHMARK(BM_ReadAllDocuments)->Unit(benchmark::kMillisecond);

// ANNA's users table and groups table, as her logon builds them, read
// straight from the data point's resources.
void BM_LoadUsersAndGroups(benchmark::State& state) {
    quill::SystemClock clock;
    quill::SilentUi ui;
    quill::XdgShell shell;
    quill::ProgramValues program;
    program.logonName = "ANNA";
    program.languageDirectory = QUILL_LANGUAGE_DIR;
    quill::Session session(std::move(program), clock, ui, shell);
    session.context.dataPointPath = g_dataPoint;
    if (quill::startLogonContext(session) != quill::ContextStart::Started) {
        state.SkipWithError("the data point does not open");
        return;
    }
    quill::setUserPaths(session);
    session.context.settings.userGroupsResourceDirectory =
        g_dataPoint + "/DataPoint.system/Resources/Users/ANNA/Groups";
    for (auto _ : state) {
        quill::loadUsers(session);
        quill::loadGroups(session);
        benchmark::DoNotOptimize(session.groups.data());
    }
    state.counters["users"] = static_cast<double>(session.users.size());
    state.counters["groups"] = static_cast<double>(session.groups.size());
}
BENCHMARK(BM_LoadUsersAndGroups)->Unit(benchmark::kMillisecond);

double secondsOf(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0)
        std::cerr << "command failed: " << command << '\n';
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    std::string sample = QUILL_SAMPLE_DATAPOINT;
    if (argc > 1 && argv[1][0] != '-') {
        sample = argv[1];
        --argc;
        ++argv;
    }
    const std::string scratch = (std::filesystem::temp_directory_path() / "quill-bench").string();
    g_dataPoint = quill::bench::generateLargeDataPoint(scratch, sample, {});
    std::cout << "data point: " << g_dataPoint << '\n';

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    // The same trees through the standard tools, warm cache like the runs above.
    const std::string root = "'" + g_dataPoint + "/DataPoint.root'";
    secondsOf("find " + root + " -name folder.folders > /dev/null");
    const double find = secondsOf("find " + root + " -name folder.folders > /dev/null");
    secondsOf("find " + root + " -name '*.note' -exec cat {} + > /dev/null");
    const double cat = secondsOf("find " + root + " -name '*.note' -exec cat {} + > /dev/null");
    const std::string system = "'" + g_dataPoint + "/DataPoint.system'";
    const std::string users =
        "cat " + system + "/Users/*.user " + system + "/Resources/Users/ANNA/Groups/* > /dev/null";
    secondsOf(users);
    const double usersCat = secondsOf(users);
    std::printf("standard tools: find -name folder.folders %.1f ms; find -name '*.note' -exec cat %.1f ms; "
                "cat of every user and group record %.1f ms\n",
                find * 1000, cat * 1000, usersCat * 1000);
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory of this program: %ld KiB\n", usage.ru_maxrss);
    std::filesystem::remove_all(scratch);
    return 0;
}
