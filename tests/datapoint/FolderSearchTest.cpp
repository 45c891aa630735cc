// The find's walk: which files it reads, how it matches, that a document
// is listed once, and that a stop keeps what was found.
#include "datapoint/FolderSearch.h"
#include "platform/Cp1250.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace quill {
namespace {

namespace stdfs = std::filesystem;

class FolderSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto write = [&](const std::string& name, const std::string& content) {
            stdfs::create_directories((stdfs::path(root) / name).parent_path());
            // Data point files are in code page 1250.
            test::writeBytes(root + "/" + name, cp1250::fromUtf8(content));
        };
        write("Offer.contract", "Offer\r\nPaper and More\r\n");
        write("Offer.comments", "The TONER is ordered apart\r\n");
        write("Offer.history", "toner mentioned here only\r\n");
        write("Plan.note", "Plan\r\nbuy ton\r\ner soon\r\n");
        write("Letter.note", "Letter\r\nAsk about the price of žluté toner\r\n");
        write("folder.folders", "FOLDER.BMP\r\ntoner\r\n");
        write("Attachments.systemfiles/Price1.DT1.1.20271.TD.txt", "toner 12 EUR\r\n");
        write("Sub/Deep.note", "Deep\r\nToner for the printer\r\n");
        write("Sub/Attachments.systemfiles/Other.txt", "toner\r\n");
        // Names on disk are UTF-8; the library speaks code page 1250.
        write("Účty/Záloha.note", "Záloha\r\ntoner deposit\r\n");
    }
    std::vector<std::string> found(std::string_view text, std::string_view filter = {}, bool subfolders = true) {
        FolderSearch search(text, filter);
        std::vector<std::string> names;
        search.run({{root, subfolders}}, [&](const std::string& document) {
            names.push_back(cp1250::toUtf8(document.substr(root.size() + 1)));
        });
        std::sort(names.begin(), names.end());
        return names;
    }
    test::TempDir dir;
    std::string root = dir / "Folder";
};

TEST_F(FolderSearchTest, WhatIsReadAndHowItMatches) {
    using Names = std::vector<std::string>;
    // A document and its comments count once; histories, folder records
    // and attached files are never read; case does not count; a word
    // never spans two lines.
    EXPECT_EQ(found("toner"), (Names{"Letter.note", "Offer.contract", "Sub/Deep.note", "Účty/Záloha.note"}));
    EXPECT_EQ(found("TONER", {}, false), (Names{"Letter.note", "Offer.contract"}));
    // A kind reads only its own files: the contract, not its comments.
    EXPECT_EQ(found("paper", ".contract"), (Names{"Offer.contract"}));
    EXPECT_EQ(found("toner", ".contract"), Names{});
    EXPECT_EQ(found(cp1250::fromUtf8("ŽLUTÉ")), (Names{"Letter.note"})) << "letters of the code page in any case";
    EXPECT_EQ(found("buy toner"), Names{});
    EXPECT_EQ(found(""), Names{});
}

TEST_F(FolderSearchTest, EachDocumentIsFoundOnceHoweverItIsReached) {
    // Many documents whose companions match too: the listing order of a
    // large directory puts a document and its companions far apart.
    for (int n = 0; n < 40; ++n) {
        const std::string base = root + "/Many/Note" + std::to_string(n);
        stdfs::create_directories(root + "/Many");
        test::writeBytes(base + ".note", "Note\r\ntoner\r\n");
        test::writeBytes(base + ".comments", "toner again\r\n");
        test::writeBytes(base + ".attachments", "toner.txt\r\n");
        test::writeBytes(base + ".scheduler", "toner\r\n");
    }
    const std::string many = root + "/Many";
    const std::string sub = root + "/Sub";
    const struct {
        const char* what;
        std::vector<SearchScope> scopes;
        std::size_t expected;
        std::size_t folders; // each read once: the folder itself, Sub, Účty and Many
    } cases[] = {
        {"companions apart in the listing", {{many, true}}, 40, 1},
        {"a subfolder that is a top folder too", {{root, true}, {many, true}}, 44, 4},
        {"the subfolder first", {{many, true}, {root, true}}, 44, 4},
        {"the same folder alone and with subfolders", {{sub, false}, {sub, true}}, 1, 1},
        {"one folder spelled twice", {{sub, true}, {sub + "/", true}}, 1, 1},
    };
    for (const auto& c : cases) {
        FolderSearch search("toner", {});
        std::vector<std::string> documents;
        search.run(c.scopes, [&](const std::string& document) { documents.push_back(cp1250::upper(document)); });
        EXPECT_EQ(documents.size(), c.expected) << c.what;
        EXPECT_EQ(search.foldersSearched(), c.folders) << c.what;
        std::sort(documents.begin(), documents.end());
        EXPECT_EQ(std::adjacent_find(documents.begin(), documents.end()), documents.end()) << c.what;
    }
}

