// Confining a page's style rules to its part of a joined page: selectors,
// nested rules, imports and addresses.
#include "formats/StyleScope.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

TEST(StyleScopeTest, SelectorsReachOnlyIntoTheScopeWithHtmlAndBodyTurnedToThePagesOwn) {
    const struct {
        const char* selectors;
        const char* scoped;
    } cases[] = {
        {"h1", ".s h1"},
        {"html, body", ".s > print-html, .s print-body"},
        {":root", ".s > print-html"},
        {":ROOT.dark h1", ".s > print-html.dark h1"},
        {"BODY.k-note h1", ".s print-body.k-note h1"},
        {"html > body > p", ".s > print-html > print-body > p"},
        {"body+p, body~p", ".s print-body+p, .s print-body~p"},
        {"*", ".s *"},
        // Only element names are the page's html and body.
        {"tbody td, .body, #html, [data-x=body]", ".s tbody td, .s .body, .s #html, .s [data-x=body]"},
        // Commas inside attribute values and pseudo-classes split nothing.
        {"a[title=\"body, html\"]", ".s a[title=\"body, html\"]"},
        {":not(body, html) p", ".s :not(print-body, print-html) p"},
        {"li:nth-child(2n+1)::before", ".s li:nth-child(2n+1)::before"},
        {"  h1 ,\r\n h2  ", ".s h1, .s h2"},
        // An attribute selector never closed ends the selector.
        {"a[href, p", ".s a[href, p"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scopeSelectors(c.selectors, ".s"), c.scoped) << c.selectors;
}

TEST(StyleScopeTest, SheetsKeepTheirRulesInsideTheScope) {
    StyleScope scope;
    scope.scope = ".s";
    StyleScope resolving = scope;
    resolving.resolve = [](std::string_view address) {
        return address.front() == '#' ? std::string(address) : "file:///sheets/" + std::string(address);
    };
    resolving.import = [](std::string_view address) { return "/* " + std::string(address) + " */\n"; };
    const struct {
        const char* css;
        const StyleScope* scope;
        const char* scoped;
    } cases[] = {
        {"h1 { color: red }", &scope, ".s h1 { color: red }\n"},
        {"h1{color:red}h2{color:blue}", &scope, ".s h1 {color:red}\n.s h2 {color:blue}\n"},
        // Comments go; braces in strings and comments end no rule.
        {"/* h1 { color: red } */ p::before { content: \"}\" } h2 {x:y}", &scope,
         ".s p::before { content: \"}\" }\n.s h2 {x:y}\n"},
        {"@media print { html, body { background: #fff } }", &scope,
         "@media print {\n.s > print-html, .s print-body { background: #fff }\n}\n"},
        {"@supports (display: grid) { @media screen { body { x: y } } }", &scope,
         "@supports (display: grid) {\n@media screen {\n.s print-body { x: y }\n}\n}\n"},
        // Rules that name no elements keep their text.
        {"@font-face { font-family: Q; src: url(q.woff) }", &scope,
         "@font-face { font-family: Q; src: url(q.woff) }\n"},
        {"@keyframes spin { from { top: 0 } to { top: 1px } }", &scope,
         "@keyframes spin { from { top: 0 } to { top: 1px } }\n"},
        {"@charset \"utf-8\"; h1 {}", &scope, ".s h1 {}\n"},
        // A linked sheet's addresses start where it lies.
        {"p { background: url( 'a b.png' ) } img { filter: url(#key) }", &resolving,
         ".s p { background: url(\"file:///sheets/a b.png\") }\n.s img { filter: url(\"#key\") }\n"},
        {"@font-face { src: URL(q.woff) }", &resolving, "@font-face { src: url(\"file:///sheets/q.woff\") }\n"},
        // Imports bring their rules in place, under their media.
        {"@import url(\"base.css\"); @import 'print.css' print; h1 {}", &resolving,
         "/* file:///sheets/base.css */\n@media print {\n/* file:///sheets/print.css */\n}\n.s h1 {}\n"},
        // Without a way to read them, imports are left out.
        {"@import \"base.css\"; h1 {}", &scope, ".s h1 {}\n"},
        // A rule never closed still counts, as in a browser; stray braces do not.
        {"} h1 { color: red", &scope, ".s h1 { color: red}\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scopeStyleSheet(c.css, *c.scope), c.scoped) << c.css;
}

} // namespace
} // namespace quill
