// quill-cli --help lists every command, each explains itself with
// COMMAND --help, and --version says which program it is.
#include "CliTest.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quill {
namespace {

class CommandHelpTest : public test::CliTest {};

TEST_F(CommandHelpTest, EveryListedCommandExistsAndExplainsItself) {
    const std::string help = runOk("--help");
    ASSERT_FALSE(HasFailure());
    std::istringstream lines(help.substr(help.find("commands:\n") + 10));
    int listed = 0;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string name;
        words >> name;
        const std::string own = runOk(name + " --help");
        EXPECT_EQ(own.rfind("usage: quill-cli " + name, 0), 0u) << own;
        ++listed;
    }
    // The commands of every part of the program, down to the newest.
    EXPECT_GE(listed, 44);
    for (const char* command : {"tasks", "find", "user", "group", "folders", "history", "datapoint"})
        EXPECT_NE(help.find(std::string("\n  ") + command + " "), std::string::npos) << command;
    EXPECT_EQ(runOk("--version").rfind("quill-cli (Quill!) ", 0), 0u);
    expectFailure("no-such-command", "unknown command");
}

} // namespace
} // namespace quill
