// quill-cli's tree, location, render, find and print-file commands, as
// scripts read them.
#include "CliTest.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace quill {
namespace {

using test::runCli;
using test::shellWord;

class NavigationCommandsTest : public test::CliTest {
protected:
    std::string run(const std::string& command, const std::string& user, const std::string& rest) {
        return runAs(user, command, rest);
    }
};

TEST_F(NavigationCommandsTest, TreeIsIndentedAndTabSeparated) {
    const std::string tree = run("tree", "ANNA", "");
    EXPECT_EQ(tree.rfind("Shared documents\tROOT\tROOT\t" + dataPoint + "/DataPoint.root\t", 0), 0u) << tree;
    EXPECT_NE(tree.find("\n    Website\t\t\t" + dataPoint + "/DataPoint.root/Projects/Website\tFOLDER.BMP\t"),
              std::string::npos)
        << tree;
    EXPECT_NE(tree.find("\nTrash\tTRASH\tTRASH\t"), std::string::npos);
    EXPECT_EQ(tree.find("Administration"), std::string::npos);
    EXPECT_NE(run("tree", "ADMINISTRATOR", "--admin").find("\n  Administration\tSETTINGS\t"), std::string::npos);
}

TEST_F(NavigationCommandsTest, OnlyUsersOfTheDataPointAreLetIn) {
    for (const char* user : {"NOBODY", "../../escape"})
        EXPECT_EQ(expectRefused("tree", "", "", shellWord(user)), "");
    EXPECT_FALSE(std::filesystem::exists(dataPoint + "/DataPoint.users/NOBODY"));
    EXPECT_FALSE(std::filesystem::exists(dataPoint + "/DataPoint.system/Users/NOBODY.usrfolders"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/escape"));
}

TEST_F(NavigationCommandsTest, LocationOfAFolder) {
    EXPECT_EQ(run("location", "ANNA", shellWord(dataPoint + "/DataPoint.root/Projects/Website")),
              "Shared documents\\Projects\\Website\n");
    EXPECT_EQ(run("location", "ANNA", "/elsewhere"), "\n");
}

TEST_F(NavigationCommandsTest, RenderPrintsThePageOrNothing) {
    const std::string page =
        runOk(commandLine("render", shellWord("$DATA_POINT_PATH$/DataPoint.root/Projects/Website/Kickoff.meeting")));
    ASSERT_FALSE(page.empty());
    EXPECT_NE(page.find("/HTMLparse/temp"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_regular_file(page.substr(0, page.size() - 1)));
    EXPECT_EQ(run("render", "ANNA", "www.example.com"), "www.example.com\n");
    EXPECT_EQ(runOk(commandLine("render", "/no/such/file.note")), "");
    // A directory, even with '\\' from data, becomes a page listing its files,
    // each name a command that opens exactly that file.
    const std::string listing =
        run("render", "ANNA", shellWord("$DATA_POINT_PATH$\\DataPoint.root\\Contracts\\Attachments.systemfiles"));
    ASSERT_NE(listing.find("/HTMLparse/temp"), std::string::npos) << listing;
    const std::string shown = test::readBytes(listing.substr(0, listing.size() - 1));
    EXPECT_NE(shown.find(dataPoint + "/DataPoint.root/Contracts/Attachments.systemfiles"), std::string::npos);
    EXPECT_NE(shown.find("COMMAND:FILE:OPEN:Price%20list%202027815%2EDT20%2E11%2E20262260%2ETD%2Epdf"),
              std::string::npos);
    EXPECT_NE(shown.find("PDF.BMP"), std::string::npos);
}

TEST_F(NavigationCommandsTest, ADocumentPageKnowsItsFolderAndLeavesOutUnsafeAttachmentLinks) {
    const std::string contract = dataPoint + "/DataPoint.root/Contracts/Supplier.contract";
    const auto page = [&] {
        const std::string address = run("render", "ANNA", shellWord(contract));
        return test::readBytes(address.substr(0, address.size() - 1));
    };
    EXPECT_NE(page().find("MainTreeView/PDF.BMP"), std::string::npos) << "the attached PDF's own picture";

    const std::string companion = dataPoint + "/DataPoint.root/Contracts/Supplier.attachments";
    for (const char* stored : {"..%2F..%2Fetc%2Fpasswd", "../../etc/passwd"}) {
        runCli("record set " + shellWord(dataPoint) + " " + shellWord(companion) + " ATTACHMENTNAME1=Stolen " +
               shellWord(std::string("ATTACHMENTFILE1=") + stored));
        const std::string shown = page();
        EXPECT_EQ(shown.find("Stolen"), std::string::npos) << stored;
        EXPECT_EQ(shown.find("etc"), std::string::npos) << stored;
        EXPECT_NE(shown.find("COMMAND:ATTACHMENT:"), std::string::npos) << "the other attachments stay";
    }
}

TEST_F(NavigationCommandsTest, FindListsEachDocumentOnceAndPrintFileJoinsTheChosenPages) {
    const std::string meetings = dataPoint + "/DataPoint.root/Meetings";
    const std::string found = runOk(commandLine("find", "--folder " + shellWord(meetings) + " --no-subfolders REVIEW"));
    // In the order the folder lists them, which the file system decides.
    std::vector<std::string> lines = test::linesOf(found, "\n");
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines,
              (std::vector<std::string>{"Annual review\tAnna Novak (ANNA)\t14.12.2026\tShared documents\\Meetings\t" +
                                            meetings + "/Annual review.meeting",
                                        "Weekly review\tAnna Novak (ANNA)\t30.11.2026\tShared documents\\Meetings\t" +
                                            meetings + "/Weekly review.meeting"}));
    EXPECT_EQ(run("find", "ANNA", "nothing-holds-this"), "");

    // Two named documents: one page each, in the order the document list
    // shows them, not the order named.
    const std::string printFile =
        runOk(commandLine("print-file", shellWord(meetings) + " 'Weekly review.meeting' 'Annual review.meeting'"));
    ASSERT_FALSE(HasFailure());
    const std::string joined = test::readBytes(printFile.substr(0, printFile.size() - 1));
    EXPECT_EQ(test::occurrences(joined, "class=\"print-page"), 2u);
    EXPECT_LT(joined.find("Annual review"), joined.find("Weekly review"));
    EXPECT_EQ(joined.find("Budget planning"), std::string::npos);
    EXPECT_EQ(statusOf("print-file", shellWord(meetings) + " 'Missing.meeting'"), 1);

    // A PDF is written by the windowed program where it was built.
    const std::string pdf = dir / "meetings.pdf";
    const bool windowed = std::filesystem::exists(std::filesystem::path(QUILL_CLI_PATH).parent_path() / "quill");
    EXPECT_EQ(statusOf("print-file", shellWord(meetings) + " --pdf " + shellWord(pdf)), windowed ? 0 : 1);
    EXPECT_EQ(std::filesystem::exists(pdf), windowed);
    if (windowed && std::system("command -v pdfinfo >/dev/null") == 0) {
        const std::string infoFile = dir / "pdfinfo.txt";
        ASSERT_EQ(std::system(("pdfinfo " + shellWord(pdf) + " >" + shellWord(infoFile)).c_str()), 0);
        const std::string info = test::readBytes(infoFile);
        EXPECT_NE(info.find("Pages:           6"), std::string::npos) << info;
    }
}

} // namespace
} // namespace quill
