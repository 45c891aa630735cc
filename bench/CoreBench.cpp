// Figures for the library on a large generated data point, with the
// standard tools doing comparable work in the same run beside them.
//
//   quill_bench [SAMPLE_DATAPOINT] [--benchmark_... options]

#include "datapoint/DataPointGenerator.h"
#include "datapoint/FolderSearch.h"
#include "datapoint/FolderWalk.h"
#include "documents/DocumentTransfer.h"
#include "formats/ObjectTypes.h"
#include "formats/RecordFile.h"
#include "navigation/DocumentEditor.h"
#include "navigation/DocumentList.h"
#include "navigation/ImageNames.h"
#include "navigation/MainTree.h"
#include "navigation/PageRenderer.h"
#include "platform/Clock.h"
#include "platform/DateTimeFormat.h"
#include "platform/Shell.h"
#include "session/DataPointSetup.h"
#include "session/LogonContext.h"
#include "session/ScheduleScan.h"
#include "session/Scheduler.h"
#include "session/Session.h"
#include "session/UsersAndGroups.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sys/resource.h>

namespace {

namespace stdfs = std::filesystem;

std::string g_dataPoint;
std::string g_document;     // a document with comments, schedule and attachments
std::string g_listFolder;   // a folder of kListedDocuments notes
std::string g_fullDocument; // a document with the most comments and attachments a document holds

constexpr int kListedDocuments = 2000;

constexpr int kGroups = 100;
constexpr int kUsers = 2000;

void writeFile(const stdfs::path& file, const std::string& content) {
    std::ofstream(file, std::ios::binary) << content;
}

// ANNA's groups, twenty members each, in the data point's resources.
void writeGroups(const std::string& dataPoint) {
    const stdfs::path groups = stdfs::path(dataPoint) / "DataPoint.system/Resources/Users/ANNA/Groups";
    stdfs::create_directories(groups);
    for (int g = 0; g < kGroups; ++g) {
        std::string content = "Group " + std::to_string(g) + "\r\n";
        for (int m = 0; m < 20; ++m)
            content += "USER" + std::to_string((g * 20 + m) % kUsers) + "\r\n";
        writeFile(groups / ("Group " + std::to_string(g) + ".groups"), content);
    }
}

// The sample's kickoff meeting with all three companions, in a folder of
// the generated tree.
std::string writeFullDocument(const std::string& dataPoint, const std::string& sample) {
    const stdfs::path from = stdfs::path(sample) / "DataPoint.root/Projects/Website";
    const stdfs::path to = stdfs::path(dataPoint) / "DataPoint.root/Folder 1";
    for (const char* ext : {".meeting", ".comments", ".scheduler"})
        stdfs::copy_file(from / (std::string("Kickoff") + ext), to / (std::string("Kickoff") + ext),
                         stdfs::copy_options::overwrite_existing);
    stdfs::create_directories(to / "Attachments.systemfiles");
    writeFile(to / "Attachments.systemfiles/Agenda1.DT8.12.20261.TD.txt", "Agenda\r\n");
    writeFile(to / "Kickoff.attachments", "Agenda\r\nAgenda1.DT8.12.20261.TD.txt\r\nATTACHMENT_DOCUMENT\r\n");
    return (to / "Kickoff.meeting").string();
}

// A meeting with twenty comments and ten attached files.
std::string writeFullestDocument(const std::string& dataPoint, const std::string& sample) {
    const stdfs::path from = stdfs::path(sample) / "DataPoint.root/Projects/Website";
    const stdfs::path to = stdfs::path(dataPoint) / "DataPoint.root/Folder 2";
    stdfs::copy_file(from / "Kickoff.meeting", to / "Review.meeting", stdfs::copy_options::overwrite_existing);
    std::string comments;
    for (int c = 1; c <= 20; ++c)
        comments += "Comment number " + std::to_string(c) + ", as long as a remark in a meeting usually is.\r\n";
    writeFile(to / "Review.comments", comments);
    stdfs::create_directories(to / "Attachments.systemfiles");
    std::string attachments;
    for (int a = 1; a <= 10; ++a) {
        const std::string file = "Paper" + std::to_string(a) + ".DT8.12.20261.TD.txt";
        writeFile(to / "Attachments.systemfiles" / file, std::string(20000, 'x'));
        attachments += "Paper " + std::to_string(a) + "\r\n" + file + "\r\nATTACHMENT_DOCUMENT\r\n";
    }
    writeFile(to / "Review.attachments", attachments);
    return (to / "Review.meeting").string();
}

// A folder of notes, each with its own name, beside the generated tree.
std::string writeListFolder(const std::string& dataPoint) {
    const stdfs::path folder = stdfs::path(dataPoint) / "DataPoint.root/List";
    stdfs::create_directories(folder);
    writeFile(folder / "folder.folders", "FOLDER.BMP\r\nTwo thousand notes\r\n\r\n\r\nANNA\r\nFALSE\r\n");
    for (int n = 0; n < kListedDocuments; ++n)
        writeFile(folder / ("Note " + std::to_string(n) + ".note"),
                  "Note number " + std::to_string(kListedDocuments - n) +
                      "\r\nWhat the note says, a line of ordinary length for a note.\r\nWork\r\n"
                      "8.12.2026\r\n9:05:07\r\nANNA\r\nAnna Novak (ANNA); \r\nNOTE.BMP\r\n");
    return folder.string();
}

// A session of ANNA on the generated data point, as after her logon, with
// the resources read straight from the data point.
struct BenchSession {
    quill::SystemClock clock;
    quill::SilentUi ui;
    quill::XdgShell shell;
    std::unique_ptr<quill::Session> session;

