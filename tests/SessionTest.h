#pragma once

// GoogleTest fixtures on the session fixture: a session opened, logged on,
// or about to log on.
#include "SessionFixture.h"

#include "formats/RegistryStore.h"
#include "session/Logon.h"

#include <gtest/gtest.h>

#include <string>

namespace quill::test {

// A test on a session opened as a logon opens it.
class OpenSessionTest : public ::testing::Test, public SessionFixture {
protected:
    void SetUp() override { ASSERT_TRUE(open()); }
};

// The same with the user's data read too: users, groups, folders and the
// schedule, as after a logon.
class LoggedOnTest : public OpenSessionTest {
protected:
    void SetUp() override {
        OpenSessionTest::SetUp();
        if (!HasFatalFailure()) {
            ASSERT_TRUE(loadUserData(*session));
        }
    }
};

// A session that logs on as the logon view does, the data point known to
// the program and the start-up values in a registry file of its own.
class LogonAttemptTest : public ::testing::Test, public SessionFixture {
protected:
    LogonAttemptTest() : registry(dir / "registry.ini") {
        session->program.knownDataPoints = {dataPoint};
        session->program.actualDataPoint = 0;
    }
    LogonOutcome logon(const std::string& name, const std::string& password, bool autoLogon = false) {
        return attemptLogon(*session, registry, {name, password, autoLogon}, failed);
    }

    RegistryStore registry;
    int failed = 0; // wrong passwords so far
};

} // namespace quill::test
