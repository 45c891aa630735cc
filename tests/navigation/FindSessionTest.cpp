// A find as the find view runs it: what it hands out on the sample data
// point, in what order, what the user's rights hide, and that a stop, a
// new start and the end of the session each leave the walk's thread
// joined and the next search clean.
#include "navigation/FindSession.h"

#include "navigation/Find.h"
#include "navigation/MainTree.h"

#include "SessionTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Names = std::vector<std::string>;
using test::readBytes;
using test::writeBytes;

constexpr std::chrono::milliseconds kTurn{20};
// Far more than any of these searches needs: a search still running then
// has hung.
constexpr std::chrono::seconds kPatience{60};
// Stop is to take effect within one file; this much means it did not.
constexpr std::chrono::seconds kPrompt{5};

// Takes turns as the view's timer does until the search is over; the
// documents relative to the data point, in the order handed out.
Names takeAll(FindSession& find, const std::string& dataPoint) {
    Names names;
    const auto until = Clock::now() + kPatience;
    while (!find.take(kTurn,
                      [&](const std::string& document) { names.push_back(document.substr(dataPoint.size() + 1)); })) {
        if (Clock::now() > until) {
            ADD_FAILURE() << "the search did not end";
            break;
        }
    }
    return names;
}

// What "review" finds in the sample, sorted: in two meetings, and in a
// contract's comments.
const Names kMeetingReviews = {"DataPoint.root/Meetings/Annual review.meeting",
                               "DataPoint.root/Meetings/Weekly review.meeting"};
const Names kAllReviews = {"DataPoint.root/Contracts/Supplier.contract", kMeetingReviews[0], kMeetingReviews[1]};

Names sorted(Names names) {
    std::sort(names.begin(), names.end());
    return names;
}

class FindSessionTest : public test::OpenSessionTest {};