    BenchSession() {
        quill::ProgramValues program;
        program.logonName = "ANNA";
        program.fullName = "Anna Novak";
        program.languageDirectory = QUILL_LANGUAGE_DIR;
        session = std::make_unique<quill::Session>(std::move(program), clock, ui, shell);
        session->context.dataPointPath = g_dataPoint;
        if (quill::startLogonContext(*session) != quill::ContextStart::Started)
            std::abort();
        quill::setUserPaths(*session);
        quill::createUserDirectories(*session);
        quill::readSettings(*session);
        auto& settings = session->context.settings;
        settings.resourceDirectory = g_dataPoint + "/DataPoint.system/Resources/";
        settings.userGroupsResourceDirectory = settings.resourceDirectory + "Users/ANNA/Groups";
    }
};

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
    BenchSession s;
    CountingVisitor visitor;
    for (auto _ : state) {
        visitor = CountingVisitor();
        quill::walkFolderTree(s.session->recordFiles(), g_dataPoint + "/DataPoint.root", visitor, 0);
        benchmark::DoNotOptimize(visitor.folders);
    }
    state.counters["folders"] = static_cast<double>(visitor.folders);
    state.counters["schedules"] = static_cast<double>(visitor.schedules);
}
BENCHMARK(BM_FolderWalk)->Unit(benchmark::kMillisecond);

void BM_BuildMainTree(benchmark::State& state) {
    BenchSession s;
    quill::MainTree tree;
    std::size_t nodes = 0;
    for (auto _ : state) {
        quill::buildMainTree(*s.session, tree);
        benchmark::DoNotOptimize(tree.roots.data());
    }
    tree.forEach([&nodes](const quill::TreeNode&, int) { ++nodes; });
    state.counters["nodes"] = static_cast<double>(nodes);
}
BENCHMARK(BM_BuildMainTree)->Unit(benchmark::kMillisecond);

// What the window reads before it is shown: the levels on screen.
void BM_BuildShownLevels(benchmark::State& state) {
    BenchSession s;
    quill::MainTree tree;
    std::size_t nodes = 0;
    for (auto _ : state) {
        quill::buildMainTree(*s.session, tree, quill::FolderDepth::ShownLevels);
        benchmark::DoNotOptimize(tree.roots.data());
    }
    tree.forEach([&nodes](const quill::TreeNode&, int) { ++nodes; });
    state.counters["nodes"] = static_cast<double>(nodes);
}
BENCHMARK(BM_BuildShownLevels)->Unit(benchmark::kMillisecond);

void BM_LoadUsersAndGroups(benchmark::State& state) {
    BenchSession s;
    for (auto _ : state) {
        quill::loadUsers(*s.session);
        quill::loadGroups(*s.session);
        benchmark::DoNotOptimize(s.session->groups.data());
    }
    state.counters["users"] = static_cast<double>(s.session->users.size());
    state.counters["groups"] = static_cast<double>(s.session->groups.size());
}
BENCHMARK(BM_LoadUsersAndGroups)->Unit(benchmark::kMillisecond);

void BM_RenderPage(benchmark::State& state) {
    BenchSession s;
    quill::PageRenderer renderer(*s.session);
    for (auto _ : state)
        benchmark::DoNotOptimize(renderer.render(g_document));
}
BENCHMARK(BM_RenderPage)->Unit(benchmark::kMicrosecond);

