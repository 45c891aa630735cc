#include "session/TextVariables.h"

#include "documents/Companions.h"

#include "formats/CompanionNames.h"
#include "formats/LanguageTexts.h"
#include "formats/MarkedText.h"
#include "formats/Record.h"
#include "platform/Cp1250.h"
#include "platform/DateTimeFormat.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "session/InformationValues.h"
#include "session/LogonContext.h"
#include "session/Session.h"

#include <algorithm>
#include <array>
#include <type_traits>
#include <variant>

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

constexpr std::string_view kAttachmentImageMarker = "$IMAGE.ATTACHMENT.IMAGE$+";

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

// One expansion at work: the text with its search positions, what it is
// about, and how values are inserted. The steps of a pass work on it.
class ExpansionPass {
public:
    ExpansionPass(TextVariables& owner, std::string_view input, std::size_t steps, const ExpansionSubject& about,
                  bool blankOnEmptyData, ExpansionMode mode)
        : session(owner.session_), text(input, steps), subject(about), blank(blankOnEmptyData),
          page(mode == ExpansionMode::Page), owner_(owner) {}

    Session& session;
    MarkedText text;
    const ExpansionSubject& subject;
    const bool blank;
    const bool page;
    bool emptied = false;   // blank-on-empty data or a nested $IF_ADMIN$ empties the text
    bool abandoned = false; // $IF_ADMIN$ for someone else: the text is empty at once

    std::string field(std::string_view name) const {
        return subject.record ? subject.record->value(name) : std::string();
    }
    std::string fieldNote(std::string_view name) const {
        if (!subject.record)
            return {};
        const auto index = subject.record->fieldIndex(name);
        return index ? subject.record->fields[*index].note : std::string();
    }

    // A value from data: its own variables expanded, escaped on pages.
    std::string dataValue(std::string_view value) {
        if (value.size() > kMaxExpandedValue)
            return page ? escapeHtml(value) : std::string(value);
        TextVariables::Expansion nested = owner_.run(value, subject, blank, ExpansionMode::Plain);
        if (nested.emptied)
            emptied = true;
        return page ? escapeHtml(nested.text) : nested.text;
    }

    // A name or path the program knows (the logon name as typed, the
    // computer's name, a directory): inserted as it is, escaped on pages,
    // never searched for variables.
    std::string literalValue(std::string_view value) const { return page ? escapeHtml(value) : std::string(value); }
    std::string literalPath(std::string_view directory) const {
        return literalValue(path::withoutTrailingSeparator(directory));
    }

    // A language text: expanded by the lookup itself, trusted as markup.
    std::string languageText(std::string_view section, std::string_view key, std::string_view file) {
        return session.texts.lookup(section, key, file);
    }

    // The image file of a "SystemImages" key, in the resource directory.
    std::string imagePath(std::string_view key) {
        const std::string directory = path::withTrailingSeparator(session.context.settings.resourceDirectory);
        // The file name comes from language data: its '\' are separators.
        return (page ? escapeHtml(directory) : directory) +
               path::normalize(languageText("SYSTEMIMAGES", key, "SystemImages"));
    }

    // Replaces the variable at pos. A variable met again while its own value
    // is being expanded stays as written: that is where a cycle would start.
    template <class ValueOf>
    void replaceAt(std::size_t pos, std::size_t length, const std::string& identity, ValueOf&& valueOf) {
        std::vector<std::string>& active = owner_.active_;
        std::size_t& budget = owner_.budget_;
        const bool cycle = std::find(active.begin(), active.end(), identity) != active.end();
        if (cycle || budget < kReplacementCost) {
            text.lock(pos, length);
            return;
        }
        budget -= kReplacementCost;
        active.push_back(identity);
        std::string value = valueOf();
        active.pop_back();
        if (value.size() > budget) {
            budget = 0;
            text.lock(pos, length);
            return;
        }
        budget -= value.size();
        text.replace(pos, length, value);
    }

private:
    TextVariables& owner_;
};

