#include "navigation/DirectoryListing.h"

#include "platform/Cp1250.h"
#include "platform/DateTimeFormat.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/Session.h"
#include "session/TextVariables.h"

#include <algorithm>
#include <ctime>
#include <vector>

namespace quill {
namespace {

// Every byte but letters and digits as %XX: the pane decodes the address
// back to the name exactly.
std::string percentEncoded(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z')) {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    }
    return out;
}

std::string sizeText(std::uintmax_t bytes) {
    if (bytes < 1024)
        return std::to_string(bytes) + " B";
    if (bytes < 1024 * 1024)
        return std::to_string((bytes + 512) / 1024) + " KB";
    return std::to_string((bytes + 512 * 1024) / (1024 * 1024)) + " MB";
}

std::string dateText(const Session& session, std::int64_t modifiedNs) {
    const std::time_t seconds = static_cast<std::time_t>(modifiedNs / 1000000000LL);
    std::tm local{};
    if (!::localtime_r(&seconds, &local))
        return {};
    LocalDateTime when{
        local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, 0};
    return formatDate(when, session.formats) + " " + formatTime(when, session.formats);
}

// The picture of a file's type, as attachments show theirs.
std::string pictureOf(Session& session, std::string_view name) {
    const std::string extension = cp1250::upper(path::extension(name));
    const auto known = extension.empty()
                           ? std::nullopt
                           : session.texts.rawLookup("SYSTEMIMAGES", "$IMAGE" + extension, "SystemImages");
    const std::string key = known && !isParror(*known) ? "$IMAGE" + extension : std::string("$IMAGE.ATTACHMENT");
    return session.variables.expand(key + ".IMAGE$", false, ExpansionMode::Page);
}

} // namespace

std::string directoryListingRows(Session& session, std::string_view directory) {
    const auto entries = fs::list(directory);
    if (!entries)
        return {};
    std::vector<std::string> names;
    for (const fs::Entry& entry : *entries) {
        if (!entry.isDirectory && !entry.isSymlink && entry.name.front() != '.')
            names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return cp1250::upper(a) < cp1250::upper(b); });
    std::string rows;
    for (const std::string& name : names) {
        const auto stamp = fs::stamp(path::join(directory, name));
        if (!stamp || !stamp->regularFile)
            continue;
        rows += "<tr><td><img class=\"ico\" src=\"file://" + pictureOf(session, name) +
                "\" alt=\"\"></td><td><a href=\"COMMAND:FILE:OPEN:" + percentEncoded(name) + "\">" + escapeHtml(name) +
                "</a></td><td class=\"num\">" + sizeText(stamp->size) + "</td><td>" +
                dateText(session, stamp->modifiedNs) + "</td></tr>\r\n";
    }
    return rows;
}

} // namespace quill
