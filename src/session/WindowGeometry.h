#pragma once

#include <array>
#include <string>
#include <vector>

namespace quill {

class Session;

// Positions and sizes of the views, kept in the user record.
struct WindowGeometry {
    int guiTop = 0, guiLeft = 0, guiWidth = 0, guiHeight = 0, guiSplitter = 0, guiSplitter1 = 0;
    bool guiTasks = false;
    int editTop = 0, editLeft = 0, editWidth = 0, editHeight = 0;
    int usersTop = 0, usersLeft = 0, usersWidth = 0, usersHeight = 0;
    int resourcesTop = 0, resourcesLeft = 0, resourcesWidth = 0, resourcesHeight = 0;
    int scheduleEventTop = 0, scheduleEventLeft = 0, scheduleEventWidth = 0, scheduleEventHeight = 0;
    int findTop = 0, findLeft = 0, findWidth = 0, findHeight = 0;
};

// A numeric geometry field: its name in the user record and its member.
struct GeometryField {
    const char* name;
    int WindowGeometry::*member;
};

// The 26 numeric fields in record order; "FORM_GUI_TASKS" is the one boolean.
const std::array<GeometryField, 26>& geometryFields();
inline constexpr const char* kGuiTasksField = "FORM_GUI_TASKS";

struct GeometryReadResult {
    bool recordRead = false;
    // Fields whose stored text is not a whole number; their values were
    // kept as they were.
    std::vector<std::string> badFields;
};

// Reads the geometry from the user record. A field that is not a number is
// reported (and shown once as a warning) while every other field is taken.
GeometryReadResult readWindowGeometry(Session& session);

// Writes the geometry into the user record. The second splitter is only
// written when it is positive, so a collapsed pane keeps its stored width.
bool saveWindowGeometry(Session& session);

} // namespace quill
