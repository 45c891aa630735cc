// The task lists under "My tasks": which tasks of the schedule table each
// state lists.
#include "navigation/DocumentList.h"
#include "navigation/ImageNames.h"

#include "SessionTest.h"

#include "session/Logon.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

class TaskListTest : public test::LoggedOnTest {};

TEST_F(TaskListTest, EachStateListsItsTasksAndLeavesOutDeletedDocuments) {
    const std::string root = dataPoint + "/DataPoint.root/";
    const LocalDateTime event{2027, 1, 14, 10, 0};
    const LocalDateTime before{2027, 1, 14, 9, 45};
    const auto entry = [&](std::string path, LocalDateTime reminder, bool due) {
        ScheduleEntry made;
        made.documentPath = std::move(path);
        made.eventTime = event;
        made.reminderTime = reminder;
        made.due = due;
        return made;
    };
    for (ScheduleEntry task : {
             entry(root + "Projects/Website/Kickoff.meeting", before, true),
             entry(root + "Contracts/Supplier.contract", event, false),
             entry(root + "Meetings/Weekly review.meeting", before, false),
             entry(root + "Meetings/Deleted meanwhile.meeting", before, true),
         })
        session->schedule.put(std::move(task));
    const ImageNameTable images = loadTreeImageNames(session->context.settings.resourceDirectory);
    const auto names = [&](const char* state) {
        std::vector<std::string> listed;
        for (const DocumentItem& item : listTasks(*session, images, state))
            listed.push_back(item.name + " @ " + item.location.substr(root.size()));
        return listed;
    };
    using List = std::vector<std::string>;
    EXPECT_EQ(names("MYTASKS_OPEN"), (List{"Website kickoff @ Projects/Website", "Weekly review @ Meetings"}));
    EXPECT_EQ(names("MYTASKS_CLOSE"), (List{"Office supplies 2027 @ Contracts"}));
    EXPECT_EQ(names("MYTASKS_ACTUAL"), (List{"Website kickoff @ Projects/Website"}));
    EXPECT_EQ(names("MYTASKS"), List{});
}

} // namespace
} // namespace quill
