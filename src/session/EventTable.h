#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill {

class LanguageTexts;

// One reminder choice a schedule's "EVENT" field can index.
struct EventChoice {
    std::string name;
    int minutes = 0; // how long before the event the reminder falls; 0: none
};

// The choices of file "Values", section "EVENTS": "EVENT1", "EVENTVALUE1",
// "EVENT2", ... up to the first number without a name. Minutes that are no
// number read as 0.
std::vector<EventChoice> readEventTable(LanguageTexts& texts);

std::vector<std::string> eventNames(const std::vector<EventChoice>& table);

// The name an "EVENT" index text stands for; empty when it is no index of
// the table.
std::string eventNameOf(const std::vector<EventChoice>& table, std::string_view indexText);

} // namespace quill
