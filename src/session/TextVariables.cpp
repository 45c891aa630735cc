#include "session/TextVariables.h"

#include "documents/Companions.h"

#include "buildinfo/BuildInfo.h"
#include "formats/CompanionNames.h"
#include "formats/LanguageTexts.h"
#include "formats/MarkedText.h"
#include "platform/Cp1250.h"
#include "platform/DateTimeFormat.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "session/LogonContext.h"
#include "session/ScheduleTable.h"
#include "session/Session.h"
#include "session/TaskSets.h"

#include <algorithm>
#include <vector>

namespace quill {
namespace {

// Values that themselves hold variables are expanded this deep; deeper
// nesting only comes from texts that refer to each other in a circle.
constexpr int kMaxDepth = 12;

// Values that contain other values several times over can multiply a text
// and the work on it beyond any use (a 3 KB record can ask for gigabytes).
// One expansion has a budget: every replacement costs a fixed amount plus
// the bytes it inserts, and variables beyond the budget stay as written.
constexpr std::size_t kBudgetBase = 1024 * 1024;
constexpr std::size_t kBudgetPerInputByte = 64;
constexpr std::size_t kReplacementCost = 64;

// Each replacement moves the rest of the text, so expanding costs time in
// proportion to the text's length times its variables. Texts of the program
// are short; a value from data longer than this is inserted as it is.
constexpr std::size_t kMaxExpandedValue = 64 * 1024;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Steps of a pass, each with its own search position in a MarkedText.
enum Step : std::size_t {
    kEscapedBlank,
    kIfAdmin,
    kDataPointPath,
    kFolderPath,
    kImageResource,
    kComputerName,
    kLogonName,
    kFullName,
    kDate,
    kTime,
    kSystemTemp,
    kApplTemp,
    kActualName,
    kActualPath,
    kVariable,
    kEditHistory,
    kAttachmentImage,
    kImage,
    kData,
    kDataType,
    kDataBoolean,
    kInformation,
    kValueYes,
    kValueNo,
    kStepCount
};

} // namespace

std::string escapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c; break;
        }
    }
    return out;
}

std::string TextVariables::expand(std::string_view text, bool blankOnEmptyData, ExpansionMode mode) {
    return run(text, blankOnEmptyData, mode).text;
}

std::string TextVariables::expandLanguageText(std::string_view text) {
    return run(text, true, languageMode_).text;
}

