// Which printer the program offers to print on: what lpstat names, and
// nothing when it cannot say.
#include "platform/DefaultPrinter.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace quill {
namespace {

namespace stdfs = std::filesystem;

TEST(DefaultPrinterTest, ThePrinterIsWhatTheAnswerNamesAfterItsColon) {
    const struct {
        const char* answer;
        const char* printer;
    } rows[] = {
        {"system default destination: office\n", "office"},
        {"  system default destination:  Laser-2 \r\n", "Laser-2"},
        {"Standardziel des Systems: B\xC3\xBCro\n", "B\xC3\xBCro"},
        {"no system default destination\n", ""},
        {"no system default destination: none\n", ""},
        {"system default destination:\n", ""},
        {"garbage", ""},
        {"", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(printerFromLpstatAnswer(row.answer), row.printer) << row.answer;
}

// Puts programs of the test's own on PATH, only them, for as long as it
// lives.
class OwnPath {
public:
    explicit OwnPath(const std::string& directory) : saved_(std::getenv("PATH") ? std::getenv("PATH") : "") {
        ::setenv("PATH", directory.c_str(), 1);
    }
    ~OwnPath() { ::setenv("PATH", saved_.c_str(), 1); }
    OwnPath(const OwnPath&) = delete;
    OwnPath& operator=(const OwnPath&) = delete;

private:
    std::string saved_;
};

void writeProgram(const std::string& file, const std::string& script) {
    test::writeBytes(file, "#!/bin/sh\n" + script + "\n");
    stdfs::permissions(file, stdfs::perms::owner_all);
}

TEST(DefaultPrinterTest, AskedOfLpstatOnlyWhereLpCanPrint) {
    const struct {
        const char* why;
        bool withLp;
        const char* lpstat; // nullptr: none installed
        const char* printer;
    } rows[] = {
        {"lpstat names the default", true, "echo 'system default destination: office'", "office"},
        {"no lp to print with", false, "echo 'system default destination: office'", ""},
        {"no lpstat to ask", true, nullptr, ""},
        {"lpstat fails", true, "echo 'system default destination: office'; exit 1", ""},
        {"no default set up", true, "echo 'no system default destination'", ""},
        {"lpstat does not answer in time", true, "exec /bin/sleep 30", ""},
    };
    for (const auto& row : rows) {
        test::TempDir dir;
        if (row.withLp)
            writeProgram(dir / "lp", "exit 0");
        if (row.lpstat)
            writeProgram(dir / "lpstat", std::string("test \"$1\" = -d || exit 2\n") + row.lpstat);
        const OwnPath path(dir.path());
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(queryDefaultPrinter(), row.printer) << row.why;
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10)) << row.why;
    }
}

} // namespace
} // namespace quill
