#include "navigation/NodeKind.h"

namespace quill {

std::string_view keyOf(NodeKind kind) {
    switch (kind) {
    case NodeKind::Folder: return "";
    case NodeKind::TopFolder: return "ROOT";
    case NodeKind::Settings: return "SETTINGS";
    case NodeKind::TemplateFolder: return "SETTINGS_OBJ";
    case NodeKind::Tasks: return "MYTASKS";
    case NodeKind::Trash: return "TRASH";
    }
    return "";
}

} // namespace quill
