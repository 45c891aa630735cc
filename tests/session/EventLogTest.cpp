#include "session/EventLog.h"

#include "SessionTest.h"

#include <gtest/gtest.h>

#include <optional>

#include <sys/wait.h>
#include <unistd.h>

namespace quill {
namespace {

using test::readBytes;

class EventLogTest : public test::OpenSessionTest {};

TEST_F(EventLogTest, EventsBelow51GoToTheSystemLogTheRestToTheUsers) {
    const std::string systemBefore = systemLog();
    ASSERT_TRUE(logEvent(*session, 50).ok());
    ASSERT_TRUE(logEvent(*session, 2).ok());
    ASSERT_TRUE(logEvent(*session, 51).ok());
    EXPECT_EQ(systemLog().substr(systemBefore.size()),
              "PARROR: LOG\r\n8.12.2026 9:05:07 ANNA@WORKSTATION: logon succeeded\r\n")
        << "event 50 has no text: the gap shows instead of vanishing";
    EXPECT_EQ(userLog(), "8.12.2026 9:05:07 ANNA@WORKSTATION: logon succeeded on " + dataPoint + "\r\n");
}

TEST_F(EventLogTest, TypedNamesAreLoggedAsTyped) {
    for (const std::string logon : {"X$IF_ADMIN$", "Y$DATA_POINT_PATH$", "Z$LOGONNAME$"}) {
        session->program.logonName = logon;
        session->program.computerName = "PC$DATE$";
        const std::string before = systemLog();
        ASSERT_TRUE(logEvent(*session, 1).ok());
        EXPECT_EQ(systemLog().substr(before.size()),
                  "8.12.2026 9:05:07 " + logon + "@PC$DATE$: logon failed, no such user\r\n");
    }
}

TEST_F(EventLogTest, AnEventNamesTheObjectItIsAbout) {
    session->actual.displayName = "Contracts (Root)";
    const std::string prefix = "8.12.2026 9:05:07 ANNA@WORKSTATION: document deleted for good: ";
    const struct {
        std::optional<std::string> name;
        std::string expected;
        const char* why;
    } rows[] = {
        {"Report.note", "Report.note", "the name given"},
        {std::nullopt, "Contracts (Root)", "without one, the actual object's"},
        {"two\nlines.note", "two lines.note", "one event, one line, whatever the name holds"},
        {"", "", "an empty name stays empty"},
    };
    for (const auto& row : rows) {
        const std::string before = userLog();
        ASSERT_TRUE((row.name ? logEvent(*session, 60, *row.name) : logEvent(*session, 60)).ok());
        EXPECT_EQ(userLog().substr(before.size()), prefix + row.expected + "\r\n") << row.why;
        EXPECT_EQ(session->actual.displayName, "Contracts (Root)") << "logging leaves the actual object alone";
    }
}

TEST_F(EventLogTest, ConcurrentWritersNeverTearALine) {
    // Several programs append to one system.log without locks.
    const int writers = 4, lines = 100;
    for (int w = 0; w < writers; ++w) {
        if (::fork() == 0) {
            for (int i = 0; i < lines; ++i)
                logEvent(*session, 2).ok();
            ::_exit(0);
        }
    }
    for (int w = 0; w < writers; ++w)
        ::wait(nullptr);
    const std::string log = systemLog();
    const std::string line = "8.12.2026 9:05:07 ANNA@WORKSTATION: logon succeeded\r\n";
    std::size_t count = 0;
    for (std::size_t pos = log.find(line); pos != std::string::npos; pos = log.find(line, pos + line.size()))
        ++count;
    EXPECT_EQ(count, static_cast<std::size_t>(writers * lines));
}

TEST_F(EventLogTest, OnlyTheFirstEditOfEachGroupIsRecorded) {
    for (int code : {12, 15, 10, 55, 55, 0, 9, 40, 49, 30})
        noteEdit(*session, code);
    std::vector<int> codes;
    for (const PendingEdit& edit : session->pendingEdits.entries())
        codes.push_back(edit.code);
    EXPECT_EQ(codes, (std::vector<int>{12, 55, 55, 0, 40, 30}));
    session->pendingEdits.forget();
    noteEdit(*session, 15);
    ASSERT_EQ(session->pendingEdits.entries().size(), 1u) << "forgetting clears the group flags too";
    EXPECT_EQ(session->pendingEdits.entries()[0].code, 15);
}

TEST_F(EventLogTest, HistoryLinesHaveTheirExactFormat) {
    const PendingEdit edit{10, "Anna Novak (ANNA)", "8.12.2026", "9:05:07"};
    EXPECT_EQ(editHistoryLine(edit), "8.12.2026, 9:05:07: $EDITHISTORY.10.EDITHISTORY$ Anna Novak (ANNA)");
}

TEST_F(EventLogTest, HistoryGoesBesideTheRecordAndEmptiesThePendingList) {
    const std::string document = dataPoint + "/DataPoint.root/Projects/Ideas.note";
    EXPECT_FALSE(writeEditHistory(*session, document)) << "nothing pending";
    noteEdit(*session, 0);
    noteEdit(*session, 20);
    EXPECT_FALSE(writeEditHistory(*session, dataPoint + "/missing.note"));
    ASSERT_TRUE(writeEditHistory(*session, document));
    EXPECT_EQ(readBytes(dataPoint + "/DataPoint.root/Projects/Ideas.history"),
              "8.12.2026, 9:05:07: $EDITHISTORY.0.EDITHISTORY$ Anna Novak (ANNA)\r\n"
              "8.12.2026, 9:05:07: $EDITHISTORY.20.EDITHISTORY$ Anna Novak (ANNA)\r\n");
    EXPECT_TRUE(session->pendingEdits.empty());
    // Shown later, the variable turns into the language's words.
    EXPECT_EQ(session->variables.expand("$EDITHISTORY.20.EDITHISTORY$ Anna", false), "Attachments changed by Anna");
}

} // namespace
} // namespace quill
