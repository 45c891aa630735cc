#pragma once

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

// Looks for a text in files without regard to case (code page 1250
// letters), as a find over a whole shared tree needs: files are read in
// blocks, never whole, and a match never spans two lines. An empty text,
// or one that holds a line break, matches nothing.
class TextSearch {
public:
    explicit TextSearch(std::string_view cp1250Text);

    bool matchesNothing() const { return needle_.empty(); }

    // Whether the regular file at the (library) path holds the text. Links
    // are not followed; what cannot be opened or read holds nothing. Reading
    // ends between two blocks once stop is set, so a large file on a slow
    // share does not hold a stop up.
    bool fileContains(const std::string& path, const std::atomic<bool>* stop = nullptr);

private:
    std::string needle_; // upper-cased
    std::vector<char> buffer_;
};

} // namespace quill