TextVariables::Expansion TextVariables::run(std::string_view input, bool blank, ExpansionMode mode) {
    if (depth_ >= kMaxDepth)
        return {std::string(input), false};
    if (depth_ == 0)
        budget_ = kBudgetBase + kBudgetPerInputByte * input.size();
    struct DepthGuard {
        int& depth;
        ExpansionMode& languageMode;
        ExpansionMode saved;
        DepthGuard(int& d, ExpansionMode& lm, ExpansionMode mode) : depth(d), languageMode(lm), saved(lm) {
            ++depth;
            languageMode = mode;
        }
        ~DepthGuard() {
            --depth;
            languageMode = saved;
        }
    } guard(depth_, languageMode_, mode);

    Session& s = session_;
    const bool page = mode == ExpansionMode::Page;
    MarkedText t(input, kStepCount);
    bool emptied = false;

    // A value from data: its own variables expanded, escaped on pages.
    const auto dataValue = [&](std::string_view value) -> std::string {
        if (value.size() > kMaxExpandedValue)
            return page ? escapeHtml(value) : std::string(value);
        Expansion nested = run(value, blank, ExpansionMode::Plain);
        if (nested.emptied)
            emptied = true;
        return page ? escapeHtml(nested.text) : nested.text;
    };
    // A name or path the program knows (the logon name as typed, the
    // computer's name, a directory): inserted as it is, escaped on pages,
    // never searched for variables.
    const auto literalValue = [&](std::string_view value) -> std::string {
        return page ? escapeHtml(value) : std::string(value);
    };
    // A language text: expanded by the lookup itself, trusted as markup.
    const auto languageText = [&](std::string_view section, std::string_view key, std::string_view file) {
        return s.texts.lookup(section, key, file);
    };
    // Replaces the variable at pos. A variable met again while its own value
    // is being expanded stays as written: that is where a cycle would start.
    const auto replaceAt = [&](std::size_t pos, std::size_t length, const std::string& identity, auto&& valueOf) {
        const bool cycle = std::find(active_.begin(), active_.end(), identity) != active_.end();
        if (cycle || budget_ < kReplacementCost) {
            t.lock(pos, length);
            return;
        }
        budget_ -= kReplacementCost;
        active_.push_back(identity);
        std::string value = valueOf();
        active_.pop_back();
        if (value.size() > budget_) {
            budget_ = 0;
            t.lock(pos, length);
            return;
        }
        budget_ -= value.size();
        t.replace(pos, length, value);
    };
    const auto replaceMarker = [&](Step step, std::string_view marker, auto&& valueOf) {
        const std::size_t pos = t.find(step, marker);
        if (pos == std::string::npos)
            return false;
        replaceAt(pos, marker.size(), std::string(marker), valueOf);
        return true;
    };
    // Framed variables: opening marker, name, closing marker. closeExact:
    // the closing marker must be written in capitals. skip tells openings
    // that belong to another step.
    const auto replaceFramed = [&](Step step, std::string_view open, std::string_view close, bool closeExact,
                                   bool keyKeepsPrefix, auto&& valueOf, auto&& skip) {
        std::size_t pos = t.find(step, open);
        while (pos != std::string::npos && skip(pos)) {
            t.passOver(step, pos);
            pos = t.find(step, open);
        }
        if (pos == std::string::npos)
            return false;
        const std::size_t end = t.findFrom(close, pos + open.size(), closeExact);
        if (end == std::string::npos) {
            // Not a complete variable, and neither is any later one: they
            // stay as written.
            for (; pos != std::string::npos; pos = t.find(step, open))
                t.lock(pos, open.size());
            return true;
        }
        const std::size_t nameStart = keyKeepsPrefix ? pos : pos + open.size();
        const std::string name = t.text().substr(nameStart, end - nameStart);
        replaceAt(pos, end + close.size() - pos, std::string(open) + cp1250::upper(name),
                  [&] { return valueOf(name); });
        return true;
    };
    const auto never = [](std::size_t) { return false; };
    const auto imagePath = [&](std::string_view key) {
        const std::string directory = path::withTrailingSeparator(s.context.settings.resourceDirectory);
        // The file name comes from language data: its '\' are separators.
        return (page ? escapeHtml(directory) : directory) +
               path::normalize(languageText("SYSTEMIMAGES", key, "SystemImages"));
    };

    bool changed = true;
    while (changed && !emptied) {
        changed = false;
        // 1: an escaped blank.
        changed |= replaceMarker(kEscapedBlank, "%20", [] { return std::string(" "); });
        // 2: administrators only; the marker itself stays.
        constexpr std::string_view ifAdmin = "$IF_ADMIN$";
        if (const std::size_t pos = t.find(kIfAdmin, ifAdmin); pos != std::string::npos) {
            if (!s.program.isAdministrator)
                return {std::string(), true};
            t.lock(pos, ifAdmin.size());
        }
        changed |= replaceMarker(kDataPointPath, "$DATA_POINT_PATH$",
                                 [&] { return literalValue(path::withoutTrailingSeparator(s.context.dataPointPath)); });
        changed |= replaceMarker(kFolderPath, "$FOLDERPATH$",
                                 [&] { return literalValue(path::withoutTrailingSeparator(s.actual.mainPath)); });
        changed |= replaceMarker(kImageResource, "$IMAGERESOURCE$", [&] {
            return literalValue(path::withoutTrailingSeparator(s.context.settings.resourceDirectory));
        });
        changed |= replaceMarker(kComputerName, "$COMPUTERNAME$", [&] { return literalValue(s.program.computerName); });
        changed |= replaceMarker(kLogonName, "$LOGONNAME$", [&] { return literalValue(s.program.logonName); });
        changed |= replaceMarker(kFullName, "$FULLNAME$", [&] { return dataValue(s.program.fullName); });
        changed |= replaceMarker(kDate, "$DATE$", [&] { return formatDate(s.clock.now(), s.formats); });
        changed |= replaceMarker(kTime, "$TIME$", [&] { return formatTime(s.clock.now(), s.formats); });
        changed |= replaceMarker(kSystemTemp, "$SYSTEMTEMP$", [&] {
            return literalValue(path::withoutTrailingSeparator(systemTemporaryDirectory()));
        });
        changed |= replaceMarker(kApplTemp, "$APPLTEMP$", [&] {
            return literalValue(path::withoutTrailingSeparator(s.context.settings.temporaryDirectory));
        });
        changed |=
            replaceMarker(kActualName, "$ACTUALOBJECT.ACTUALNAME$", [&] { return dataValue(s.actual.displayName); });
        changed |= replaceMarker(kActualPath, "$ACTUALOBJECT.MAINPATH$",
                                 [&] { return literalValue(path::withoutTrailingSeparator(s.actual.mainPath)); });
        // 15, 16: language texts named by the whole variable up to its end.
        changed |= replaceFramed(
            kVariable, "$VARIABLE.", ".VARIABLE$", true, true,
            [&](const std::string& key) { return languageText("SYSTEMVARIABLES", key, "SystemVariables"); }, never);
        changed |= replaceFramed(
            kEditHistory, "$EDITHISTORY.", ".EDITHISTORY$", true, true,
            [&](const std::string& key) { return languageText("EDITHISTORY", key, "Log"); }, never);
        // 17: the image of a stored attachment, by its number.
        {
            constexpr std::string_view marker = "$IMAGE.ATTACHMENT.IMAGE$+";
            const std::size_t pos = t.find(kAttachmentImage, marker);
            if (pos != std::string::npos) {
                changed = true;
                const std::string& text = t.text();
                const std::size_t digits = pos + marker.size();
                if (digits + 2 > text.size() || !isDigit(text[digits]) || !isDigit(text[digits + 1])) {
                    t.lock(pos, marker.size()); // no number: not an attachment variable
                } else {
                    const int number = (text[digits] - '0') * 10 + (text[digits + 1] - '0');
                    const std::string stored = s.record.value("ATTACHMENTFILE" + std::to_string(number));
                    std::string key = "$IMAGE.ATTACHMENT";
                    // A stored name that is not a plain file name points
                    // outside the attachments and is not looked at.
                    if (path::isPlainFileName(stored) &&
                        fs::isRegularFile(
                            path::join(path::join(s.actual.mainPath, kAttachmentDirectoryName), stored))) {
                        const std::string extension = path::extension(stored);
                        const auto image = s.texts.rawLookup("SYSTEMIMAGES", "$IMAGE" + extension, "SystemImages");
                        if (!extension.empty() && image && !isParror(*image))
                            key = "$IMAGE" + cp1250::upper(extension);
                    }
                    t.replace(pos, marker.size() + 2, imagePath(key));
                }
            }
        }
        // 18: an image file of the resources.
        // Attachment images wait for step 17 of a later pass.
        const auto isAttachmentMarker = [&](std::size_t pos) { return t.matchesAt(pos, "$IMAGE.ATTACHMENT.IMAGE$+"); };
        changed |= replaceFramed(
            kImage, "$IMAGE.", ".IMAGE$", true, true, [&](const std::string& key) { return imagePath(key); },
            isAttachmentMarker);
        // 19 to 22: fields of the record read last, and information values.
        changed |= replaceFramed(
            kData, "$DATA.", ".DATA$", false, false,
            [&](const std::string& name) {
                std::string value = s.record.value(name);
                // Attachment names go into the page's command links: a name
                // the attachment reader refuses leaves its line out.
                if (page && cp1250::startsWithNoCase(name, "ATTACHMENTFILE") && !isSafeStoredAttachmentName(value))
                    value.clear();
                if (value.empty() && blank)
                    emptied = true;
                return value.empty() ? value : dataValue(value);
            },
            never);
        changed |= replaceFramed(
            kDataType, "$DATATYPE.", ".DATATYPE$", false, false,
            [&](const std::string& name) {
                const auto index = s.record.fieldIndex(name);
                return index ? dataValue(s.record.fields[*index].note) : std::string();
            },
            never);
        changed |= replaceFramed(
            kDataBoolean, "$DATABOOLEAN.", ".DATABOOLEAN$", false, false,
            [&](const std::string& name) {
                return text::isTrue(s.record.value(name)) ? std::string("CHECKED") : std::string(" ");
            },
            never);
        changed |= replaceFramed(
            kInformation, "$INFORMATION.", ".INFORMATION$", false, false,
            [&](const std::string& name) { return dataValue(informationValue(name)); }, never);
        changed |= replaceMarker(kValueYes, "VALUE_YES", [&] { return languageText("VALUES", "VALUE_YES", "Values"); });
        changed |= replaceMarker(kValueNo, "VALUE_NO", [&] { return languageText("VALUES", "VALUE_NO", "Values"); });
    }
    if (emptied)
        return {std::string(), true};
    return {t.text(), false};
}

