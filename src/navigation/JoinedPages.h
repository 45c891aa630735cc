#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

// A style sheet that a page links, as read for joining.
struct LinkedStyleSheet {
    std::string css;
    std::string directory; // where the sheet lies: its own relative addresses start there
};

// Reads the sheet at an address as a page or sheet writes it: relative to
// the pages' directory, or a "file://" address. Nothing when the sheet
// cannot or may not be read; the page is then joined without it.
using StyleSheetReader = std::function<std::optional<LinkedStyleSheet>(std::string_view address)>;

// Joins rendered pages into one page in which each looks as it does on its
// own: each page becomes a section that starts a new sheet and ends with a
// rule, its <html> and <body> elements of their own inside it, and its
// styles (those of its head and body, linked sheets read through
// readSheet) confined to its section. Pages with the same styles share one
// copy of them. The pages' titles and scripts are left out (the page pane
// runs no scripts); title, when given, becomes the joined page's own: a PDF
// made of it and a print job of it carry that name.
std::string joinPages(const std::vector<std::string>& pages, const StyleSheetReader& readSheet = {},
                      std::string_view title = {});

} // namespace quill
