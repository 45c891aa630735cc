// The window geometry against the fields of a user record: each view's
// place under its own names, values never stored left alone, bad ones
// reported, and the closed list's height never written over.
#include "formats/Record.h"
#include "session/WindowGeometry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quill {

namespace {

const char* const kViews[] = {"GUI", "EDIT", "USERS", "RESOURCES", "SCHEDULEEVENT", "FIND"};
const char* const kSides[] = {"TOP", "LEFT", "WIDTH", "HEIGHT"};

// A user record with every geometry field, all empty.
Field typedField(std::string name, std::string type = "INTEGER") {
    Field field;
    field.name = std::move(name);
    field.dataType = std::move(type);
    return field;
}

Record emptyUserRecord() {
    Record record;
    for (const char* view : kViews) {
        for (const char* side : kSides)
            record.fields.push_back(typedField(std::string("FORM_") + view + "_" + side));
        if (std::string(view) == "GUI") {
            record.fields.push_back(typedField("FORM_GUI_SPLITTER"));
            record.fields.push_back(typedField("FORM_GUI_SPLITTER1"));
        }
    }
    record.fields.push_back(typedField(kGuiTasksField, "BOOLEAN"));
    return record;
}

// Each view's place in the struct, in the order of kViews.
WindowPlace& placeOf(WindowGeometry& g, int view) {
    WindowPlace* places[] = {&g.gui, &g.edit, &g.users, &g.resources, &g.scheduleEvent, &g.find};
    return *places[view];
}

} // namespace

TEST(WindowGeometryTest, EachViewsPlaceIsReadFromAndWrittenToItsOwnFields) {
    // A number of its own in every field: a field read into another view's
    // place, or top and left swapped, shows as a wrong number.
    Record stored = emptyUserRecord();
    for (int view = 0; view < 6; ++view) {
        for (int side = 0; side < 4; ++side)
            stored.setValue(std::string("FORM_") + kViews[view] + "_" + kSides[side],
                            std::to_string(100 * (view + 1) + side));
    }
    stored.setValue("FORM_GUI_SPLITTER", "77");
    stored.setValue("FORM_GUI_SPLITTER1", "88");
    stored.setValue(kGuiTasksField, "TRUE");

    WindowGeometry g;
    EXPECT_TRUE(takeGeometry(stored, g).empty());
    for (int view = 0; view < 6; ++view) {
        SCOPED_TRACE(kViews[view]);
        const int base = 100 * (view + 1);
        EXPECT_EQ(placeOf(g, view), (WindowPlace{base, base + 1, base + 2, base + 3}));
    }
    EXPECT_EQ(g.guiSplitter, 77);
    EXPECT_EQ(g.guiSplitter1, 88);
    EXPECT_TRUE(g.guiTasks);

    // Written back into an empty record, it is the record it came from.
    Record written = emptyUserRecord();
    putGeometry(g, written);
    ASSERT_EQ(written.fields.size(), stored.fields.size());
    for (std::size_t i = 0; i < stored.fields.size(); ++i)
        EXPECT_EQ(written.fields[i].value, stored.fields[i].value) << stored.fields[i].name;
}

TEST(WindowGeometryTest, StoredTextsThatAreNoNumberKeepTheValueAndAreNamed) {
    const struct {
        const char* field;
        const char* stored;
        int expected; // the find view's width, or the field's value, after reading
        bool bad;
    } rows[] = {
        {"FORM_FIND_WIDTH", "560", 560, false},     {"FORM_FIND_WIDTH", " 560 ", 560, false},
        {"FORM_FIND_WIDTH", "-1200", -1200, false}, {"FORM_FIND_WIDTH", "", 999, false},
        {"FORM_FIND_WIDTH", "wide", 999, true},     {"FORM_FIND_WIDTH", "5l0", 999, true},
        {"FORM_FIND_WIDTH", "2.5", 999, true},      {"FORM_FIND_WIDTH", "4294967296", 999, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string("'") + row.stored + "'");
        Record record = emptyUserRecord();
        record.setValue(row.field, row.stored);
        record.setValue("FORM_FIND_TOP", "15");
        WindowGeometry g;
        g.find = {1, 2, 999, 4};
        const std::vector<std::string> bad = takeGeometry(record, g);
        EXPECT_EQ(bad, row.bad ? std::vector<std::string>{row.field} : std::vector<std::string>{});
        EXPECT_EQ(g.find.width, row.expected);
        // The other fields are read all the same, or kept when never stored.
        EXPECT_EQ(g.find.top, 15);
        EXPECT_EQ(g.find.left, 2);
        EXPECT_EQ(g.find.height, 4);
    }
}

TEST(WindowGeometryTest, AClosedListNeverOverwritesItsStoredHeight) {
    const struct {
        int splitter1;
        bool tasks;
        const char* writtenSplitter1;
        const char* writtenTasks;
    } rows[] = {
        {0, false, "250", "FALSE"},
        {-4, true, "250", "TRUE"},
        {1, false, "1", "FALSE"},
        {300, true, "300", "TRUE"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.splitter1);
        Record record = emptyUserRecord();
        record.setValue("FORM_GUI_SPLITTER1", "250");
        WindowGeometry g;
        g.guiSplitter1 = row.splitter1;
        g.guiTasks = row.tasks;
        putGeometry(g, record);
        EXPECT_EQ(record.value("FORM_GUI_SPLITTER1"), row.writtenSplitter1);
        EXPECT_EQ(record.value(kGuiTasksField), row.writtenTasks);
        EXPECT_EQ(record.value("FORM_GUI_SPLITTER"), "0");
    }
}

} // namespace quill
