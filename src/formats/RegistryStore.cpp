#include "formats/RegistryStore.h"

#include "formats/IniDocument.h"
#include "platform/AtomicFile.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"

namespace quill {
namespace {

constexpr std::size_t kMaxRegistryBytes = 4 * 1024 * 1024;
constexpr char kHex[] = "0123456789ABCDEF";

// The stored values; nullopt when the file exists but cannot be read, so
// that a write never replaces values it could not see.
std::optional<IniDocument> load(const std::string& filePath) {
    const fs::ReadResult file = fs::readFile(filePath, kMaxRegistryBytes);
    if (file.error == fs::ReadError::Missing)
        return IniDocument::parse("");
    if (!file.ok())
        return std::nullopt;
    return IniDocument::parse(file.content);
}

// Keys are stored as section names; a key that is the section alone has a
// marker value so that an empty key still exists.
constexpr std::string_view kKeyMarker = "@key";

} // namespace

std::string encodeRegistryValue(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        const bool edgeBlank = (c == ' ' || c == '\t') && (i == 0 || i + 1 == value.size());
        if (c < 0x20 || c == 0x7F || c == '%' || c == '"' || edgeBlank) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string decodeRegistryValue(std::string_view stored) {
    return text::percentDecode(stored);
}

DateTimeFormats machineDateTimeFormats(const RegistryStore& registry) {
    DateTimeFormats formats;
    if (const auto date = registry.read(kRegistryKey, "ShortDateFormat"); date && !date->empty())
        formats.shortDate = *date;
    if (const auto time = registry.read(kRegistryKey, "LongTimeFormat"); time && !time->empty())
        formats.longTime = *time;
    return formats;
}

RegistryStore::RegistryStore(std::string filePath) : filePath_(std::move(filePath)) {}

std::string RegistryStore::defaultPath() {
    std::string base = fs::environment("QUILL_CONFIG_HOME");
    if (base.empty())
        base = fs::environment("XDG_CONFIG_HOME");
    if (base.empty())
        base = path::join(fs::homeDirectory(), ".config");
    return path::join(base, "Orvane/Quill!/registry.ini");
}

bool RegistryStore::keyExists(std::string_view key) const {
    const auto doc = load(filePath_);
    return doc && doc->hasKey(key, kKeyMarker);
}

Status RegistryStore::createKey(std::string_view key) {
    auto loaded = load(filePath_);
    if (!loaded)
        return Status::failure("cannot read " + filePath_);
    IniDocument& doc = *loaded;
    if (doc.hasKey(key, kKeyMarker))
        return Status::success();
    if (Status s = doc.setValue(key, kKeyMarker, "1"); !s)
        return s;
    if (!fs::createDirectories(path::directory(filePath_)))
        return Status::failure("cannot create the directory of " + filePath_);
    return replaceFile(filePath_, doc.serialize(), 0600);
}

std::optional<std::string> RegistryStore::read(std::string_view key, std::string_view name) const {
    const auto doc = load(filePath_);
    const auto stored = doc ? doc->value(key, name) : std::nullopt;
    if (!stored)
        return std::nullopt;
    return decodeRegistryValue(*stored);
}

Status RegistryStore::write(std::string_view key, std::string_view name, std::string_view value) {
    return writeValues(key, {{std::string(name), std::string(value)}});
}

Status RegistryStore::writeValues(std::string_view key,
                                  const std::vector<std::pair<std::string, std::string>>& values) {
    auto loaded = load(filePath_);
    if (!loaded)
        return Status::failure("cannot read " + filePath_ + ": its values would be lost");
    IniDocument& doc = *loaded;
    if (!doc.hasKey(key, kKeyMarker)) {
        if (Status s = doc.setValue(key, kKeyMarker, "1"); !s)
            return s;
    }
    for (const auto& [name, value] : values) {
        if (Status s = doc.setValue(key, name, encodeRegistryValue(value)); !s)
            return s;
    }
    if (!fs::createDirectories(path::directory(filePath_)))
        return Status::failure("cannot create the directory of " + filePath_);
    return replaceFile(filePath_, doc.serialize(), 0600);
}

std::vector<std::pair<std::string, std::string>> RegistryStore::values(std::string_view key) const {
    std::vector<std::pair<std::string, std::string>> result;
    const auto loaded = load(filePath_);
    if (!loaded)
        return result;
    for (const std::string& name : loaded->keys(key)) {
        if (cp1250::upper(name) != cp1250::upper(kKeyMarker))
            result.emplace_back(name, decodeRegistryValue(loaded->value(key, name).value_or("")));
    }
    return result;
}

} // namespace quill
