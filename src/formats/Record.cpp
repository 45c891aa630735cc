#include "formats/Record.h"

#include "formats/ObjectTypes.h"
#include "platform/Cp1250.h"

namespace quill {

std::optional<std::size_t> Record::fieldIndex(std::string_view name) const {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (cp1250::equalsNoCase(fields[i].name, name))
            return i;
    }
    return std::nullopt;
}

std::string Record::value(std::string_view name) const {
    const auto index = fieldIndex(name);
    return index ? fields[*index].value : std::string();
}

bool Record::setValue(std::string_view name, std::string value) {
    const auto index = fieldIndex(name);
    if (!index)
        return false;
    fields[*index].value = std::move(value);
    return true;
}

bool addProperty(const TypeTables& tables, std::size_t type, std::size_t n, Record& record) {
    if (type >= tables.objectTypes.size())
        return false;
    const ObjectType& objectType = tables.objectTypes[type];
    if (n >= objectType.propertyNames.size())
        return false;
    const PropertyDefinition* definition = tables.findProperty(objectType.propertyNames[n]);
    if (!definition)
        return false;
    Field field;
    field.name = definition->name;
    field.dataType = definition->dataType;
    field.kind = definition->kind;
    field.note = definition->note;
    field.enciphered = definition->enciphered;
    field.action = definition->action;
    field.icon = definition->icon;
    record.fields.push_back(std::move(field));
    return true;
}

std::string defaultValueFor(std::string_view dataType) {
    return std::string(factsOf(propertyKindOf(dataType)).recordDefault);
}

} // namespace quill