TEST_F(FolderSearchTest, AStopKeepsWhatWasFound) {
    FolderSearch search("toner", {});
    std::vector<std::string> kept;
    search.run({{root, true}}, [&](const std::string& document) {
        kept.push_back(document);
        search.stop();
    });
    EXPECT_EQ(kept.size(), 1u);
    EXPECT_TRUE(search.stopRequested());
    EXPECT_GE(search.filesSearched(), 1u);
}

TEST_F(FolderSearchTest, ReadersReportInTheOrderOfTheWalk) {
    // A few hundred files in nested folders. Some are large, with the word
    // at their end, so that readers finish out of turn; matches are in
    // documents and in companions of documents that do not match.
    std::vector<std::string> expected{"Letter.note", "Offer.contract", "Sub/Deep.note", "Účty/Záloha.note"};
    const std::string large(600 * 1024, 'x');
    for (int f = 0; f < 6; ++f) {
        const std::string folder = "Tree/F" + std::to_string(f) + (f % 2 ? "/Inner" : "");
        stdfs::create_directories(root + "/" + folder);
        for (int n = 0; n < 25; ++n) {
            const std::string base = root + "/" + folder + "/N" + std::to_string(n);
            const std::string name = folder + "/N" + std::to_string(n) + ".note";
            switch (n % 5) {
            case 0: // the document
                test::writeBytes(base + ".note", (n % 10 ? "" : large) + "Note\r\ntoner\r\n");
                test::writeBytes(base + ".comments", "toner too\r\n");
                expected.push_back(name);
                break;
            case 1: // its comments only
                test::writeBytes(base + ".note", "Note\r\npaper\r\n");
                test::writeBytes(base + ".comments", large + "\r\ntoner\r\n");
                expected.push_back(name);
                break;
            default: // neither, one of them large
                test::writeBytes(base + ".note", (n % 5 == 2 ? large : "") + "Note\r\npaper\r\n");
                test::writeBytes(base + ".comments", "paper\r\n");
            }
        }
    }
    std::sort(expected.begin(), expected.end());
    const auto run = [&](std::size_t readers) {
        FolderSearch search("toner", {}, readers);
        std::vector<std::string> documents;
        search.run({{root, true}}, [&](const std::string& document) {
            documents.push_back(cp1250::toUtf8(document.substr(root.size() + 1)));
        });
        return documents;
    };
    // One reader takes the files in the order the walk meets them.
    const std::vector<std::string> inWalkOrder = run(1);
    std::vector<std::string> sorted = inWalkOrder;
    std::sort(sorted.begin(), sorted.end());
    ASSERT_EQ(sorted, expected);
    for (const std::size_t readers : {2u, 3u, 8u}) {
        for (int round = 0; round < 20; ++round)
            ASSERT_EQ(run(readers), inWalkOrder) << readers << " readers, round " << round;
    }
}

TEST_F(FolderSearchTest, AStopEndsTheReadOfALargeFile) {
    // The large file is searched first; behind it, in the next scope, wait
    // documents the readers may already have matched. None of them may be
    // reported once stopped, and the run ends without reading the rest of
    // the large file (a gigabyte of sparse file: seconds to read whole).
    const std::string large = root + "/Large";
    stdfs::create_directories(large);
    std::ofstream(large + "/Huge.note").close();
    stdfs::resize_file(large + "/Huge.note", std::uintmax_t{1} << 30);
    for (const std::size_t readers : {1u, 4u}) {
        FolderSearch search("toner", {}, readers);
        std::vector<std::string> documents;
        std::chrono::steady_clock::time_point ended;
        std::thread walk([&] {
            search.run({{large, true}, {root, true}},
                       [&](const std::string& document) { documents.push_back(document); });
            ended = std::chrono::steady_clock::now();
        });
        while (search.filesSearched() == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const auto stopped = std::chrono::steady_clock::now();
        search.stop();
        walk.join();
        EXPECT_LT(ended - stopped, std::chrono::milliseconds(500)) << readers << " readers";
        EXPECT_EQ(documents, std::vector<std::string>{}) << readers << " readers";
    }
}

} // namespace
} // namespace quill
