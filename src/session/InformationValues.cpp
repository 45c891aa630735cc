#include "session/InformationValues.h"

#include "buildinfo/BuildInfo.h"
#include "platform/Cp1250.h"
#include "platform/DateTimeFormat.h"
#include "platform/Paths.h"
#include "session/Session.h"
#include "session/TaskSets.h"

namespace quill {

std::string informationValue(Session& session, std::string_view name) {
    const std::string key = cp1250::upper(name);
    const std::string info = path::join(session.context.dataPointPath, "DataPoint.info");
    static constexpr struct {
        const char* name;
        const char* key;
    } dataPointKeys[] = {
        {"DATAPOINT_CREATOR_NAME", "CREATOR"},
        {"DATAPOINT_CREATOR_MAIL", "MAIL"},
        {"DATAPOINT_CREATOR_WWW", "WWW"},
        {"DATAPOINT_CREATOR_PHONE", "PHONE"},
        {"DATAPOINT_CREATOR_ROOT", "ROOT"},
        {"DATAPOINT_CREATOR_USERS", "USERS"},
        {"DATAPOINT_CREATOR_AUTOLOGON", "AUTOLOGON"},
    };
    for (const auto& entry : dataPointKeys) {
        if (key == entry.name)
            return session.texts.readPlain("DATAPOINT", entry.key, info);
    }
    const auto count = [&](TaskSet set) { return std::to_string(countTasks(session.schedule, set)); };
    // This build's own version and date, so that a user who reports a
    // problem can say which program showed it.
    if (key == "APPLICATION_VERSION")
        return "Quill! " + std::string(build::kVersion);
    if (key == "APPLICATION_BUILD") {
        LocalDateTime built;
        built.year = build::kYear;
        built.month = build::kMonth;
        built.day = build::kDay;
        return formatDate(built, session.formats);
    }
    if (key == "SCHEDULER_COUNT_ALL")
        return count(TaskSet::All);
    if (key == "SCHEDULER_COUNT_NEW")
        return count(TaskSet::Incoming);
    if (key == "SCHEDULER_COUNT_OPEN")
        return count(TaskSet::Open);
    if (key == "SCHEDULER_COUNT_CLOSE")
        return count(TaskSet::Closed);
    if (key == "SCHEDULER_COUNT_ACTUAL")
        return count(TaskSet::Due);
    if (key == "SYSTEM_DATE")
        return formatDate(session.clock.now(), session.formats);
    if (key == "SYSTEM_TIME")
        return formatTime(session.clock.now(), session.formats);
    return {};
}

} // namespace quill
