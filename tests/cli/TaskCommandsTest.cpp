// quill-cli tasks and status-line: the schedule table as the program builds
// it after logon, at a chosen moment, and the tasks as an iCalendar file
// that a real calendar parser reads.
#include "CliTest.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>

namespace quill {
namespace {

using test::runCli;
using test::shellWord;

class TaskCommandsTest : public test::CliTest {
protected:
    std::string run(const std::string& command, const std::string& rest = {}) {
        int status = -1;
        const std::string out = CliTest::run(command, rest, &status);
        EXPECT_EQ(status, 0) << command << " " << rest;
        return out;
    }
    // The second column of each line: the task names, in the order given.
    static std::vector<std::string> names(const std::string& lines) {
        std::vector<std::string> found;
        std::istringstream in(lines);
        for (std::string line; std::getline(in, line);) {
            const std::size_t tab = line.find('\t');
            found.push_back(line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1));
        }
        return found;
    }
};

TEST_F(TaskCommandsTest, TasksByStateAtAChosenMoment) {
    using Names = std::vector<std::string>;
    const Names both{"Website kickoff", "Office supplies 2027"};
    const struct {
        const char* options;
        Names listed;
    } cases[] = {
        {"", both},
        {"--state open", both},
        {"--state closed", {}},
        {"--state due --at '8.12.2026 9:00'", {}},
        {"--state due --at '14.1.2027 9:44'", {"Website kickoff"}},
        {"--state due --at '30.11.2027 9:00'", both},
        {"--state incoming", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(names(run("tasks", c.options)), c.listed) << c.options;
    EXPECT_EQ(run("status-line", "--at '30.11.2027 9:00'"), "Tasks (incoming, current, all): 0, 2, 2.\n");
    const std::string line = run("tasks", "--state due --at '14.1.2027 9:44'");
    EXPECT_EQ(line.substr(0, 4), "-OD\t");
    EXPECT_NE(line.find("\t14.1.2027 10:00:00\t14.1.2027 9:45:00\t"), std::string::npos) << line;
}

TEST_F(TaskCommandsTest, ATaskStaysDueFromTwoMinutesBeforeItsReminderOn) {
    // Website kickoff: event 14.1.2027 10:00, reminder 15 minutes before.
    using Names = std::vector<std::string>;
    const Names kickoff{"Website kickoff"};
    const struct {
        const char* at;
        Names due;
        const char* statusLine;
    } cases[] = {
        {"14.1.2027 9:42", {}, "0, 0, 2."},       {"14.1.2027 9:42:59", {}, "0, 0, 2."},
        {"14.1.2027 9:43", kickoff, "0, 1, 2."},  {"14.1.2027 10:00", kickoff, "0, 1, 2."},
        {"14.1.2027 10:09", kickoff, "0, 1, 2."}, {"14.1.2027 10:09:59", kickoff, "0, 1, 2."},
        {"14.1.2027 10:10", kickoff, "0, 1, 2."}, {"14.1.2027 10:10:01", kickoff, "0, 1, 2."},
        {"14.1.2027 10:11", kickoff, "0, 1, 2."}, {"15.1.2027 10:10", kickoff, "0, 1, 2."},
    };
    for (const auto& c : cases) {
        const std::string at = std::string("--at ") + shellWord(c.at);
        EXPECT_EQ(names(run("tasks", "--state due " + at)), c.due) << c.at;
        EXPECT_EQ(run("status-line", at), std::string("Tasks (incoming, current, all): ") + c.statusLine + "\n")
            << c.at;
    }
}

TEST_F(TaskCommandsTest, ATaskIsTheUsersOnlyWhenAnEntryOfOwnerOrTeamIsHers) {
    const std::string document = dataPoint + "/DataPoint.root/Projects/Handover.note";
    test::writeBytes(document, "Handover\r\n");
    const struct {
        const char* owner;
        const char* team;
        bool listed;
    } cases[] = {
        {"Anna Novakova (ANNABELLE)", "", false},
        {"Anna Novakova (ANNABELLE)", "Jan Novy (JAN); Anna Novakova (ANNABELLE); ", false},
        {"anna novak (anna)", "", true},
        {"Anna Novakova (ANNABELLE)", "Anna Novakova (ANNABELLE); Anna Novak (ANNA); ", true},
        {"Anna Novakova (ANNABELLE)", "Anna Novak", true},
    };
    for (const auto& c : cases) {
        test::writeBytes(dataPoint + "/DataPoint.root/Projects/Handover.scheduler",
                         std::string(c.owner) + "\r\n" + c.team + "\r\n9.12.2026\r\n9:00:00\r\n3\r\n");
        const std::vector<std::string> listed = names(run("tasks"));
        EXPECT_EQ(std::find(listed.begin(), listed.end(), "Handover") != listed.end(), c.listed)
            << c.owner << " / " << c.team;
        EXPECT_EQ(run("status-line", "--at '1.12.2026 9:00'"),
                  std::string("Tasks (incoming, current, all): 0, 0, ") + (c.listed ? "3" : "2") + ".\n")
            << c.owner << " / " << c.team;
    }
}

TEST_F(TaskCommandsTest, TheCalendarFileIsValidICalendar) {
    // A long name with letters beyond ASCII, so that lines are folded.
    const std::string contract = dataPoint + "/DataPoint.root/Contracts/Supplier.contract";
    int status = -1;
    runCli("edit --datapoint " + shellWord(dataPoint) + " --user ANNA " + shellWord(contract) +
               " --set 'NAME=Smlouva o dodávkách kancelářských potřeb, příloha č. 2; platnost do konce roku 2027'",
           &status);
    ASSERT_EQ(status, 0);
    const std::string file = dir / "tasks.ics";
    const std::string calendar = run("tasks", "--ics --at '8.12.2026 9:00'");
    test::writeBytes(file, calendar);

    // By hand first, so that these hold also where no parser is installed:
    // CRLF line ends, lines of at most 75 octets, folds that go on with a
    // blank and never split a letter's bytes.
    ASSERT_TRUE(calendar.ends_with("\r\n"));
    bool folded = false;
    for (std::size_t start = 0; start < calendar.size();) {
        const std::size_t end = calendar.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        const std::string line = calendar.substr(start, end - start);
        EXPECT_LE(line.size(), 75u) << line;
        EXPECT_EQ(line.find('\n'), std::string::npos) << line;
        if (!line.empty() && line[0] == ' ') {
            folded = true;
            EXPECT_FALSE(line.size() > 1 && (static_cast<unsigned char>(line[1]) & 0xC0) == 0x80) << line;
        }
        start = end + 2;
    }
    EXPECT_TRUE(folded) << calendar;

    const char* check = R"(
import sys
try:
    import icalendar
except ImportError:
    print("NO_PARSER"); sys.exit(0)
raw = open(sys.argv[1], "rb").read()
calendar = icalendar.Calendar.from_ical(raw)
for event in calendar.walk("VEVENT"):
    alarms = [str(a.decoded("TRIGGER")) for a in event.walk("VALARM")]
    print(event.decoded("DTSTART").strftime("%Y-%m-%d %H:%M"), "|", str(event.get("SUMMARY")), "|", ",".join(alarms))
)";
    test::writeBytes(dir / "check.py", check);
    // The system's Python, which has the distribution's parser, before any
    // other one on the path.
    const std::string python = std::filesystem::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
    FILE* pipe = ::popen((python + " " + shellWord(dir / "check.py") + " " + shellWord(file) + " 2>&1").c_str(), "r");
    ASSERT_TRUE(pipe);
    std::string parsed;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe))
        parsed += buffer;
    ASSERT_EQ(::pclose(pipe), 0) << parsed;
    if (parsed == "NO_PARSER\n")
        GTEST_SKIP() << "python3-icalendar is not installed";
    EXPECT_EQ(parsed, "2027-01-14 10:00 | Website kickoff | -1 day, 23:45:00\n"
                      "2027-12-01 09:00 | Smlouva o dodávkách kancelářských potřeb, příloha č. 2; platnost do konce "
                      "roku 2027 | -7 days, 0:00:00\n");
}

} // namespace
} // namespace quill
