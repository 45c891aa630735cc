#include "navigation/ImageNames.h"

#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/FolderTree.h"
#include "platform/Paths.h"

#include <algorithm>

namespace quill {

int ImageNameTable::imageIndex(std::string_view name) const {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (cp1250::equalsNoCase(entries[i].name, name))
            return static_cast<int>(i);
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (cp1250::upper(entries[i].name).find("UNKNOWN.BMP") != std::string::npos)
            return static_cast<int>(i);
    }
    return 0;
}

ImageNameTable loadTreeImageNames(const std::string& resourceDirectory) {
    ImageNameTable table;
    const std::pair<const char*, const char*> sources[] = {
        {"GUI/MainTreeView", "*.bmp"}, {"Bitmaps", "*.bmp"}, {"Icons", "*.ico"}};
    for (const auto& [directory, mask] : sources) {
        for (const std::string& file : listFiles(path::join(resourceDirectory, directory), mask)) {
            if (fs::isRegularFile(file))
                table.entries.push_back({path::fileName(file), file});
        }
    }
    return table;
}

std::vector<std::string> toolbarImageFiles(const std::string& resourceDirectory, char kind) {
    std::vector<std::string> files;
    for (const std::string& file :
         listFiles(path::join(resourceDirectory, "GUI/ToolBarPanel"), std::string(1, kind) + "*.bmp")) {
        if (fs::isRegularFile(file))
            files.push_back(file);
    }
    // Buttons take pictures by position. Systems list directories in
    // different orders; sorted by name they come in the order the files
    // are numbered, on every system.
    std::sort(files.begin(), files.end(),
              [](const std::string& a, const std::string& b) { return cp1250::upper(a) < cp1250::upper(b); });
    return files;
}

} // namespace quill
