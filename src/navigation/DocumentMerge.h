#pragma once

#include "navigation/EditorRows.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

// How the user settles a unit that both sides changed differently.
enum class MergeChoice { Mine, Theirs, Both };

// A unit that both sides changed, and differently: one field, comment or
// attachment, or the whole schedule. A side that deleted the unit has no
// row.
struct MergeConflict {
    EditorBranch branch = EditorBranch::Properties;
    std::string key; // names the unit within its branch, for the choice
    std::string label;
    std::optional<EditorRow> mine;
    std::optional<EditorRow> theirs;
    // Both sides' texts can be kept: two comments, or a field's own value
    // with the other side's as a comment.
    bool bothPossible = false;
};

// One branch merged: the rows to save, what the other side brought in
// (for the report) and what needs the user's choice.
struct BranchMerge {
    std::vector<EditorRow> rows;
    std::vector<EditorRow> extraComments; // texts kept from a field settled with Both
    std::vector<std::string> takenFromTheirs;
    std::vector<MergeConflict> conflicts;
};

// What a merging save took over from the other user's version.
struct MergeTaken {
    std::string who;                 // as the document's history names them; empty when it does not
    std::string when;                // the other version's date and time
    std::vector<std::string> fields; // the labels of the fields taken
    std::size_t comments = 0;
    std::size_t attachments = 0;
    bool schedule = false;
    bool empty() const { return fields.empty() && comments == 0 && attachments == 0 && !schedule; }
};

// Choices already made, by the conflict's key.
using MergeChoices = std::map<std::string, MergeChoice>;

// The key of a unit's conflict: its branch and the unit's name there.
std::string conflictKey(EditorBranch branch, std::string_view unit);

// Merges the rows of one branch, given as read (base), as edited (mine) and
// as they are on disk now (theirs). Units are the record's fields by name,
// attachments by their stored file, and comments by their place among the
// comments both sides kept. A unit changed on one side only takes that
// change; one changed alike on both is taken once; one changed differently,
// or deleted on one side and changed on the other, is a conflict unless
// choices settle it. Units added on both sides are all kept, theirs first.
BranchMerge mergeBranch(EditorBranch branch, const std::vector<EditorRow>& base, const std::vector<EditorRow>& mine,
                        const std::vector<EditorRow>& theirs, const MergeChoices& choices);

} // namespace quill
