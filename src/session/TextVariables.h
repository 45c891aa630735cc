#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

class ExpansionPass;
class Record;
class Session;

enum class ExpansionMode {
    Plain,
    // For pages: values that come from data (record fields, names, paths)
    // are HTML-escaped so that no user can put markup into another user's
    // page. Texts from language files are trusted and inserted as they are.
    Page,
};

// What a text speaks of beyond the session's own values. The caller names
// it, so that a text shows the record it was meant for and not whichever
// one happened to be read last.
struct ExpansionSubject {
    // The record whose fields "$DATA.", "$DATATYPE.", "$DATABOOLEAN." and
    // attachment images show; without one every field reads as empty.
    const Record* record = nullptr;
    // What "$ACTUALOBJECT.ACTUALNAME$" shows: the object an event is about.
    // Without one it is the actual object's display name.
    std::optional<std::string_view> actualName;
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
    TextVariables(const TextVariables&) = delete;
    TextVariables& operator=(const TextVariables&) = delete;

    // Expands text with the fields of record. blankOnEmptyData: a "$DATA."
    // variable whose field is empty empties the whole text.
    std::string expand(std::string_view text, const Record& record, bool blankOnEmptyData,
                       ExpansionMode mode = ExpansionMode::Plain);

    // Expands a text that shows no record: its field variables read as
    // empty.
    std::string expand(std::string_view text, bool blankOnEmptyData, ExpansionMode mode = ExpansionMode::Plain);

    // The language text (section, key, file), its variables expanded about
    // the object named, which "$ACTUALOBJECT.ACTUALNAME$" then shows.
    std::string lookupAbout(std::string_view actualName, std::string_view section, std::string_view key,
                            std::string_view file);

    // What a language text is expanded with when the lookup happens inside
    // an expansion: blank on empty data, about the enclosing expansion's
    // subject, in its mode. Outside any expansion the text has no record.
    std::string expandLanguageText(std::string_view text);

    // Replaces the data point path, the logon name and the full name by
    // their variables, in any case, so a stored path holds nothing specific
    // to a machine or a user.
    std::string collapse(std::string_view text) const;

private:
    friend class ExpansionPass;
    struct Expansion {
        std::string text;
        bool emptied = false; // $IF_ADMIN$ or blank-on-empty-data emptied it
    };
    Expansion run(std::string_view text, const ExpansionSubject& subject, bool blankOnEmptyData, ExpansionMode mode);

    Session& session_;
    int depth_ = 0;
    std::vector<std::string> active_; // variables whose values are being expanded
    std::size_t budget_ = 0;          // bytes the current expansion may still insert
    // The mode and subject of the expansion under way, for the language
    // texts looked up inside it.
    ExpansionMode languageMode_ = ExpansionMode::Plain;
    const ExpansionSubject* subject_ = nullptr;
};

std::string escapeHtml(std::string_view text);

} // namespace quill
