// The main window's title names the user and the data point.
#include "session/WindowTitle.h"

#include "SessionFixture.h"

#include "session/Session.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

using test::SessionFixture;

class WindowTitleTest : public ::testing::Test, public SessionFixture {};

TEST_F(WindowTitleTest, NamesTheUserAndTheDataPointsDirectory) {
    const struct {
        const char* dataPoint;
        const char* expected;
        const char* why;
    } rows[] = {
        {"/srv/share/Sales team", "Anna Novak (ANNA) on Sales team - Quill!", "the directory's own name"},
        {"/srv/share/Sales team/", "Anna Novak (ANNA) on Sales team - Quill!", "a trailing separator changes nothing"},
        {"/srv/$LOGONNAME$ %1", "Anna Novak (ANNA) on $LOGONNAME$ %1 - Quill!",
         "a name that looks like a variable or a place holder is shown as it is"},
    };
    for (const auto& row : rows) {
        session->context.dataPointPath = row.dataPoint;
        EXPECT_EQ(loggedOnWindowTitle(*session), row.expected) << row.why;
    }
    // Another user on the same desktop gets another title.
    session->program.logonName = "JAN";
    session->program.fullName = "Jan Novy";
    EXPECT_EQ(loggedOnWindowTitle(*session), "Jan Novy (JAN) on $LOGONNAME$ %1 - Quill!");
}

} // namespace
} // namespace quill
