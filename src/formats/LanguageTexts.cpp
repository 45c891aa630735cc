#include "formats/LanguageTexts.h"

#include "platform/Cp1250.h"
#include "platform/Paths.h"

namespace quill {
namespace {

// Language and data files are small; anything beyond this is not one.
constexpr std::size_t kMaxIniBytes = 16 * 1024 * 1024;

} // namespace

bool isParror(std::string_view text) {
    return text.find("PARROR") != std::string_view::npos;
}

LanguageTexts::LanguageTexts(std::string languageDirectory) : languageDirectory_(std::move(languageDirectory)) {}

void LanguageTexts::close() {
    slot_ = Slot();
}

bool LanguageTexts::open(const std::string& slotName, const std::string& path) {
    const auto stamp = fs::stamp(path);
    if (!stamp || !stamp->regularFile) {
        close();
        return false;
    }
    if (slot_.isOpen && cp1250::equalsNoCase(slot_.name, slotName) && slot_.path == path && slot_.stamp == stamp)
        return true;
    const fs::ReadResult file = fs::readFile(path, kMaxIniBytes);
    if (file.error == fs::ReadError::Missing) {
        close();
        return false;
    }
    slot_.name = slotName;
    slot_.path = path;
    slot_.stamp = stamp;
    // An unreadable or oversized file reads as one without keys.
    slot_.document = IniDocument::parse(file.ok() ? file.content : std::string());
    slot_.isOpen = true;
    return true;
}

std::string LanguageTexts::expand(std::string text) const {
    return expander_ ? expander_(text) : text;
}

std::optional<std::string> LanguageTexts::rawLookup(std::string_view section, std::string_view key,
                                                    std::string_view baseName) {
    const std::string name(baseName);
    if (!open(name, path::join(languageDirectory_, name + ".ini")))
        return std::nullopt;
    return slot_.document.value(section, key);
}

std::optional<std::string> LanguageTexts::rawPlain(std::string_view section, std::string_view key,
                                                   std::string_view path) {
    if (!open(path::fileName(path), std::string(path)))
        return std::nullopt;
    return slot_.document.value(section, key);
}

std::string LanguageTexts::lookup(std::string_view section, std::string_view key, std::string_view baseName) {
    const std::string name(baseName);
    if (!open(name, path::join(languageDirectory_, name + ".ini")))
        return std::string(kLanguageError);
    const auto value = slot_.document.value(section, key);
    return expand(value ? *value : std::string(kParrorPrefix) + std::string(section));
}

std::string LanguageTexts::readPlain(std::string_view section, std::string_view key, std::string_view path) {
    if (!open(path::fileName(path), std::string(path)))
        return std::string(kLanguageError);
    const auto value = slot_.document.value(section, key);
    return expand(value ? *value : std::string(kParrorPrefix) + std::string(section) + " - " + std::string(key));
}

} // namespace quill
