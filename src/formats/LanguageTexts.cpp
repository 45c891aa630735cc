#include "formats/LanguageTexts.h"

#include "platform/Cp1250.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"

#include <algorithm>

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

std::string LanguageTexts::lookupCounted(std::uint64_t count, std::string_view section, std::string_view key,
                                         std::string_view baseName) {
    if (count == 1) {
        const std::string one = std::string(key) + "_ONE";
        if (rawLookup(section, one, baseName))
            return lookup(section, one, baseName);
    }
    return lookup(section, key, baseName);
}

std::string LanguageTexts::languageCode() {
    const std::optional<std::string> code = rawLookup("LANGUAGE", "CODE", "GUI");
    const auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    const auto isLanguage = [&](std::string_view text) {
        // Two or three letters, then at most one "_" and a region of two or
        // three letters or digits.
        const std::size_t underscore = text.find('_');
        const std::string_view language = text.substr(0, underscore);
        if (language.size() < 2 || language.size() > 3 || !std::all_of(language.begin(), language.end(), isLetter))
            return false;
        if (underscore == std::string_view::npos)
            return true;
        const std::string_view region = text.substr(underscore + 1);
        return region.size() >= 2 && region.size() <= 3 &&
               std::all_of(region.begin(), region.end(), [&](char c) { return isLetter(c) || (c >= '0' && c <= '9'); });
    };
    if (!code)
        return "en";
    const std::string trimmed(text::trim(*code));
    return isLanguage(trimmed) ? trimmed : "en";
}

std::string LanguageTexts::readPlain(std::string_view section, std::string_view key, std::string_view path) {
    if (!open(path::fileName(path), std::string(path)))
        return std::string(kLanguageError);
    const auto value = slot_.document.value(section, key);
    return expand(value ? *value : std::string(kParrorPrefix) + std::string(section) + " - " + std::string(key));
}

} // namespace quill
