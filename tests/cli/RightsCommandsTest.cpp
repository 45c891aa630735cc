// What quill-cli shows a user when folders' and documents' rights name
// other users: the tree, the lists, find, printing and the tasks leave them
// out, and the commands that open one refuse it; administrators see all.
#include "CliTest.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

using test::shellWord;

class RightsCommandsTest : public test::CliTest {
protected:
    void SetUp() override {
        runOk(commandLine("user create BOB Bob Stone", input("bob\n"), "ADMINISTRATOR"));
        ASSERT_FALSE(HasFailure());
        // Contracts and Contacts keep their rights (the administrator and
        // Anna); the shared root is everybody's, Projects names Bob, and
        // Meetings someone whose name only begins like his.
        setRights("folder.folders", "");
        setRights("Projects/folder.folders", "Anna Novak (ANNA); Bob Stone (BOB); ");
        setRights("Projects/Website/folder.folders", "");
        setRights("Meetings/folder.folders", "Bob Stonebridge (BOBS); ");
        setRights("Projects/Ideas.note", "Anna Novak (ANNA); ");
        setRights("Projects/Website/Kickoff.meeting", "");
        // Both tasks name Bob in their team.
        for (const char* schedule : {"Contracts/Supplier.scheduler", "Projects/Website/Kickoff.scheduler"}) {
            const std::string file = root + "/" + schedule;
            std::string text = test::readBytes(file);
            const std::size_t teamEnd = text.find("\r\n", text.find("\r\n") + 2);
            text.insert(teamEnd, "Bob Stone (BOB); ");
            test::writeBytes(file, text);
        }
    }

    void setRights(const std::string& file, const std::string& rights) {
        runOk("record set " + shellWord(dataPoint) + " " + shellWord(root + "/" + file) + " " +
              shellWord("RIGHTS=" + rights));
    }
};

TEST_F(RightsCommandsTest, WhatTheRightsHideIsNeitherListedNorOpened) {
    const struct {
        const char* user; // "BOB --admin" for Bob as an administrator
        std::string command;
        int status;
        std::vector<std::string> shown;  // in the output or the message
        std::vector<std::string> hidden; // in neither
    } cases[] = {
        {"BOB", "tree", 0, {"Projects", "Website"}, {"Contracts", "Meetings", "Contacts"}},
        {"ANNA", "tree", 0, {"Projects", "Contracts", "Contacts"}, {"Meetings"}},
        {"BOB --admin", "tree", 0, {"Contracts", "Meetings", "Contacts"}, {}},
        {"BOB", "documents " + shellWord(root + "/Projects"), 0, {}, {"Ideas"}},
        {"ANNA", "documents " + shellWord(root + "/Projects"), 0, {"Ideas for next year"}, {}},
        {"BOB", "documents " + shellWord(root + "/Projects/Website"), 0, {"Website kickoff"}, {}},
        {"BOB", "documents " + shellWord(root + "/Contracts"), 1, {"not found"}, {"Office supplies"}},
        {"BOB", "edit " + shellWord(root + "/Contracts/Supplier.contract") + " --set NOTE=Mine", 1, {"not found"}, {}},
        {"BOB", "edit " + shellWord(root + "/Projects/Ideas.note") + " --set TEXT=Mine", 1, {"not found"}, {}},
        {"BOB", "comments " + shellWord(root + "/Projects/Ideas.note"), 1, {"not found"}, {}},
        {"BOB", "schedule " + shellWord(root + "/Contracts/Supplier.contract"), 1, {"not found"}, {"OWNER"}},
        {"BOB", "render " + shellWord(root + "/Contracts/Supplier.contract"), 1, {"not found"}, {}},
        {"BOB", "history " + shellWord(root + "/Contracts/Supplier.contract"), 1, {"not found"}, {}},
        {"BOB",
         "document copy " + shellWord(root + "/Contracts/Supplier.contract") + " " + shellWord(root + "/Mine.contract"),
         1,
         {"not found"},
         {}},
        {"BOB", "folder props " + shellWord(root + "/Contracts"), 1, {"not found"}, {"NOTE"}},
        {"BOB --admin", "schedule " + shellWord(root + "/Contracts/Supplier.contract"), 0, {"OWNER"}, {}},
        {"BOB", "find supplies", 0, {}, {"Supplier.contract"}},
        {"BOB", "find newsletter", 0, {}, {"Ideas.note"}},
        {"BOB", "find Goals", 0, {"Kickoff.meeting"}, {}},
        {"ANNA", "find newsletter", 0, {"Ideas.note"}, {}},
        {"BOB --admin", "find supplies", 0, {"Supplier.contract"}, {}},
        {"BOB", "print-file " + shellWord(root + "/Contracts"), 1, {}, {"print.htm"}},
        {"BOB", "print-file " + shellWord(root + "/Projects"), 1, {}, {"print.htm"}},
        {"BOB", "print-file " + shellWord(root + "/Projects/Website"), 0, {"print.htm"}, {}},
        {"BOB", "tasks", 0, {"Website kickoff"}, {"Office supplies"}},
        {"BOB --admin", "tasks", 0, {"Website kickoff", "Office supplies"}, {}},
        {"ANNA", "tasks", 0, {"Website kickoff", "Office supplies"}, {}},
        {"BOB", "status-line --at '30.11.2027 9:00'", 0, {"0, 1, 1."}, {}},
        {"BOB --admin", "status-line --at '30.11.2027 9:00'", 0, {"0, 2, 2."}, {}},
    };
    const std::string contract = test::readBytes(root + "/Contracts/Supplier.contract");
    for (const auto& c : cases) {
        const std::string what = std::string(c.user) + ": " + c.command;
        int status = -1;
        std::string errors;
        const std::string said = runAs(c.user, c.command, "", &status, &errors) + errors;
        EXPECT_EQ(status, c.status) << what << "\n" << said;
        for (const std::string& text : c.shown)
            EXPECT_NE(said.find(text), std::string::npos) << what << " should show " << text << "\n" << said;
        for (const std::string& text : c.hidden)
            EXPECT_EQ(said.find(text), std::string::npos) << what << " should not show " << text << "\n" << said;
    }
    EXPECT_EQ(test::readBytes(root + "/Contracts/Supplier.contract"), contract);
}

} // namespace
} // namespace quill
