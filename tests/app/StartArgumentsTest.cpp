// quill's command line: the data point directory the desktop entry hands
// over (Exec=quill %f) is one argument among Qt's own options, whose values
// are not taken for it.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using test::quillProgram;
using test::readBytes;
using test::shellWord;

TEST(StartArgumentsTest, OneDataPointDirectoryAndQtsOptionValuesAreNotOne) {
    if (quillProgram().empty())
        GTEST_SKIP() << "quill is not built here";
    test::TempDir scratch;
    const struct {
        const char* arguments;
        const char* why;
    } rows[] = {
        {"first second", "two directories"},
        {"-platform offscreen first second", "the value of Qt's -platform is no directory, so 'second' is the extra"},
        {"--datapoint first second", "--datapoint and a directory"},
    };
    for (const auto& row : rows) {
        // Refused before the program reads or writes anything of the user's.
        const std::string errors = scratch / "stderr";
        const std::string command = "env QT_QPA_PLATFORM=offscreen QUILL_CONFIG_HOME=" + shellWord(scratch.path()) +
                                    " " + shellWord(quillProgram()) + " " + row.arguments + " >/dev/null 2>" +
                                    shellWord(errors);
        const int raw = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 4) << row.why;
        const std::string said = readBytes(errors);
        EXPECT_NE(said.find("one data point directory only, not also second"), std::string::npos)
            << row.why << ": " << said;
        EXPECT_FALSE(stdfs::exists(scratch / "Orvane")) << row.why;
    }
}

} // namespace
} // namespace quill
