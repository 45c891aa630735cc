#pragma once

#include <array>
#include <atomic>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

// Looks for a text in files without regard to case (code page 1250
// letters), as a find over a whole shared tree needs: files are read in
// blocks, never whole, and a match never spans two lines. An empty text,
// or one that holds a line break, matches nothing.
//
// One object reads one file at a time (it owns its read buffer); threads
// that read side by side each take a copy.
class TextSearch {
public:
    explicit TextSearch(std::string_view cp1250Text);

    bool matchesNothing() const { return needle_.empty(); }

    // Whether the regular file at the (library) path holds the text. Links
    // are not followed; what cannot be opened or read holds nothing. Reading
    // ends between two blocks once stop is set, so a large file on a slow
    // share does not hold a stop up.
    bool fileContains(const std::string& path, const std::atomic<bool>* stop = nullptr);
    // The same for a file named (as listed, in the code page) in a folder
    // held open, which spares the system finding the folder again for each
    // of its files.
    bool fileContains(int folder, std::string_view name, const std::atomic<bool>* stop = nullptr);

    // Where the text first stands in bytes, in any case; npos when nowhere.
    std::size_t find(std::string_view bytes) const;

private:
    // Reads an open file, which it closes.
    bool openFileContains(int fd, const std::atomic<bool>* stop);

    std::string needle_; // upper-cased
    // How far the needle may move on when the byte under its last letter
    // is this one: the bytes are compared as their capitals, so the table
    // is filled for both cases of each letter.
    std::array<std::size_t, 256> skip_{};
    std::vector<char> buffer_;
};

} // namespace quill
