#pragma once

// What the tests of quill-cli share: a copy of the sample data point with a
// home of its own (quill-cli inherits the test's variables), and a command
// run on it as a script runs it.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

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
        return runCli(command + " --datapoint " + shellWord(dataPoint) + " --user " + user + " " + rest, status,
                      errors);
    }

    // The same as ANNA, a user who is no administrator.
    std::string run(const std::string& command, const std::string& rest, int* status = nullptr,
                    std::string* errors = nullptr) const {
        return runAs("ANNA", command, rest, status, errors);
    }

    // Runs a command as user and expects it to fail with a message holding
    // said.
    void expectRefused(const std::string& command, const std::string& rest, const std::string& said,
                       const std::string& user = "ANNA") const {
        int status = -1;
        std::string errors;
        runAs(user, command, rest, &status, &errors);
        EXPECT_EQ(status, 1) << command << " " << rest;
        EXPECT_NE(errors.find(said), std::string::npos) << command << " " << rest << ": " << errors;
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
};

} // namespace quill::test
