// Any bytes read as a record of a type with every kind of field; a record
// that can be written reads back with the same values.
#include "formats/ObjectTypes.h"
#include "formats/RecordFile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

quill::TypeTables makeTables() {
    quill::DefinitionLists lists;
    quill::loadDefinitionText("sample.info",
                              "[TYPE]\nTYPE=OBJECT.PUBLIC\n[INFO.OBJECT]\nPROPERTY_0=NAME\nPROPERTY_1=COUNT\n"
                              "PROPERTY_2=ACTIVE\nPROPERTY_3=PASSWORD\nPROPERTY_4=NOTE\n",
                              lists, nullptr);
    loadDefinitionText("NAME", "[TYPE]\nTYPE=PROPERTY.PUBLIC\n", lists, nullptr);
    loadDefinitionText("COUNT", "[TYPE]\nTYPE=PROPERTY.PUBLIC\n[INFO.PROPERTY]\nTYPE=INTEGER\n", lists, nullptr);
    loadDefinitionText("ACTIVE", "[TYPE]\nTYPE=PROPERTY.PUBLIC\n[INFO.PROPERTY]\nTYPE=BOOLEAN\n", lists, nullptr);
    loadDefinitionText("PASSWORD", "[TYPE]\nTYPE=PROPERTY.PUBLIC\n[INFO.PROPERTY]\nCRYPT=TRUE\n", lists, nullptr);
    loadDefinitionText("NOTE", "[TYPE]\nTYPE=PROPERTY.PUBLIC\n[INFO.PROPERTY]\nTYPE=COMMENT\n", lists, nullptr);
    return quill::mergeDefinitions(lists);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const quill::TypeTables tables = makeTables();
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const quill::Record record = quill::parseRecord(tables, "fuzz.sample", input);
    if (record.fields.size() != 5)
        std::abort();
    std::string content;
    if (quill::recordFileContent(record, content).ok()) {
        const quill::Record again = quill::parseRecord(tables, "fuzz.sample", content);
        for (std::size_t i = 0; i < record.fields.size(); ++i) {
            if (again.fields[i].value != record.fields[i].value)
                std::abort();
        }
    }
    return 0;
}
