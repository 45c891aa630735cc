#pragma once

#include "platform/DateTimeFormat.h"
#include "platform/Status.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quill {

// The per-user store of string values under a key, kept as an ini file
// whose sections are the keys. Values are stored byte-exact: '%', control
// bytes and blanks at either end are written as %XX, so an enciphered
// password survives whatever bytes it holds. The file is private to the
// user (mode 0600) and replaced atomically.
class RegistryStore {
public:
    explicit RegistryStore(std::string filePath);

    // $QUILL_CONFIG_HOME, else $XDG_CONFIG_HOME, else ~/.config; then
    // Orvane/Quill!/registry.ini.
    static std::string defaultPath();

    const std::string& filePath() const { return filePath_; }

    bool keyExists(std::string_view key) const;
    Status createKey(std::string_view key);
    std::optional<std::string> read(std::string_view key, std::string_view name) const;
    Status write(std::string_view key, std::string_view name, std::string_view value);
    // Several values in one replacement of the file: all or none.
    Status writeValues(std::string_view key, const std::vector<std::pair<std::string, std::string>>& values);
    // Every value of a key, in the order they were first written.
    std::vector<std::pair<std::string, std::string>> values(std::string_view key) const;

private:
    std::string filePath_;
};

// The key all of the program's values live under.
inline constexpr std::string_view kRegistryKey = "\\Software\\Orvane\\Quill!";

// The date and time formats of this machine: the defaults, unless the
// registry holds "ShortDateFormat" or "LongTimeFormat".
DateTimeFormats machineDateTimeFormats(const RegistryStore& registry);

std::string encodeRegistryValue(std::string_view value);
std::string decodeRegistryValue(std::string_view stored);

} // namespace quill
