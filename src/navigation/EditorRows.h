#pragma once

#include <string>
#include <string_view>

namespace quill {

// The four branches of the editor, in the order they are shown.
enum class EditorBranch { Properties = 0, Comments = 1, Attachments = 2, Schedule = 3 };

// One line of a branch: what it shows and what the save takes from it.
struct EditorRow {
    std::string label;
    std::string value;     // shown and edited; saved (yes/no texts mapped back to their keys)
    std::string kind;      // a field's data type, "COMMENT", an attachment type or a schedule field
    std::string field;     // property rows: the record's field name
    std::string path;      // attachment rows: the attached file, stored or staged
    std::string imageName; // its picture in the tree's image list
    bool operator==(const EditorRow&) const = default;
};

struct EditorBranchHead {
    std::string kind; // "ROOT_DATA", "ROOT_COMMENTS", "ROOT_ATTACHMENTS", "ROOT_SCHEDULER"
    std::string label;
    std::string imageName;
};

// "BOOL" or "BOOLEAN" in any case: a field stored as "VALUE_YES" or
// "VALUE_NO" and shown as the language's texts for them.
bool isYesNoKind(std::string_view kind);

} // namespace quill