void BM_ListFolderDocuments(benchmark::State& state) {
    BenchSession s;
    const quill::ImageNameTable images = quill::loadTreeImageNames(s.session->context.settings.resourceDirectory);
    std::size_t listed = 0;
    for (auto _ : state) {
        const auto items = quill::listFolderDocuments(*s.session, images, g_listFolder);
        listed = items.size();
        benchmark::DoNotOptimize(items.data());
    }
    state.counters["documents"] = static_cast<double>(listed);
}
BENCHMARK(BM_ListFolderDocuments)->Unit(benchmark::kMillisecond);

// One editor run as the view makes it: open, change a property, a comment
// and an attachment's name, save. The median, which the figure of the
// benchmark library (a mean) does not give.
void printEditorSavePercentiles() {
    BenchSession s;
    quill::DocumentEditor editor(*s.session);
    std::vector<double> times;
    for (int i = 0; i < 200; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const std::string n = std::to_string(i);
        if (!editor.open(g_fullDocument) || !editor.setProperty("PLACE", "Room " + n) ||
            !editor.setValue(quill::EditorBranch::Comments, 0, "Changed " + n) ||
            !editor.changeAttachment(0, "Paper " + n, quill::AttachmentType::Document) || !editor.save())
            std::abort();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("open, change and save a document with 20 comments and 10 attachments: median %.3f ms, "
                "95th percentile %.3f ms\n",
                times[times.size() / 2], times[times.size() * 95 / 100]);
}

// The save alone, of a document with 20 comments and 10 attachments:
// plain, and merging with another editor's save of another field and
// another comment made after this one read the document.
void printMergeFigures() {
    BenchSession s;
    std::vector<double> plain, merged;
    const auto timed = [](quill::DocumentEditor& editor, quill::ConflictChoice choice, std::vector<double>& times) {
        const auto start = std::chrono::steady_clock::now();
        if (const quill::Status saved = editor.save(choice); !saved) {
            std::fprintf(stderr, "the save failed: %s\n", saved.message().c_str());
            std::abort();
        }
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    };
    for (int i = 0; i < 200; ++i) {
        const std::string n = std::to_string(i);
        quill::DocumentEditor mine(*s.session);
        if (!mine.open(g_fullDocument) || !mine.setProperty("PLACE", "Room " + n) ||
            !mine.setValue(quill::EditorBranch::Comments, 0, "Changed " + n))
            std::abort();
        if (i % 2 == 0) {
            timed(mine, quill::ConflictChoice::Ask, plain);
            continue;
        }
        quill::DocumentEditor theirs(*s.session);
        if (!theirs.open(g_fullDocument) || !theirs.setProperty("NAME", "Theirs " + n) ||
            !theirs.setValue(quill::EditorBranch::Comments, 1, "Theirs " + n) || !theirs.save())
            std::abort();
        timed(mine, quill::ConflictChoice::Merge, merged);
    }
    std::sort(plain.begin(), plain.end());
    std::sort(merged.begin(), merged.end());
    std::printf("save of a document with 20 comments and 10 attachments: plain median %.3f ms, merging another "
                "user's save median %.3f ms (95th percentile %.3f / %.3f ms)\n",
                plain[plain.size() / 2], merged[merged.size() / 2], plain[plain.size() * 95 / 100],
                merged[merged.size() * 95 / 100]);
}

double secondsOf(const std::string& command);

// Moving a document with 20 comments and 10 attached files to another
// folder and back, as one locked change each way; beside it the same files
// moved by mv, and by bare renames in this process (what mv does, without
// starting a program).
void printMoveFigures() {
    BenchSession s;
    const stdfs::path home = stdfs::path(g_fullDocument).parent_path();
    const stdfs::path away = stdfs::path(g_dataPoint) / "DataPoint.root/Moved here";
    stdfs::create_directories(away / "Attachments.systemfiles");
    const std::string there = (away / "Review.meeting").string();
    std::vector<double> times;
    for (int i = 0; i < 100; ++i) {
        const bool out = i % 2 == 0;
        const auto start = std::chrono::steady_clock::now();
        if (!quill::transferDocument(*s.session, out ? g_fullDocument : there, out ? there : g_fullDocument,
                                     quill::TransferMode::Move))
            std::abort();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    std::vector<std::string> files{"Review.meeting", "Review.comments", "Review.attachments"};
    for (int a = 1; a <= 10; ++a)
        files.push_back("Attachments.systemfiles/Paper" + std::to_string(a) + ".DT8.12.20261.TD.txt");
    // Moving the last document out takes its folder's attachment directory
    // with it; bare renames need both there.
    stdfs::create_directories(home / "Attachments.systemfiles");
    stdfs::create_directories(away / "Attachments.systemfiles");
    std::vector<double> renames;
    for (int i = 0; i < 100; ++i) {
        const bool out = i % 2 == 0;
        const auto start = std::chrono::steady_clock::now();
        for (const std::string& file : files)
            stdfs::rename((out ? home : away) / file, (out ? away : home) / file);
        renames.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(renames.begin(), renames.end());
    // mv takes one target directory: the attached files go in a second call.
    const auto moveAll = [&](const stdfs::path& from, const stdfs::path& to) {
        std::string records = "mv", attached = "mv";
        for (const std::string& file : files)
            (file.find('/') == std::string::npos ? records : attached) += " '" + (from / file).string() + "'";
        return secondsOf(records + " '" + to.string() + "/'") +
               secondsOf(attached + " '" + (to / "Attachments.systemfiles").string() + "/'");
    };
    std::vector<double> mvTimes;
    for (int i = 0; i < 20; ++i)
        mvTimes.push_back(1000 * (i % 2 == 0 ? moveAll(home, away) : moveAll(away, home)));
    std::sort(mvTimes.begin(), mvTimes.end());
    std::printf("move a document with 20 comments and 10 attached files to another folder: median %.3f ms, "
                "95th percentile %.3f ms; standard tools: mv of the same 13 files (two mv calls) median %.3f ms, "
                "the 13 renames alone in one process median %.3f ms\n",
                times[times.size() / 2], times[times.size() * 95 / 100], mvTimes[mvTimes.size() / 2],
                renames[renames.size() / 2]);
}

// The schedule table as after logon: every scheduled document of the tree.
void fillScheduleTable(BenchSession& s) {
    quill::MainTree tree;
    quill::buildMainTree(*s.session, tree, quill::FolderDepth::TopFolders);
    quill::scanSchedules(*s.session, quill::scheduleScanPlaces(tree));
}

void BM_ScheduleFullRefresh(benchmark::State& state) {
    BenchSession s;
    fillScheduleTable(s);
    for (auto _ : state) {
        quill::refreshSchedule(*s.session);
        benchmark::DoNotOptimize(quill::scheduleStatusLine(*s.session));
        benchmark::DoNotOptimize(quill::checkReminders(*s.session, s.clock.now()));
    }
    state.counters["tasks"] = static_cast<double>(s.session->schedule.size());
}
BENCHMARK(BM_ScheduleFullRefresh)->Unit(benchmark::kMillisecond);

// A word in about one document of a hundred: "topic 42" is in notes 42,
// 420 to 429, 4200 to 4299 and 42000 to 42999.
constexpr const char* kFindWord = "topic 42";

void BM_Find(benchmark::State& state) {
    std::size_t found = 0;
    for (auto _ : state) {
        quill::FolderSearch search(kFindWord, {});
        found = 0;
        search.run({{g_dataPoint + "/DataPoint.root", true}}, [&](const std::string&) { ++found; });
        benchmark::DoNotOptimize(found);
    }
    state.counters["found"] = static_cast<double>(found);
}
BENCHMARK(BM_Find)->Unit(benchmark::kMillisecond)->Iterations(3);

// One timer tick: the reminder check and the status line. The median, as
// the tick's target is one.
void printTickPercentiles() {
    BenchSession s;
    fillScheduleTable(s);
    std::vector<double> times;
    for (int i = 0; i < 300; ++i) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(quill::checkReminders(*s.session, s.clock.now()));
        benchmark::DoNotOptimize(quill::scheduleStatusLine(*s.session));
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("timer tick with %zu tasks (reminder check and status line): median %.3f ms, 95th percentile %.3f ms\n",
                s.session->schedule.size(), times[times.size() / 2], times[times.size() * 95 / 100]);
}

double secondsOf(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0)
        std::cerr << "command failed: " << command << '\n';
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Median and 95th percentile of single renderings, which the mean of the
// benchmark above hides.
void printRenderPercentiles() {
    BenchSession s;
    quill::PageRenderer renderer(*s.session);
    std::vector<double> times;
    for (int i = 0; i < 500; ++i) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(renderer.render(g_document));
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("render page of a document with all companions: median %.3f ms, 95th percentile %.3f ms\n",
                times[times.size() / 2], times[times.size() * 95 / 100]);
}

// A new data point from the generated one, as the wizard makes it (the
// system part with its two thousand users, not the documents). The best of
// three, as for the copy by cp beside it.
double bestDataPointCopySeconds(const std::string& scratch) {
    BenchSession s;
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        const std::string target = scratch + "/NewPoint" + std::to_string(i);
        const auto start = std::chrono::steady_clock::now();
        if (!quill::createNewDataPoint(*s.session, target, quill::DataPointDescription{}))
            std::abort();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        stdfs::remove_all(target);
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    std::string sample = QUILL_SAMPLE_DATAPOINT;
    if (argc > 1 && argv[1][0] != '-') {
        sample = argv[1];
        --argc;
        ++argv;
    }
    const std::string scratch = (stdfs::temp_directory_path() / "quill-bench").string();
    stdfs::remove_all(scratch);
    // The bench's own temporary files and resource copy stay in its scratch.
    ::setenv("XDG_CACHE_HOME", (scratch + "/cache").c_str(), 1);
    g_dataPoint = scratch + "/LargeDataPoint";
    quill::GeneratorShape shape;
    shape.folders = 10000;
    shape.documents = 100000;
    shape.users = kUsers;
    shape.schedulesPercent = 10; // ten thousand tasks of ANNA
    if (quill::Status generated = quill::generateDataPoint(g_dataPoint, sample, shape); !generated) {
        std::cerr << generated.message() << '\n';
        return 1;
    }
    writeGroups(g_dataPoint);
    g_document = writeFullDocument(g_dataPoint, sample);
    g_listFolder = writeListFolder(g_dataPoint);
    g_fullDocument = writeFullestDocument(g_dataPoint, sample);
    std::cout << "data point: " << g_dataPoint << " (" << shape.folders << " folders, " << shape.documents
              << " documents, " << shape.users << " more users)\n";

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printRenderPercentiles();
    printEditorSavePercentiles();
    printMergeFigures();
    printMoveFigures();
    printTickPercentiles();

    // The same trees through the standard tools, warm cache like the runs above.
    const std::string root = "'" + g_dataPoint + "/DataPoint.root'";
    secondsOf("find " + root + " -name folder.folders > /dev/null");
    const double find = secondsOf("find " + root + " -name folder.folders > /dev/null");
    const std::string grep = std::string("LC_ALL=C grep -rilF '") + kFindWord + "' " + root + " > /dev/null";
    secondsOf(grep);
    double grepTime = 1e9;
    for (int i = 0; i < 3; ++i)
        grepTime = std::min(grepTime, secondsOf(grep));
    std::printf("standard tools: LC_ALL=C grep -rilF '%s' %.1f ms (best of 3)\n", kFindWord, grepTime * 1000);
    secondsOf("find " + root + " -name '*.scheduler' > /dev/null");
    const double findSchedules = secondsOf("find " + root + " -name '*.scheduler' > /dev/null");
    std::printf("standard tools: find -name '*.scheduler' %.1f ms\n", findSchedules * 1000);
    const std::string system = "'" + g_dataPoint + "/DataPoint.system'";
    const std::string users =
        "cat " + system + "/Users/*.user " + system + "/Resources/Users/ANNA/Groups/* > /dev/null";
    secondsOf(users);
    const double usersCat = secondsOf(users);
    const std::string list = "cat '" + g_listFolder + "'/*.note > /dev/null";
    double listCat = 1e9;
    for (int i = 0; i < 5; ++i)
        listCat = std::min(listCat, secondsOf(list));
    std::printf("standard tools: find -name folder.folders %.1f ms; cat of every user and group record %.1f ms; "
                "cat of the %d listed notes %.1f ms (best of 5)\n",
                find * 1000, usersCat * 1000, kListedDocuments, listCat * 1000);
    // What the save writes, copied by cp: the document, its comments and
    // attachments companions.
    const std::string base = g_fullDocument.substr(0, g_fullDocument.size() - std::string(".meeting").size());
    const std::string copy =
        "cp '" + base + ".meeting' '" + base + ".comments' '" + base + ".attachments' '" + scratch + "/'";
    double copyTime = 1e9;
    for (int i = 0; i < 5; ++i)
        copyTime = std::min(copyTime, secondsOf(copy));
    std::printf("standard tools: cp of the saved document and its two companions %.2f ms (best of 5)\n",
                copyTime * 1000);
    const double created = bestDataPointCopySeconds(scratch);
    const std::string copySystem = "cp -r '" + g_dataPoint + "/DataPoint.system' '" + scratch + "/SystemCopy'";
    double systemCopy = 1e9;
    for (int i = 0; i < 3; ++i) {
        systemCopy = std::min(systemCopy, secondsOf(copySystem));
        stdfs::remove_all(scratch + "/SystemCopy");
    }
    std::printf("create a data point from this one: %.1f ms; standard tools: cp -r of DataPoint.system %.1f ms "
                "(best of 3 each)\n",
                created * 1000, systemCopy * 1000);
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory of this program: %ld KiB\n", usage.ru_maxrss);
    stdfs::remove_all(scratch);
    return 0;
}
