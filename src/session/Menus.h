#pragma once

#include <string>
#include <vector>

namespace quill {

class Session;

// One entry of a menu the main window builds: caption, image name and the
// hint that identifies the entry (an index in decimal). A caption of "-"
// is a separator.
struct MenuEntry {
    std::string caption;
    std::string image;
    std::string hint;
};

// The object types offered for new documents, in table order; the hint is
// the type's index in the object type table.
std::vector<MenuEntry> buildObjectTypeMenu(const Session& session);

struct FolderTemplate {
    std::string caption;
    std::string directory;
};

struct FolderTemplateMenu {
    std::vector<MenuEntry> entries;        // the shared templates, "-", the user's own
    std::vector<FolderTemplate> templates; // by running number (the hint)
};

// The folder templates: each directory with a readable folder.folders under
// the resources' Templates, then under the user's own Templates (created
// when missing).
FolderTemplateMenu buildFolderTemplateMenu(Session& session);

struct FileTemplate {
    std::string fileName;
    std::string directory; // with a trailing separator
};

// The shared file templates, then the user's own.
std::vector<FileTemplate> buildFileTemplateList(const Session& session);

} // namespace quill
