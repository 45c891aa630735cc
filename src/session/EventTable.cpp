#include "session/EventTable.h"

#include "formats/LanguageTexts.h"

#include <charconv>

namespace quill {

namespace {

int numberOr(std::string_view text, int fallback) {
    int value = fallback;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? value : fallback;
}

} // namespace

std::vector<EventChoice> readEventTable(LanguageTexts& texts) {
    std::vector<EventChoice> table;
    for (int i = 1;; ++i) {
        const std::string number = std::to_string(i);
        if (!texts.rawLookup("EVENTS", "EVENT" + number, "Values"))
            break;
        EventChoice choice;
        choice.name = texts.lookup("EVENTS", "EVENT" + number, "Values");
        const auto minutes = texts.rawLookup("EVENTS", "EVENTVALUE" + number, "Values");
        choice.minutes = minutes ? numberOr(*minutes, 0) : 0;
        table.push_back(std::move(choice));
    }
    return table;
}

std::vector<std::string> eventNames(const std::vector<EventChoice>& table) {
    std::vector<std::string> names;
    names.reserve(table.size());
    for (const EventChoice& choice : table)
        names.push_back(choice.name);
    return names;
}

std::string eventNameOf(const std::vector<EventChoice>& table, std::string_view indexText) {
    const int index = numberOr(indexText, -1);
    return index >= 0 && static_cast<std::size_t>(index) < table.size() ? table[index].name : std::string();
}

} // namespace quill
