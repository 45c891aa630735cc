#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quill {

// Several pages joined into one document each keep their own look only when
// their style rules reach no other page. A page's part of the joined
// document is an element that its rules are confined to; inside it the
// page's <html> and <body> become elements of these names, which the rules
// for html, :root and body are turned to.
inline constexpr std::string_view kPageRootElement = "print-html";
inline constexpr std::string_view kPageBodyElement = "print-body";

struct StyleScope {
    // The selector of the element that holds the page, such as ".print-style-1".
    std::string scope;
    // The address to write for an address a rule uses (url(...)); the
    // address as it is when not set.
    std::function<std::string(std::string_view address)> resolve;
    // The rules of the sheet an @import names, already confined; the
    // address is resolved first. The import is left out when not set.
    std::function<std::string(std::string_view address)> import;
};

// The sheet with every style rule confined to scope: each selector of the
// rule applies only inside the scope's element, the page's html and body
// standing for its root and body. Rules inside @media, @supports, @layer and
// @container are confined likewise; other at-rules (@font-face, @keyframes,
// @page) keep their text. Comments are left out.
std::string scopeStyleSheet(std::string_view css, const StyleScope& scope);

// One selector list (the text in front of a rule's block) confined as above.
std::string scopeSelectors(std::string_view selectors, std::string_view scope);

} // namespace quill
