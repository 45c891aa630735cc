#pragma once

#include "formats/PropertyKinds.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

struct TypeTables;

// One field of a record: its definition and its (deciphered) value.
struct Field {
    std::string name;
    std::string dataType;
    PropertyKind kind = PropertyKind::Other;
    std::string note;
    bool enciphered = false;
    std::string action;
    std::string icon;
    std::string value;
};

// Where a record was read from.
struct RecordHeader {
    std::string directory; // with a trailing separator
    std::string fileName;
    std::int64_t modificationTime = 0; // nanoseconds since the epoch

    std::string path() const { return directory + fileName; }
};

// A record file in memory: its fields in the order of its object type.
class Record {
public:
    std::vector<Field> fields;
    RecordHeader header;

    // Index of the field of that name, compared in any case.
    std::optional<std::size_t> fieldIndex(std::string_view name) const;

    // The value of a field; empty when the record has no such field.
    std::string value(std::string_view name) const;

    // Sets the value of a field. A name the record lacks changes nothing and
    // gives false, so that a mistyped name never overwrites another field.
    bool setValue(std::string_view name, std::string value);
};

// Appends property n of object type t, as its definition describes it,
// with an empty value. False when the type has no property n or no
// definition of that name exists.
bool addProperty(const TypeTables& tables, std::size_t type, std::size_t n, Record& record);

// The value a field takes when its file has no line for it.
std::string defaultValueFor(std::string_view dataType);

} // namespace quill
