#include "session/WindowGeometry.h"

#include "formats/Record.h"
#include "platform/Result.h"
#include "platform/TextUtil.h"
#include "session/EventLog.h"
#include "session/Session.h"
#include "session/TextCache.h"

#include <climits>
#include <string_view>

namespace quill {

namespace {

// Every numeric field with its name in the user record, in record order:
// each view's "FORM_<VIEW>_TOP", "_LEFT", "_WIDTH" and "_HEIGHT", and the
// main window's two splitters after its place.
template <class Geometry, class Visit> void forEachNumber(Geometry& geometry, Visit visit) {
    const auto place = [&visit](std::string_view view, auto& at) {
        const std::string prefix = "FORM_" + std::string(view);
        visit(prefix + "_TOP", at.top);
        visit(prefix + "_LEFT", at.left);
        visit(prefix + "_WIDTH", at.width);
        visit(prefix + "_HEIGHT", at.height);
    };
    place("GUI", geometry.gui);
    visit(std::string("FORM_GUI_SPLITTER"), geometry.guiSplitter);
    visit(std::string("FORM_GUI_SPLITTER1"), geometry.guiSplitter1);
    place("EDIT", geometry.edit);
    place("USERS", geometry.users);
    place("RESOURCES", geometry.resources);
    place("SCHEDULEEVENT", geometry.scheduleEvent);
    place("FIND", geometry.find);
}

} // namespace

std::vector<std::string> takeGeometry(const Record& record, WindowGeometry& geometry) {
    std::vector<std::string> bad;
    forEachNumber(geometry, [&](const std::string& name, int& value) {
        const std::string text(text::trim(record.value(name)));
        // An empty text is a field never stored: the view keeps its default.
        if (text.empty())
            return;
        const auto number = text::parseInteger(text);
        if (!number || *number < INT_MIN || *number > INT_MAX) {
            bad.push_back(name);
            return;
        }
        value = static_cast<int>(*number);
    });
    geometry.guiTasks = text::isTrue(record.value(kGuiTasksField));
    return bad;
}

void putGeometry(const WindowGeometry& geometry, Record& record) {
    forEachNumber(geometry, [&](const std::string& name, const int& value) {
        // A closed list has no height: the one it had last stays stored.
        if (&value == &geometry.guiSplitter1 && value <= 0)
            return;
        record.setValue(name, std::to_string(value));
    });
    record.setValue(kGuiTasksField, text::flag(geometry.guiTasks));
}

GeometryReadResult readWindowGeometry(Session& session) {
    GeometryReadResult result;
    Record user;
    if (session.readRecord(session.context.userRecordFile, user) != RecordRead::Ok)
        return result;
    result.recordRead = true;
    result.badFields = takeGeometry(user, session.context.geometry);
    if (!result.badFields.empty()) {
        std::string fields;
        for (const std::string& name : result.badFields)
            fields += (fields.empty() ? "" : ", ") + name;
        session.warn(MessageKind::Warning, "SYSTEM_IO", 3, fields);
    }
    return result;
}

bool saveWindowGeometry(Session& session) {
    if (!session.textCache.file.empty())
        saveTextCache(session);
    Record user;
    if (session.readRecord(session.context.userRecordFile, user) != RecordRead::Ok) {
        ignoreOutcome(logEvent(session, 5));
        return false;
    }
    putGeometry(session.context.geometry, user);
    if (!session.writeRecord(user, session.context.userRecordFile)) {
        ignoreOutcome(logEvent(session, 5));
        return false;
    }
    return true;
}

} // namespace quill
