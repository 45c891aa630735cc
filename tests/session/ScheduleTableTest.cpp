// The schedule table's index: every change of the entries keeps each
// document findable, in any letter case, and nothing else.
#include "session/ScheduleTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quill {
namespace {

ScheduleEntry task(const std::string& path, const std::string& name) {
    ScheduleEntry entry;
    entry.documentPath = path;
    entry.name = name;
    return entry;
}

// Every entry is found under its own path, and a lookup finds nothing that
// is not in the table.
void expectConsistent(const ScheduleTable& table, const std::vector<std::string>& gone) {
    for (std::size_t i = 0; i < table.size(); ++i)
        EXPECT_EQ(table.find(table[i].documentPath), i) << table[i].documentPath;
    for (const std::string& path : gone)
        EXPECT_EQ(table.find(path), table.size()) << path;
}

TEST(ScheduleTableTest, IndexFollowsEveryChange) {
    struct Step {
        const char* what;
        void (*change)(ScheduleTable&);
        std::vector<std::string> present; // looked up in another case
        std::vector<std::string> gone;
    };
    const Step steps[] = {
        {"a put adds, a second put of the same document in another case replaces",
         [](ScheduleTable& t) {
             t.put(task("/dp/A/One.note", "one"));
             t.put(task("/dp/A/Two.note", "two"));
             t.put(task("/dp/B/Three.note", "three"));
             t.put(task("/DP/a/one.NOTE", "one again"));
         },
         {"/dp/a/one.note", "/DP/A/TWO.NOTE", "/dp/b/three.note"},
         {"/dp/A/Four.note"}},
        {"removing the first moves the last into its place",
         [](ScheduleTable& t) { t.remove(t.find("/dp/A/One.note")); },
         {"/dp/a/two.note", "/dp/b/three.note"},
         {"/dp/A/One.note"}},
        {"a removal past the end changes nothing",
         [](ScheduleTable& t) { t.remove(99); },
         {"/dp/a/two.note", "/dp/b/three.note"},
         {"/dp/A/One.note"}},
        {"a renamed folder takes its entries along, and only its own",
         [](ScheduleTable& t) {
             t.put(task("/dp/AB/Five.note", "five"));
             t.movePaths("/dp/A", "/dp/Renamed");
         },
         {"/dp/renamed/two.note", "/dp/b/three.note", "/dp/ab/five.note"},
         {"/dp/A/Two.note"}},
        {"cleared, nothing is found", [](ScheduleTable& t) { t.clear(); }, {}, {"/dp/renamed/two.note"}},
    };
    ScheduleTable table;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.change(table);
        EXPECT_EQ(table.size(), step.present.size());
        for (const std::string& path : step.present)
            EXPECT_LT(table.find(path), table.size()) << path;
        expectConsistent(table, step.gone);
    }
}

TEST(ScheduleTableTest, EntryForKeepsTheStateOfAnExistingEntry) {
    ScheduleTable table;
    ScheduleEntry seen = task("/dp/Task.note", "task");
    seen.seen = true;
    table.put(seen);
    EXPECT_TRUE(table.entryFor("/DP/TASK.NOTE").seen);
    EXPECT_EQ(table.entryFor("/dp/Other.note").documentPath, "/dp/Other.note");
    EXPECT_EQ(table.size(), 2u);
}

} // namespace
} // namespace quill
