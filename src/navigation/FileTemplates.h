#pragma once

#include <string>
#include <vector>

namespace quill {

class Session;

// A file that new attachments can be made from.
struct FileTemplate {
    std::string name; // file name without its extension
    std::string path;
    bool own = false; // from the user's own templates, not the data point's
};

// The data point's file templates of the resource copy, then the user's
// own, each in listing order; directories and links are left out.
std::vector<FileTemplate> listFileTemplates(const Session& session);

} // namespace quill
