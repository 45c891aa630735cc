#pragma once

#include "formats/IniDocument.h"
#include "platform/FileSystem.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quill {

// "PARROR" marks a value that was not found; texts that begin with
// "PARROR: " carry what was missing and are shown as they are.
inline constexpr std::string_view kParror = "PARROR";
inline constexpr std::string_view kParrorPrefix = "PARROR: ";
inline constexpr std::string_view kLanguageError = "PARROR: L1: language error";

bool isParror(std::string_view text);

// The language lookup (file, section, key in the language directory) and
// the plain file reader (section, key of an ini file at a full path). Both
// share one open-file slot. A file's parsed content is reused only while
// its size, modification time and inode are unchanged, so every lookup
// sees the file's current content.
class LanguageTexts {
public:
    // Expands text variables in every text returned.
    using Expander = std::function<std::string(const std::string&)>;

    explicit LanguageTexts(std::string languageDirectory);

    void setExpander(Expander expander) { expander_ = std::move(expander); }
    const std::string& languageDirectory() const { return languageDirectory_; }

    // Text of key in section of language file baseName (".ini" added; the
    // name matches in any case), expanded. "PARROR: " + section when the key
    // is missing, "PARROR: L1: language error" when the file is.
    std::string lookup(std::string_view section, std::string_view key, std::string_view baseName);

    // The text of key for a count of things: key + "_ONE" for exactly one
    // when the file has that key ("document found" beside "documents
    // found"), else key.
    std::string lookupCounted(std::uint64_t count, std::string_view section, std::string_view key,
                              std::string_view baseName);

    // Text of key in section of the ini file at path, expanded.
    // "PARROR: " + section + " - " + key when the key is missing.
    std::string readPlain(std::string_view section, std::string_view key, std::string_view path);

    // The raw value without expansion and without a default; nullopt for a
    // missing file or key.
    std::optional<std::string> rawLookup(std::string_view section, std::string_view key, std::string_view baseName);
    std::optional<std::string> rawPlain(std::string_view section, std::string_view key, std::string_view path);

    // The language the language files are written in: "CODE" in section
    // "LANGUAGE" of "GUI", an ISO 639 code with an optional region ("de",
    // "pt_BR"). "en" when it is missing or not such a code, so that it can
    // name the translation files of the toolkit safely.
    std::string languageCode();

    void close();

private:
    // Opens path into the slot under slotName; false when the file is missing.
    bool open(const std::string& slotName, const std::string& path);
    std::string expand(std::string text) const;

    std::string languageDirectory_;
    Expander expander_;

    struct Slot {
        std::string name;
        std::string path;
        std::optional<fs::Stamp> stamp;
        IniDocument document;
        bool isOpen = false;
    };
    Slot slot_;
};

} // namespace quill
