#pragma once

// What the tests of quill-cli share: a copy of the sample data point with a
// home of its own (quill-cli inherits the test's variables), and a command
// run on it as a script runs it.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace quill::test {

class CliTest : public ::testing::Test {
protected:
    IsolatedHome home;
    TempDir dir;
    std::string dataPoint = copySampleDataPoint(dir);
    std::string root = dataPoint + "/DataPoint.root";

    // Runs "command --datapoint <the copy> --user <user> rest": its output,
    // and its exit status and standard error where asked for.
    std::string runAs(const std::string& user, const std::string& command, const std::string& rest,
                      int* status = nullptr, std::string* errors = nullptr) const {
        return runCli(commandLine(command, rest, user), status, errors);
    }

    // The same as ANNA, a user who is no administrator.
    std::string run(const std::string& command, const std::string& rest, int* status = nullptr,
                    std::string* errors = nullptr) const {
        return runAs("ANNA", command, rest, status, errors);
    }

    // Runs quill-cli with arguments and expects it to fail: status 1 and a
    // message on standard error that holds said. Returns its output.
    static std::string expectFailure(const std::string& arguments, const std::string& said = {}) {
        int status = -1;
        std::string errors;
        const std::string out = runCli(arguments, &status, &errors);
        EXPECT_EQ(status, 1) << arguments;
        EXPECT_FALSE(errors.empty()) << arguments;
        EXPECT_NE(errors.find(said), std::string::npos) << arguments << ": " << errors;
        return out;
    }

    // Runs a command as user and expects it to fail with a message holding
    // said. Returns its output.
    std::string expectRefused(const std::string& command, const std::string& rest, const std::string& said,
                              const std::string& user = "ANNA") const {
        return expectFailure(commandLine(command, rest, user), said);
    }

    // The output and exit status of quill-cli run with arguments.
    using Outcome = std::pair<std::string, int>;
    static Outcome outcomeOf(const std::string& arguments) {
        int status = -1;
        std::string out = runCli(arguments, &status);
        return {std::move(out), status};
    }

    // Runs quill-cli with arguments and expects it to succeed; its output.
    static std::string runOk(const std::string& arguments) {
        int status = -1;
        std::string errors;
        const std::string out = runCli(arguments, &status, &errors);
        EXPECT_EQ(status, 0) << arguments << ": " << errors;
        return out;
    }

    // A redirection of standard input from a file holding text.
    std::string input(const std::string& text) const {
        const std::string file = dir / "stdin.txt";
        writeBytes(file, text);
        return " < " + shellWord(file);
    }

    // The exit status of a command run as ANNA.
    int statusOf(const std::string& command, const std::string& rest) const {
        int status = -1;
        run(command, rest, &status);
        return status;
    }

    // The arguments of "command --datapoint <the copy> --user <user> rest".
    std::string commandLine(const std::string& command, const std::string& rest,
                            const std::string& user = "ANNA") const {
        return command + " --datapoint " + shellWord(dataPoint) + " --user " + user + " " + rest;
    }
};

} // namespace quill::test