TEST_F(FindSessionTest, HandsOutEachMatchingDocumentOnceInTheSameOrderEachTime) {
    MainTree tree;
    buildMainTree(*session, tree);
    const std::string root = dataPoint + "/DataPoint.root";
    const struct {
        const char* why;
        const char* text;
        const char* filter;
        std::string folder; // empty: every top folder
        bool subfolders;
        Names found; // sorted
    } rows[] = {
        {"the word in two meetings and a contract's comments", "review", "", "", true, kAllReviews},
        {"one kind only", "review", ".meeting", "", true, kMeetingReviews},
        {"one folder", "review", "", root + "/Meetings", true, kMeetingReviews},
        {"a folder's own files without its subfolders", "review", "", root, false, {}},
        {"the user's own folder is searched too", "reading", "", "", true, {"DataPoint.users/ANNA/Reading list.note"}},
        {"an empty text finds nothing", "", "", "", true, {}},
        {"a folder that does not exist", "review", "", root + "/Gone", true, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        FindSession find(*session);
        find.start(findScopes(tree, row.folder, row.subfolders), row.text, row.filter);
        const Names first = takeAll(find, dataPoint);
        EXPECT_FALSE(find.running());
        EXPECT_EQ(sorted(first), row.found);
        EXPECT_EQ(find.progress().documents, row.found.size());
        // The same search again, in the same session, lists the same.
        find.start(findScopes(tree, row.folder, row.subfolders), row.text, row.filter);
        EXPECT_EQ(takeAll(find, dataPoint), first);
    }
}

// A folder whose rights leave Anna out, holding a copy of a meeting, and a
// meeting whose own rights leave her out.
void hideTwoReviews(const std::string& root) {
    const std::string weekly = root + "/Meetings/Weekly review.meeting";
    const std::string board = root + "/Meetings/Board";
    stdfs::create_directories(board);
    writeBytes(board + "/folder.folders", "FOLDER.BMP\r\n\r\nJan Novy (JAN); \r\n\r\n");
    stdfs::copy_file(weekly, board + "/Weekly review.meeting");
    std::string content = readBytes(weekly);
    const std::string anna = "Anna Novak (ANNA); ";
    for (std::size_t at; (at = content.find(anna)) != std::string::npos;)
        content.erase(at, anna.size());
    writeBytes(root + "/Meetings/Private.meeting", content);
}

TEST_F(FindSessionTest, DocumentsTheRightsHideAreNotHandedOut) {
    const struct {
        const char* why;
        bool administrator;
        Names found; // sorted
    } rows[] = {
        {"a user sees what the rights admit", false, kAllReviews},
        {"an administrator sees everything",
         true,
         {kAllReviews[0], kAllReviews[1], "DataPoint.root/Meetings/Board/Weekly review.meeting",
          "DataPoint.root/Meetings/Private.meeting", kAllReviews[2]}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        test::SessionFixture f;
        ASSERT_TRUE(f.open());
        f.session->program.isAdministrator = row.administrator;
        hideTwoReviews(f.dataPoint + "/DataPoint.root");
        MainTree tree;
        buildMainTree(*f.session, tree);
        FindSession find(*f.session);
        find.start(topFolderScopes(tree), "review", "");
        EXPECT_EQ(sorted(takeAll(find, f.dataPoint)), row.found);
        // The hidden ones were read all the same, but not counted as shown.
        EXPECT_EQ(find.progress().documents, row.found.size());
        EXPECT_GT(find.progress().files, row.found.size());
    }
}

// Many notes holding "archive" among large scans without it (sparse files:
// nothing on the disk), so that a search lasts long enough to be stopped.
constexpr int kArchiveFolders = 20;
constexpr int kNotesPerFolder = 300;
std::string fillArchive(const std::string& root) {
    const std::string archive = root + "/Projects/Archive";
    for (int folder = 0; folder < kArchiveFolders; ++folder) {
        const std::string directory = archive + "/Year " + std::to_string(2000 + folder);
        stdfs::create_directories(directory);
        for (int n = 0; n < kNotesPerFolder; ++n)
            writeBytes(directory + "/Note " + std::to_string(n) + ".note", "Note\r\nabout the archive\r\n");
        writeBytes(directory + "/Scan.note", "");
        stdfs::resize_file(directory + "/Scan.note", std::uintmax_t{1} << 30);
    }
    return archive;
}

TEST_F(FindSessionTest, StopEndsTheWalkPromptlyAndANewStartBeginsClean) {
    const std::string archive = fillArchive(dataPoint + "/DataPoint.root");
    FindSession find(*session);
    EXPECT_TRUE(find.take(kTurn, [](const std::string&) { ADD_FAILURE() << "nothing was searched"; }))
        << "no search is over at once";

    find.start({{archive, true}}, "archive", "");
    EXPECT_TRUE(find.running());
    std::size_t shown = 0;
    const auto until = Clock::now() + kPatience;
    while (shown == 0 && Clock::now() < until)
        find.take(kTurn, [&](const std::string&) { ++shown; });
    ASSERT_GT(shown, 0u);
    const auto stopping = Clock::now();
    find.stop();
    EXPECT_LT(Clock::now() - stopping, kPrompt);
    EXPECT_FALSE(find.running());
    // What was found before the stop is still handed out, then it is over
    // for good: the walk found no more.
    const auto rest = takeAll(find, dataPoint).size();
    const FindProgress stopped = find.progress();
    EXPECT_EQ(stopped.documents, shown + rest);
    EXPECT_LT(stopped.documents, std::size_t{kArchiveFolders * kNotesPerFolder}) << "the walk was not cut short";
    EXPECT_TRUE(find.take(kTurn, [](const std::string&) { ADD_FAILURE() << "handed out after the end"; }));
    EXPECT_EQ(find.progress().files, stopped.files);

    // A new search counts from nothing and lists only its own.
    find.start({{dataPoint + "/DataPoint.root/Meetings", true}}, "review", "");
    EXPECT_EQ(sorted(takeAll(find, dataPoint)), kMeetingReviews);
    EXPECT_EQ(find.progress().documents, 2u);
    EXPECT_EQ(find.progress().folders, 1u);

    // Starting over a running search, and ending the session with one
    // running, stop the walk at once too.
    find.start({{archive, true}}, "archive", "");
    const auto restarting = Clock::now();
    find.start({{dataPoint + "/DataPoint.root/Meetings", true}}, "workshop", "");
    EXPECT_LT(Clock::now() - restarting, kPrompt);
    EXPECT_EQ(takeAll(find, dataPoint), Names{"DataPoint.root/Meetings/Design workshop.meeting"});
    const auto ending = Clock::now();
    {
        FindSession running(*session);
        running.start({{archive, true}}, "archive", "");
    }
    EXPECT_LT(Clock::now() - ending, kPrompt);
}

} // namespace
} // namespace quill
