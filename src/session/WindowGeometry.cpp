#include "session/WindowGeometry.h"

#include "platform/TextUtil.h"
#include "session/EventLog.h"
#include "session/Session.h"
#include "session/TextCache.h"

#include <climits>

namespace quill {

const std::array<GeometryField, 26>& geometryFields() {
    using G = WindowGeometry;
    static constexpr std::array<GeometryField, 26> fields = {{
        {"FORM_GUI_TOP", &G::guiTop},
        {"FORM_GUI_LEFT", &G::guiLeft},
        {"FORM_GUI_WIDTH", &G::guiWidth},
        {"FORM_GUI_HEIGHT", &G::guiHeight},
        {"FORM_GUI_SPLITTER", &G::guiSplitter},
        {"FORM_GUI_SPLITTER1", &G::guiSplitter1},
        {"FORM_EDIT_TOP", &G::editTop},
        {"FORM_EDIT_LEFT", &G::editLeft},
        {"FORM_EDIT_WIDTH", &G::editWidth},
        {"FORM_EDIT_HEIGHT", &G::editHeight},
        {"FORM_USERS_TOP", &G::usersTop},
        {"FORM_USERS_LEFT", &G::usersLeft},
        {"FORM_USERS_WIDTH", &G::usersWidth},
        {"FORM_USERS_HEIGHT", &G::usersHeight},
        {"FORM_RESOURCES_TOP", &G::resourcesTop},
        {"FORM_RESOURCES_LEFT", &G::resourcesLeft},
        {"FORM_RESOURCES_WIDTH", &G::resourcesWidth},
        {"FORM_RESOURCES_HEIGHT", &G::resourcesHeight},
        {"FORM_SCHEDULEEVENT_TOP", &G::scheduleEventTop},
        {"FORM_SCHEDULEEVENT_LEFT", &G::scheduleEventLeft},
        {"FORM_SCHEDULEEVENT_WIDTH", &G::scheduleEventWidth},
        {"FORM_SCHEDULEEVENT_HEIGHT", &G::scheduleEventHeight},
        {"FORM_FIND_TOP", &G::findTop},
        {"FORM_FIND_LEFT", &G::findLeft},
        {"FORM_FIND_WIDTH", &G::findWidth},
        {"FORM_FIND_HEIGHT", &G::findHeight},
    }};
    return fields;
}

GeometryReadResult readWindowGeometry(Session& session) {
    GeometryReadResult result;
    if (!session.readRecord(session.context.userRecordFile))
        return result;
    result.recordRead = true;
    WindowGeometry& geometry = session.context.geometry;
    for (const GeometryField& field : geometryFields()) {
        const std::string text(text::trim(session.record.value(field.name)));
        // An empty text is a field never stored: the view keeps its default.
        if (text.empty())
            continue;
        const auto number = text::parseInteger(text);
        if (!number || *number < INT_MIN || *number > INT_MAX) {
            result.badFields.push_back(field.name);
            continue;
        }
        geometry.*field.member = static_cast<int>(*number);
    }
    geometry.guiTasks = text::isTrue(session.record.value(kGuiTasksField));
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
    if (!session.readRecord(session.context.userRecordFile)) {
        logEvent(session, 5).ok();
        return false;
    }
    const WindowGeometry& geometry = session.context.geometry;
    for (const GeometryField& field : geometryFields()) {
        const int value = geometry.*field.member;
        if (field.member == &WindowGeometry::guiSplitter1 && value <= 0)
            continue;
        session.record.setValue(field.name, std::to_string(value));
    }
    session.record.setValue(kGuiTasksField, text::flag(geometry.guiTasks));
    if (!session.writeRecord(session.context.userRecordFile)) {
        logEvent(session, 5).ok();
        return false;
    }
    return true;
}

} // namespace quill
