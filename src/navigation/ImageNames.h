#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill {

// The pictures of the main tree, referred to everywhere by file name
// ("ROOT.BMP", the ICON field of folders and records). A name's position in
// the table is its image index; the views load one picture per name in the
// same order, so indexes and pictures always agree.
struct ImageNameTable {
    struct Entry {
        std::string name; // file name without directory
        std::string path; // where the picture was found
    };
    std::vector<Entry> entries;

    // The index of name (compared in any case); else that of the first entry
    // containing "UNKNOWN.BMP"; else 0.
    int imageIndex(std::string_view name) const;
};

// The tree pictures under the resource directory, in load order:
// GUI/MainTreeView/*.bmp, Bitmaps/*.bmp, Icons/*.ico, each in the order the
// directory lists them.
ImageNameTable loadTreeImageNames(const std::string& resourceDirectory);

// The toolbar pictures of one kind ('A' normal, 'B' hot, 'C' disabled) in
// GUI/ToolBarPanel, sorted by name; empty when there are none.
std::vector<std::string> toolbarImageFiles(const std::string& resourceDirectory, char kind);

} // namespace quill