namespace {

using Pass = ExpansionPass;

// How a step finds its value. Fixed markers are replaced as they are;
// framed variables ("$DATA." name ".DATA$") carry a name between their
// opening and closing marker.
struct Fixed {
    std::string (*value)(Pass&);
};
// Language keys: the closing marker is written in capitals, and the key is
// the variable up to it, opening marker included ("$VARIABLE.ALL").
struct Keyed {
    std::string (*value)(Pass&, const std::string& key);
};
// Record fields and information values: the closing marker in any case, the
// name between the markers.
struct Named {
    std::string (*value)(Pass&, const std::string& name);
};
// A step that does its own replacing; true when it changed the text.
struct Own {
    bool (*run)(Pass&, std::size_t step, std::string_view marker);
};

struct Rule {
    std::string_view open; // the marker, or the opening marker
    std::string_view close;
    std::variant<Fixed, Keyed, Named, Own> handler;
};

bool replaceFixed(Pass& p, std::size_t step, std::string_view marker, const Fixed& fixed) {
    const std::size_t pos = p.text.find(step, marker);
    if (pos == std::string::npos)
        return false;
    p.replaceAt(pos, marker.size(), std::string(marker), [&] { return fixed.value(p); });
    return true;
}

template <class Value> bool replaceFramed(Pass& p, std::size_t step, const Rule& rule, bool keyed, Value value) {
    MarkedText& t = p.text;
    std::size_t pos = t.find(step, rule.open);
    // An attachment image marker opens like an image variable ("$IMAGE."
    // is the only opening it shares); it waits for its own step of a later
    // pass.
    while (pos != std::string::npos && t.matchesAt(pos, kAttachmentImageMarker)) {
        t.passOver(step, pos);
        pos = t.find(step, rule.open);
    }
    if (pos == std::string::npos)
        return false;
    const std::size_t end = t.findFrom(rule.close, pos + rule.open.size(), keyed);
    if (end == std::string::npos) {
        // Not a complete variable, and neither is any later one: they stay
        // as written.
        for (; pos != std::string::npos; pos = t.find(step, rule.open))
            t.lock(pos, rule.open.size());
        return true;
    }
    const std::size_t nameStart = keyed ? pos : pos + rule.open.size();
    const std::string name = t.text().substr(nameStart, end - nameStart);
    p.replaceAt(pos, end + rule.close.size() - pos, std::string(rule.open) + cp1250::upper(name),
                [&] { return value.value(p, name); });
    return true;
}

bool runRule(Pass& p, std::size_t step, const Rule& rule) {
    return std::visit(
        [&](const auto& handler) {
            using Handler = std::decay_t<decltype(handler)>;
            if constexpr (std::is_same_v<Handler, Fixed>)
                return replaceFixed(p, step, rule.open, handler);
            else if constexpr (std::is_same_v<Handler, Keyed>)
                return replaceFramed(p, step, rule, true, handler);
            else if constexpr (std::is_same_v<Handler, Named>)
                return replaceFramed(p, step, rule, false, handler);
            else
                return handler.run(p, step, rule.open);
        },
        rule.handler);
}

// Administrators only: the marker itself stays, and it never counts as a
// change.
bool ifAdmin(Pass& p, std::size_t step, std::string_view marker) {
    if (const std::size_t pos = p.text.find(step, marker); pos != std::string::npos) {
        if (!p.session.program.isAdministrator)
            p.abandoned = true;
        else
            p.text.lock(pos, marker.size());
    }
    return false;
}

// The image of a stored attachment, by its two-digit number: the marker of
// the image for the file's extension, which the image step turns into a
// path.
bool attachmentImage(Pass& p, std::size_t step, std::string_view marker) {
    MarkedText& t = p.text;
    const std::size_t pos = t.find(step, marker);
    if (pos == std::string::npos)
        return false;
    const std::string& text = t.text();
    const std::size_t digits = pos + marker.size();
    if (digits + 2 > text.size() || !isDigit(text[digits]) || !isDigit(text[digits + 1])) {
        t.lock(pos, marker.size()); // no number: not an attachment variable
        return true;
    }
    const int number = (text[digits] - '0') * 10 + (text[digits + 1] - '0');
    const std::string stored = p.field("ATTACHMENTFILE" + std::to_string(number));
    std::string key = "$IMAGE.ATTACHMENT";
    // A stored name that is not a plain file name points outside the
    // attachments and is not looked at.
    if (path::isPlainFileName(stored) &&
        fs::isRegularFile(path::join(path::join(p.session.actual.mainPath, kAttachmentDirectoryName), stored))) {
        const std::string extension = path::extension(stored);
        const auto image = p.session.texts.rawLookup("SYSTEMIMAGES", "$IMAGE" + extension, "SystemImages");
        if (!extension.empty() && image && !isParror(*image))
            key = "$IMAGE" + cp1250::upper(extension);
    }
    t.replace(pos, marker.size() + 2, p.imagePath(key));
    return true;
}

std::string recordField(Pass& p, const std::string& name) {
    std::string value = p.field(name);
    // Attachment names go into the page's command links: a name the
    // attachment reader refuses leaves its line out.
    if (p.page && cp1250::startsWithNoCase(name, "ATTACHMENTFILE") && !isSafeStoredAttachmentName(value))
        value.clear();
    if (value.empty() && p.blank)
        p.emptied = true;
    return value.empty() ? value : p.dataValue(value);
}

std::string actualName(Pass& p) {
    const ExpansionSubject& subject = p.subject;
    return p.dataValue(subject.actualName ? *subject.actualName : std::string_view(p.session.actual.displayName));
}

// The steps of a pass, in their order; each keeps its own search position.
constexpr std::array<Rule, 24> kRules = {{
    {"%20", {}, Fixed{[](Pass&) { return std::string(" "); }}},
    {"$IF_ADMIN$", {}, Own{ifAdmin}},
    {"$DATA_POINT_PATH$", {}, Fixed{[](Pass& p) { return p.literalPath(p.session.context.dataPointPath); }}},
    {"$FOLDERPATH$", {}, Fixed{[](Pass& p) { return p.literalPath(p.session.actual.mainPath); }}},
    {"$IMAGERESOURCE$", {}, Fixed{[](Pass& p) { return p.literalPath(p.session.context.settings.resourceDirectory); }}},
    {"$COMPUTERNAME$", {}, Fixed{[](Pass& p) { return p.literalValue(p.session.program.computerName); }}},
    {"$LOGONNAME$", {}, Fixed{[](Pass& p) { return p.literalValue(p.session.program.logonName); }}},
    {"$FULLNAME$", {}, Fixed{[](Pass& p) { return p.dataValue(p.session.program.fullName); }}},
    {"$DATE$", {}, Fixed{[](Pass& p) { return formatDate(p.session.clock.now(), p.session.formats); }}},
    {"$TIME$", {}, Fixed{[](Pass& p) { return formatTime(p.session.clock.now(), p.session.formats); }}},
    {"$SYSTEMTEMP$", {}, Fixed{[](Pass& p) { return p.literalPath(systemTemporaryDirectory()); }}},
    {"$APPLTEMP$", {}, Fixed{[](Pass& p) { return p.literalPath(p.session.context.settings.temporaryDirectory); }}},
    {"$ACTUALOBJECT.ACTUALNAME$", {}, Fixed{actualName}},
    {"$ACTUALOBJECT.MAINPATH$", {}, Fixed{[](Pass& p) { return p.literalPath(p.session.actual.mainPath); }}},
    {"$VARIABLE.", ".VARIABLE$",
     Keyed{[](Pass& p, const std::string& key) { return p.languageText("SYSTEMVARIABLES", key, "SystemVariables"); }}},
    {"$EDITHISTORY.", ".EDITHISTORY$",
     Keyed{[](Pass& p, const std::string& key) { return p.languageText("EDITHISTORY", key, "Log"); }}},
    {kAttachmentImageMarker, {}, Own{attachmentImage}},
    {"$IMAGE.", ".IMAGE$", Keyed{[](Pass& p, const std::string& key) { return p.imagePath(key); }}},
    {"$DATA.", ".DATA$", Named{recordField}},
    {"$DATATYPE.", ".DATATYPE$",
     Named{[](Pass& p, const std::string& name) { return p.dataValue(p.fieldNote(name)); }}},
    {"$DATABOOLEAN.", ".DATABOOLEAN$", Named{[](Pass& p, const std::string& name) {
         return text::isTrue(p.field(name)) ? std::string("CHECKED") : std::string(" ");
     }}},
    {"$INFORMATION.", ".INFORMATION$",
     Named{[](Pass& p, const std::string& name) { return p.dataValue(informationValue(p.session, name)); }}},
    {"VALUE_YES", {}, Fixed{[](Pass& p) { return p.languageText("VALUES", "VALUE_YES", "Values"); }}},
    {"VALUE_NO", {}, Fixed{[](Pass& p) { return p.languageText("VALUES", "VALUE_NO", "Values"); }}},
}};

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

std::string TextVariables::expand(std::string_view text, const Record& record, bool blankOnEmptyData,
                                  ExpansionMode mode) {
    return run(text, ExpansionSubject{&record, std::nullopt}, blankOnEmptyData, mode).text;
}

std::string TextVariables::expand(std::string_view text, bool blankOnEmptyData, ExpansionMode mode) {
    return run(text, ExpansionSubject{}, blankOnEmptyData, mode).text;
}

std::string TextVariables::expandLanguageText(std::string_view text) {
    return run(text, subject_ ? *subject_ : ExpansionSubject{}, true, languageMode_).text;
}

std::string TextVariables::lookupAbout(std::string_view actualName, std::string_view section, std::string_view key,
                                       std::string_view file) {
    const ExpansionSubject subject{nullptr, actualName};
    const ExpansionSubject* const saved = subject_;
    subject_ = &subject;
    std::string text = session_.texts.lookup(section, key, file);
    subject_ = saved;
    return text;
}

TextVariables::Expansion TextVariables::run(std::string_view input, const ExpansionSubject& subject, bool blank,
                                            ExpansionMode mode) {
    if (depth_ >= kMaxDepth)
        return {std::string(input), false};
    if (depth_ == 0)
        budget_ = kBudgetBase + kBudgetPerInputByte * input.size();
    // Language texts looked up inside this expansion are about its subject,
    // in its mode; the enclosing ones come back when it ends.
    struct Scope {
        TextVariables& owner;
        ExpansionMode savedMode;
        const ExpansionSubject* savedSubject;
        Scope(TextVariables& o, ExpansionMode mode, const ExpansionSubject& subject)
            : owner(o), savedMode(o.languageMode_), savedSubject(o.subject_) {
            ++owner.depth_;
            owner.languageMode_ = mode;
            owner.subject_ = &subject;
        }
        ~Scope() {
            --owner.depth_;
            owner.languageMode_ = savedMode;
            owner.subject_ = savedSubject;
        }
    } scope(*this, mode, subject);

    ExpansionPass pass(*this, input, kRules.size(), subject, blank, mode);
    bool changed = true;
    while (changed && !pass.emptied) {
        changed = false;
        for (std::size_t step = 0; step < kRules.size(); ++step) {
            changed |= runRule(pass, step, kRules[step]);
            if (pass.abandoned)
                return {std::string(), true};
        }
    }
    if (pass.emptied)
        return {std::string(), true};
    return {pass.text.text(), false};
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

} // namespace quill
