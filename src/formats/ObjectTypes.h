#pragma once

#include "formats/PropertyKinds.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

// A kind of record file, named after the definition file (user.info
// describes *.user records).
struct ObjectType {
    std::string name;
    std::string caption;
    std::string note;
    std::string icon;
    bool inMenus = false;
    std::vector<std::string> propertyNames; // the record's fields, in line order
};

// One field of records: its data type and how it is stored.
struct PropertyDefinition {
    std::string name;
    std::string icon;
    std::string dataType;                    // as the definition names it
    PropertyKind kind = PropertyKind::Other; // dataType, read once
    std::string note;
    bool enciphered = false;
    std::string action;
};

// The four lists filled while definition files are loaded.
struct DefinitionLists {
    std::vector<ObjectType> privateObjects;
    std::vector<ObjectType> publicObjects;
    std::vector<PropertyDefinition> privateProperties;
    std::vector<PropertyDefinition> publicProperties;
};

// The merged tables: private definitions first, then public ones, so a
// private definition of a name hides a public one.
struct TypeTables {
    std::vector<ObjectType> objectTypes;
    std::vector<PropertyDefinition> properties;

    // Index of the type of a record file by its last extension; 0 when no
    // type matches (records of unknown kinds read as the first type).
    std::size_t objectTypeOf(std::string_view fileName) const;
    // Whether a type is defined for the file's last extension: only such
    // records are documents.
    bool definesTypeOf(std::string_view fileName) const;

    // The first property definition of that name, compared in any case.
    const PropertyDefinition* findProperty(std::string_view name) const;
};

using TextExpander = std::function<std::string(const std::string&)>;

// "ext.info" for a file name: its last extension (a name without a dot
// stays whole) followed by ".info".
std::string objectTypeNameOf(std::string_view fileName);

// Loads one definition file into the list its TYPE names. False when the
// file is missing or has no TYPE. The captions, notes, icons and menu flags
// of object types pass through expandBlank (text variables, blank on empty
// data); property definitions are taken as they are.
bool loadDefinitionFile(const std::string& path, DefinitionLists& lists, const TextExpander& expandBlank);

// The same for a definition's content already read; name is its file name.
bool loadDefinitionText(const std::string& name, std::string_view content, DefinitionLists& lists,
                        const TextExpander& expandBlank);

TypeTables mergeDefinitions(const DefinitionLists& lists);

// Loads every definition file of the data point's Objects\Private,
// Objects\Public, Property\Private and Property\Public directories, each in
// listing order, and merges them.
TypeTables loadTypeTables(const std::string& dataPointPath, const TextExpander& expandBlank);

} // namespace quill
