#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

class Session;

// The user's recently typed texts, offered again by the views that take
// comments and notes.
struct TextCache {
    static constexpr std::size_t kMaxPositions = 150;
    // Saved after this many new texts.
    static constexpr int kSaveAfter = 10;

    std::string file;
    // The texts read, one empty position after them, then the texts added.
    std::vector<std::string> positions;
    int addedSinceSave = 0;
};

// Reads the user's TextCache.txt, creating it empty when missing.
bool loadTextCache(Session& session);

// Adds a text, or replaces one that differs only in letter case so that the
// latest spelling wins. A full cache takes nothing more. False only for an
// empty text.
bool addToTextCache(Session& session, std::string_view text);

// Writes every non-empty text, one per line, trying up to five times.
bool saveTextCache(Session& session);

} // namespace quill
