#pragma once

#include "platform/Status.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quill {

// An ini-style text: "[SECTION]" lines open sections, "KEY=text" lines give
// texts. Section names and keys match without regard to case; blanks around
// names and values are dropped, and so is one pair of double quotes around
// a whole value. The first section of a name and its first key of a name
// win. Lines are kept as read, so that changing one value rewrites only its
// own line.
class IniDocument {
public:
    static IniDocument parse(std::string_view content);

    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    bool hasKey(std::string_view section, std::string_view key) const { return value(section, key).has_value(); }

    // The keys of a section as they are written, in file order; a key
    // written twice is listed once.
    std::vector<std::string> keys(std::string_view section) const;

    // Sets a key, adding it (and its section) when missing. A value with a
    // line break cannot be held on one line and is refused.
    Status setValue(std::string_view section, std::string_view key, std::string_view value);

    std::string serialize() const;

private:
    struct Line {
        std::string text;
        std::string section; // upper-cased section the line belongs to
        std::string key;     // upper-cased key, empty for other lines
        bool isSectionHeader = false;
        bool isKey = false;
    };

    static std::string indexKey(std::string_view section, std::string_view key);
    void indexLine(std::size_t index);

    std::vector<Line> lines_;
    std::unordered_map<std::string, std::size_t> keyLines_;     // section+key -> line
    std::unordered_map<std::string, std::size_t> sectionLines_; // section -> header line
};

// The value of a key as the ini rules read it: blanks dropped, then one
// pair of surrounding double quotes.
std::string iniValueOf(std::string_view rawValue);

} // namespace quill
