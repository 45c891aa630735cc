// The checks every command gets from its entry in the command table, called
// in process: the number of arguments, the actions, the session's options
// and the paths that must lie in the data point.
#include "CommandRunner.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quill {
namespace {

using cli::Args;

struct Outcome {
    int status = -1;
    std::string out;
    std::string errors;
};

Outcome run(const std::string& name, Args args) {
    const cli::CommandInfo* command = cli::commandNamed(name);
    EXPECT_NE(command, nullptr) << name;
    if (!command)
        return {};
    std::ostringstream out;
    std::ostringstream errors;
    Outcome outcome;
    outcome.status = cli::runCommand(*command, std::move(args), out, errors);
    outcome.out = out.str();
    outcome.errors = errors.str();
    return outcome;
}

class CommandRunnerTest : public ::testing::Test {
protected:
    test::IsolatedHome home;
    test::TempDir dir;
    std::string dataPoint = test::copySampleDataPoint(dir);
    std::string root = dataPoint + "/DataPoint.root/";

    Args session(Args rest) const {
        Args args{"--datapoint", dataPoint, "--user", "ANNA"};
        args.insert(args.end(), rest.begin(), rest.end());
        return args;
    }
};

TEST_F(CommandRunnerTest, ArgumentsAndActionsAreCheckedBeforeAnythingOpens) {
    // A data point that does not exist: a refusal about the arguments shows
    // that they were checked before it was opened.
    const Args nowhere{"--datapoint", dir / "Nowhere", "--user", "ANNA"};
    const auto with = [&](Args rest) {
        Args args = nowhere;
        args.insert(args.end(), rest.begin(), rest.end());
        return args;
    };
    const struct {
        std::string command;
        Args args;
        std::string error; // the start of the message
    } cases[] = {
        {"main-file", {}, "quill-cli: usage: quill-cli main-file PATH\n"},
        {"main-file", {"a.comments", "b.comments"}, "quill-cli: usage: quill-cli main-file PATH\n"},
        {"lang", {"a", "b", "c"}, "quill-cli: usage: quill-cli lang LANGUAGE_DIR FILE SECTION KEY\n"},
        {"registry", {"extra"}, "quill-cli: usage: quill-cli registry\n"},
        {"settings", with({"extra"}), "quill-cli: usage: quill-cli settings --datapoint DIR --user LOGON\n"},
        {"history", with({}), "quill-cli: usage: quill-cli history "},
        {"log", with({"1", "2"}), "quill-cli: usage: quill-cli log "},
        {"log", with({"abc"}), "quill-cli: not an event number: abc\n"},
        {"edit", with({"--set", "NOTE=x"}), "quill-cli: usage: quill-cli edit "},
        {"document", with({}), "quill-cli: usage: quill-cli document "},
        {"document", with({"copy", "a.note"}), "quill-cli: usage: quill-cli document "},
        {"document", with({"delete", "a.note", "b.note"}), "quill-cli: usage: quill-cli document "},
        {"document", with({"rename", "a.note"}), "quill-cli: unknown document action rename: use copy, move or delete"},
        {"group", with({"list", "extra"}), "quill-cli: usage: quill-cli group "},
        {"record", {"frob", "a", "b"}, "quill-cli: unknown record action frob: use read or set\n"},
        {"record", {"read", "a"}, "quill-cli: usage: quill-cli record "},
        {"settings", {"--user", "ANNA"}, "quill-cli: this command needs --datapoint DIR and --user LOGON\n"},
        {"user",
         {"create", "--datapoint", dir / "Nowhere", "--user", "ADMIN", "BOB"},
         "quill-cli: usage: quill-cli user "},
        {"settings", nowhere, "quill-cli: cannot open data point " + dir / "Nowhere" + ": it has no DataPoint.info\n"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = run(c.command, c.args);
        EXPECT_EQ(outcome.status, 1) << c.command << ": " << outcome.errors;
        EXPECT_EQ(outcome.errors.rfind(c.error, 0), 0u) << c.command << ": " << outcome.errors;
        EXPECT_EQ(outcome.out, "") << c.command;
    }
}

TEST_F(CommandRunnerTest, PathsOutsideTheDataPointAreRefused) {
    test::writeBytes(dir / "Elsewhere.note", "not of the data point");
    const std::string supplier = root + "Contracts/Supplier.contract";
    const struct {
        std::string command;
        Args args;
        std::string error;
    } cases[] = {
        {"history", session({dir / "Elsewhere.note"}), "is nothing of the data point"},
        {"history", session({root + "../../Elsewhere.note"}), "is nothing of the data point"},
        {"history", session({root + "Missing.note"}), "does not exist"},
        {"edit", session({dir / "Elsewhere.note", "--set", "NOTE=x"}), "is nothing of the data point"},
        {"folder", session({"props", dir.path()}), "is nothing of the data point"},
        {"document", session({"copy", supplier, dir / "Copy.contract"}), "is nothing of the data point"},
        {"document", session({"move", dir / "Elsewhere.note", root + "Moved.note"}), "is nothing of the data point"},
        {"document", session({"delete", dir / "Elsewhere.note"}), "is nothing of the data point"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = run(c.command, c.args);
        EXPECT_EQ(outcome.status, 1) << c.command << " " << c.args[4];
        EXPECT_NE(outcome.errors.find(c.error), std::string::npos)
            << c.command << " " << c.args[4] << ": " << outcome.errors;
    }
    EXPECT_TRUE(test::readBytes(dir / "Copy.contract").empty()) << "nothing was copied out";
    EXPECT_EQ(test::readBytes(dir / "Elsewhere.note"), "not of the data point");
    EXPECT_FALSE(test::readBytes(supplier).empty());
}

TEST_F(CommandRunnerTest, CommandsWithoutASessionNeedNoDataPoint) {
    const struct {
        std::string command;
        Args args;
        std::string out;
    } cases[] = {
        {"main-file", {root + "Contracts/Supplier.comments"}, root + "Contracts/Supplier.contract\n"},
        {"decode-form", {"A=1&B=2"}, "A\t1\nLAST\tB\n"},
        {"cipher", {"encode", ""}, "\n"},
        {"registry", {}, ""},
    };
    for (const auto& c : cases) {
        const Outcome outcome = run(c.command, c.args);
        EXPECT_EQ(outcome.status, 0) << c.command << ": " << outcome.errors;
        EXPECT_EQ(outcome.out, c.out) << c.command;
        EXPECT_EQ(outcome.errors, "") << c.command;
    }
    // And a session command runs on the arguments the table checked.
    const Outcome settings = run("settings", session({}));
    EXPECT_EQ(settings.status, 0) << settings.errors;
    EXPECT_NE(settings.out.find("RESOURCEDIR\t"), std::string::npos);
}

} // namespace
} // namespace quill