std::string collapseStoredText(std::string_view input, std::string_view dataPointPath, std::string_view logonName,
                               std::string_view fullName) {
    enum : std::size_t { kPath, kLogon, kFull, kCount };
    MarkedText t(input, kCount);
    // Separators in a stored path may be either kind; the text matches them
    // as one.
    const std::string dataPoint =
        dataPointPath.empty() ? std::string() : cp1250::upper(path::withTrailingSeparator(dataPointPath));
    const std::string logon = cp1250::upper(path::normalize(logonName));
    const std::string full = cp1250::upper(path::normalize(fullName));
    const auto replaceFirst = [&](std::size_t step, const std::string& needle, std::string_view marker) {
        const std::size_t pos = needle.empty() ? std::string::npos : t.find(step, needle);
        if (pos == std::string::npos)
            return false;
        t.replace(pos, needle.size(), marker);
        return true;
    };
    bool changed = true;
    while (changed) {
        changed = false;
        changed |= replaceFirst(kPath, dataPoint, "$DATA_POINT_PATH$\\");
        changed |= replaceFirst(kLogon, logon, "$LOGONNAME$");
        changed |= replaceFirst(kFull, full, "$FULLNAME$");
    }
    return t.text();
}

std::string TextVariables::collapse(std::string_view input) const {
    const Session& s = session_;
    return collapseStoredText(input, s.context.dataPointPath, s.program.logonName, s.program.fullName);
}

