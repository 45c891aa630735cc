#include "navigation/JoinedPages.h"

#include "session/TextVariables.h"

#include "formats/StyleScope.h"
#include "platform/Cp1250.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"

#include <algorithm>

namespace quill {

namespace {

constexpr std::size_t npos = std::string_view::npos;
// Sheets importing sheets: deep enough for any real page, and an end to a
// sheet that imports itself, once or many times over.
constexpr int kMaxImportDepth = 8;
constexpr int kMaxSheetsPerPage = 64;

// An element's start tag found in markup.
struct Tag {
    std::size_t start = npos; // its '<'
    std::size_t end = npos;   // just past its '>'
    std::string attributes;
};

bool endsName(std::string_view markup, std::size_t at) {
    return at >= markup.size() || std::string_view(" \t\r\n>/").find(markup[at]) != npos;
}

// The first start tag of the element named, from at on, without regard to
// case and not one whose name only begins so (<header> for <head>).
Tag findTag(std::string_view markup, std::string_view name, std::size_t at = 0) {
    const std::string opening = "<" + std::string(name);
    for (std::size_t open = cp1250::findNoCase(markup, opening, at); open != npos;
         open = cp1250::findNoCase(markup, opening, open + 1)) {
        if (!endsName(markup, open + opening.size()))
            continue;
        const std::size_t close = markup.find('>', open);
        if (close == npos)
            return {};
        return {open, close + 1, std::string(markup.substr(open + opening.size(), close - open - opening.size()))};
    }
    return {};
}

// The text between an element's start tag and its end tag; to the end of
// markup when it is not closed.
std::string_view content(std::string_view markup, const Tag& tag, std::string_view name, std::size_t* past = nullptr) {
    const std::size_t close = cp1250::findNoCase(markup, "</" + std::string(name), tag.end);
    const std::size_t end = close == npos ? markup.size() : close;
    if (past) {
        const std::size_t closeEnd = close == npos ? npos : markup.find('>', close);
        *past = closeEnd == npos ? markup.size() : closeEnd + 1;
    }
    return markup.substr(tag.end, end - tag.end);
}

// The value of an attribute in a start tag's attribute text, quoted or not.
std::string attributeValue(std::string_view attributes, std::string_view name) {
    for (std::size_t at = cp1250::findNoCase(attributes, name); at != npos;
         at = cp1250::findNoCase(attributes, name, at + 1)) {
        if (at > 0 && std::string_view(" \t\r\n").find(attributes[at - 1]) == npos)
            continue;
        std::size_t i = at + name.size();
        while (i < attributes.size() && std::string_view(" \t\r\n").find(attributes[i]) != npos)
            ++i;
        if (i >= attributes.size() || attributes[i] != '=')
            continue;
        ++i;
        while (i < attributes.size() && std::string_view(" \t\r\n").find(attributes[i]) != npos)
            ++i;
        if (i < attributes.size() && (attributes[i] == '"' || attributes[i] == '\'')) {
            const std::size_t end = attributes.find(attributes[i], i + 1);
            return std::string(attributes.substr(i + 1, (end == npos ? attributes.size() : end) - i - 1));
        }
        std::size_t end = i;
        while (end < attributes.size() && std::string_view(" \t\r\n/").find(attributes[end]) == npos)
            ++end;
        return std::string(attributes.substr(i, end - i));
    }
    return {};
}

bool isStyleSheetLink(std::string_view attributes) {
    const std::string rel = attributeValue(attributes, "rel");
    return cp1250::findNoCase(rel, "stylesheet") != npos && cp1250::findNoCase(rel, "alternate") == npos;
}

bool hasScheme(std::string_view address) {
    const std::size_t colon = address.find(':');
    if (colon == npos || colon == 0)
        return false;
    return std::all_of(address.begin(), address.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' || c == '-' ||
               c == '.';
    });
}

// Confines the styles of one page to its section.
class PageStyles {
public:
    PageStyles(std::string scope, const StyleSheetReader& readSheet)
        : scope_(std::move(scope)), readSheet_(readSheet) {}

