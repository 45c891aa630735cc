// Any bytes parse as an ini text; a value set on the parsed text reads back
// exactly after a write and a new parse.
#include "formats/IniDocument.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    quill::IniDocument doc = quill::IniDocument::parse(input);
    (void)doc.value("TYPE", "TYPE");
    (void)doc.value("", "");

    // Use the first line as a section and key name to probe with.
    const std::string_view firstLine = input.substr(0, input.find_first_of("\r\n"));
    const std::string name(firstLine.substr(0, 32));
    const bool nameUsable = name.find_first_of("[]=\r\n") == std::string::npos && !name.empty() &&
                            name.front() != ' ' && name.back() != ' ' && name.front() != '\t' && name.back() != '\t';
    if (nameUsable && doc.setValue(name, name, "value").ok()) {
        const quill::IniDocument again = quill::IniDocument::parse(doc.serialize());
        const auto value = again.value(name, name);
        if (!value || *value != "value")
            std::abort();
    }
    return 0;
}
