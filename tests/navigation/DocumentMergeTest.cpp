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

// The parts of text between '|'s; none for an empty text.
Values split(std::string_view text) {
    Values parts;
    for (std::size_t from = 0; !text.empty() && from <= text.size();) {
        const std::size_t bar = std::min(text.find('|', from), text.size());
        parts.emplace_back(text.substr(from, bar - from));
        from = bar + 1;
    }
    return parts;
}

// A branch's rows written short: "NAME=value|..." for fields (dates in the
// schedule), "text|..." for comments, "file=name|..." for attachments.
Rows rowsOf(EditorBranch branch, std::string_view text) {
    Rows rows;
    for (const std::string& part : split(text)) {
        const std::size_t equals = part.find('=');
        const std::string key = part.substr(0, equals), value = part.substr(equals + 1);
        switch (branch) {
        case EditorBranch::Properties: rows.push_back(field(key.c_str(), value.c_str())); break;
        case EditorBranch::Schedule: rows.push_back(field(key.c_str(), value.c_str(), "DATE")); break;
        case EditorBranch::Comments: rows.push_back(comment(part.c_str())); break;
        case EditorBranch::Attachments: rows.push_back(attachment(key.c_str(), value.c_str())); break;
        }
    }
    return rows;
}

TEST(DocumentMergeTest, EachUnitKeepsTheSideThatChangedIt) {
    using enum EditorBranch;
    const struct {
        const char* what;
        EditorBranch branch;
        const char *base, *mine, *theirs, *merged;
        std::size_t taken;     // units taken from the other side
        std::size_t conflicts; // units that ask
    } cases[] = {
        {"different fields", Properties, "VALUE=100|NAME=Offer", "VALUE=100|NAME=Offer 2", "VALUE=250|NAME=Offer",
         "250|Offer 2", 1, 0},
        {"the same field to the same value", Properties, "VALUE=100", "VALUE=300", "VALUE=300", "300", 0, 0},
        {"the same field to different values", Properties, "VALUE=100", "VALUE=300", "VALUE=250", "300", 0, 1},
        {"comments added on both sides", Comments, "a", "a|mine", "a|theirs", "a|theirs|mine", 1, 0},
        {"a comment changed by one, another deleted by the other", Comments, "a|b|c", "a|B!|c", "a|b", "a|B!", 1, 0},
        {"a comment deleted by one and changed by the other", Comments, "a|b", "a", "a|b changed", "a", 0, 1},
        {"one comment changed differently on both", Comments, "a", "a mine", "a theirs", "a mine", 0, 1},
        {"attachments added on both, one renamed", Attachments, "/f/1=One", "/f/1=One|/s/2=Mine",
         "/f/1=First|/f/3=Theirs", "First|Theirs|Mine", 2, 0},
        {"an attachment removed by one, renamed by the other", Attachments, "/f/1=One", "", "/f/1=First", "", 0, 1},
        {"the schedule changed by the other only", Schedule, "", "", "DATE=1.1.2027", "1.1.2027", 1, 0},
        {"the schedule changed on both", Schedule, "DATE=1.1.2027", "DATE=2.1.2027", "", "2.1.2027", 0, 1},
    };
    for (const auto& c : cases) {
        const BranchMerge merge =
            mergeBranch(c.branch, rowsOf(c.branch, c.base), rowsOf(c.branch, c.mine), rowsOf(c.branch, c.theirs), {});
        EXPECT_EQ(values(merge.rows), split(c.merged)) << c.what;
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