    // The rules of a <style> element's text, its media list around them.
    std::string styleElement(std::string_view attributes, std::string_view css) const {
        return withMedia(attributes, scoped(css, {}, 0));
    }

    // The rules of the sheet a <link> names; empty when it is no style
    // sheet or cannot be read.
    std::string linkElement(std::string_view attributes) const {
        if (!isStyleSheetLink(attributes))
            return {};
        return withMedia(attributes, linked(attributeValue(attributes, "href"), 0));
    }

private:
    static std::string withMedia(std::string_view attributes, std::string rules) {
        const std::string media(text::trim(attributeValue(attributes, "media")));
        if (media.empty() || rules.empty() || cp1250::equalsNoCase(media, "all"))
            return rules;
        return "@media " + media + " {\n" + rules + "}\n";
    }

    std::string linked(std::string_view address, int depth) const {
        if (!readSheet_ || depth > kMaxImportDepth || address.empty() || sheetsRead_ >= kMaxSheetsPerPage)
            return {};
        ++sheetsRead_;
        const std::optional<LinkedStyleSheet> sheet = readSheet_(address);
        return sheet ? scoped(sheet->css, sheet->directory, depth + 1) : std::string();
    }

    // A sheet's rules confined; its relative addresses made whole from
    // directory, which is empty for a page's own <style>: those already
    // start where the joined page lies.
    std::string scoped(std::string_view css, const std::string& directory, int depth) const {
        StyleScope scope;
        scope.scope = scope_;
        if (!directory.empty()) {
            scope.resolve = [directory](std::string_view address) {
                if (address.empty() || address[0] == '#' || address[0] == '/' || hasScheme(address))
                    return std::string(address);
                return "file://" + path::join(directory, address);
            };
        }
        scope.import = [this, depth](std::string_view address) { return linked(address, depth); };
        return scopeStyleSheet(css, scope);
    }

    std::string scope_;
    const StyleSheetReader& readSheet_;
    mutable int sheetsRead_ = 0;
};

// markup with its <style> and style sheet <link> elements confined by
// styles, and without scripts; comments as they are, so that a style
// commented out stays so. With stylesOnly, only the style elements.
std::string confined(std::string_view markup, const PageStyles& styles, bool stylesOnly) {
    std::string out;
    std::size_t copied = 0;
    const auto copyUpTo = [&](std::size_t at) {
        if (!stylesOnly)
            out.append(markup.substr(copied, at - copied));
    };
    for (std::size_t at = markup.find('<'); at != npos; at = markup.find('<', at)) {
        if (markup.substr(at, 4) == "<!--") {
            const std::size_t end = markup.find("-->", at + 4);
            at = end == npos ? markup.size() : end + 3;
            continue;
        }
        std::string_view name;
        for (std::string_view candidate : {"style", "link", "script"}) {
            if (cp1250::startsWithNoCase(markup.substr(at + 1), candidate) &&
                endsName(markup, at + 1 + candidate.size()))
                name = candidate;
        }
        if (name.empty()) {
            ++at;
            continue;
        }
        const Tag tag = findTag(markup, name, at);
        if (tag.start != at)
            break; // a start tag that never ends: the rest is no markup
        copyUpTo(at);
        std::size_t past = tag.end;
        std::string rules;
        if (name == "style")
            rules = styles.styleElement(tag.attributes, content(markup, tag, name, &past));
        else if (name == "link")
            rules = styles.linkElement(tag.attributes);
        else
            content(markup, tag, name, &past);
        if (!rules.empty())
            out += "<style>\r\n" + rules + "</style>\r\n";
        copied = at = past;
    }
    copyUpTo(markup.size());
    return out;
}

// The code page the pages name; that of the program's data when none does.
std::string characterSet(const std::vector<std::string>& pages) {
    for (const std::string& page : pages) {
        const Tag head = findTag(page, "head");
        const std::string_view headText = head.start == npos ? std::string_view() : content(page, head, "head");
        for (Tag meta = findTag(headText, "meta"); meta.start != npos; meta = findTag(headText, "meta", meta.end)) {
            std::string named = attributeValue(meta.attributes, "charset");
            if (named.empty()) {
                const std::string type = attributeValue(meta.attributes, "content");
                if (const std::size_t at = cp1250::findNoCase(type, "charset="); at != npos)
                    named = std::string(text::trim(type.substr(at + 8)));
            }
            // A name, nothing that could close the attribute it goes into.
            const bool plain = std::all_of(named.begin(), named.end(), [](char c) {
                return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '_' || c == '.' || c == ':';
            });
            if (!named.empty() && plain)
                return named;
        }
    }
    return "windows-1250";
}

} // namespace

