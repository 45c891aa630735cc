// The three-way merge of a document's rows: which side's change each unit
// keeps, what asks the user, and what choosing does.
#include "navigation/DocumentMerge.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

EditorRow field(const char* name, const char* value, const char* kind = "STRING") {
    return {name, value, propertyKindOf(kind), name, {}, {}};
}
EditorRow comment(const char* text) {
    return {"Comment", text, PropertyKind::Comment, {}, {}, "COMMENT.BMP"};
}
EditorRow attachment(const char* file, const char* name) {
    return {"", name, PropertyKind::AttachmentDocument, {}, file, "ATTACHMENT.BMP"};
}

std::vector<std::string> values(const std::vector<EditorRow>& rows) {
    std::vector<std::string> out;
    for (const EditorRow& row : rows)
        out.push_back(row.value);
    return out;
}

using Rows = std::vector<EditorRow>;
using Values = std::vector<std::string>;

TEST(DocumentMergeTest, EachUnitKeepsTheSideThatChangedIt) {
    const struct {
        const char* what;
        EditorBranch branch;
        Rows base, mine, theirs;
        Values merged;
        std::size_t taken;     // units taken from the other side
        std::size_t conflicts; // units that ask
    } cases[] = {
        {"different fields",
         EditorBranch::Properties,
         {field("VALUE", "100"), field("NAME", "Offer")},
         {field("VALUE", "100"), field("NAME", "Offer 2")},
         {field("VALUE", "250"), field("NAME", "Offer")},
         {"250", "Offer 2"},
         1,
         0},
        {"the same field to the same value",
         EditorBranch::Properties,
         {field("VALUE", "100")},
         {field("VALUE", "300")},
         {field("VALUE", "300")},
         {"300"},
         0,
         0},
        {"the same field to different values",
         EditorBranch::Properties,
         {field("VALUE", "100")},
         {field("VALUE", "300")},
         {field("VALUE", "250")},
         {"300"},
         0,
         1},
        {"comments added on both sides",
         EditorBranch::Comments,
         {comment("a")},
         {comment("a"), comment("mine")},
         {comment("a"), comment("theirs")},
         {"a", "theirs", "mine"},
         1,
         0},
        {"a comment changed by one, another deleted by the other",
         EditorBranch::Comments,
         {comment("a"), comment("b"), comment("c")},
         {comment("a"), comment("B!"), comment("c")},
         {comment("a"), comment("b")},
         {"a", "B!"},
         1,
         0},
        {"a comment deleted by one and changed by the other",
         EditorBranch::Comments,
         {comment("a"), comment("b")},
         {comment("a")},
         {comment("a"), comment("b changed")},
         {"a"},
         0,
         1},
        {"one comment changed differently on both",
         EditorBranch::Comments,
         {comment("a")},
         {comment("a mine")},
         {comment("a theirs")},
         {"a mine"},
         0,
         1},
        {"attachments added on both, one renamed",
         EditorBranch::Attachments,
         {attachment("/f/1", "One")},
         {attachment("/f/1", "One"), attachment("/s/2", "Mine")},
         {attachment("/f/1", "First"), attachment("/f/3", "Theirs")},
         {"First", "Theirs", "Mine"},
         2,
         0},
        {"an attachment removed by one, renamed by the other",
         EditorBranch::Attachments,
         {attachment("/f/1", "One")},
         {},
         {attachment("/f/1", "First")},
         {},
         0,
         1},
        {"the schedule changed by the other only",
         EditorBranch::Schedule,
         {},
         {},
         {field("DATE", "1.1.2027", "DATE")},
         {"1.1.2027"},
         1,
         0},
        {"the schedule changed on both",
         EditorBranch::Schedule,
         {field("DATE", "1.1.2027", "DATE")},
         {field("DATE", "2.1.2027", "DATE")},
         {},
         {"2.1.2027"},
         0,
         1},
    };
    for (const auto& c : cases) {
        const BranchMerge merge = mergeBranch(c.branch, c.base, c.mine, c.theirs, {});
        EXPECT_EQ(values(merge.rows), c.merged) << c.what;
        EXPECT_EQ(merge.takenFromTheirs.size(), c.taken) << c.what;
        EXPECT_EQ(merge.conflicts.size(), c.conflicts) << c.what;
    }
}

TEST(DocumentMergeTest, AChoiceSettlesAConflictAndBothKeepsBothTexts) {
    const Rows base{comment("a")}, mine{comment("a mine")}, theirs{comment("a theirs")};
    const BranchMerge asked = mergeBranch(EditorBranch::Comments, base, mine, theirs, {});
    ASSERT_EQ(asked.conflicts.size(), 1u);
    const MergeConflict& conflict = asked.conflicts.front();
    ASSERT_TRUE(conflict.mine && conflict.theirs);
    EXPECT_EQ(conflict.mine->value, "a mine");
    EXPECT_EQ(conflict.theirs->value, "a theirs");
    EXPECT_TRUE(conflict.bothPossible);

    const struct {
        MergeChoice choice;
        Values merged;
    } choices[] = {
        {MergeChoice::Mine, {"a mine"}},
        {MergeChoice::Theirs, {"a theirs"}},
        {MergeChoice::Both, {"a theirs", "a mine"}},
    };
    for (const auto& c : choices) {
        const BranchMerge settled = mergeBranch(EditorBranch::Comments, base, mine, theirs, {{conflict.key, c.choice}});
        EXPECT_TRUE(settled.conflicts.empty());
        EXPECT_EQ(values(settled.rows), c.merged);
    }

    // A field settled with both keeps the user's value and the other's as
    // a comment; a choice for another branch's unit of the same name does
    // not settle it.
    const Rows fieldBase{field("NAME", "Offer")}, fieldMine{field("NAME", "Mine")},
        fieldTheirs{field("NAME", "Theirs")};
    const BranchMerge fieldAsked = mergeBranch(EditorBranch::Properties, fieldBase, fieldMine, fieldTheirs, {});
    ASSERT_EQ(fieldAsked.conflicts.size(), 1u);
    const BranchMerge both = mergeBranch(EditorBranch::Properties, fieldBase, fieldMine, fieldTheirs,
                                         {{fieldAsked.conflicts.front().key, MergeChoice::Both}});
    EXPECT_EQ(values(both.rows), Values{"Mine"});
    ASSERT_EQ(both.extraComments.size(), 1u);
    EXPECT_EQ(both.extraComments.front().value, "Theirs");
    EXPECT_EQ(mergeBranch(EditorBranch::Properties, fieldBase, fieldMine, fieldTheirs,
                          {{conflictKey(EditorBranch::Comments, "NAME"), MergeChoice::Theirs}})
                  .conflicts.size(),
              1u);
    // Yes/no fields have no "both".
    EXPECT_FALSE(mergeBranch(EditorBranch::Properties, {field("DONE", "No", "BOOL")}, {field("DONE", "Yes", "BOOL")},
                             {field("DONE", "Maybe", "BOOL")}, {})
                     .conflicts.front()
                     .bothPossible);
}

} // namespace
} // namespace quill
