#include "formats/MarkedText.h"

#include "platform/Cp1250.h"

#include <algorithm>
#include <cstring>

namespace quill {
namespace {

std::string keyOf(std::string_view text) {
    std::string key = cp1250::upper(text);
    for (char& c : key) {
        if (c == '\\')
            c = '/';
    }
    return key;
}

} // namespace

MarkedText::MarkedText(std::string_view text, std::size_t steps)
    : text_(text), key_(keyOf(text)), locked_(text.size(), '\0'), cursors_(steps, 0) {}

bool MarkedText::isLocked(std::size_t pos, std::size_t length) const {
    if (pos >= locked_.size())
        return false;
    length = std::min(length, locked_.size() - pos);
    return std::memchr(locked_.data() + pos, '\1', length) != nullptr;
}

std::size_t MarkedText::findFrom(std::string_view needle, std::size_t from, bool exact) const {
    if (needle.empty())
        return std::string::npos;
    const std::string& haystack = exact ? text_ : key_;
    for (std::size_t pos = haystack.find(needle, from); pos != std::string::npos;
         pos = haystack.find(needle, pos + 1)) {
        if (!isLocked(pos, needle.size()))
            return pos;
    }
    return std::string::npos;
}

std::size_t MarkedText::find(std::size_t step, std::string_view needle) {
    longestNeedle_ = std::max(longestNeedle_, needle.size());
    const std::size_t pos = findFrom(needle, cursors_[step], false);
    cursors_[step] = pos == std::string::npos ? text_.size() : pos;
    return pos;
}

bool MarkedText::matchesAt(std::size_t pos, std::string_view needle) const {
    return key_.compare(pos, needle.size(), needle) == 0 && !isLocked(pos, needle.size());
}

void MarkedText::replace(std::size_t pos, std::size_t length, std::string_view value) {
    text_.replace(pos, length, value);
    key_.replace(pos, length, keyOf(value));
    locked_.replace(pos, length, value.size(), '\1');
    // A match across the joint of an empty replacement starts this far back.
    const std::size_t joint = value.empty() && length > 0 ? pos - std::min(pos, longestNeedle_) : std::string::npos;
    for (std::size_t& cursor : cursors_) {
        if (cursor >= pos + length)
            cursor = cursor - length + value.size();
        else if (cursor > pos || (cursor == pos && length > 0))
            cursor = pos + value.size();
        cursor = std::min(cursor, joint);
    }
}

void MarkedText::lock(std::size_t pos, std::size_t length) {
    for (std::size_t i = pos; i < pos + length && i < locked_.size(); ++i)
        locked_[i] = '\1';
}

} // namespace quill