std::string joinPages(const std::vector<std::string>& pages, const StyleSheetReader& readSheet,
                      std::string_view title) {
    // Each distinct set of head styles once, confined to the sections of
    // the pages that have it.
    std::vector<std::string> headKeys;
    std::string headStyles;
    std::string sections;
    for (const std::string& page : pages) {
        const Tag head = findTag(page, "head");
        const std::string_view headText = head.start == npos ? std::string_view() : content(page, head, "head");
        const Tag html = findTag(page, "html");
        const Tag bodyTag = findTag(page, "body");
        std::string_view body;
        if (bodyTag.start != npos) {
            body = content(page, bodyTag, "body");
        } else {
            // A page without a body element: what follows its head.
            std::size_t past = 0;
            if (head.start != npos)
                content(page, head, "head", &past);
            body = std::string_view(page).substr(past);
        }

        // What makes two heads' styles the same: their style elements.
        std::string key;
        for (std::string_view name : {"style", "link"}) {
            std::size_t past = 0;
            for (Tag tag = findTag(headText, name); tag.start != npos; tag = findTag(headText, name, past)) {
                past = tag.end;
                const std::string_view css = name == "style" ? content(headText, tag, name, &past) : std::string_view();
                key += std::string(headText.substr(tag.start, tag.end - tag.start)) + std::string(css) + "\n";
            }
        }
        auto known = std::find(headKeys.begin(), headKeys.end(), key);
        const std::size_t number = static_cast<std::size_t>(known - headKeys.begin()) + 1;
        const std::string styleClass = "print-style-" + std::to_string(number);
        const PageStyles styles("section." + styleClass, readSheet);
        if (known == headKeys.end()) {
            headKeys.push_back(key);
            headStyles += confined(headText, styles, true);
        }

        sections += "<section class=\"print-page " + styleClass + "\">\r\n";
        sections += "<" + std::string(kPageRootElement) + html.attributes + ">";
        sections += "<" + std::string(kPageBodyElement) + bodyTag.attributes + ">\r\n";
        sections += confined(body, styles, false);
        sections += "\r\n</" + std::string(kPageBodyElement) + "></" + std::string(kPageRootElement) + ">\r\n";
        sections += "<br>\r\n<hr>\r\n<br>\r\n</section>\r\n";
    }
    std::string joined = "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"" + characterSet(pages) + "\">\r\n";
    if (!title.empty())
        joined += "<title>" + escapeHtml(title) + "</title>\r\n";
    // The pages' own html and body: blocks with the browser's margin, inside
    // a body without one.
    joined += "<style>\r\nbody.print { margin: 0; }\r\n" + std::string(kPageRootElement) + ", " +
              std::string(kPageBodyElement) + " { display: block; }\r\n" + std::string(kPageBodyElement) +
              " { margin: 8px; }\r\n"
              "section.print-page { break-after: page; page-break-after: always; }\r\n"
              "section.print-page:last-child { break-after: auto; page-break-after: auto; }\r\n</style>\r\n";
    joined += headStyles;
    joined += "</head>\r\n<body class=\"print\">\r\n" + sections + "</body>\r\n</html>\r\n";
    return joined;
}

} // namespace quill
