#include "formats/StyleScope.h"

#include "platform/Cp1250.h"

#include <array>

namespace quill {

namespace {

constexpr std::size_t npos = std::string_view::npos;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

bool isNameChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           u >= 0x80;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// The position just past the string that starts (with its quote) at at.
std::size_t pastString(std::string_view text, std::size_t at) {
    const char quote = text[at];
    std::size_t i = at + 1;
    while (i < text.size() && text[i] != quote) {
        if (text[i] == '\\')
            ++i;
        ++i;
    }
    return std::min(i + 1, text.size());
}

// The position just past the name (with its escapes) that starts at at.
std::size_t pastName(std::string_view text, std::size_t at) {
    std::size_t i = at;
    while (i < text.size() && (isNameChar(text[i]) || text[i] == '\\'))
        i += text[i] == '\\' ? 2 : 1;
    return std::min(i, text.size());
}

std::string withoutComments(std::string_view css) {
    std::string out;
    out.reserve(css.size());
    for (std::size_t i = 0; i < css.size();) {
        if (css[i] == '"' || css[i] == '\'') {
            const std::size_t end = pastString(css, i);
            out.append(css.substr(i, end - i));
            i = end;
        } else if (css.substr(i, 2) == "/*") {
            const std::size_t end = css.find("*/", i + 2);
            i = end == npos ? css.size() : end + 2;
            out += ' ';
        } else
            out += css[i++];
    }
    return out;
}

// The first of stops outside strings, brackets and parentheses, from at on.
std::size_t findTopLevel(std::string_view text, std::size_t at, std::string_view stops) {
    int depth = 0;
    for (std::size_t i = at; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"' || c == '\'') {
            i = pastString(text, i) - 1;
        } else if (c == '\\') {
            ++i;
        } else if (depth == 0 && stops.find(c) != npos) {
            return i;
        } else if (c == '(' || c == '[') {
            ++depth;
        } else if ((c == ')' || c == ']') && depth > 0) {
            --depth;
        }
    }
    return npos;
}

// The brace that closes the block opened at open; the end of the text when
// the block is never closed, as a browser reads it.
std::size_t closingBrace(std::string_view text, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"' || c == '\'')
            i = pastString(text, i) - 1;
        else if (c == '\\')
            ++i;
        else if (c == '{')
            ++depth;
        else if (c == '}' && --depth == 0)
            return i;
    }
    return text.size();
}

// The argument of a url( whose parenthesis ends at open, and the position
// past its closing parenthesis.
std::pair<std::string, std::size_t> urlArgument(std::string_view text, std::size_t open) {
    std::size_t i = open + 1;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    std::string address;
    if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
        const std::size_t end = pastString(text, i);
        address = std::string(text.substr(i + 1, end - i - 2));
        i = end;
    } else {
        const std::size_t end = std::min(text.find(')', i), text.size());
        address = std::string(trimmed(text.substr(i, end - i)));
        i = end;
    }
    const std::size_t close = text.find(')', i);
    return {address, close == npos ? text.size() : close + 1};
}

std::string quoted(std::string_view address) {
    std::string out = "\"";
    for (char c : address) {
        if (c == '"' || c == '\\' || c == '\n' || c == '\r')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

// Every url(...) of text with its address resolved.
std::string resolveAddresses(std::string_view text, const StyleScope& scope) {
    if (!scope.resolve)
        return std::string(text);
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '"' || c == '\'') {
            const std::size_t end = pastString(text, i);
            out.append(text.substr(i, end - i));
            i = end;
        } else if ((c == 'u' || c == 'U') && (i == 0 || !isNameChar(text[i - 1])) &&
                   cp1250::startsWithNoCase(text.substr(i), "url(")) {
            const auto [address, end] = urlArgument(text, i + 3);
            out += "url(" + quoted(scope.resolve(address)) + ")";
            i = end;
        } else
            out += text[i++];
    }
    return out;
}

// An @import's rules in place of the rule: its media list, if any, around them.
std::string importedRules(std::string_view prelude, const StyleScope& scope) {
    if (!scope.import)
        return {};
    std::string_view rest = trimmed(prelude);
    std::string address;
    if (cp1250::startsWithNoCase(rest, "url(")) {
        const auto [argument, end] = urlArgument(rest, 3);
        address = argument;
        rest = rest.substr(end);
    } else if (!rest.empty() && (rest[0] == '"' || rest[0] == '\'')) {
        const std::size_t end = pastString(rest, 0);
        address = std::string(rest.substr(1, end - 2));
        rest = rest.substr(end);
    } else
        return {};
    const std::string rules = scope.import(scope.resolve ? scope.resolve(address) : address);
    const std::string_view media = trimmed(rest);
    if (media.empty() || cp1250::startsWithNoCase(media, "layer") || cp1250::startsWithNoCase(media, "supports"))
        return rules;
    return "@media " + std::string(media) + " {\n" + rules + "}\n";
}

