#pragma once

#include <string>
#include <vector>

namespace quill {

class Record;
class Session;

// Where a view was and how large: screen coordinates of its frame. A width
// or height of 0 is a view whose place was never stored.
struct WindowPlace {
    int top = 0;
    int left = 0;
    int width = 0;
    int height = 0;

    bool stored() const { return width > 0 && height > 0; }
    bool operator==(const WindowPlace&) const = default;
};

// Positions and sizes of the views, kept in the user record.
struct WindowGeometry {
    WindowPlace gui;
    int guiSplitter = 0;  // the tree's width
    int guiSplitter1 = 0; // the document list's height; 0 while it is closed
    bool guiTasks = false;
    WindowPlace edit;
    WindowPlace users;
    WindowPlace resources;
    WindowPlace scheduleEvent;
    WindowPlace find;
};

inline constexpr const char* kGuiTasksField = "FORM_GUI_TASKS";

// Takes the geometry from a user record over what geometry holds. A field
// never stored (empty) keeps its value; so does a field whose text is not
// a whole number, and its name is returned, in record order.
std::vector<std::string> takeGeometry(const Record& record, WindowGeometry& geometry);

// Writes the geometry into a user record's fields. The second splitter is
// only written when it is positive, so a closed list keeps its stored
// height.
void putGeometry(const WindowGeometry& geometry, Record& record);

struct GeometryReadResult {
    bool recordRead = false;
    // Fields whose stored text is not a whole number; their values were
    // kept as they were.
    std::vector<std::string> badFields;
};

// Reads the geometry from the user record. A field that is not a number is
// reported (and shown once as a warning) while every other field is taken.
GeometryReadResult readWindowGeometry(Session& session);

// Writes the geometry into the user record.
bool saveWindowGeometry(Session& session);

} // namespace quill