std::string TextVariables::informationValue(std::string_view name) {
    Session& s = session_;
    const std::string key = cp1250::upper(name);
    const std::string info = path::join(s.context.dataPointPath, "DataPoint.info");
    static constexpr struct {
        const char* name;
        const char* key;
    } dataPointKeys[] = {
        {"DATAPOINT_CREATOR_NAME", "CREATOR"},
        {"DATAPOINT_CREATOR_MAIL", "MAIL"},
        {"DATAPOINT_CREATOR_WWW", "WWW"},
        {"DATAPOINT_CREATOR_PHONE", "PHONE"},
        {"DATAPOINT_CREATOR_ROOT", "ROOT"},
        {"DATAPOINT_CREATOR_USERS", "USERS"},
        {"DATAPOINT_CREATOR_AUTOLOGON", "AUTOLOGON"},
    };
    for (const auto& entry : dataPointKeys) {
        if (key == entry.name)
            return s.texts.readPlain("DATAPOINT", entry.key, info);
    }
    const auto count = [&](TaskSet set) { return std::to_string(countTasks(s.schedule, set)); };
    // This build's own version and date, so that a user who reports a
    // problem can say which program showed it.
    if (key == "APPLICATION_VERSION")
        return "Quill! " + std::string(build::kVersion);
    if (key == "APPLICATION_BUILD") {
        LocalDateTime built;
        built.year = build::kYear;
        built.month = build::kMonth;
        built.day = build::kDay;
        return formatDate(built, s.formats);
    }
    if (key == "SCHEDULER_COUNT_ALL")
        return count(TaskSet::All);
    if (key == "SCHEDULER_COUNT_NEW")
        return count(TaskSet::Incoming);
    if (key == "SCHEDULER_COUNT_OPEN")
        return count(TaskSet::Open);
    if (key == "SCHEDULER_COUNT_CLOSE")
        return count(TaskSet::Closed);
    if (key == "SCHEDULER_COUNT_ACTUAL")
        return count(TaskSet::Due);
    if (key == "SYSTEM_DATE")
        return formatDate(s.clock.now(), s.formats);
    if (key == "SYSTEM_TIME")
        return formatTime(s.clock.now(), s.formats);
    return {};
}

void TextVariables::openFormHelp(std::string_view key) {
    const std::string page = path::join(path::join(session_.program.helpDirectory, "FORMS"), std::string(key) + ".htm");
    session_.shell.openHelpPage(page);
}

} // namespace quill