// A single selector with html, :root and body turned to the page's own
// elements, confined to scope.
std::string scopeSelector(std::string_view selector, std::string_view scope) {
    std::string out;
    // At the start of a compound selector a name is an element's.
    bool compoundStart = true;
    for (std::size_t i = 0; i < selector.size();) {
        const char c = selector[i];
        if (c == '"' || c == '\'' || c == '[') {
            const std::size_t close = c == '[' ? findTopLevel(selector, i + 1, "]") : npos;
            const std::size_t end = c != '[' ? pastString(selector, i) : close == npos ? selector.size() : close + 1;
            out.append(selector.substr(i, end - i));
            i = end;
            compoundStart = false;
        } else if (isSpace(c) || c == '>' || c == '+' || c == '~' || c == '(' || c == ',') {
            out += c;
            ++i;
            compoundStart = true;
        } else if (c == ':') {
            const bool element = selector.substr(i, 2) == "::";
            const std::size_t nameAt = i + (element ? 2 : 1);
            const std::size_t end = pastName(selector, nameAt);
            const std::string name = cp1250::upper(selector.substr(nameAt, end - nameAt));
            if (!element && name == "ROOT") {
                if (compoundStart)
                    out += kPageRootElement;
            } else
                out.append(selector.substr(i, end - i));
            i = end;
            compoundStart = false;
        } else if (c == '.' || c == '#') {
            const std::size_t end = pastName(selector, i + 1);
            out.append(selector.substr(i, end - i));
            i = end;
            compoundStart = false;
        } else if (isNameChar(c) && !(c >= '0' && c <= '9')) {
            const std::size_t end = pastName(selector, i);
            const std::string name = cp1250::upper(selector.substr(i, end - i));
            if (compoundStart && name == "HTML")
                out += kPageRootElement;
            else if (compoundStart && name == "BODY")
                out += kPageBodyElement;
            else
                out.append(selector.substr(i, end - i));
            i = end;
            compoundStart = false;
        } else {
            if (c == '\\' && i + 1 < selector.size())
                out += selector[i++];
            out += selector[i++];
            compoundStart = false;
        }
    }
    const bool atRoot = out.compare(0, kPageRootElement.size(), kPageRootElement) == 0 &&
                        (out.size() == kPageRootElement.size() || !isNameChar(out[kPageRootElement.size()]));
    return std::string(scope) + (atRoot ? " > " : " ") + out;
}

bool isGroupingRule(std::string_view name) {
    static constexpr std::array<std::string_view, 6> kGrouping = {"MEDIA",     "SUPPORTS", "LAYER",
                                                                  "CONTAINER", "DOCUMENT", "-MOZ-DOCUMENT"};
    for (std::string_view grouping : kGrouping)
        if (name == grouping)
            return true;
    return false;
}

std::string scopeRules(std::string_view css, const StyleScope& scope) {
    std::string out;
    std::size_t i = 0;
    while (i < css.size()) {
        if (isSpace(css[i]) || css[i] == '}' || css[i] == ';') {
            ++i; // a stray brace or semicolon between rules is dropped, as a browser does
            continue;
        }
        if (css[i] == '@') {
            const std::size_t nameEnd = pastName(css, i + 1);
            const std::string name = cp1250::upper(css.substr(i + 1, nameEnd - i - 1));
            const std::size_t end = findTopLevel(css, nameEnd, ";{");
            const std::string_view prelude = css.substr(i, (end == npos ? css.size() : end) - i);
            if (end == npos || css[end] == ';') {
                if (name == "IMPORT")
                    out += importedRules(prelude.substr(nameEnd - i), scope);
                else if (name != "CHARSET")
                    out += std::string(prelude) + ";\n";
                i = end == npos ? css.size() : end + 1;
                continue;
            }
            const std::size_t close = closingBrace(css, end);
            const std::string_view block = css.substr(end + 1, close - end - 1);
            if (isGroupingRule(name))
                out += std::string(trimmed(prelude)) + " {\n" + scopeRules(block, scope) + "}\n";
            else
                out += resolveAddresses(std::string(trimmed(prelude)) + " {" + std::string(block) + "}", scope) + "\n";
            i = close + 1;
            continue;
        }
        const std::size_t open = findTopLevel(css, i, "{");
        if (open == npos)
            break;
        const std::size_t close = closingBrace(css, open);
        const std::string selectors = scopeSelectors(css.substr(i, open - i), scope.scope);
        if (!selectors.empty())
            out += selectors + " {" + resolveAddresses(css.substr(open + 1, close - open - 1), scope) + "}\n";
        i = close + 1;
    }
    return out;
}

} // namespace

std::string scopeSelectors(std::string_view selectors, std::string_view scope) {
    std::string out;
    for (std::size_t start = 0; start <= selectors.size();) {
        std::size_t comma = findTopLevel(selectors, start, ",");
        if (comma == npos)
            comma = selectors.size();
        const std::string_view one = trimmed(selectors.substr(start, comma - start));
        if (!one.empty())
            out += (out.empty() ? "" : ", ") + scopeSelector(one, scope);
        start = comma + 1;
    }
    return out;
}

std::string scopeStyleSheet(std::string_view css, const StyleScope& scope) {
    return scopeRules(withoutComments(css), scope);
}

} // namespace quill
