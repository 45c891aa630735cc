#include "formats/ObjectTypes.h"

#include "formats/IniDocument.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "platform/WorkPool.h"

namespace quill {
namespace {

constexpr std::size_t kMaxDefinitionBytes = 1024 * 1024;
// A definition names its fields PROPERTY_0, PROPERTY_1 ... until the first
// gap; this bound only stops a hostile file from making a huge type.
constexpr std::size_t kMaxProperties = 10000;

std::string valueOr(const IniDocument& doc, std::string_view section, std::string_view key, std::string_view fallback) {
    auto v = doc.value(section, key);
    return v ? *v : std::string(fallback);
}

std::string expanded(const TextExpander& expand, std::string text) {
    return expand ? expand(text) : text;
}

} // namespace

std::string objectTypeNameOf(std::string_view fileName) {
    std::string name = path::fileName(fileName);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name = name.substr(dot + 1);
    return name + ".info";
}

bool TypeTables::definesTypeOf(std::string_view fileName) const {
    // A name without an extension would otherwise be taken for its own type.
    if (path::extension(fileName).size() < 2)
        return false;
    const std::size_t type = objectTypeOf(fileName);
    return type < objectTypes.size() && cp1250::equalsNoCase(objectTypes[type].name, objectTypeNameOf(fileName));
}

std::size_t TypeTables::objectTypeOf(std::string_view fileName) const {
    const std::string wanted = objectTypeNameOf(fileName);
    for (std::size_t i = 0; i < objectTypes.size(); ++i) {
        if (cp1250::equalsNoCase(objectTypes[i].name, wanted))
            return i;
    }
    return 0;
}

const PropertyDefinition* TypeTables::findProperty(std::string_view name) const {
    for (const PropertyDefinition& p : properties) {
        if (cp1250::equalsNoCase(p.name, name))
            return &p;
    }
    return nullptr;
}

namespace {

bool loadDefinitionRead(const std::string& filePath, const fs::ReadResult& file, DefinitionLists& lists,
                        const TextExpander& expandBlank) {
    if (file.error == fs::ReadError::Missing)
        return false;
    // An unreadable file reads as one without keys: it has no TYPE.
    return loadDefinitionText(path::fileName(filePath), file.ok() ? file.content : std::string(), lists, expandBlank);
}

} // namespace

bool loadDefinitionFile(const std::string& filePath, DefinitionLists& lists, const TextExpander& expandBlank) {
    return loadDefinitionRead(filePath, fs::readFile(filePath, kMaxDefinitionBytes), lists, expandBlank);
}

bool loadDefinitionText(const std::string& name, std::string_view content, DefinitionLists& lists,
                        const TextExpander& expandBlank) {
    const IniDocument doc = IniDocument::parse(content);
    const std::string kind = expanded(expandBlank, valueOr(doc, "TYPE", "TYPE", "PARROR"));
    if (kind == "PARROR" || kind.empty())
        return false;
    const std::string kindUpper = cp1250::upper(kind);

    if (kindUpper == "OBJECT.PRIVATE" || kindUpper == "OBJECT.PUBLIC") {
        ObjectType type;
        type.name = name;
        type.caption = expanded(expandBlank, valueOr(doc, "TYPE", "CAPTION", "PARROR"));
        type.note = expanded(expandBlank, valueOr(doc, "TYPE", "NOTE", ""));
        type.icon = expanded(expandBlank, valueOr(doc, "TYPE", "ICON", "PARROR"));
        type.inMenus = text::isTrue(expanded(expandBlank, valueOr(doc, "TYPE", "MENU", "PARROR")));
        for (std::size_t n = 0; n < kMaxProperties; ++n) {
            const std::string property = valueOr(doc, "INFO.OBJECT", "PROPERTY_" + std::to_string(n), "PARROR");
            if (property == "PARROR")
                break;
            type.propertyNames.push_back(property);
            if (property.empty())
                break; // an empty name is kept as a field, but ends the list
        }
        (kindUpper == "OBJECT.PRIVATE" ? lists.privateObjects : lists.publicObjects).push_back(std::move(type));
    } else if (kindUpper == "PROPERTY.PRIVATE" || kindUpper == "PROPERTY.PUBLIC") {
        PropertyDefinition property;
        property.name = name;
        property.icon = valueOr(doc, "TYPE", "ICON", "PROPERTY.BMP");
        property.dataType = valueOr(doc, "INFO.PROPERTY", "TYPE", "STRING");
        property.kind = propertyKindOf(property.dataType);
        property.note = valueOr(doc, "INFO.PROPERTY", "NOTE", "");
        property.enciphered = text::isTrue(valueOr(doc, "INFO.PROPERTY", "CRYPT", "FALSE"));
        property.action = valueOr(doc, "INFO.PROPERTY", "ACTION", "NILL");
        (kindUpper == "PROPERTY.PRIVATE" ? lists.privateProperties : lists.publicProperties)
            .push_back(std::move(property));
    }
    return true;
}

TypeTables mergeDefinitions(const DefinitionLists& lists) {
    TypeTables tables;
    tables.objectTypes = lists.privateObjects;
    tables.objectTypes.insert(tables.objectTypes.end(), lists.publicObjects.begin(), lists.publicObjects.end());
    tables.properties = lists.privateProperties;
    tables.properties.insert(tables.properties.end(), lists.publicProperties.begin(), lists.publicProperties.end());
    return tables;
}

TypeTables loadTypeTables(const std::string& dataPointPath, const TextExpander& expandBlank) {
    std::vector<std::string> files;
    for (const char* sub : {"DataPoint.system/Objects/Private", "DataPoint.system/Objects/Public",
                            "DataPoint.system/Property/Private", "DataPoint.system/Property/Public"}) {
        const std::string directory = path::join(dataPointPath, sub);
        const auto entries = fs::list(directory);
        if (!entries)
            continue;
        for (const fs::Entry& entry : *entries) {
            if (!entry.isDirectory)
                files.push_back(path::join(directory, entry.name));
        }
    }
    // A hundred small files: on a share they are read side by side, and
    // taken in the order listed all the same.
    const std::unique_ptr<WorkPool> pool = poolForShare(dataPointPath);
    const std::vector<fs::ReadResult> read =
        mapInOrder(pool.get(), files, [](const std::string& file) { return fs::readFile(file, kMaxDefinitionBytes); });
    DefinitionLists lists;
    for (std::size_t i = 0; i < files.size(); ++i)
        loadDefinitionRead(files[i], read[i], lists, expandBlank);
    return mergeDefinitions(lists);
}

} // namespace quill
