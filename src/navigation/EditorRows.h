#pragma once

#include "documents/Companions.h"
#include "formats/PropertyKinds.h"

#include <string>

namespace quill {

// The four branches of the editor, in the order they are shown.
enum class EditorBranch { Properties = 0, Comments = 1, Attachments = 2, Schedule = 3 };

// One line of a branch: what it shows and what the save takes from it.
struct EditorRow {
    std::string label;
    std::string value;                       // shown and edited; saved (yes/no texts mapped back to their keys)
    PropertyKind kind = PropertyKind::Other; // a field's data type, a comment, an attachment type or a schedule field
    std::string field;                       // property rows: the record's field name
    std::string path;                        // attachment rows: the attached file, stored or staged
    std::string imageName;                   // its picture in the tree's image list
    bool operator==(const EditorRow&) const = default;
};

struct EditorBranchHead {
    std::string kind; // "ROOT_DATA", "ROOT_COMMENTS", "ROOT_ATTACHMENTS", "ROOT_SCHEDULER"
    std::string label;
    std::string imageName;
};

// An attachment row's kind is its type.
inline PropertyKind attachmentKindOf(AttachmentType type) {
    return type == AttachmentType::Document ? PropertyKind::AttachmentDocument : PropertyKind::AttachmentTemplate;
}
inline AttachmentType attachmentTypeOf(PropertyKind kind) {
    return kind == PropertyKind::AttachmentDocument ? AttachmentType::Document : AttachmentType::Template;
}

} // namespace quill
