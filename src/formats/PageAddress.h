#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quill {

// One field of a form a page submits, name and value in UTF-8 as the page
// holds them.
using PageFormField = std::pair<std::string, std::string>;

// An address as the page commands read it. The browser hands over a
// lower-case scheme and the rest percent-encoded as UTF-8; this undoes both
// and gives code page 1250 bytes, so that "COMMAND:" prefixes match as
// written in the page. Escapes that are not UTF-8 are taken as code page
// bytes, and a '%' without two hexadecimal digits after it stays as it is.
std::string executorAddress(std::string_view encodedUrl);

// The application/x-www-form-urlencoded body a browser posts for these
// fields from a code page 1250 page: line breaks as CR LF, blanks as '+',
// letters the code page lacks as "&#N;" character references.
std::string urlEncodedFormBody(const std::vector<PageFormField>& fields);

} // namespace quill
