// quill-cli --help lists every command, each explains itself with
// COMMAND --help, and --version says which program it is.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quill {
namespace {

using test::runCli;

TEST(CommandHelpTest, EveryListedCommandExistsAndExplainsItself) {
    int status = -1;
    const std::string help = runCli("--help", &status);
    ASSERT_EQ(status, 0);
    std::istringstream lines(help.substr(help.find("commands:\n") + 10));
    int listed = 0;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string name;
        words >> name;
        const std::string own = runCli(name + " --help", &status);
        EXPECT_EQ(status, 0) << name;
        EXPECT_EQ(own.rfind("usage: quill-cli " + name, 0), 0u) << own;
        ++listed;
    }
    // The commands of every part of the program, down to the newest.
    EXPECT_GE(listed, 44);
    for (const char* command : {"tasks", "find", "user", "group", "folders", "history", "datapoint"})
        EXPECT_NE(help.find(std::string("\n  ") + command + " "), std::string::npos) << command;
    EXPECT_EQ(runCli("--version", &status).rfind("quill-cli (Quill!) ", 0), 0u);
    std::string errors;
    runCli("no-such-command", &status, &errors);
    EXPECT_EQ(status, 1);
    EXPECT_NE(errors.find("unknown command"), std::string::npos);
}

} // namespace
} // namespace quill
