#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill {

class Session;

enum class ExpansionMode {
    Plain,
    // For pages: values that come from data (record fields, names, paths)
    // are HTML-escaped so that no user can put markup into another user's
    // page. Texts from language files are trusted and inserted as they are.
    Page,
};

// Replaces the data point path, the logon name and the full name in a
// stored text by their variables, in any case, as the program of the user
// named writes them.
std::string collapseStoredText(std::string_view text, std::string_view dataPointPath, std::string_view logonName,
                               std::string_view fullName);

// Replaces text variables ("$LOGONNAME$", "$DATA.NAME.DATA$" ...) by values
// of the session, and stored values by variables again (collapse).
//
// Expansion works in passes of 24 steps; each step replaces the first
// occurrence of its marker, and passes repeat until nothing changes. A value
// is expanded before it is inserted and is never searched again afterwards,
// so a value holding its own marker cannot make the passes endless.
class TextVariables {
public:
    explicit TextVariables(Session& session) : session_(session) {}

    // blankOnEmptyData: a "$DATA." variable whose field is empty empties the
    // whole text.
    std::string expand(std::string_view text, bool blankOnEmptyData, ExpansionMode mode = ExpansionMode::Plain);

    // What a language text is expanded with when the lookup happens inside
    // an expansion: blank on empty data, in the enclosing expansion's mode.
    std::string expandLanguageText(std::string_view text);

    // Replaces the data point path, the logon name and the full name by
    // their variables, in any case, so a stored path holds nothing specific
    // to a machine or a user.
    std::string collapse(std::string_view text) const;

    std::string informationValue(std::string_view name);

    // Opens <help directory>/FORMS/<key>.htm with the desktop's viewer.
    void openFormHelp(std::string_view key);

private:
    struct Expansion {
        std::string text;
        bool emptied = false; // $IF_ADMIN$ or blank-on-empty-data emptied it
    };
    Expansion run(std::string_view text, bool blankOnEmptyData, ExpansionMode mode);

    Session& session_;
    int depth_ = 0;
    std::vector<std::string> active_; // variables whose values are being expanded
    std::size_t budget_ = 0;          // bytes the current expansion may still insert
    ExpansionMode languageMode_ = ExpansionMode::Plain;
};

std::string escapeHtml(std::string_view text);

} // namespace quill
