// The find's walk: which files it reads, how it matches, that a document
// is listed once, and that a stop keeps what was found.
#include "datapoint/FolderSearch.h"
#include "platform/Cp1250.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

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
    } cases[] = {
        {"companions apart in the listing", {{many, true}}, 40},
        {"a subfolder that is a top folder too", {{root, true}, {many, true}}, 44},
        {"the subfolder first", {{many, true}, {root, true}}, 44},
        {"the same folder alone and with subfolders", {{sub, false}, {sub, true}}, 1},
        {"one folder spelled twice", {{sub, true}, {sub + "/", true}}, 1},
    };
    for (const auto& c : cases) {
        FolderSearch search("toner", {});
        std::vector<std::string> documents;
        search.run(c.scopes, [&](const std::string& document) { documents.push_back(cp1250::upper(document)); });
        EXPECT_EQ(documents.size(), c.expected) << c.what;
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

} // namespace
} // namespace quill
