// Any text may be pasted where a list of users is expected: parsing it never
// fails, and a list written from a selection selects exactly those users.
#include "session/UsersAndGroups.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

// Code page 1250 names: letters upper-case differently from ASCII.
std::vector<quill::UserEntry> sampleUsers() {
    return {{"ANNA", "Anna", "Novak", {}, false},
            {"bob", "Bob", "Stone", {}, false},
            {"ADMINISTRATOR", "System", "Administrator", {}, false},
            {"\xC8"
             "1",
             "\xC8"
             "en\xECk",
             "\xD8\xEDha",
             {},
             false}};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<quill::UserEntry> users = sampleUsers();
    quill::listTextToSelection(users, input);

    if (size == 0)
        return 0;
    std::vector<quill::UserEntry> chosen = sampleUsers();
    for (std::size_t i = 0; i < chosen.size(); ++i)
        chosen[i].selected = (data[0] >> i) & 1;
    const std::string text = quill::selectedUsersToListText(chosen);
    std::vector<quill::UserEntry> parsed = sampleUsers();
    quill::listTextToSelection(parsed, text);
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        if (parsed[i].selected != chosen[i].selected)
            std::abort();
    }
    return 0;
}
