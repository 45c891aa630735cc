// Any bytes load as an object type or property definition without harm.
#include "formats/ObjectTypes.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    quill::DefinitionLists lists;
    quill::loadDefinitionText("fuzz.info", input, lists, nullptr);
    quill::loadDefinitionText("NAME", input, lists, [](const std::string& s) { return s + s; });
    const quill::TypeTables tables = quill::mergeDefinitions(lists);
    (void)tables.objectTypeOf("x.fuzz");
    (void)tables.findProperty("NAME");
    return 0;
}
