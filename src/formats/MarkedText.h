#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

// A text rewritten by passes of search-and-replace steps, as text variables
// are expanded and collapsed. Text that a step inserts is locked: no step
// finds anything in it again, so no value can feed a step forever. Since
// replacing creates no new unlocked text, each step remembers where its last
// search stopped instead of scanning the same text again and again. The one
// way a new match can appear is a removal that joins the text around it; the
// searches then look back just far enough to see across the joint.
class MarkedText {
public:
    MarkedText(std::string_view text, std::size_t steps);

    const std::string& text() const { return text_; }

    // The first unlocked occurrence of needle at or after the step's last
    // one. needle is upper-case; the text matches in any case and reads
    // '\' as '/'. npos when there is none.
    std::size_t find(std::size_t step, std::string_view needle);

    // A one-off search from a position; exact compares the text as written.
    std::size_t findFrom(std::string_view needle, std::size_t from, bool exact) const;

    // Whether an unlocked occurrence of needle starts at pos.
    bool matchesAt(std::size_t pos, std::string_view needle) const;

    // Replaces length bytes at pos by value, which is locked.
    void replace(std::size_t pos, std::size_t length, std::string_view value);

    // Lets a step search on behind pos, leaving what is there to others.
    void passOver(std::size_t step, std::size_t pos) { cursors_[step] = pos + 1; }

    // Takes text as it stands: no step will match it.
    void lock(std::size_t pos, std::size_t length);

private:
    bool isLocked(std::size_t pos, std::size_t length) const;

    std::string text_;
    std::string key_;    // upper-cased, '\' as '/'
    std::string locked_; // one flag byte per text byte
    std::vector<std::size_t> cursors_;
    std::size_t longestNeedle_ = 0;
};

} // namespace quill
